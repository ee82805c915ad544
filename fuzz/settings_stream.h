// The settings fuzz input: the answers to the store's reads, in the order it asks for them.
// Every read takes a tag byte (odd: the value is missing) and then its value: a number in
// 4 bytes, a text of up to 255 bytes after its length, a record of up to 65535 bytes after
// its 2-byte length, all little-endian. The seed maker records a saved store in this form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/memory_storage.h"
#include "app/settings_storage.h"
#include "fuzz/fuzz_util.h"

namespace zk::fuzz {

class StreamStorage : public SettingsStorage {
 public:
  explicit StreamStorage(Reader& in) : m_In(in) {}
  std::int32_t ReadNumber(std::string_view, std::string_view, std::int32_t def) override {
    if (m_In.Byte() & 1) return def;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(m_In.Byte()) << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  std::string ReadText(std::string_view, std::string_view, const std::string& def) override {
    if (m_In.Byte() & 1) return def;
    std::string text;
    for (std::size_t n = m_In.Byte(); n > 0 && m_In.Left(); --n) text += static_cast<char>(m_In.Byte());
    return text;
  }
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view, std::string_view) override {
    if (m_In.Byte() & 1) return std::nullopt;
    std::size_t n = m_In.Byte();
    n |= static_cast<std::size_t>(m_In.Byte()) << 8;
    std::vector<std::uint8_t> bytes;
    for (; n > 0 && m_In.Left(); --n) bytes.push_back(m_In.Byte());
    return bytes;
  }
  bool WriteNumber(std::string_view, std::string_view, std::int32_t) override { return true; }
  bool WriteText(std::string_view, std::string_view, const std::string&) override { return true; }
  bool WriteRecord(std::string_view, std::string_view, const std::uint8_t*, std::size_t) override { return true; }

 private:
  Reader& m_In;
};

// Answers the reads from a store and writes down the answers in the stream form.
class RecordingStorage : public SettingsStorage {
 public:
  RecordingStorage(MemoryStorage& from, std::vector<std::uint8_t>& out) : m_From(from), m_Out(out) {}
  std::int32_t ReadNumber(std::string_view s, std::string_view n, std::int32_t def) override {
    const auto* v = m_From.Find(s, n);
    if (!v || !std::holds_alternative<std::int32_t>(*v)) return Missing(def);
    const auto x = static_cast<std::uint32_t>(std::get<std::int32_t>(*v));
    m_Out.push_back(0);
    for (int i = 0; i < 4; ++i) m_Out.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
    return static_cast<std::int32_t>(x);
  }
  std::string ReadText(std::string_view s, std::string_view n, const std::string& def) override {
    const auto* v = m_From.Find(s, n);
    if (!v || !std::holds_alternative<std::string>(*v)) return Missing(def);
    std::string text = std::get<std::string>(*v).substr(0, 255);
    m_Out.push_back(0);
    m_Out.push_back(static_cast<std::uint8_t>(text.size()));
    m_Out.insert(m_Out.end(), text.begin(), text.end());
    return text;
  }
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view s, std::string_view n) override {
    const auto* v = m_From.Find(s, n);
    if (!v || !std::holds_alternative<std::vector<std::uint8_t>>(*v)) return Missing(std::nullopt);
    const auto& bytes = std::get<std::vector<std::uint8_t>>(*v);
    m_Out.push_back(0);
    m_Out.push_back(static_cast<std::uint8_t>(bytes.size()));
    m_Out.push_back(static_cast<std::uint8_t>(bytes.size() >> 8));
    m_Out.insert(m_Out.end(), bytes.begin(), bytes.end());
    return bytes;
  }
  bool WriteNumber(std::string_view, std::string_view, std::int32_t) override { return true; }
  bool WriteText(std::string_view, std::string_view, const std::string&) override { return true; }
  bool WriteRecord(std::string_view, std::string_view, const std::uint8_t*, std::size_t) override { return true; }

 private:
  template <typename T>
  T Missing(T def) {
    m_Out.push_back(1);
    return def;
  }
  MemoryStorage& m_From;
  std::vector<std::uint8_t>& m_Out;
};

}  // namespace zk::fuzz
