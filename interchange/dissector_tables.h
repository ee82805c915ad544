// The analyzer dissector's copy of our vocabulary: the field dictionary (lists and value
// tables) and the message names, written as Lua tables so that the dissector in
// contrib/wireshark/usbpd.lua names everything exactly as the detail pane does.
#pragma once

#include <cstdint>
#include <string>

#include "pd/field_dictionary.h"

namespace zk::interchange {

// Index of a field list in dictionary order; 255 for none or a list not in the dictionary.
std::uint8_t FieldListNumber(const FieldDescriptor* list);
// Number (1 to 143) of a value table; 0 for none.
std::uint8_t ValueTableNumber(const ValueEntry* table);

// The generated section, from its begin marker line to its end marker line.
std::string DissectorTablesLua();

inline constexpr const char* kTablesBegin = "-- BEGIN GENERATED TABLES";
inline constexpr const char* kTablesEnd = "-- END GENERATED TABLES";

// Replaces the generated section of a dissector script; false when it has none.
bool ReplaceDissectorTables(std::string& script, const std::string& tables);
// The generated section of a dissector script; empty when it has none.
std::string DissectorTablesOf(const std::string& script);

}  // namespace zk::interchange
