#include "LanTestPeers.h"

#include <asio/connect.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>
#include <utility>

namespace zorvi::lantest {
namespace {

const asio::ip::tcp::endpoint LOOPBACK_ANY_PORT{asio::ip::address_v4::loopback(), 0};

}  // namespace

TestPeer TestPeer::connectTo(std::uint16_t port, std::optional<int> receiveBufferBytes) {
  TestPeer peer(std::make_unique<asio::io_context>());
  peer.socket_.open(asio::ip::tcp::v4());
  if (receiveBufferBytes) {
    peer.socket_.set_option(asio::socket_base::receive_buffer_size(*receiveBufferBytes));
  }
  peer.socket_.connect({asio::ip::address_v4::loopback(), port});
  return peer;
}

TestPeer::TestPeer(std::unique_ptr<asio::io_context> context)
    : context_(std::move(context)), socket_(*context_) {}

ClientId TestPeer::id() const {
  const asio::ip::tcp::endpoint local = socket_.local_endpoint();
  return local.address().to_string() + ":" + std::to_string(local.port());
}

bool TestPeer::connectWithin(std::uint16_t port, std::chrono::milliseconds limit) {
  bool connected = false;
  socket_.async_connect({asio::ip::address_v4::loopback(), port},
                        [&connected](const std::error_code& error) { connected = !error; });
  runFor(limit);
  return connected;
}

void TestPeer::write(std::string_view bytes) { asio::write(socket_, asio::buffer(bytes.data(), bytes.size())); }

void TestPeer::runFor(std::chrono::milliseconds limit) {
  context_->restart();
  context_->run_for(limit);
  if (!context_->stopped()) {
    socket_.cancel();  // out of time: end the read and let its handler run
    context_->restart();
    context_->run();
  }
}

std::string TestPeer::readExactly(std::size_t count, std::chrono::milliseconds limit) {
  std::string bytes(count, '\0');
  std::size_t got = 0;
  asio::async_read(socket_, asio::buffer(bytes), [&got](const std::error_code&, std::size_t length) { got = length; });
  runFor(limit);
  bytes.resize(got);
  return bytes;
}

std::optional<std::string> TestPeer::readUntilClosed(std::chrono::milliseconds limit) {
  std::string bytes;
  bool closed = false;
  asio::async_read(socket_, asio::dynamic_buffer(bytes), [&closed](const std::error_code& error, std::size_t) {
    closed = error == asio::error::eof || error == asio::error::connection_reset;
  });
  runFor(limit);
  if (!closed) {
    return std::nullopt;
  }
  return bytes;
}

void TestPeer::close() {
  std::error_code ignored;
  socket_.close(ignored);
}

TestListener::TestListener(int backlog) : acceptor_(context_) {
  acceptor_.open(asio::ip::tcp::v4());
  acceptor_.bind(LOOPBACK_ANY_PORT);
  acceptor_.listen(backlog);
}

std::uint16_t TestListener::port() const { return acceptor_.local_endpoint().port(); }

std::optional<TestPeer> TestListener::accept(std::chrono::milliseconds limit) {
  auto peerContext = std::make_unique<asio::io_context>();
  std::optional<asio::ip::tcp::socket> accepted;
  acceptor_.async_accept(*peerContext, [&accepted](const std::error_code& error, asio::ip::tcp::socket socket) {
    if (!error) {
      accepted.emplace(std::move(socket));
    }
  });
  context_.restart();
  context_.run_for(limit);
  if (!context_.stopped()) {
    acceptor_.cancel();
    context_.restart();
    context_.run();
  }
  if (!accepted) {
    return std::nullopt;
  }
  TestPeer peer(std::move(peerContext));
  peer.socket() = std::move(*accepted);
  return peer;
}

bool TestListener::stopAnswering() {
  constexpr int MOST_FILLERS = 16;
  constexpr std::chrono::milliseconds ANSWER_WAIT{300};
  for (int filler = 0; filler < MOST_FILLERS; ++filler) {
    auto peer = std::make_unique<TestPeer>(std::make_unique<asio::io_context>());
    const bool answered = peer->connectWithin(port(), ANSWER_WAIT);
    fillers_.push_back(std::move(peer));  // answered ones fill the queue, the last one waits in it
    if (!answered) {
      return true;
    }
  }
  return false;
}

std::uint16_t closedPort() {
  asio::io_context context;
  asio::ip::tcp::acceptor acceptor(context, LOOPBACK_ANY_PORT);
  return acceptor.local_endpoint().port();
}

}  // namespace zorvi::lantest
