#include "capture/device_link.h"

namespace zk {

namespace {

std::string Utf8Of(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      // Surrogates are not paired up: a descriptor text is expected to be ASCII.
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

int NibbleOf(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 0;
}

}  // namespace

std::u16string DescriptorText(const std::vector<std::uint8_t>& descriptor) {
  if (descriptor.size() < 2) return {};
  std::size_t length = descriptor[0];
  if (length > descriptor.size()) length = descriptor.size();
  if (length < 2) return {};
  const std::size_t count = (length - 2) / 2;
  std::u16string text;
  text.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    text += static_cast<char16_t>(descriptor[2 + 2 * i] | (descriptor[3 + 2 * i] << 8));
  }
  return text;
}

std::uint16_t FirmwareVersionOf(std::u16string_view text) {
  if (text.size() < 4) return 0;
  const int v = (text[0] - u'0') * 256 + (text[2] - u'0') * 16 + (text[3] - u'0');
  return static_cast<std::uint16_t>(v);
}

SerialBytes SerialBytesOf(std::u16string_view text) {
  SerialBytes bytes{};
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const char16_t hi = 2 * k < text.size() ? text[2 * k] : u'\0';
    const char16_t lo = 2 * k + 1 < text.size() ? text[2 * k + 1] : u'\0';
    bytes[11 - k] = static_cast<std::uint8_t>(NibbleOf(hi) << 4 | NibbleOf(lo));
  }
  return bytes;
}

int CDeviceLink::OpenDevice() {
  if (m_Usb.IsOpen()) return 0;
  return m_Usb.Open();
}

void CDeviceLink::CloseDevice() {
  if (m_Usb.IsOpen()) m_Usb.Close();
}

void CDeviceLink::ForgetBox() {
  m_FirmwareText.clear();
  m_FirmwareVersion = 0;
  m_SerialText.clear();
  m_Serial = {};
  m_FirmwareRejected = false;
}

void CDeviceLink::ReadIdentity() {
  const std::u16string firmware = DescriptorText(m_Usb.StringDescriptor(kFirmwareDescriptorIndex));
  m_FirmwareText = Utf8Of(firmware);
  m_FirmwareVersion = FirmwareVersionOf(firmware);
  const std::u16string serial = DescriptorText(m_Usb.StringDescriptor(kSerialDescriptorIndex));
  m_SerialText = Utf8Of(serial);
  m_Serial = SerialBytesOf(serial);
}

bool CDeviceLink::PollDevice() {
  if (m_Connected.IsSet()) {
    if (m_Usb.IsPresent()) return true;
    m_Connected.Clear();
    CloseDevice();
  }
  if (OpenDevice() != 0) {
    ForgetBox();
    return false;
  }
  if (m_FirmwareRejected) {
    CloseDevice();
    return false;
  }
  ReadIdentity();
  m_FirmwareRejected = m_FirmwareVersion < kMinFirmwareVersion;
  if (m_FirmwareRejected) {
    CloseDevice();
    return false;
  }
  m_Connected.Set();
  SetUpDevice();
  return true;
}

void CDeviceLink::SetUpDevice() {
  if (m_SamplingIntervalMs != 0) SendSamplingInterval(static_cast<std::uint32_t>(m_SamplingIntervalMs));
  SendInjection(0, CcResistor::None);
  SendInjection(1, CcResistor::None);
}

bool CDeviceLink::SendInjection(int ccLine, CcResistor resistor) {
  if (!m_Connected.IsSet()) return false;
  if (!m_Usb.WriteCommand(InjectionCommand(ccLine, resistor))) return false;
  m_Injection.line[ccLine & 1] = resistor;
  return true;
}

bool CDeviceLink::SendSamplingInterval(std::uint32_t milliseconds) {
  if (!m_Connected.IsSet()) return false;
  return m_Usb.WriteCommand(SamplingIntervalCommand(milliseconds));
}

bool CDeviceLink::SendEnterFirmwareUpdate() {
  if (!m_Connected.IsSet()) return false;
  return m_Usb.WriteCommand(FirmwareUpdateCommand());
}

}  // namespace zk
