// Settings storage in memory: for tests, and for a run that must leave no trace.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <variant>

#include "app/settings_storage.h"

namespace zk {

class MemoryStorage : public SettingsStorage {
 public:
  using Value = std::variant<std::int32_t, std::string, std::vector<std::uint8_t>>;

  std::int32_t ReadNumber(std::string_view section, std::string_view name, std::int32_t def) override;
  bool WriteNumber(std::string_view section, std::string_view name, std::int32_t value) override;
  std::string ReadText(std::string_view section, std::string_view name, const std::string& def) override;
  bool WriteText(std::string_view section, std::string_view name, const std::string& text) override;
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view section, std::string_view name) override;
  bool WriteRecord(std::string_view section, std::string_view name, const std::uint8_t* bytes,
                   std::size_t count) override;

  // The value as stored, of whatever type; null when missing.
  const Value* Find(std::string_view section, std::string_view name) const;
  void Erase(std::string_view section, std::string_view name);
  std::size_t Size() const { return m_Values.size(); }

 private:
  using Key = std::pair<std::string, std::string>;
  std::map<Key, Value> m_Values;
};

}  // namespace zk
