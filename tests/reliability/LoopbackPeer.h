#pragma once
// Raw TCP peers for the fault tests: non-blocking sockets the test drives byte by byte, to act as
// a machine that misbehaves (stops reading, dies in the middle of a message, floods) where
// the real endpoints never would. Every wait is bounded.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvi::test {

inline constexpr std::chrono::milliseconds PEER_WAIT{10000};

class LoopbackPeer {
 public:
  // Connects from `source` (any 127.x.y.z address, any port) to 127.0.0.1:`port`. A receive buffer
  // size makes a peer that stops reading fill up sooner. Nothing when refused or out of time.
  static std::optional<LoopbackPeer> connect(std::uint16_t port, const std::string& source = "127.0.0.1",
                                             std::optional<int> receiveBufferBytes = {});
  explicit LoopbackPeer(int socket);
  LoopbackPeer(LoopbackPeer&& other) noexcept;
  LoopbackPeer& operator=(LoopbackPeer&& other) noexcept;
  ~LoopbackPeer();

  // "address:port" of this end: the ClientId the controller's LanServer gives it.
  std::string clientId() const;

  // Writes every byte; false when they are not all taken within `limit` or the connection broke.
  bool write(std::string_view bytes, std::chrono::milliseconds limit = PEER_WAIT);
  // Reads until `enough` holds for what was read in this call, the other side closes, or `limit`.
  std::string readUntil(const std::function<bool(std::string_view)>& enough,
                        std::chrono::milliseconds limit = PEER_WAIT);
  // Everything that is already waiting, without waiting for more.
  std::string readWaiting();
  // True once a read found the other side closed.
  bool closedByOtherSide() const { return closedByOtherSide_; }

  // An orderly close (the other side reads the end of the stream).
  void close();
  // A connection reset: the other side's next operation fails.
  void abort();

 private:
  bool waitFor(short events, std::chrono::steady_clock::time_point deadline) const;

  int socket_ = -1;
  bool closedByOtherSide_ = false;
};

class LoopbackListener {
 public:
  // Listens on 127.0.0.1 at a port the kernel picks.
  LoopbackListener();
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  std::uint16_t port() const { return port_; }
  std::optional<LoopbackPeer> accept(std::chrono::milliseconds limit = PEER_WAIT);

 private:
  int socket_ = -1;
  std::uint16_t port_ = 0;
};

// The bodies of the whole messages in bytes a peer received, taken apart by the envelope's exact
// layout (independently of the program's own framing), and what is left over: an unfinished last
// message, or anything that is not a whole message.
struct ReceivedMessages {
  std::vector<std::string> bodies;
  std::size_t malformedPieces = 0;  // pieces between separators that are not one whole message
  std::string unfinished;           // bytes after the last separator
};
ReceivedMessages takeApartMessages(std::string_view bytes);

}  // namespace zorvi::test
