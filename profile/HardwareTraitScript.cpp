#include "profile/HardwareTraitScript.h"

#include <algorithm>
#include <array>

#include "protocol/TextPrimitives.h"

namespace zorvi {
namespace {

constexpr std::array<std::string_view, 6> TRAIT_KEYS = {"磁盘序列号", "CPUID", "MAC", "声卡", "显卡", "BIOS"};

constexpr std::string_view TRAIT_SCRIPT_LINES[] = {
    "Function GetTrait(P)",
    "Dim WMI,Obj",
    "    Select Case P",
    "    Case \"BIOS\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_BIOS\")",
    "    For Each Obj in WMI",
    "    GetTrait = Obj.Name",
    "    Exit For",
    "    Next",
    "    Case \"磁盘序列号\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_PhysicalMedia\")",
    "    For Each Obj in WMI",
    "    GetTrait = Obj.SerialNumber",
    "    Exit For",
    "    Next",
    "    Case \"CPUID\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_Processor\")",
    "    For Each Obj in WMI",
    "    GetTrait = Obj.ProcessorId",
    "    Exit For",
    "    Next",
    "    Case \"声卡\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_SoundDevice\")",
    "    For Each Obj in WMI",
    "    GetTrait = Obj.Caption",
    "    Exit For",
    "    Next",
    "    Case \"显卡\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_VideoController\")",
    "    For Each Obj in WMI",
    "    GetTrait = Obj.Caption",
    "    Exit For",
    "    Next",
    "    Case \"MAC\"",
    "    Set WMI "
    "=GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_NetworkAdapterConfiguration\")",
    "    For Each Obj in WMI",
    "        If Obj.IPEnabled=True Then",
    "           GetTrait = Obj.MacAddress",
    "           Exit For",
    "        End If",
    "    Next",
    "    End Select",
    "End Function",
};

constexpr std::string_view WMI_FALLBACK_SCRIPT_LINES[] = {
    "Function WmicStandIn(P)",
    "Dim WMI,Obj",
    "WmicStandIn = \"\"",
    "    Select Case P",
    "    Case \"SerialNumber\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_BIOS\")",
    "    For Each Obj in WMI",
    "        If Not IsNull(Obj.SerialNumber) Then",
    "           WmicStandIn = Obj.SerialNumber",
    "        End If",
    "    Exit For",
    "    Next",
    "    Case \"Capacity\"",
    "    Set WMI =GetObject(\"winmgmts:{impersonationLevel=impersonate}\").InstancesOf(\"Win32_PhysicalMemory\")",
    "    For Each Obj in WMI",
    "        If Not IsNull(Obj.Capacity) Then",
    "           WmicStandIn = WmicStandIn & Obj.Capacity & vbCrLf",
    "        End If",
    "    Next",
    "    End Select",
    "End Function",
};

template <std::size_t N>
std::string joinLines(const std::string_view (&lines)[N]) {
  std::string script;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) {
      script.append("\r\n");
    }
    script.append(lines[i]);
  }
  return script;
}

constexpr std::string_view FULL_WIDTH_SPACE = "\xA1\xA1";

}  // namespace

std::optional<std::string_view> hardwareTraitKey(int index) {
  if (index < 0 || index >= static_cast<int>(TRAIT_KEYS.size())) {
    return std::nullopt;
  }
  return TRAIT_KEYS[static_cast<std::size_t>(index)];
}

std::string hardwareTraitScript() { return joinLines(TRAIT_SCRIPT_LINES); }

std::string wmiFallbackScript() { return joinLines(WMI_FALLBACK_SCRIPT_LINES); }

std::string trimTraitSpaces(std::string_view text) {
  // Walk whole characters: an A1 A1 pair that straddles two characters is no space.
  std::size_t keptStart = text.size();
  std::size_t keptEnd = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t width = isGbkLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
    const std::string_view character = text.substr(at, width);
    if (character != " " && character != FULL_WIDTH_SPACE) {
      keptStart = std::min(keptStart, at);
      keptEnd = at + width;
    }
    at += width;
  }
  return keptStart < keptEnd ? std::string(text.substr(keptStart, keptEnd - keptStart)) : std::string();
}

}  // namespace zorvi
