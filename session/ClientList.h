#pragma once
// The controller's table of machines: one row per machine address, eleven text columns and a tick
// per row. The GUI thread owns it and is the only writer; the list view mirrors it through the
// observer and feeds the operator's tick changes back with setTicked. Other threads (the input
// broadcast) read consistent snapshots and never touch the window.

#include <array>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvi {

inline constexpr std::size_t CLIENT_LIST_COLUMN_COUNT = 11;

// Column headings in order; the address and the port come first.
inline constexpr std::array<std::string_view, CLIENT_LIST_COLUMN_COUNT> CLIENT_LIST_COLUMNS = {
    "IP地址", "端口", "用户名", "SN码", "CPU", "内存", "显卡", "BIOS", "显卡驱动", "VBIOS", "系统版本"};
inline constexpr std::size_t COLUMN_ADDRESS = 0;
inline constexpr std::size_t COLUMN_PORT = 1;

struct ClientRow {
  std::array<std::string, CLIENT_LIST_COLUMN_COUNT> cells;
  bool ticked = false;

  // "address:port", the handle for sending to this machine.
  std::string clientId() const;
  bool operator==(const ClientRow&) const = default;
};

// Told of every change, on the GUI thread, after the model has changed.
class ClientListObserver {
 public:
  virtual ~ClientListObserver() = default;
  virtual void rowAppended(std::size_t index, const ClientRow& row) = 0;
  virtual void rowChanged(std::size_t index, const ClientRow& row) = 0;
  virtual void rowRemoved(std::size_t index) = 0;
};

class ClientList {
 public:
  using Snapshot = std::shared_ptr<const std::vector<ClientRow>>;

  // Called on the GUI thread.
  std::size_t rowCount() const { return rows_.size(); }
  const ClientRow& row(std::size_t index) const { return rows_.at(index); }
  std::optional<std::size_t> findAddress(std::string_view address) const;
  void appendRow(ClientRow row);
  void setCell(std::size_t index, std::size_t column, std::string text);
  void removeRow(std::size_t index);
  void setTicked(std::size_t index, bool ticked);
  void setObserver(ClientListObserver* observer) { observer_ = observer; }

  // Safe from any thread: the rows as they stood after the last change.
  Snapshot snapshot() const;

 private:
  void publish();

  std::vector<ClientRow> rows_;
  ClientListObserver* observer_ = nullptr;
  mutable std::mutex publishedMutex_;
  Snapshot published_ = std::make_shared<const std::vector<ClientRow>>();
};

}  // namespace zorvi
