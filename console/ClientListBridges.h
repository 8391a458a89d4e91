#pragma once
// The client list and the listener as the input broadcast and the export see them.

#include <string>
#include <vector>

#include "console/ExcelExport.h"
#include "input/BroadcastPorts.h"
#include "session/ClientList.h"
#include "session/LanServer.h"

namespace zorvi {

// The ticked rows' ClientIds, read from one snapshot: safe on the broadcast thread.
class TickedRowTargets final : public BroadcastTargets {
 public:
  explicit TickedRowTargets(const ClientList& clients) : clients_(clients) {}
  std::vector<std::string> tickedClientIds() override;

 private:
  const ClientList& clients_;
};

// Queues each Input message on the machine's connection without waiting for room: a full queue
// means a machine that has stopped reading, and it must not hold up the others.
class ServerInputSender final : public InputSender {
 public:
  explicit ServerInputSender(LanServer& server) : server_(server) {}
  bool send(std::string_view clientId, std::string_view message) override {
    return server_.send(ClientId(clientId), message);
  }

 private:
  LanServer& server_;
};

// Every row, ticked or not, under the column headings. GUI thread.
class ClientListExportReader final : public ClientListReader {
 public:
  explicit ClientListExportReader(const ClientList& clients) : clients_(clients) {}
  std::size_t rowCount() const override { return clients_.rowCount(); }
  std::size_t columnCount() const override { return CLIENT_LIST_COLUMN_COUNT; }
  std::string columnHeading(std::size_t column) const override { return std::string(CLIENT_LIST_COLUMNS.at(column)); }
  std::string cellText(std::size_t row, std::size_t column) const override { return clients_.row(row).cells.at(column); }

 private:
  const ClientList& clients_;
};

}  // namespace zorvi
