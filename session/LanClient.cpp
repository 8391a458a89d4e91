#include "session/LanClient.h"

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <utility>

#include "session/EventGate.h"
#include "session/NetworkService.h"
#include "session/StreamConnection.h"

namespace zorvi {

// One connect and, once it succeeds, the connection it made. Socket work on the network thread;
// send from any thread.
struct LanClient::Attempt : std::enable_shared_from_this<LanClient::Attempt> {
  Attempt(asio::io_context& context, GuiThread& gui, LanClientEvents& clientEvents, std::chrono::milliseconds bound)
      : resolver(context),
        socket(context),
        deadline(context),
        writeStarts(std::make_shared<WriteStarts>(context.get_executor())),
        gate(std::make_shared<EventGate>(gui)),
        events(clientEvents),
        connectBound(bound) {}

  void start(const std::string& host, std::uint16_t port) {
    deadline.expires_after(connectBound);
    deadline.async_wait([self = shared_from_this()](const std::error_code& cancelled) {
      if (!cancelled && !self->finished) {
        self->finish(false);
      }
    });
    std::error_code notDotted;
    const asio::ip::address_v4 address = asio::ip::make_address_v4(host, notDotted);
    if (!notDotted) {
      socket.async_connect(asio::ip::tcp::endpoint(address, port),
                           [self = shared_from_this()](const std::error_code& error) {
                             if (!self->finished) {
                               self->finish(!error);
                             }
                           });
      return;
    }
    resolver.async_resolve(
        asio::ip::tcp::v4(), host, std::to_string(port), asio::ip::resolver_base::numeric_service,
        [self = shared_from_this()](const std::error_code& error, const asio::ip::tcp::resolver::results_type& found) {
          if (self->finished) {
            return;
          }
          if (error) {
            self->finish(false);
            return;
          }
          asio::async_connect(self->socket, found,
                              [self](const std::error_code& connectError, const asio::ip::tcp::endpoint&) {
                                if (!self->finished) {
                                  self->finish(!connectError);
                                }
                              });
        });
  }

  void finish(bool connected) {
    finished = true;
    deadline.cancel();
    resolver.cancel();
    if (!connected) {
      std::error_code ignored;
      socket.close(ignored);
      gate->deliver([&clientEvents = events] { clientEvents.connectFinished(false); });
      return;
    }
    auto made = std::make_shared<StreamConnection>(std::move(socket), writeStarts);
    {
      const std::lock_guard lock(connectionMutex);
      connection = made;
    }
    gate->deliver([&clientEvents = events] { clientEvents.connectFinished(true); });
    made->start(
        [gate = gate, &clientEvents = events, reader = std::weak_ptr(made)](std::string bytes) {
          gate->deliver([&clientEvents, reader, bytes = std::move(bytes)] {
            if (const auto reading = reader.lock()) {
              reading->bytesTaken(bytes.size());
            }
            clientEvents.dataArrived(bytes);
          });
        },
        [gate = gate, &clientEvents = events] { gate->deliver([&clientEvents] { clientEvents.connectionClosed(); }); });
  }

  void abandon() {
    if (!finished) {
      finished = true;
      deadline.cancel();
      resolver.cancel();
      std::error_code ignored;
      socket.close(ignored);
    }
    std::shared_ptr<StreamConnection> made;
    {
      const std::lock_guard lock(connectionMutex);
      made = std::move(connection);
    }
    if (made) {
      made->stop();
    }
  }

  bool send(std::string_view text, std::optional<int> waitSeconds) {
    std::shared_ptr<StreamConnection> made;
    {
      const std::lock_guard lock(connectionMutex);
      made = connection;
    }
    return made && made->send(text, waitSeconds);
  }

  asio::ip::tcp::resolver resolver;
  asio::ip::tcp::socket socket;
  asio::steady_timer deadline;
  const std::shared_ptr<WriteStarts> writeStarts;
  const std::shared_ptr<EventGate> gate;
  LanClientEvents& events;
  const std::chrono::milliseconds connectBound;
  bool finished = false;  // network thread only

  std::mutex connectionMutex;
  std::shared_ptr<StreamConnection> connection;
};

LanClient::LanClient(NetworkService& network, GuiThread& gui, LanClientEvents& events,
                     std::chrono::milliseconds connectBound)
    : network_(network), gui_(gui), events_(events), connectBound_(connectBound) {}

LanClient::~LanClient() { disconnect(); }

void LanClient::connect(const std::string& host, std::uint16_t port) {
  disconnect();
  auto attempt = std::make_shared<Attempt>(network_.context(), gui_, events_, connectBound_);
  {
    const std::lock_guard lock(attemptMutex_);
    attempt_ = attempt;
  }
  asio::post(network_.context(), [attempt, host, port] { attempt->start(host, port); });
}

bool LanClient::send(std::string_view text, std::optional<int> waitSeconds) {
  std::shared_ptr<Attempt> attempt;
  {
    const std::lock_guard lock(attemptMutex_);
    attempt = attempt_;
  }
  return attempt && attempt->send(text, waitSeconds);
}

void LanClient::disconnect() {
  std::shared_ptr<Attempt> attempt;
  {
    const std::lock_guard lock(attemptMutex_);
    attempt = std::move(attempt_);
  }
  if (attempt) {
    attempt->gate->close();
    asio::post(network_.context(), [attempt] { attempt->abandon(); });
  }
}

}  // namespace zorvi
