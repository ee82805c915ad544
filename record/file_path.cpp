#include "record/file_path.h"

#include <exception>

namespace zk {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  try {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
  } catch (const std::exception&) {
    return {};
  }
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  try {
    const std::u8string u = path.u8string();
    return std::string(u.begin(), u.end());
  } catch (const std::exception&) {
    return path.string();
  }
}

std::FILE* OpenFile(const std::string& utf8, const char* mode) {
#ifdef _WIN32
  const std::filesystem::path path = PathFromUtf8(utf8);
  if (path.empty()) return nullptr;
  std::wstring wideMode;
  for (const char* m = mode; *m; ++m) wideMode += static_cast<wchar_t>(static_cast<unsigned char>(*m));
  // The CRT opens with _SH_DENYNO, as fopen does: a capture may keep appending meanwhile.
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(utf8.c_str(), mode);
#endif
}

}  // namespace zk
