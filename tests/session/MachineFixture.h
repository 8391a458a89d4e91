#pragma once
// Test machines for the sessions: real endpoints over loopback, with the window and the local
// machine (replay, profile, addresses) replaced by recording doubles. Several machines share one
// GUI queue, which the test pumps as the message loop would.

#include <asio.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/Payloads.h"
#include "session/ClientList.h"
#include "session/LanMachine.h"
#include "session/NetworkService.h"
#include "session/PumpedGuiQueue.h"

namespace zorvi::test {

class RecordingView : public SessionView {
 public:
  void setConnectionStatus(std::string_view text) override { status = text; }
  std::string connectionStatus() const override { return status; }
  void setMessageText(std::string_view text) override { message = text; }
  std::string messageText() const override { return message; }
  void showMessageBox(std::string_view text) override { boxes.emplace_back(text); }
  void scanStarted() override { ++scans; }

  std::string status = "暂无连接";
  std::string message;
  std::vector<std::string> boxes;
  int scans = 0;
};

class RecordingMachine : public LocalMachine {
 public:
  explicit RecordingMachine(MachineProfile profileToReport) : profile(std::move(profileToReport)) {}

  void replayKeyMouse(std::string_view payload) override {
    const auto event = readInputPayload(payload);
    log.push_back("replay " + (event ? event->keyState : std::string("?")));
  }
  void releaseLeftButton() override { log.emplace_back("release left"); }
  std::string buildMachineProfile() override {
    log.emplace_back("profile");
    if (whileBuilding) {
      whileBuilding();  // the real build keeps dispatching the GUI thread's events meanwhile
    }
    return joinProfile(profile);
  }
  std::vector<std::string> localIPv4Addresses() override { return addresses; }

  MachineProfile profile;
  std::vector<std::string> addresses = {"127.0.0.1"};
  std::function<void()> whileBuilding;
  std::vector<std::string> log;
};

// A port nothing listens on right now (the kernel picks it; it is closed again at once).
inline std::uint16_t freePort(bool udp) {
  asio::io_context context;
  if (udp) {
    asio::ip::udp::socket socket(context, asio::ip::udp::endpoint(asio::ip::address_v4::loopback(), 0));
    return socket.local_endpoint().port();
  }
  asio::ip::tcp::acceptor acceptor(context, asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), 0));
  return acceptor.local_endpoint().port();
}

struct TestMachine {
  TestMachine(NetworkService& network, GuiThread& gui, MachineProfile profile, LanPorts ports)
      : local(std::move(profile)), lan(network, gui, view, local, clients, ports) {
    lan.open();
  }
  RecordingView view;
  RecordingMachine local;
  ClientList clients;
  LanMachine lan;
};

inline MachineProfile sampleProfile(std::string user) {
  return MachineProfile{std::move(user), "SN123", "i7-9750H", "8G + 8G", "Windows 10  (Build:19045)",
                        "NVIDIA GeForce RTX 2060", "Default System BIOS", "537.58", "90.06.3F.00.5A"};
}

// One controller and the ports that make its answers and sweeps meet on loopback.
class LanRoom {
 public:
  LanRoom() : controllerPorts_{freePort(false), 0, freePort(true), 0} {
    controller = std::make_unique<TestMachine>(network_, gui, sampleProfile("controller"), controllerPorts_);
  }

  // A controlled machine that answers scans by connecting to the controller.
  std::unique_ptr<TestMachine> controlledMachine(std::string user, bool receivesSweeps = false) {
    LanPorts ports{0, receivesSweeps ? controllerPorts_.sweep : std::uint16_t{0}, 0, controllerPorts_.listen};
    return std::make_unique<TestMachine>(network_, gui, sampleProfile(std::move(user)), ports);
  }

  bool pumpUntil(const std::function<bool()>& done) { return gui.runUntil(done, std::chrono::seconds(10)); }
  // Lets every event already on its way arrive.
  void settle() { gui.runUntil([] { return false; }, std::chrono::milliseconds(200)); }

  std::uint16_t sweepPort() const { return controllerPorts_.sweep; }
  NetworkService& network() { return network_; }

  PumpedGuiQueue gui;

 private:
  LanPorts controllerPorts_;
  NetworkService network_;

 public:
  std::unique_ptr<TestMachine> controller;
};

}  // namespace zorvi::test
