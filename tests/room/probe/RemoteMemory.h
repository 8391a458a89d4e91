// Memory inside the process that owns a window. List-view and status-bar messages carry pointers
// that the receiving process dereferences, so the structures they point to must live there.
// The probe and the target must have the same bitness (both 64-bit in the room): the structures
// are written in the probe's own layout.
#pragma once

#include <windows.h>

#include <cstddef>

namespace zorvi::room {

// An open handle to the process owning a window, with the rights the remote buffer needs.
class RemoteProcess {
 public:
  explicit RemoteProcess(HWND window);  // throws ProbeError when the process cannot be opened
  ~RemoteProcess();
  RemoteProcess(const RemoteProcess&) = delete;
  RemoteProcess& operator=(const RemoteProcess&) = delete;
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_;
};

// A block of committed read-write memory in another process, released on destruction.
class RemoteBuffer {
 public:
  RemoteBuffer(const RemoteProcess& process, std::size_t size);  // throws ProbeError
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  // Address of `offset` as the other process sees it; only meaningful there.
  void* at(std::size_t offset) const;
  void write(std::size_t offset, const void* data, std::size_t size);  // throws ProbeError
  void read(std::size_t offset, void* data, std::size_t size) const;   // throws ProbeError
  std::size_t size() const { return size_; }

 private:
  HANDLE process_;
  void* base_;
  std::size_t size_;
};

}  // namespace zorvi::room
