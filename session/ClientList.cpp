#include "session/ClientList.h"

namespace zorvi {

std::string ClientRow::clientId() const { return cells[COLUMN_ADDRESS] + ":" + cells[COLUMN_PORT]; }

std::optional<std::size_t> ClientList::findAddress(std::string_view address) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].cells[COLUMN_ADDRESS] == address) {
      return i;
    }
  }
  return std::nullopt;
}

void ClientList::appendRow(ClientRow row) {
  rows_.push_back(std::move(row));
  publish();
  if (observer_ != nullptr) {
    observer_->rowAppended(rows_.size() - 1, rows_.back());
  }
}

void ClientList::setCell(std::size_t index, std::size_t column, std::string text) {
  if (index >= rows_.size() || column >= CLIENT_LIST_COLUMN_COUNT) {
    return;
  }
  rows_[index].cells[column] = std::move(text);
  publish();
  if (observer_ != nullptr) {
    observer_->rowChanged(index, rows_[index]);
  }
}

void ClientList::removeRow(std::size_t index) {
  if (index >= rows_.size()) {
    return;
  }
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  publish();
  if (observer_ != nullptr) {
    observer_->rowRemoved(index);
  }
}

void ClientList::setTicked(std::size_t index, bool ticked) {
  if (index >= rows_.size() || rows_[index].ticked == ticked) {
    return;
  }
  rows_[index].ticked = ticked;
  publish();
  if (observer_ != nullptr) {
    observer_->rowChanged(index, rows_[index]);
  }
}

ClientList::Snapshot ClientList::snapshot() const {
  std::lock_guard lock(publishedMutex_);
  return published_;
}

void ClientList::publish() {
  auto copy = std::make_shared<const std::vector<ClientRow>>(rows_);
  std::lock_guard lock(publishedMutex_);
  published_ = std::move(copy);
}

}  // namespace zorvi
