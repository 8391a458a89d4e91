#include "profile/win32/HardwareTrait.h"

#include <string_view>

#include "profile/HardwareTraitScript.h"
#include "profile/win32/ScriptControl.h"
#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

std::string wmicStandIn(std::string_view key) {
  ScriptControl control;
  if (!control.executeStatement(wmiFallbackScript())) {
    return {};
  }
  const std::string_view arguments[] = {key};
  return control.run(WMI_FALLBACK_FUNCTION, arguments);
}

}  // namespace

std::string queryHardwareTrait(int index) {
  const auto key = hardwareTraitKey(index);
  if (!key) {
    return {};
  }
  ScriptControl control;
  control.executeStatement(hardwareTraitScript());
  const std::string_view arguments[] = {*key};
  return trimTraitSpaces(control.run(TRAIT_FUNCTION, arguments));
}

std::string queryWmiBiosSerial() { return wmicStandIn(WMI_SERIAL_KEY); }

std::vector<std::string> queryWmiMemoryCapacities() { return splitText(wmicStandIn(WMI_CAPACITIES_KEY), "\r\n"); }

}  // namespace zorvi
