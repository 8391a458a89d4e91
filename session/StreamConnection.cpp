#include "session/StreamConnection.h"

#include <algorithm>
#include <asio/post.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <utility>

namespace zorvi {

void WriteStarts::request(std::shared_ptr<StreamConnection> connection) {
  const std::lock_guard lock(mutex_);
  requested_.push_back(std::move(connection));
  if (requested_.size() == 1) {
    asio::post(network_, [self = shared_from_this()] { self->startAll(); });
  }
}

void WriteStarts::startAll() {
  {
    const std::lock_guard lock(mutex_);
    starting_.swap(requested_);
  }
  for (const std::shared_ptr<StreamConnection>& connection : starting_) {
    connection->writeNext();
  }
  starting_.clear();
}

StreamConnection::StreamConnection(asio::ip::tcp::socket socket, std::weak_ptr<WriteStarts> writeStarts)
    : socket_(std::move(socket)), writeStarts_(std::move(writeStarts)) {
  std::error_code ignored;
  socket_.set_option(asio::ip::tcp::no_delay(true), ignored);  // input events must not wait for Nagle
}

void StreamConnection::start(DataHandler onData, EndHandler onEnd) {
  onData_ = std::move(onData);
  onEnd_ = std::move(onEnd);
  readNext();
}

bool StreamConnection::send(std::string_view text, std::optional<int> waitSeconds) {
  if (text.size() > WRITE_QUEUE_LIMIT) {
    return false;
  }
  std::unique_lock lock(mutex_);
  if (stopped_) {
    return false;
  }
  if (text.empty()) {
    return true;
  }
  const auto hasRoom = [&] { return stopped_ || queuedBytes_ + text.size() <= WRITE_QUEUE_LIMIT; };
  if (!hasRoom()) {
    if (!waitSeconds || *waitSeconds <= 0 ||
        !roomMade_.wait_for(lock, std::chrono::seconds(*waitSeconds), hasRoom)) {
      return false;
    }
    if (stopped_) {
      return false;
    }
  }
  if (!writing_) {
    const std::shared_ptr<WriteStarts> writeStarts = writeStarts_.lock();
    if (!writeStarts) {
      return false;
    }
    writing_ = true;
    writeStarts->request(shared_from_this());
  }
  queue_.emplace_back(text);
  queuedBytes_ += text.size();
  return true;
}

void StreamConnection::stop() {
  {
    const std::lock_guard lock(mutex_);
    if (stopped_) {
      return;
    }
    stopped_ = true;
    // Texts being written stay until their write completes: the socket may still read them.
    for (auto text = queue_.begin() + static_cast<std::ptrdiff_t>(inFlight_); text != queue_.end(); ++text) {
      queuedBytes_ -= text->size();
    }
    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(inFlight_), queue_.end());
  }
  roomMade_.notify_all();
  onData_ = nullptr;
  onEnd_ = nullptr;
  std::error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
}

void StreamConnection::bytesTaken(std::size_t count) {
  if (!readBacklog_.taken(count)) {
    return;
  }
  asio::post(socket_.get_executor(), [self = shared_from_this()] {
    if (!self->stopped()) {
      self->readNext();
    }
  });
}

bool StreamConnection::stopped() const {
  const std::lock_guard lock(mutex_);
  return stopped_;
}

void StreamConnection::readNext() {
  socket_.async_read_some(asio::buffer(readBuffer_),
                          [self = shared_from_this()](const std::error_code& error, std::size_t length) {
                            if (self->stopped()) {
                              return;
                            }
                            if (length > 0) {
                              self->readBacklog_.handedOver(length);
                              self->onData_(std::string(self->readBuffer_.data(), length));
                            }
                            if (error) {
                              self->end();
                              return;
                            }
                            if (self->readBacklog_.mayReadOn()) {
                              self->readNext();
                            }
                          });
}

void StreamConnection::writeNext() {
  {
    const std::lock_guard lock(mutex_);
    if (stopped_ || queue_.empty()) {
      writing_ = false;
      return;
    }
    // Texts pushed later by other threads do not move these: a deque keeps its elements in place.
    inFlight_ = std::min(queue_.size(), MAX_GATHERED_TEXTS);
    writeBuffers_.clear();
    for (std::size_t index = 0; index < inFlight_; ++index) {
      writeBuffers_.push_back(asio::buffer(queue_[index]));
    }
  }
  asio::async_write(socket_, writeBuffers_,
                    [self = shared_from_this()](const std::error_code& error, std::size_t) {
                      self->writeDone(error);
                    });
}

void StreamConnection::writeDone(const std::error_code& error) {
  {
    const std::lock_guard lock(mutex_);
    for (; inFlight_ > 0; --inFlight_) {
      queuedBytes_ -= queue_.front().size();
      queue_.pop_front();
    }
  }
  roomMade_.notify_all();
  if (error) {
    end();
  }
  writeNext();
}

void StreamConnection::end() {
  if (stopped()) {
    return;
  }
  EndHandler onEnd = std::move(onEnd_);
  stop();
  onEnd();
}

}  // namespace zorvi
