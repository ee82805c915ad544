// printf-style formatting into std::string: decoded texts must match what C printf prints.
#pragma once

#include <string>

namespace zk {

#if defined(__GNUC__) || defined(__clang__)
#define ZK_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZK_PRINTF_LIKE(fmt, args)
#endif

std::string Format(const char* fmt, ...) ZK_PRINTF_LIKE(1, 2);

// Appends the formatted text to out, saving a temporary in the decoders' loops.
void AppendFormat(std::string& out, const char* fmt, ...) ZK_PRINTF_LIKE(2, 3);

}  // namespace zk
