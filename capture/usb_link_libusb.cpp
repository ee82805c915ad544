#include "capture/usb_link_libusb.h"

#include <libusb.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <shared_mutex>

namespace zk {

namespace {

std::uint16_t HexFromEnvironment(const char* name, std::uint16_t fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 16);
  if (*end != '\0' || v > 0xFFFF) return fallback;
  return static_cast<std::uint16_t>(v);
}

class LibusbLink final : public UsbLink {
 public:
  explicit LibusbLink(UsbIds ids) : m_Ids(ids) {}
  ~LibusbLink() override {
    Close();
    if (m_Context != nullptr) libusb_exit(m_Context);
  }

  int Open() override {
    std::unique_lock lock(m_Mutex);
    if (m_Handle != nullptr) return 0;
    if (m_Context == nullptr) {
      const int rc = libusb_init(&m_Context);
      if (rc != 0) {
        m_Context = nullptr;
        return rc;
      }
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(m_Context, &list);
    if (count < 0) return static_cast<int>(count);
    int rc = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count && m_Handle == nullptr; ++i) rc = TryOpen(list[i]);
    libusb_free_device_list(list, 1);
    return m_Handle != nullptr ? 0 : rc;
  }

  void Close() override {
    m_Closing.store(true);
    std::unique_lock lock(m_Mutex);
    if (m_Handle != nullptr) {
      libusb_release_interface(m_Handle, kBoxInterface);
      libusb_close(m_Handle);
      m_Handle = nullptr;
    }
    m_Closing.store(false);
  }

  bool IsOpen() const override {
    std::shared_lock lock(m_Mutex);
    return m_Handle != nullptr;
  }

  bool IsPresent() override {
    std::shared_lock lock(m_Mutex);
    if (m_Handle == nullptr) return false;
    unsigned char buffer[18];
    return libusb_get_descriptor(m_Handle, LIBUSB_DT_DEVICE, 0, buffer, sizeof buffer) == 18;
  }

  std::vector<std::uint8_t> StringDescriptor(int index) override {
    std::shared_lock lock(m_Mutex);
    if (m_Handle == nullptr || index < 0 || index > 255) return {};
    unsigned char buffer[64];
    const int n =
        libusb_get_descriptor(m_Handle, LIBUSB_DT_STRING, static_cast<std::uint8_t>(index), buffer, sizeof buffer);
    if (n <= 0) return {};
    return std::vector<std::uint8_t>(buffer, buffer + n);
  }

  // Holding the lock shared keeps Close from freeing the handle under a transfer; the
  // time-out bounds how long Close waits for it.
  ReadResult Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
    // A reader that keeps re-taking the shared lock must not starve a waiting Close.
    if (m_Closing.load()) return {ReadStatus::NoDevice, 0};
    std::shared_lock lock(m_Mutex);
    if (m_Handle == nullptr) return {ReadStatus::NoDevice, 0};
    int transferred = 0;
    const int length = static_cast<int>(capacity > kBulkReadSize ? kBulkReadSize : capacity);
    const int rc = libusb_bulk_transfer(m_Handle, kBulkInEndpoint, buffer, length, &transferred,
                                        static_cast<unsigned>(timeoutMs < 1 ? 1 : timeoutMs));
    // A transfer that times out part-way still delivered its first packets.
    if (transferred > 0) return {ReadStatus::Data, static_cast<std::size_t>(transferred)};
    if (rc == 0 || rc == LIBUSB_ERROR_TIMEOUT) return {ReadStatus::Timeout, 0};
    if (rc == LIBUSB_ERROR_NO_DEVICE) return {ReadStatus::NoDevice, 0};
    return {ReadStatus::Error, 0};
  }

  bool WriteCommand(const Record& command) override {
    std::shared_lock lock(m_Mutex);
    if (m_Handle == nullptr) return false;
    Record copy = command;
    int transferred = 0;
    const int rc = libusb_bulk_transfer(m_Handle, kBulkOutEndpoint, copy.data(), static_cast<int>(copy.size()),
                                        &transferred, 1000);
    return rc == 0 && transferred == static_cast<int>(copy.size());
  }

 private:
  UsbIds m_Ids;
  libusb_context* m_Context = nullptr;
  libusb_device_handle* m_Handle = nullptr;
  mutable std::shared_mutex m_Mutex;
  std::atomic<bool> m_Closing{false};

  int TryOpen(libusb_device* device) {
    libusb_device_descriptor d{};
    if (libusb_get_device_descriptor(device, &d) != 0) return LIBUSB_ERROR_NO_DEVICE;
    if (d.idVendor != m_Ids.vendor || d.idProduct != m_Ids.product) return LIBUSB_ERROR_NO_DEVICE;
    libusb_device_handle* handle = nullptr;
    int rc = libusb_open(device, &handle);
    if (rc != 0) return rc;
    libusb_set_auto_detach_kernel_driver(handle, 1);
    rc = libusb_claim_interface(handle, kBoxInterface);
    if (rc != 0) {
      libusb_close(handle);
      return rc;
    }
    m_Handle = handle;
    return 0;
  }
};

}  // namespace

UsbIds UsbIdsFromEnvironment() {
  UsbIds ids;
  ids.vendor = HexFromEnvironment("ZK_USB_VID", ids.vendor);
  ids.product = HexFromEnvironment("ZK_USB_PID", ids.product);
  return ids;
}

std::unique_ptr<UsbLink> MakeLibusbLink(UsbIds ids) { return std::make_unique<LibusbLink>(ids); }

}  // namespace zk
