#include "pd/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace zk {

namespace {

void AppendFormatV(std::string& out, const char* fmt, std::va_list args) {
  // Nearly every decoded fragment is short: try a stack buffer before measuring.
  char buffer[256];
  std::va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(buffer, sizeof buffer, fmt, args);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof buffer) {
    out.append(buffer, static_cast<std::size_t>(n));
  } else {
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<std::size_t>(n) + 1, fmt, again);
    out.resize(at + static_cast<std::size_t>(n));
  }
  va_end(again);
}

}  // namespace

std::string Format(const char* fmt, ...) {
  std::string out;
  std::va_list args;
  va_start(args, fmt);
  AppendFormatV(out, fmt, args);
  va_end(args);
  return out;
}

void AppendFormat(std::string& out, const char* fmt, ...) {
  std::va_list args;
  va_start(args, fmt);
  AppendFormatV(out, fmt, args);
  va_end(args);
}

}  // namespace zk
