// Settings storage on QSettings: the platform's per-user settings under the maker
// "Tarsimo, corp." and the application "PD Zelkor"; a section is a QSettings group.
#pragma once

#include <memory>

#include "app/settings_storage.h"

class QSettings;
class QString;

namespace zk {

class QSettingsStorage : public SettingsStorage {
 public:
  // The native per-user location of this application.
  QSettingsStorage();
  // An INI file at path (tests, portable runs).
  explicit QSettingsStorage(const QString& iniPath);
  ~QSettingsStorage() override;

  std::int32_t ReadNumber(std::string_view section, std::string_view name, std::int32_t def) override;
  bool WriteNumber(std::string_view section, std::string_view name, std::int32_t value) override;
  std::string ReadText(std::string_view section, std::string_view name, const std::string& def) override;
  bool WriteText(std::string_view section, std::string_view name, const std::string& text) override;
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view section, std::string_view name) override;
  bool WriteRecord(std::string_view section, std::string_view name, const std::uint8_t* bytes,
                   std::size_t count) override;

  // Pushes pending writes to the medium; false when that failed.
  bool Sync();

 private:
  std::unique_ptr<QSettings> m_Settings;
};

}  // namespace zk
