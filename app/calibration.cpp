#include "app/calibration.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zk {

namespace {

std::string Format(const char* format, std::int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::int32_t AbsoluteCurrent(std::int16_t current) { return std::abs(static_cast<std::int32_t>(current)); }

}  // namespace

std::int32_t ParseEditNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(kLimit, value * 10 + (text[i] - '0'));
  }
  value = negative ? -value : std::min(value, kLimit - 1);
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> CalibrationRatio(std::int32_t entered, std::int32_t reading) {
  if (reading <= 0) return std::nullopt;
  // The unsigned division of the original arithmetic turns a negative entry into a
  // meaningless huge ratio; such an entry, like a ratio beyond 32 bits, changes nothing.
  if (entered < 0) return std::nullopt;
  std::uint64_t ratio = static_cast<std::uint64_t>(entered) * 1000000u / static_cast<std::uint64_t>(reading);
  if (ratio % 100 != 0) ratio += 100;
  ratio = ratio / 100 * 100;
  if (ratio > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
  return static_cast<std::int32_t>(ratio);
}

std::string RatioText(std::int32_t ratio) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Calibration ratio : %.4f", static_cast<double>(ratio) / 1000000.0);
  return buf;
}

CalibrationDialogModel::CalibrationDialogModel(const CalibrationRatios& ratios, const LiveReading& reading)
    : m_Ratios(ratios),
      m_Reading(reading),
      m_VoltageEdit(Format("%d", reading.vbusVoltage)),
      m_CurrentEdit(Format("%d", AbsoluteCurrent(reading.vbusCurrent))) {}

CalibrationView CalibrationDialogModel::View() const {
  CalibrationView v;
  if (m_Reading.connected) {
    const std::int32_t voltage = m_Reading.vbusVoltage;
    const std::int32_t current = AbsoluteCurrent(m_Reading.vbusCurrent);
    v.uncalibratedVoltage = Format("%d [mV]", voltage);
    v.uncalibratedCurrent = Format("%d [mA]", current);
    v.calibratedVoltage = Format("%d [mV]", CalibratedReading(voltage, m_Ratios[kCalVbusVol]));
    v.calibratedCurrent = Format("%d [mA]", CalibratedReading(current, m_Ratios[kCalVbusCurr]));
    v.startVoltageEnabled = !m_VoltageEdit.empty();
    v.startCurrentEnabled = !m_CurrentEdit.empty();
  }
  v.voltageRatio = RatioText(m_Ratios[kCalVbusVol]);
  v.currentRatio = RatioText(m_Ratios[kCalVbusCurr]);
  return v;
}

bool CalibrationDialogModel::Start(CalChannel channel, std::int32_t reading, const std::string& edit) {
  if (!m_Reading.connected || reading == 0 || edit.empty()) return false;
  const std::optional<std::int32_t> ratio = CalibrationRatio(ParseEditNumber(edit), reading);
  if (!ratio) return false;
  m_Ratios[channel] = *ratio;
  return true;
}

bool CalibrationDialogModel::StartVoltage() { return Start(kCalVbusVol, m_Reading.vbusVoltage, m_VoltageEdit); }

bool CalibrationDialogModel::StartCurrent() {
  return Start(kCalVbusCurr, AbsoluteCurrent(m_Reading.vbusCurrent), m_CurrentEdit);
}

DirectionDialogValues OpenDirectionDialog(const AppSettings& settings) {
  return {settings.m_VbusCurrDirReverse ? CurrentDirection::ReceptacleToPlug : CurrentDirection::PlugToReceptacle,
          settings.m_VbusCurrDirCfgDoNotAskAgain};
}

void ApplyDirectionDialog(const DirectionDialogValues& values, AppSettings& settings) {
  settings.m_VbusCurrDirReverse = values.m_Direction == CurrentDirection::ReceptacleToPlug;
  settings.m_VbusCurrDirCfgDoNotAskAgain = values.m_DoNotAskAgain;
}

}  // namespace zk
