#include "session/NetworkService.h"

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <thread>

namespace zorvi {

struct NetworkService::Running {
  asio::io_context context{1};
  asio::executor_work_guard<asio::io_context::executor_type> keepRunning{context.get_executor()};
  std::thread thread{[this] { context.run(); }};
};

NetworkService::NetworkService() : running_(std::make_unique<Running>()) {}

NetworkService::~NetworkService() {
  running_->context.stop();
  running_->thread.join();
}

asio::io_context& NetworkService::context() { return running_->context; }

}  // namespace zorvi
