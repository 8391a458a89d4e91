#include "RemoteMemory.h"

#include "ProbeError.h"

namespace zorvi::room {

RemoteProcess::RemoteProcess(HWND window) : handle_(nullptr) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  handle_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                        processId);
  if (handle_ == nullptr) {
    throw ProbeError("cannot open the window's process (error " + std::to_string(GetLastError()) + ")");
  }
}

RemoteProcess::~RemoteProcess() { CloseHandle(handle_); }

RemoteBuffer::RemoteBuffer(const RemoteProcess& process, std::size_t size)
    : process_(process.handle()),
      base_(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      size_(size) {
  if (base_ == nullptr) {
    throw ProbeError("cannot allocate memory in the window's process (error " + std::to_string(GetLastError()) + ")");
  }
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(process_, base_, 0, MEM_RELEASE); }

void* RemoteBuffer::at(std::size_t offset) const { return static_cast<char*>(base_) + offset; }

void RemoteBuffer::write(std::size_t offset, const void* data, std::size_t size) {
  SIZE_T written = 0;
  if (offset + size > size_ || !WriteProcessMemory(process_, at(offset), data, size, &written) || written != size) {
    throw ProbeError("cannot write into the window's process");
  }
}

void RemoteBuffer::read(std::size_t offset, void* data, std::size_t size) const {
  SIZE_T got = 0;
  if (offset + size > size_ || !ReadProcessMemory(process_, at(offset), data, size, &got) || got != size) {
    throw ProbeError("cannot read from the window's process");
  }
}

}  // namespace zorvi::room
