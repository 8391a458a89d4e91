#include "session/ClientList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace zorvi {
namespace {

ClientRow rowAt(std::string address, std::string port) {
  ClientRow row;
  row.cells[COLUMN_ADDRESS] = std::move(address);
  row.cells[COLUMN_PORT] = std::move(port);
  return row;
}

struct RecordingObserver : ClientListObserver {
  void rowAppended(std::size_t index, const ClientRow&) override { events.push_back("append " + std::to_string(index)); }
  void rowChanged(std::size_t index, const ClientRow&) override { events.push_back("change " + std::to_string(index)); }
  void rowRemoved(std::size_t index) override { events.push_back("remove " + std::to_string(index)); }
  std::vector<std::string> events;
};

TEST(ClientList, RowsAreFoundByAddressAndNamedByAddressAndPort) {
  ClientList list;
  list.appendRow(rowAt("192.168.1.20", "50211"));
  list.appendRow(rowAt("192.168.1.21", "50300"));
  EXPECT_EQ(list.findAddress("192.168.1.21"), 1u);
  EXPECT_FALSE(list.findAddress("192.168.1.2"));
  EXPECT_EQ(list.row(0).clientId(), "192.168.1.20:50211");
}

TEST(ClientList, ObserverSeesEveryChangeAndOutOfRangeChangesNothing) {
  ClientList list;
  RecordingObserver observer;
  list.setObserver(&observer);
  list.appendRow(rowAt("a", "1"));
  list.appendRow(rowAt("b", "2"));
  list.setTicked(1, true);
  list.setTicked(1, true);  // no change, no event
  list.setCell(0, COLUMN_PORT, "9");
  list.removeRow(0);
  list.removeRow(5);
  list.setTicked(7, true);
  list.setCell(0, CLIENT_LIST_COLUMN_COUNT, "x");
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"append 0", "append 1", "change 1", "change 0", "remove 0"}));
  ASSERT_EQ(list.rowCount(), 1u);
  EXPECT_TRUE(list.row(0).ticked);
}

TEST(ClientList, SnapshotsStayWholeWhileTheGuiThreadChangesTheList) {
  ClientList list;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done) {
      const ClientList::Snapshot rows = list.snapshot();
      for (const ClientRow& row : *rows) {
        // Each row was published whole: its port always matches its address.
        ASSERT_EQ(row.cells[COLUMN_PORT], "p" + row.cells[COLUMN_ADDRESS]);
      }
    }
  });
  for (int i = 0; i < 2000; ++i) {
    list.appendRow(rowAt(std::to_string(i), "p" + std::to_string(i)));
    list.setTicked(list.rowCount() - 1, true);
    if (list.rowCount() > 20) {
      list.removeRow(0);
    }
  }
  done = true;
  reader.join();
  EXPECT_EQ(list.snapshot()->size(), 20u);
}

}  // namespace
}  // namespace zorvi
