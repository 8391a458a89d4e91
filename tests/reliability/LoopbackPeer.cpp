#include "tests/reliability/LoopbackPeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "protocol/Markers.h"

namespace zorvi::test {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopbackAddress(const std::string& address, std::uint16_t port) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_port = htons(port);
  inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr);
  return socketAddress;
}

void makeNonBlocking(int socket) { fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK); }

int remainingMilliseconds(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

}  // namespace

std::optional<LoopbackPeer> LoopbackPeer::connect(std::uint16_t port, const std::string& source,
                                                  std::optional<int> receiveBufferBytes) {
  LoopbackPeer peer(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (peer.socket_ < 0) {
    return std::nullopt;
  }
  if (receiveBufferBytes) {
    setsockopt(peer.socket_, SOL_SOCKET, SO_RCVBUF, &*receiveBufferBytes, sizeof *receiveBufferBytes);
  }
  const sockaddr_in from = loopbackAddress(source, 0);
  if (bind(peer.socket_, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0) {
    return std::nullopt;
  }
  makeNonBlocking(peer.socket_);
  const sockaddr_in to = loopbackAddress("127.0.0.1", port);
  if (::connect(peer.socket_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
    return std::nullopt;
  }
  if (!peer.waitFor(POLLOUT, Clock::now() + PEER_WAIT)) {
    return std::nullopt;
  }
  int error = 0;
  socklen_t length = sizeof error;
  getsockopt(peer.socket_, SOL_SOCKET, SO_ERROR, &error, &length);
  if (error != 0) {
    return std::nullopt;
  }
  return peer;
}

LoopbackPeer::LoopbackPeer(int socket) : socket_(socket) {
  if (socket_ >= 0) {
    makeNonBlocking(socket_);
  }
}

LoopbackPeer::LoopbackPeer(LoopbackPeer&& other) noexcept
    : socket_(std::exchange(other.socket_, -1)), closedByOtherSide_(other.closedByOtherSide_) {}

LoopbackPeer& LoopbackPeer::operator=(LoopbackPeer&& other) noexcept {
  if (this != &other) {
    close();
    socket_ = std::exchange(other.socket_, -1);
    closedByOtherSide_ = other.closedByOtherSide_;
  }
  return *this;
}

LoopbackPeer::~LoopbackPeer() { close(); }

std::string LoopbackPeer::clientId() const {
  sockaddr_in local{};
  socklen_t length = sizeof local;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
  char address[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &local.sin_addr, address, sizeof address);
  return std::string(address) + ":" + std::to_string(ntohs(local.sin_port));
}

bool LoopbackPeer::waitFor(short events, Clock::time_point deadline) const {
  pollfd watched{socket_, events, 0};
  for (;;) {
    const int ready = poll(&watched, 1, remainingMilliseconds(deadline));
    if (ready > 0) {
      return true;
    }
    if (ready == 0 || errno != EINTR) {
      return false;
    }
  }
}

bool LoopbackPeer::write(std::string_view bytes, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!bytes.empty()) {
    const ssize_t written = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!waitFor(POLLOUT, deadline)) {
        return false;
      }
      continue;
    }
    return false;
  }
  return true;
}

std::string LoopbackPeer::readUntil(const std::function<bool(std::string_view)>& enough,
                                    std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::string bytes;
  char buffer[65536];
  while (!enough(bytes) && !closedByOtherSide_) {
    const ssize_t got = ::recv(socket_, buffer, sizeof buffer, 0);
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      closedByOtherSide_ = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
      if (!waitFor(POLLIN, deadline)) {
        break;
      }
    } else {
      closedByOtherSide_ = true;  // reset
    }
  }
  return bytes;
}

std::string LoopbackPeer::readWaiting() {
  return readUntil([](std::string_view) { return false; }, std::chrono::milliseconds(0));
}

void LoopbackPeer::close() {
  if (socket_ >= 0) {
    ::close(std::exchange(socket_, -1));
  }
}

void LoopbackPeer::abort() {
  if (socket_ >= 0) {
    const linger resetOnClose{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
    close();
  }
}

LoopbackListener::LoopbackListener() : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  const sockaddr_in address = loopbackAddress("127.0.0.1", 0);
  bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(socket_, SOMAXCONN);
  makeNonBlocking(socket_);
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.sin_port);
}

LoopbackListener::~LoopbackListener() { ::close(socket_); }

std::optional<LoopbackPeer> LoopbackListener::accept(std::chrono::milliseconds limit) {
  pollfd watched{socket_, POLLIN, 0};
  if (poll(&watched, 1, remainingMilliseconds(Clock::now() + limit)) <= 0) {
    return std::nullopt;
  }
  const int accepted = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
  if (accepted < 0) {
    return std::nullopt;
  }
  return LoopbackPeer(accepted);
}

ReceivedMessages takeApartMessages(std::string_view bytes) {
  ReceivedMessages received;
  constexpr std::size_t TIMESTAMP_DIGITS = 13;
  const std::string front = std::string(MARK_MESSAGE_HEAD).append(MARK_TEXT_HEAD);
  const std::string back = std::string(MARK_TEXT_TAIL).append(MARK_MESSAGE_TAIL);
  for (std::size_t end = bytes.find(MARK_MESSAGE_SEP); end != std::string_view::npos;
       end = bytes.find(MARK_MESSAGE_SEP)) {
    const std::string_view piece = bytes.substr(0, end);
    bytes.remove_prefix(end + MARK_MESSAGE_SEP.size());
    const std::size_t bodyStart = front.size() + TIMESTAMP_DIGITS + MARK_TEXT_INNER_SEP.size();
    const bool whole = piece.size() >= bodyStart + back.size() && piece.starts_with(front) &&
                       piece.substr(front.size() + TIMESTAMP_DIGITS).starts_with(MARK_TEXT_INNER_SEP) &&
                       piece.ends_with(back);
    if (!whole) {
      ++received.malformedPieces;
      continue;
    }
    received.bodies.emplace_back(piece.substr(bodyStart, piece.size() - bodyStart - back.size()));
  }
  received.unfinished = bytes;
  return received;
}

}  // namespace zorvi::test
