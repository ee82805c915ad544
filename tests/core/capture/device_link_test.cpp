#include "capture/device_link.h"

#include <gtest/gtest.h>

#include "capture/device_commands.h"
#include "tests/core/capture/fake_usb_link.h"

namespace zk {
namespace {

using test::FakeUsbLink;
using test::StringDescriptorBytes;

Record Expected(std::initializer_list<std::uint8_t> head) {
  Record r{};
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

TEST(DeviceCommands, RecordsByteForByte) {
  EXPECT_EQ(InjectionCommand(1, CcResistor::Rp1A5), Expected({0x43, 0x43, 0x4B, 0x5A, 0x01, 0, 0, 0, 0x01, 0x04}));
  EXPECT_EQ(SamplingIntervalCommand(10), Expected({0x43, 0x43, 0x4B, 0x5A, 0x06, 0, 0, 0, 9, 0, 0, 0, 3}));
  EXPECT_EQ(SamplingIntervalCommand(0), Expected({0x43, 0x43, 0x4B, 0x5A, 0x06, 0, 0, 0, 0, 0, 0, 0, 3}));
  EXPECT_EQ(FirmwareUpdateCommand(), Expected({0x43, 0x43, 0x4B, 0x5A, 0x07}));
}

TEST(DeviceCommands, MenuTableMatchesCodes) {
  const InjectionMenuItem* item = FindInjectionItem(32908);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text, "CC2 Rp (1.5A @ 5V)");
  EXPECT_EQ(item->ccLine, 1);
  EXPECT_EQ(static_cast<int>(item->resistor), 4);
  EXPECT_EQ(FindInjectionItem(32912), nullptr);
  for (std::size_t i = 0; i < kInjectionMenu.size(); ++i) {
    EXPECT_EQ(kInjectionMenu[i].id, 32900 + static_cast<int>(i)) << i;
    EXPECT_EQ(kInjectionMenu[i].ccLine, i < 6 ? 0 : 1) << i;
    EXPECT_EQ(kInjectionMenu[i].text.substr(0, 3), i < 6 ? "CC1" : "CC2") << i;
  }
}

TEST(DeviceCommands, ParseRejectsForeignRecords) {
  Record r = InjectionCommand(0, CcResistor::Rd);
  ASSERT_TRUE(ParseCommand(r.data(), r.size()).has_value());
  EXPECT_FALSE(ParseCommand(r.data(), 63).has_value());
  r[3] = 0;
  EXPECT_FALSE(ParseCommand(r.data(), r.size()).has_value());
  EXPECT_FALSE(ParseCommand(nullptr, 64).has_value());
}

TEST(DeviceIdentity, FirmwareVersions) {
  struct Case {
    std::u16string text;
    std::uint16_t version;
  };
  const Case cases[] = {{u"1.03", 0x0103}, {u"1.00", 0x0100}, {u"0.92", 0x0092}, {u"1.0", 0}, {u"", 0}};
  for (const Case& c : cases) EXPECT_EQ(FirmwareVersionOf(c.text), c.version);
}

TEST(DeviceIdentity, SerialBytesReversePairs) {
  const SerialBytes expected = {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
  EXPECT_EQ(SerialBytesOf(u"0123456789ABCDEF01234567"), expected);
  // Lower case and missing characters count as 0.
  const SerialBytes lower = SerialBytesOf(u"ab");
  EXPECT_EQ(lower[11], 0x00);
  EXPECT_EQ(SerialBytesOf(u"F"), (SerialBytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0}));
}

TEST(DeviceIdentity, DescriptorTextStaysInsideWhatArrived) {
  EXPECT_EQ(DescriptorText(StringDescriptorBytes(u"1.03")), u"1.03");
  EXPECT_EQ(DescriptorText({}), u"");
  EXPECT_EQ(DescriptorText({1}), u"");
  // A length byte larger than the bytes received.
  EXPECT_EQ(DescriptorText({64, 3, '1', 0, '.', 0}), u"1.");
  EXPECT_EQ(DescriptorText({7, 3, 'A', 0, 'B', 0, 'C'}), u"AB");
}

TEST(DeviceLink, ConnectsAndSetsUpTheBox) {
  FakeUsbLink usb;
  CDeviceLink link(usb);
  link.SetSamplingIntervalSetting(10);
  EXPECT_TRUE(link.PollDevice());
  EXPECT_TRUE(link.IsConnected());
  EXPECT_EQ(link.FirmwareText(), "1.03");
  EXPECT_EQ(link.FirmwareVersion(), 0x0103);
  EXPECT_EQ(link.SerialText(), "0123456789ABCDEF01234567");
  EXPECT_EQ(link.Serial()[0], 0x67);
  ASSERT_EQ(usb.written.size(), 3u);
  EXPECT_EQ(usb.written[0], SamplingIntervalCommand(10));
  EXPECT_EQ(usb.written[1], InjectionCommand(0, CcResistor::None));
  EXPECT_EQ(usb.written[2], InjectionCommand(1, CcResistor::None));
  // Still there: no new set-up.
  EXPECT_TRUE(link.PollDevice());
  EXPECT_EQ(usb.written.size(), 3u);
}

TEST(DeviceLink, NoIntervalCommandWhenSettingIsZero) {
  FakeUsbLink usb;
  CDeviceLink link(usb);
  link.SetSamplingIntervalSetting(0);
  ASSERT_TRUE(link.PollDevice());
  ASSERT_EQ(usb.written.size(), 2u);
  EXPECT_EQ(usb.written[0], InjectionCommand(0, CcResistor::None));
}

TEST(DeviceLink, RejectedFirmwareStaysClosedUntilUnplugged) {
  for (const std::u16string& text : {std::u16string(u"1.00"), std::u16string(u"0.92"), std::u16string(u"1.")}) {
    FakeUsbLink usb;
    usb.firmware = StringDescriptorBytes(text);
    CDeviceLink link(usb);
    EXPECT_FALSE(link.PollDevice());
    EXPECT_TRUE(link.FirmwareRejected());
    EXPECT_FALSE(usb.IsOpen());
    EXPECT_TRUE(usb.written.empty());
    // Still attached: opened and closed again on every poll, texts kept for the About box.
    EXPECT_FALSE(link.PollDevice());
    EXPECT_FALSE(usb.IsOpen());
    EXPECT_EQ(link.FirmwareText(), std::string(text.begin(), text.end()));
    usb.attached = false;
    EXPECT_FALSE(link.PollDevice());
    EXPECT_FALSE(link.FirmwareRejected());
    EXPECT_EQ(link.FirmwareText(), "");
    EXPECT_EQ(link.FirmwareVersion(), 0);
  }
}

TEST(DeviceLink, UnreadableFirmwareIsRejected) {
  FakeUsbLink usb;
  usb.firmware.clear();
  CDeviceLink link(usb);
  EXPECT_FALSE(link.PollDevice());
  EXPECT_TRUE(link.FirmwareRejected());
}

TEST(DeviceLink, RemovedBoxIsNoticedByThePoll) {
  FakeUsbLink usb;
  CDeviceLink link(usb);
  ASSERT_TRUE(link.PollDevice());
  usb.attached = false;
  EXPECT_FALSE(link.PollDevice());
  EXPECT_FALSE(link.IsConnected());
  EXPECT_FALSE(usb.IsOpen());
  EXPECT_EQ(link.SerialText(), "");
  usb.attached = true;
  EXPECT_TRUE(link.PollDevice());
}

TEST(DeviceLink, InjectionStateFollowsAcceptedWrites) {
  FakeUsbLink usb;
  CDeviceLink link(usb);
  // Not connected: nothing is sent and nothing changes.
  EXPECT_FALSE(link.SendInjection(1, CcResistor::Rd));
  EXPECT_EQ(link.Injection().line[1], CcResistor::None);
  ASSERT_TRUE(link.PollDevice());
  const InjectionMenuItem& item = *FindInjectionItem(32908);
  EXPECT_TRUE(link.SendInjection(item.ccLine, item.resistor));
  EXPECT_EQ(usb.written.back(), InjectionCommand(1, CcResistor::Rp1A5));
  EXPECT_TRUE(link.Injection().IsChecked(item));
  EXPECT_TRUE(link.Injection().IsChecked(*FindInjectionItem(32900)));  // CC1 None untouched
  usb.acceptWrites = false;
  EXPECT_FALSE(link.SendInjection(1, CcResistor::Ra));
  EXPECT_EQ(link.Injection().line[1], CcResistor::Rp1A5);
  EXPECT_FALSE(link.SendEnterFirmwareUpdate());
  usb.acceptWrites = true;
  EXPECT_TRUE(link.SendEnterFirmwareUpdate());
  EXPECT_EQ(usb.written.back(), FirmwareUpdateCommand());
}

TEST(DeviceLink, ReconnectionResetsInjectionToNone) {
  FakeUsbLink usb;
  CDeviceLink link(usb);
  ASSERT_TRUE(link.PollDevice());
  ASSERT_TRUE(link.SendInjection(0, CcResistor::Rd));
  usb.attached = false;
  link.PollDevice();
  usb.attached = true;
  ASSERT_TRUE(link.PollDevice());
  EXPECT_EQ(link.Injection().line[0], CcResistor::None);
}

}  // namespace
}  // namespace zk
