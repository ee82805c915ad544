// The real box through libusb-1.0.
#pragma once

#include <cstdint>
#include <memory>

#include "capture/usb_link.h"

namespace zk {

// The numbers the box's driver package registers; the udev rule in driver/ uses the same.
constexpr std::uint16_t kBoxVendorId = 0x1209;
constexpr std::uint16_t kBoxProductId = 0x5A4B;
constexpr int kBoxInterface = 0;
constexpr std::uint8_t kBulkInEndpoint = 0x81;
constexpr std::uint8_t kBulkOutEndpoint = 0x01;

struct UsbIds {
  std::uint16_t vendor = kBoxVendorId;
  std::uint16_t product = kBoxProductId;
};

// ZK_USB_VID and ZK_USB_PID (hexadecimal) replace the constants, for other boxes.
UsbIds UsbIdsFromEnvironment();

std::unique_ptr<UsbLink> MakeLibusbLink(UsbIds ids);

}  // namespace zk
