#pragma once
// Plain Asio sockets for the far side of endpoint tests, each with its own io_context so the test
// thread drives it directly. Every wait is bounded.

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/LanTypes.h"

namespace zorvi::lantest {

inline constexpr std::chrono::milliseconds PEER_WAIT{10000};

class TestPeer {
 public:
  // Connects to 127.0.0.1:`port`; a small receive buffer makes a stalled reader fill up sooner.
  static TestPeer connectTo(std::uint16_t port, std::optional<int> receiveBufferBytes = {});

  explicit TestPeer(std::unique_ptr<asio::io_context> context);

  // Starts connecting to 127.0.0.1:`port`; true once connected within `limit`.
  bool connectWithin(std::uint16_t port, std::chrono::milliseconds limit);
  // The ClientId the server gives this connection.
  ClientId id() const;
  void write(std::string_view bytes);
  // Up to `count` bytes, fewer if they do not come within `limit`.
  std::string readExactly(std::size_t count, std::chrono::milliseconds limit = PEER_WAIT);
  // Everything until the other side closes; nothing if it does not close within `limit`.
  std::optional<std::string> readUntilClosed(std::chrono::milliseconds limit = PEER_WAIT);
  void close();

  asio::ip::tcp::socket& socket() { return socket_; }

 private:
  void runFor(std::chrono::milliseconds limit);

  std::unique_ptr<asio::io_context> context_;
  asio::ip::tcp::socket socket_;
};

// A loopback listener on a free port, for the client side.
class TestListener {
 public:
  explicit TestListener(int backlog = asio::socket_base::max_listen_connections);

  std::uint16_t port() const;
  // The next connection, or nothing within `limit`.
  std::optional<TestPeer> accept(std::chrono::milliseconds limit = PEER_WAIT);
  // Fills the accept queue so that further connects get no answer (the kernel drops their SYN).
  // False if the queue never filled.
  bool stopAnswering();

 private:
  asio::io_context context_;
  asio::ip::tcp::acceptor acceptor_;
  std::vector<std::unique_ptr<TestPeer>> fillers_;
};

// A port on which nothing listens (taken and released again).
std::uint16_t closedPort();

}  // namespace zorvi::lantest
