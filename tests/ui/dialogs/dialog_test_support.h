// Helpers of the dialog tests: a message sink that records instead of blocking, a temporary
// folder, and file reading.
#pragma once

#include <unistd.h>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ui/dialogs/dialog_support.h"

namespace zk::test {

struct Messages {
  QStringList shown;
  MessageSink Sink() {
    return [this](QWidget*, const QString& text) { shown << text; };
  }
};

class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : m_Path(std::filesystem::temp_directory_path() / ("zk_dialogs_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(m_Path);
    std::filesystem::create_directories(m_Path);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_Path, ec);
  }
  std::string File(const std::string& name) const { return (m_Path / name).string(); }
  std::string Path() const { return m_Path.string(); }

 private:
  std::filesystem::path m_Path;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace zk::test
