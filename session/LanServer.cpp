#include "session/LanServer.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <map>
#include <utility>

#include "session/EventGate.h"
#include "session/NetworkService.h"
#include "session/StreamConnection.h"

namespace zorvi {
namespace {

constexpr std::chrono::milliseconds ACCEPT_RETRY_PAUSE{100};

ClientId clientIdOf(const asio::ip::tcp::endpoint& peer) {
  return peer.address().to_string() + ":" + std::to_string(peer.port());
}

// On POSIX a restarted program must be able to listen while old connections sit in TIME_WAIT. On
// Windows the same option would let a second instance listen on the port too, and Windows never
// refuses a listener for TIME_WAIT, so it stays off there.
void allowRestartOverOldConnections(asio::ip::tcp::acceptor& acceptor, std::error_code& error) {
#if !defined(_WIN32)
  acceptor.set_option(asio::socket_base::reuse_address(true), error);
#else
  (void)acceptor;
  (void)error;
#endif
}

}  // namespace

// Network-side state of one open period of the server. Its socket work runs on the network thread;
// the table is also read by senders on any thread.
struct LanServer::Listening : std::enable_shared_from_this<LanServer::Listening> {
  Listening(asio::io_context& context, GuiThread& gui, LanServerEvents& serverEvents)
      : acceptor(context),
        retryTimer(context),
        writeStarts(std::make_shared<WriteStarts>(context.get_executor())),
        gate(std::make_shared<EventGate>(gui)),
        events(serverEvents) {}

  void acceptNext() {
    acceptor.async_accept([self = shared_from_this()](const std::error_code& error, asio::ip::tcp::socket socket) {
      if (self->closed) {
        return;
      }
      if (error) {
        // Out of descriptors or a connection reset before it was taken: try again shortly
        // rather than spin.
        self->retryTimer.expires_after(ACCEPT_RETRY_PAUSE);
        self->retryTimer.async_wait([self](const std::error_code& cancelled) {
          if (!cancelled && !self->closed) {
            self->acceptNext();
          }
        });
        return;
      }
      self->admit(std::move(socket));
      self->acceptNext();
    });
  }

  void admit(asio::ip::tcp::socket socket) {
    std::error_code error;
    const asio::ip::tcp::endpoint peer = socket.remote_endpoint(error);
    if (error) {
      return;  // gone before it could be named: closed with `socket`, no event
    }
    const ClientId client = clientIdOf(peer);
    auto connection = std::make_shared<StreamConnection>(std::move(socket), writeStarts);
    std::shared_ptr<StreamConnection> displaced;
    {
      const std::lock_guard lock(tableMutex);
      std::shared_ptr<StreamConnection>& entry = table[client];
      displaced = std::exchange(entry, connection);
    }
    if (displaced) {
      // The peer's address and port came back while the old connection looked open: that one is
      // dead. It leaves before the new one enters, so the handlers never see one name twice.
      displaced->stop();
      deliverLeft(client);
    }
    gate->deliver([&serverEvents = events, client] { serverEvents.clientEntered(client); });
    connection->start(
        [gate = gate, &serverEvents = events, client, reader = std::weak_ptr(connection)](std::string bytes) {
          gate->deliver([&serverEvents, client, reader, bytes = std::move(bytes)] {
            if (const auto reading = reader.lock()) {
              reading->bytesTaken(bytes.size());
            }
            serverEvents.dataArrived(client, bytes);
          });
        },
        [weak = weak_from_this(), client, ended = connection.get()] {
          if (const auto self = weak.lock()) {
            self->forget(client, ended);
          }
        });
  }

  void forget(const ClientId& client, const StreamConnection* ended) {
    {
      const std::lock_guard lock(tableMutex);
      const auto entry = table.find(client);
      if (entry == table.end() || entry->second.get() != ended) {
        return;
      }
      table.erase(entry);
    }
    deliverLeft(client);
  }

  void deliverLeft(const ClientId& client) {
    gate->deliver([&serverEvents = events, client] { serverEvents.clientLeft(client); });
  }

  std::shared_ptr<StreamConnection> find(const ClientId& client) {
    const std::lock_guard lock(tableMutex);
    const auto entry = table.find(client);
    return entry == table.end() ? nullptr : entry->second;
  }

  void shutDown() {
    closed = true;
    std::error_code ignored;
    acceptor.close(ignored);
    retryTimer.cancel();
    std::map<ClientId, std::shared_ptr<StreamConnection>> connections;
    {
      const std::lock_guard lock(tableMutex);
      connections.swap(table);
    }
    for (auto& [client, connection] : connections) {
      connection->stop();
    }
  }

  asio::ip::tcp::acceptor acceptor;
  asio::steady_timer retryTimer;
  const std::shared_ptr<WriteStarts> writeStarts;
  const std::shared_ptr<EventGate> gate;
  LanServerEvents& events;
  bool closed = false;  // network thread only

  std::mutex tableMutex;
  std::map<ClientId, std::shared_ptr<StreamConnection>> table;
};

LanServer::LanServer(NetworkService& network, GuiThread& gui, LanServerEvents& events)
    : network_(network), gui_(gui), events_(events) {}

LanServer::~LanServer() { close(); }

bool LanServer::open(std::uint16_t port) {
  if (isOpen()) {
    return true;
  }
  auto listening = std::make_shared<Listening>(network_.context(), gui_, events_);
  asio::ip::tcp::acceptor& acceptor = listening->acceptor;
  std::error_code error;
  acceptor.open(asio::ip::tcp::v4(), error);
  if (!error) {
    allowRestartOverOldConnections(acceptor, error);
  }
  if (!error) {
    acceptor.bind(asio::ip::tcp::endpoint(asio::ip::address_v4::any(), port), error);
  }
  if (!error) {
    acceptor.listen(asio::socket_base::max_listen_connections, error);
  }
  std::uint16_t bound = 0;
  if (!error) {
    bound = acceptor.local_endpoint(error).port();
  }
  if (error) {
    return false;
  }
  {
    const std::lock_guard lock(listeningMutex_);
    listening_ = listening;
  }
  port_ = bound;
  asio::post(network_.context(), [listening] { listening->acceptNext(); });
  return true;
}

void LanServer::close() {
  std::shared_ptr<Listening> listening;
  {
    const std::lock_guard lock(listeningMutex_);
    listening = std::move(listening_);
  }
  port_ = 0;
  if (listening) {
    listening->gate->close();
    asio::post(network_.context(), [listening] { listening->shutDown(); });
  }
}

bool LanServer::send(const ClientId& client, std::string_view text, std::optional<int> waitSeconds) {
  std::shared_ptr<Listening> listening;
  {
    const std::lock_guard lock(listeningMutex_);
    listening = listening_;
  }
  if (!listening) {
    return false;
  }
  const std::shared_ptr<StreamConnection> connection = listening->find(client);
  return connection && connection->send(text, waitSeconds);
}

}  // namespace zorvi
