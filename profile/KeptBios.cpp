#include "profile/KeptBios.h"

#include <mutex>
#include <utility>

namespace zorvi {
namespace {

struct KeptBiosState {
  std::mutex mutex;
  bool kept = false;
  std::string name;
};

KeptBiosState& keptBiosState() {
  static KeptBiosState state;
  return state;
}

}  // namespace

void keepBios(std::string biosName) {
  KeptBiosState& state = keptBiosState();
  const std::lock_guard lock(state.mutex);
  if (!state.kept) {
    state.kept = true;
    state.name = std::move(biosName);
  }
}

std::string keptBios() {
  KeptBiosState& state = keptBiosState();
  const std::lock_guard lock(state.mutex);
  return state.name;
}

}  // namespace zorvi
