#pragma once
// One open TCP connection of LanServer or LanClient: reads on the network thread and hands every
// block read to its owner; writes the texts queued by send, in order, one gathered write at a
// time. The queue is bounded, so a peer that stops reading holds at most WRITE_QUEUE_LIMIT bytes
// and never delays another connection. Reading is bounded too (ReadBacklog): a peer that sends
// faster than the GUI thread takes the bytes apart is held back by TCP.
// Lives by shared_ptr: every pending operation holds it.

#include <asio/ip/tcp.hpp>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/LanTypes.h"
#include "session/ReadBacklog.h"

namespace zorvi {

class StreamConnection;

// Hands the writes that sending threads start over to the network thread in batches: one text sent
// to a hundred idle connections wakes the network thread once, not a hundred times. One per
// endpoint, owned by it; its connections refer to it weakly, so that a start still waiting when
// the network thread stops cannot keep a connection and its endpoint alive in a cycle.
class WriteStarts : public std::enable_shared_from_this<WriteStarts> {
 public:
  explicit WriteStarts(asio::any_io_executor network) : network_(std::move(network)) {}

  // Any thread: `connection` has texts queued and no write running.
  void request(std::shared_ptr<StreamConnection> connection);

 private:
  void startAll();  // network thread

  const asio::any_io_executor network_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<StreamConnection>> requested_;
  std::vector<std::shared_ptr<StreamConnection>> starting_;  // network thread only
};

class StreamConnection : public std::enable_shared_from_this<StreamConnection> {
 public:
  using DataHandler = std::function<void(std::string bytes)>;
  using EndHandler = std::function<void()>;

  StreamConnection(asio::ip::tcp::socket socket, std::weak_ptr<WriteStarts> writeStarts);

  // Network thread. Starts reading. `onData` gets every block as read; `onEnd` runs once when the
  // peer closes or the connection fails. Neither runs after stop().
  void start(DataHandler onData, EndHandler onEnd);

  // Any thread: `count` bytes that `onData` handed over have been taken off the way to the GUI
  // thread.
  void bytesTaken(std::size_t count);

  // Any thread except the network thread. Queues the whole text or nothing. Zero bytes on an open
  // connection: true, nothing queued. When the queue has no room for the text: without a wait,
  // false at once; with one, waits up to that many seconds for room, false if none comes.
  // False once the connection or its endpoint has ended. A text longer than the whole queue never
  // fits.
  bool send(std::string_view text, std::optional<int> waitSeconds);

  // Network thread. Closes the socket; waiting senders return false, queued texts are dropped.
  // Harmless when already stopped.
  void stop();

 private:
  friend class WriteStarts;

  void readNext();
  void writeNext();
  void writeDone(const std::error_code& error);
  void end();
  bool stopped() const;

  static constexpr std::size_t MAX_GATHERED_TEXTS = 64;

  asio::ip::tcp::socket socket_;
  const std::weak_ptr<WriteStarts> writeStarts_;
  std::array<char, 16384> readBuffer_{};
  DataHandler onData_;  // network thread only, like onEnd_
  EndHandler onEnd_;
  std::vector<asio::const_buffer> writeBuffers_;  // network thread only

  ReadBacklog readBacklog_;

  mutable std::mutex mutex_;  // guards the members below, shared with the sending threads
  std::condition_variable roomMade_;
  std::deque<std::string> queue_;  // the first `inFlight_` texts are being written
  std::size_t queuedBytes_ = 0;
  std::size_t inFlight_ = 0;
  bool writing_ = false;
  bool stopped_ = false;
};

}  // namespace zorvi
