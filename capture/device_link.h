// Finding, opening and watching the box: the once-a-second poll, the firmware check that
// keeps boxes older than 1.01 closed, the serial number, and the set-up commands sent on
// every new connection. Owned by the main frame; runs on the main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture/device_commands.h"
#include "capture/flag.h"
#include "capture/usb_link.h"

namespace zk {

constexpr int kFirmwareDescriptorIndex = 3;
constexpr int kSerialDescriptorIndex = 6;
constexpr std::uint16_t kMinFirmwareVersion = 0x0101;

using SerialBytes = std::array<std::uint8_t, 12>;

// The UTF-16 text of a string descriptor: (L - 2) / 2 characters after the two-byte header,
// never more than the bytes received.
std::u16string DescriptorText(const std::vector<std::uint8_t>& descriptor);
// "1.03" gives 0x0103; fewer than four characters give 0.
std::uint16_t FirmwareVersionOf(std::u16string_view text);
// Character pair k of the first 24 becomes byte 11 - k; anything but 0-9 and A-F counts as 0.
SerialBytes SerialBytesOf(std::u16string_view text);

class CDeviceLink {
 public:
  explicit CDeviceLink(UsbLink& usb) : m_Usb(usb) {}

  // Once per timer tick: keeps the link open and connected while the box answers.
  bool PollDevice();
  int OpenDevice();
  void CloseDevice();

  bool IsConnected() const { return m_Connected.IsSet(); }
  // Read by the capture thread on every loop.
  const Flag& ConnectedFlag() const { return m_Connected; }
  UsbLink& Usb() { return m_Usb; }

  const std::string& FirmwareText() const { return m_FirmwareText; }  // UTF-8
  std::uint16_t FirmwareVersion() const { return m_FirmwareVersion; }
  const std::string& SerialText() const { return m_SerialText; }
  const SerialBytes& Serial() const { return m_Serial; }
  bool FirmwareRejected() const { return m_FirmwareRejected; }

  // RecordVbusSamplingIntervalMS: sent at every connection unless 0.
  void SetSamplingIntervalSetting(std::int32_t ms) { m_SamplingIntervalMs = ms; }

  // Commands: only while connected; false when not sent or not accepted.
  bool SendInjection(int ccLine, CcResistor resistor);
  bool SendSamplingInterval(std::uint32_t milliseconds);
  bool SendEnterFirmwareUpdate();
  const InjectionState& Injection() const { return m_Injection; }

 private:
  UsbLink& m_Usb;
  Flag m_Connected;
  std::string m_FirmwareText;
  std::uint16_t m_FirmwareVersion = 0;
  std::string m_SerialText;
  SerialBytes m_Serial{};
  bool m_FirmwareRejected = false;
  std::int32_t m_SamplingIntervalMs = 0;
  InjectionState m_Injection;

  void ForgetBox();
  void ReadIdentity();
  void SetUpDevice();
};

}  // namespace zk
