#include "session/LanDatagram.h"

#include <array>
#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <future>
#include <optional>
#include <utility>

#include "session/EventGate.h"
#include "session/NetworkService.h"
#include "session/ReadBacklog.h"

namespace zorvi {
namespace {

constexpr std::chrono::milliseconds RECEIVE_RETRY_PAUSE{100};

// Dotted text as it stands, else the first IPv4 address the name lookup gives.
std::optional<asio::ip::address_v4> resolveAddress(asio::io_context& context, const std::string& address) {
  std::error_code error;
  const asio::ip::address_v4 dotted = asio::ip::make_address_v4(address, error);
  if (!error) {
    return dotted;
  }
  asio::ip::udp::resolver resolver(context);
  const auto found = resolver.resolve(asio::ip::udp::v4(), address, "", error);
  if (error || found.empty()) {
    return std::nullopt;
  }
  return found.begin()->endpoint().address().to_v4();
}

}  // namespace

// Network-side state of one open period of the endpoint; its socket is used on the network thread
// only.
struct LanDatagram::Bound : std::enable_shared_from_this<LanDatagram::Bound> {
  Bound(asio::io_context& context, GuiThread& gui, LanDatagramEvents& datagramEvents)
      : socket(context), retryTimer(context), gate(std::make_shared<EventGate>(gui)), events(datagramEvents) {}

  void receiveNext() {
    socket.async_receive_from(
        asio::buffer(buffer), sender, [self = shared_from_this()](const std::error_code& error, std::size_t length) {
          if (self->closed) {
            return;
          }
          if (!error && length > 0) {
            self->backlog.handedOver(length);
            self->gate->deliver([&datagramEvents = self->events, receiver = self->weak_from_this(),
                                 bytes = std::string(self->buffer.data(), length)] {
              if (const auto bound = receiver.lock()) {
                bound->taken(bytes.size());
              }
              datagramEvents.datagramArrived(bytes);
            });
          }
          // Windows reports an ICMP "port unreachable" for an earlier send as a failed receive:
          // nothing is wrong with this socket.
          if (!error || error == asio::error::connection_refused || error == asio::error::connection_reset) {
            if (self->backlog.mayReadOn()) {
              self->receiveNext();
            }
            return;
          }
          self->retryTimer.expires_after(RECEIVE_RETRY_PAUSE);
          self->retryTimer.async_wait([self](const std::error_code& cancelled) {
            if (!cancelled && !self->closed) {
              self->receiveNext();
            }
          });
        });
  }

  // GUI thread: a datagram left the queue; receiving starts again if the backlog held it up.
  void taken(std::size_t count) {
    if (backlog.taken(count)) {
      asio::post(socket.get_executor(), [self = shared_from_this()] {
        if (!self->closed) {
          self->receiveNext();
        }
      });
    }
  }

  bool sendNow(const asio::ip::udp::endpoint& target, std::string_view text) {
    if (closed) {
      return false;
    }
    std::error_code error;
    socket.send_to(asio::buffer(text.data(), text.size()), target, 0, error);
    return !error;
  }

  void shutDown() {
    closed = true;
    std::error_code ignored;
    socket.close(ignored);
    retryTimer.cancel();
  }

  asio::ip::udp::socket socket;
  asio::steady_timer retryTimer;
  const std::shared_ptr<EventGate> gate;
  LanDatagramEvents& events;
  std::array<char, 65536> buffer{};  // the largest datagram
  asio::ip::udp::endpoint sender;
  bool closed = false;  // network thread only
  ReadBacklog backlog;
};

LanDatagram::LanDatagram(NetworkService& network, GuiThread& gui, LanDatagramEvents& events)
    : network_(network), gui_(gui), events_(events) {}

LanDatagram::~LanDatagram() { close(); }

bool LanDatagram::open(std::uint16_t port) {
  if (isOpen()) {
    return true;
  }
  auto bound = std::make_shared<Bound>(network_.context(), gui_, events_);
  std::error_code error;
  bound->socket.open(asio::ip::udp::v4(), error);
  if (!error) {
    bound->socket.bind(asio::ip::udp::endpoint(asio::ip::address_v4::any(), port), error);
  }
  if (!error) {
    bound->socket.set_option(asio::socket_base::broadcast(true), error);
  }
  std::uint16_t boundPort = 0;
  if (!error) {
    boundPort = bound->socket.local_endpoint(error).port();
  }
  if (error) {
    return false;
  }
  {
    const std::lock_guard lock(boundMutex_);
    bound_ = bound;
  }
  port_ = boundPort;
  asio::post(network_.context(), [bound] { bound->receiveNext(); });
  return true;
}

void LanDatagram::close() {
  std::shared_ptr<Bound> bound;
  {
    const std::lock_guard lock(boundMutex_);
    bound = std::move(bound_);
  }
  port_ = 0;
  if (bound) {
    bound->gate->close();
    asio::post(network_.context(), [bound] { bound->shutDown(); });
  }
}

bool LanDatagram::send(const std::string& address, std::uint16_t port, std::string_view text) {
  std::shared_ptr<Bound> bound;
  {
    const std::lock_guard lock(boundMutex_);
    bound = bound_;
  }
  if (!bound) {
    return false;
  }
  const std::optional<asio::ip::address_v4> target = resolveAddress(network_.context(), address);
  if (!target) {
    return false;
  }
  // The socket belongs to the network thread (a receive is always pending on it), so the send is
  // made there and this thread waits for its result.
  auto result = std::make_shared<std::promise<bool>>();
  std::future<bool> sent = result->get_future();
  asio::post(network_.context(), [bound, result, endpoint = asio::ip::udp::endpoint(*target, port),
                                  payload = std::string(text)] { result->set_value(bound->sendNow(endpoint, payload)); });
  try {
    return sent.get();
  } catch (const std::future_error&) {
    return false;  // the network thread stopped before it could send
  }
}

}  // namespace zorvi
