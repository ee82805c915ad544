// The 64-byte command records the box takes on its OUT pipe: CC register injection, the
// VBUS sampling interval and firmware-update mode, and the injection menu items.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "record/record_format.h"

namespace zk {

constexpr std::array<std::uint8_t, 4> kCommandSignature = {0x43, 0x43, 0x4B, 0x5A};  // "CCKZ"

enum CommandCode : std::uint32_t {
  kCmdInjection = 1,
  kCmdSamplingInterval = 6,
  kCmdFirmwareUpdate = 7,
};

enum class CcResistor : std::uint8_t { None = 0, Ra = 1, Rd = 2, RpDefault = 3, Rp1A5 = 4, Rp3A0 = 5 };
constexpr int kResistorCodeCount = 6;

Record InjectionCommand(int ccLine, CcResistor resistor);
Record SamplingIntervalCommand(std::uint32_t milliseconds);
Record FirmwareUpdateCommand();

// A command record as the box reads it; nothing when the signature is wrong.
struct ParsedCommand {
  std::uint32_t code = 0;
  int ccLine = 0;
  std::uint8_t resistor = 0;
  std::uint32_t intervalField = 0;  // milliseconds minus 1
};
std::optional<ParsedCommand> ParseCommand(const std::uint8_t* bytes, std::size_t size);

// One item of the "CC Register Injection" menu.
struct InjectionMenuItem {
  int id;
  int ccLine;
  CcResistor resistor;
  std::string_view text;
};

// In menu order: the CC1 items, then the CC2 items (a separator goes between them).
inline constexpr std::array<InjectionMenuItem, 12> kInjectionMenu = {{
    {32900, 0, CcResistor::None, "CC1 None"},
    {32901, 0, CcResistor::RpDefault, "CC1 Rp (Default USB Power)"},
    {32902, 0, CcResistor::Rp1A5, "CC1 Rp (1.5A @ 5V)"},
    {32903, 0, CcResistor::Rp3A0, "CC1 Rp (3.0A @ 5V)"},
    {32904, 0, CcResistor::Rd, "CC1 Rd"},
    {32905, 0, CcResistor::Ra, "CC1 Ra"},
    {32906, 1, CcResistor::None, "CC2 None"},
    {32907, 1, CcResistor::RpDefault, "CC2 Rp (Default USB Power)"},
    {32908, 1, CcResistor::Rp1A5, "CC2 Rp (1.5A @ 5V)"},
    {32909, 1, CcResistor::Rp3A0, "CC2 Rp (3.0A @ 5V)"},
    {32910, 1, CcResistor::Rd, "CC2 Rd"},
    {32911, 1, CcResistor::Ra, "CC2 Ra"},
}};
inline constexpr std::string_view kInjectionMenuText = "CC Register Injection";

const InjectionMenuItem* FindInjectionItem(int commandId);

// The resistor code last accepted by the box on each CC line; none at start.
struct InjectionState {
  std::array<CcResistor, 2> line = {CcResistor::None, CcResistor::None};
  bool IsChecked(const InjectionMenuItem& item) const { return line[item.ccLine & 1] == item.resistor; }
};

}  // namespace zk
