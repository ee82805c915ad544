#include "app/memory_storage.h"

namespace zk {

const MemoryStorage::Value* MemoryStorage::Find(std::string_view section, std::string_view name) const {
  const auto it = m_Values.find(Key(section, name));
  return it == m_Values.end() ? nullptr : &it->second;
}

void MemoryStorage::Erase(std::string_view section, std::string_view name) { m_Values.erase(Key(section, name)); }

std::int32_t MemoryStorage::ReadNumber(std::string_view section, std::string_view name, std::int32_t def) {
  const Value* v = Find(section, name);
  const std::int32_t* n = v ? std::get_if<std::int32_t>(v) : nullptr;
  return n ? *n : def;
}

bool MemoryStorage::WriteNumber(std::string_view section, std::string_view name, std::int32_t value) {
  m_Values[Key(section, name)] = value;
  return true;
}

std::string MemoryStorage::ReadText(std::string_view section, std::string_view name, const std::string& def) {
  const Value* v = Find(section, name);
  const std::string* s = v ? std::get_if<std::string>(v) : nullptr;
  return s ? *s : def;
}

bool MemoryStorage::WriteText(std::string_view section, std::string_view name, const std::string& text) {
  m_Values[Key(section, name)] = text;
  return true;
}

std::optional<std::vector<std::uint8_t>> MemoryStorage::ReadRecord(std::string_view section, std::string_view name) {
  const Value* v = Find(section, name);
  const auto* bytes = v ? std::get_if<std::vector<std::uint8_t>>(v) : nullptr;
  if (!bytes) return std::nullopt;
  return *bytes;
}

bool MemoryStorage::WriteRecord(std::string_view section, std::string_view name, const std::uint8_t* bytes,
                                std::size_t count) {
  m_Values[Key(section, name)] = std::vector<std::uint8_t>(bytes, bytes + count);
  return true;
}

}  // namespace zk
