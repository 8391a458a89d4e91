#pragma once
// The one network thread: it performs every socket operation of LanServer, LanClient and
// LanDatagram and hands their events to the GUI thread. Construct it before the endpoints that use
// it and destroy it after them. Once an endpoint is closed or destroyed it posts nothing more, so
// its GuiThread and event handlers need only outlive the endpoint.

#include <memory>

namespace asio {
class io_context;
}

namespace zorvi {

class NetworkService {
 public:
  // Starts the network thread.
  NetworkService();
  // Stops the thread and joins it; operations still pending are abandoned.
  ~NetworkService();

  NetworkService(const NetworkService&) = delete;
  NetworkService& operator=(const NetworkService&) = delete;

  // For the endpoints: the context whose handlers run on the network thread.
  asio::io_context& context();

 private:
  struct Running;
  std::unique_ptr<Running> running_;
};

}  // namespace zorvi
