#include "app/qsettings_storage.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <limits>

#include "app/settings.h"

namespace zk {

namespace {

QString Key(std::string_view section, std::string_view name) {
  return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
         QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

QSettingsStorage::QSettingsStorage()
    : m_Settings(std::make_unique<QSettings>(ToQString(kSettingsOrganization), ToQString(kSettingsApplication))) {}

QSettingsStorage::QSettingsStorage(const QString& iniPath)
    : m_Settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QSettingsStorage::~QSettingsStorage() = default;

std::int32_t QSettingsStorage::ReadNumber(std::string_view section, std::string_view name, std::int32_t def) {
  const QVariant v = m_Settings->value(Key(section, name));
  if (!v.isValid() || v.typeId() == QMetaType::QByteArray) return def;
  bool ok = false;
  const qlonglong n = v.toLongLong(&ok);
  // A 32-bit registry number may have been written unsigned by another tool.
  if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::uint32_t>::max()) {
    return def;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

bool QSettingsStorage::WriteNumber(std::string_view section, std::string_view name, std::int32_t value) {
  m_Settings->setValue(Key(section, name), static_cast<int>(value));
  return m_Settings->status() == QSettings::NoError;
}

std::string QSettingsStorage::ReadText(std::string_view section, std::string_view name, const std::string& def) {
  const QVariant v = m_Settings->value(Key(section, name));
  if (v.typeId() != QMetaType::QString) return def;
  return v.toString().toStdString();
}

bool QSettingsStorage::WriteText(std::string_view section, std::string_view name, const std::string& text) {
  m_Settings->setValue(Key(section, name), ToQString(text));
  return m_Settings->status() == QSettings::NoError;
}

std::optional<std::vector<std::uint8_t>> QSettingsStorage::ReadRecord(std::string_view section, std::string_view name) {
  const QVariant v = m_Settings->value(Key(section, name));
  if (v.typeId() != QMetaType::QByteArray) return std::nullopt;
  const QByteArray bytes = v.toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QSettingsStorage::WriteRecord(std::string_view section, std::string_view name, const std::uint8_t* bytes,
                                   std::size_t count) {
  const QByteArray data(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(count));
  m_Settings->setValue(Key(section, name), data);
  return m_Settings->status() == QSettings::NoError;
}

bool QSettingsStorage::Sync() {
  m_Settings->sync();
  return m_Settings->status() == QSettings::NoError;
}

}  // namespace zk
