#include "capture/device_commands.h"

#include <algorithm>
#include <cstring>

namespace zk {

namespace {

Record CommandRecord(std::uint32_t code) {
  Record r{};
  std::copy(kCommandSignature.begin(), kCommandSignature.end(), r.begin());
  WriteU32(r.data() + 4, code);
  return r;
}

}  // namespace

Record InjectionCommand(int ccLine, CcResistor resistor) {
  Record r = CommandRecord(kCmdInjection);
  r[8] = static_cast<std::uint8_t>(ccLine & 1);
  r[9] = static_cast<std::uint8_t>(resistor);
  return r;
}

Record SamplingIntervalCommand(std::uint32_t milliseconds) {
  Record r = CommandRecord(kCmdSamplingInterval);
  WriteU32(r.data() + 8, milliseconds == 0 ? 0 : milliseconds - 1);
  r[12] = 3;
  return r;
}

Record FirmwareUpdateCommand() { return CommandRecord(kCmdFirmwareUpdate); }

std::optional<ParsedCommand> ParseCommand(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size != kRecordSize) return std::nullopt;
  if (!std::equal(kCommandSignature.begin(), kCommandSignature.end(), bytes)) return std::nullopt;
  ParsedCommand c;
  c.code = ReadU32(bytes + 4);
  c.ccLine = bytes[8];
  c.resistor = bytes[9];
  c.intervalField = ReadU32(bytes + 8);
  return c;
}

const InjectionMenuItem* FindInjectionItem(int commandId) {
  const auto it = std::find_if(kInjectionMenu.begin(), kInjectionMenu.end(),
                               [commandId](const InjectionMenuItem& item) { return item.id == commandId; });
  return it == kInjectionMenu.end() ? nullptr : &*it;
}

}  // namespace zk
