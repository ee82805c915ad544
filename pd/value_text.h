// Value-to-text tables of the decoders: one row per value, one lookup each.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zk {

struct ValueText {
  int value;
  const char* text;
};

// The row's text for value, or fallback when no row holds it.
constexpr const char* LookupText(std::span<const ValueText> table, int value, const char* fallback = nullptr) {
  for (const ValueText& row : table) {
    if (row.value == value) return row.text;
  }
  return fallback;
}

// A one-bit flag of a data object and the text shown when it is set.
struct FlagText {
  int bit;
  const char* text;
};

// Field bits hi..lo of a 32-bit object.
constexpr std::uint32_t Bits(std::uint32_t word, int hi, int lo) {
  return (word >> lo) & ((hi - lo >= 31) ? 0xFFFFFFFFu : ((1u << (hi - lo + 1)) - 1u));
}

// Appends the text of every set flag, in table order.
inline void AppendFlags(std::string& out, std::uint32_t word, std::span<const FlagText> flags) {
  for (const FlagText& flag : flags) {
    if (Bits(word, flag.bit, flag.bit)) out += flag.text;
  }
}

}  // namespace zk
