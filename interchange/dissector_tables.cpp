#include "interchange/dissector_tables.h"

#include <cstdio>
#include <string_view>

#include "pd/message_header.h"
#include "pd/message_names.h"
#include "record/packet.h"

namespace zk::interchange {

namespace {

std::string LuaString(std::string_view s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03u", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string Name(const char* s) { return s ? LuaString(s) : "false"; }

bool IsUnknownName(const std::string& name) { return name.rfind("Unknown(", 0) == 0; }

}  // namespace

std::uint8_t FieldListNumber(const FieldDescriptor* list) {
  if (list == nullptr) return 255;
  const auto lists = FieldLists();
  for (std::size_t i = 0; i < lists.size(); ++i) {
    if (lists[i].m_Entries.data() == list) return static_cast<std::uint8_t>(i);
  }
  return 255;
}

std::uint8_t ValueTableNumber(const ValueEntry* table) {
  if (table == nullptr) return 0;
  for (int n = 1; n <= kValueTableCount; ++n) {
    if (ValueTable(n) == table) return static_cast<std::uint8_t>(n);
  }
  return 0;
}

std::string DissectorTablesLua() {
  std::string out = std::string(kTablesBegin) + " (zk_dissector_tables writes this part; do not edit)\n";
  char buf[64];
  out += "-- value_tables[n]: {mask, value, printf text, multiplier} per entry\nlocal value_tables = {\n";
  for (int n = 1; n <= kValueTableCount; ++n) {
    std::snprintf(buf, sizeof buf, "  [%d] = {\n", n);
    out += buf;
    for (const ValueEntry& e : ValueTableEntries(n)) {
      if (e.m_Text == nullptr) continue;  // the end entry
      std::snprintf(buf, sizeof buf, "    {0x%08X, %d, ", e.m_Mask, e.m_Value);
      out += buf;
      out += LuaString(e.m_Text) + ", " + std::to_string(e.m_Multiplier) + "},\n";
    }
    out += "  },\n";
  }
  out += "}\n\n-- field_lists[i]: title and {offset, length, value table or 0, name or false} per field\n";
  out += "local field_lists = {\n";
  const auto lists = FieldLists();
  for (std::size_t i = 0; i < lists.size(); ++i) {
    out += "  [" + std::to_string(i) + "] = {" + LuaString(lists[i].m_Title) + ", {\n";
    for (const FieldDescriptor& f : lists[i].m_Entries) {
      if (f.m_Length == 0) continue;  // the end descriptor
      std::snprintf(buf, sizeof buf, "    {%u, %u, %u, ", f.m_Offset, f.m_Length, ValueTableNumber(f.m_pTable));
      out += buf;
      out += Name(f.m_Name) + "},\n";
    }
    out += "  }},\n";
  }
  out += "}\n\n-- message_names.<class>[1 for revision 1.0 and 2.0, 2 from 3.0][type]\nlocal message_names = {\n";
  const struct {
    const char* key;
    MessageClass cls;
  } classes[] = {
      {"control", MessageClass::kControl}, {"data", MessageClass::kData}, {"extended", MessageClass::kExtended}};
  for (const auto& c : classes) {
    out += std::string("  ") + c.key + " = {\n";
    for (int revision : {1, 2}) {
      out += "    {";
      for (int type = 0; type < 32; ++type) {
        const std::string name = MessageTypeName(c.cls, type, revision);
        if (!IsUnknownName(name)) out += "[" + std::to_string(type) + "] = " + LuaString(name) + ", ";
      }
      out += "},\n";
    }
    out += "  },\n";
  }
  out += "}\n\n-- Names of packets that carry no message, by ordered-set kind\n";
  CCCPacket probe;
  probe.m_Kind = kKindTooShort;
  const std::string unknown = MessageName(probe);
  out += "local other_kind_names = {";
  for (int kind = 0; kind < 256; ++kind) {
    if (IsMessageKind(kind)) continue;
    probe.m_Kind = kind;
    const std::string name = MessageName(probe);
    if (name != unknown) out += "[" + std::to_string(kind) + "] = " + LuaString(name) + ", ";
  }
  out += "}\nlocal unknown_os_name = " + LuaString(unknown) + "\n";
  out += std::string(kTablesEnd) + "\n";
  return out;
}

std::string DissectorTablesOf(const std::string& script) {
  const std::size_t begin = script.find(kTablesBegin);
  if (begin == std::string::npos) return {};
  const std::size_t end = script.find(kTablesEnd, begin);
  if (end == std::string::npos) return {};
  const std::size_t lineEnd = script.find('\n', end);
  return script.substr(begin, (lineEnd == std::string::npos ? script.size() : lineEnd + 1) - begin);
}

bool ReplaceDissectorTables(std::string& script, const std::string& tables) {
  const std::string old = DissectorTablesOf(script);
  if (old.empty()) return false;
  script.replace(script.find(kTablesBegin), old.size(), tables);
  return true;
}

}  // namespace zk::interchange
