// The per-user profile operations the settings store relies on; the registry, QSettings
// and an in-memory map all sit behind this one interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zk {

class SettingsStorage {
 public:
  virtual ~SettingsStorage() = default;

  // The stored number, or def when the value is missing or not a number.
  virtual std::int32_t ReadNumber(std::string_view section, std::string_view name, std::int32_t def) = 0;
  // Writes report success, but the store ignores a failure and carries on with the next value.
  virtual bool WriteNumber(std::string_view section, std::string_view name, std::int32_t value) = 0;
  // Texts are UTF-8 here; an implementation converts to what its medium holds.
  virtual std::string ReadText(std::string_view section, std::string_view name, const std::string& def) = 0;
  virtual bool WriteText(std::string_view section, std::string_view name, const std::string& text) = 0;
  // The stored bytes, or nothing when the value is missing or not binary.
  virtual std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view section, std::string_view name) = 0;
  virtual bool WriteRecord(std::string_view section, std::string_view name, const std::uint8_t* bytes,
                           std::size_t count) = 0;
};

}  // namespace zk
