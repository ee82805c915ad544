// The calibration dialog's arithmetic (ratio from a true value and a live reading, the
// calibrated and ratio texts) and the values of the VBUS current direction dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "record/record_format.h"

namespace zk {

// The live, uncalibrated VBUS readings the capture thread keeps.
struct LiveReading {
  bool connected = false;
  std::uint16_t vbusVoltage = 0;  // mV
  std::int16_t vbusCurrent = 0;   // mA, signed
};

// An edit's text as a signed decimal: optional blanks and sign, then leading digits; 0 without digits.
std::int32_t ParseEditNumber(std::string_view text);

// The ratio (millionths) that maps reading to entered, rounded up to a multiple of 100.
// Nothing for a reading of 0, and for an entry whose ratio is negative or does not fit.
std::optional<std::int32_t> CalibrationRatio(std::int32_t entered, std::int32_t reading);

// The reading with a ratio applied, as the capture thread converts it.
inline std::int32_t CalibratedReading(std::int32_t value, std::int32_t ratio) { return Calibrate(value, ratio); }

// "Calibration ratio : 1.0027"
std::string RatioText(std::int32_t ratio);

// What the dialog shows at every tick and after every Start.
struct CalibrationView {
  std::string uncalibratedVoltage, calibratedVoltage;  // "%d [mV]", empty when not connected
  std::string uncalibratedCurrent, calibratedCurrent;  // "%d [mA]" of the absolute current
  std::string voltageRatio, currentRatio;
  bool startVoltageEnabled = false, startCurrentEnabled = false;
  bool resetEnabled = true;
};

// The dialog's working copy of the six ratios; it edits only the two VBUS ratios.
class CalibrationDialogModel {
 public:
  CalibrationDialogModel(const CalibrationRatios& ratios, const LiveReading& reading);

  const CalibrationRatios& Ratios() const { return m_Ratios; }
  std::string& VoltageEdit() { return m_VoltageEdit; }
  std::string& CurrentEdit() { return m_CurrentEdit; }
  void SetReading(const LiveReading& reading) { m_Reading = reading; }

  CalibrationView View() const;
  // Both false, leaving the ratio, when not connected, the reading is 0 or the edit is empty.
  bool StartVoltage();
  bool StartCurrent();
  void ResetVoltage() { m_Ratios[kCalVbusVol] = kUnitRatio; }
  void ResetCurrent() { m_Ratios[kCalVbusCurr] = kUnitRatio; }

 private:
  CalibrationRatios m_Ratios;
  LiveReading m_Reading;
  std::string m_VoltageEdit, m_CurrentEdit;

  bool Start(CalChannel channel, std::int32_t reading, const std::string& edit);
};

// ---- VBUS current direction -------------------------------------------------------

// The radio buttons "Plug to Receptacle" (as measured) and "Receptacle to Plug".
enum class CurrentDirection : int { PlugToReceptacle = 0, ReceptacleToPlug = 1 };

struct DirectionDialogValues {
  CurrentDirection m_Direction = CurrentDirection::PlugToReceptacle;
  bool m_DoNotAskAgain = false;  // hidden check box: carried through unchanged
};

DirectionDialogValues OpenDirectionDialog(const AppSettings& settings);
void ApplyDirectionDialog(const DirectionDialogValues& values, AppSettings& settings);

// A current as displayed: its sign flips when the reverse direction counts as positive.
inline std::int32_t DisplayedCurrent(std::int32_t current, bool reverse) { return reverse ? -current : current; }

}  // namespace zk
