#include "pd/vdm_descriptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zk {
namespace {

// Header revision field values: 1 reads as revision 2.0, 2 as revision 3.0.
constexpr int kRev2 = 1;
constexpr int kRev3 = 2;

enum CommandType : std::uint32_t { kRequest = 0, kAck = 1, kNak = 2, kBusy = 3 };

std::uint32_t Structured(std::uint16_t svid, std::uint32_t type, std::uint32_t command, std::uint32_t position = 0,
                         std::uint32_t major = 1, std::uint32_t minor = 0) {
  return (std::uint32_t{svid} << 16) | 0x8000u | (major << 13) | (minor << 11) | (position << 8) | (type << 6) |
         command;
}

std::uint16_t VendorDefinedHeader(int revision, int objects) {
  return static_cast<std::uint16_t>(15 | (revision << 6) | (objects << 12));
}

// A Vendor_Defined message as the framing decoder leaves it: header, objects, good CRC.
CCCPacket Message(int kind, int revision, const std::vector<std::uint32_t>& objects) {
  CCCPacket p;
  p.m_Kind = kind;
  p.m_CrcOk = 1;
  p.m_PreambleFound = 1;
  const std::uint16_t h = VendorDefinedHeader(revision, static_cast<int>(objects.size()));
  p.m_Bytes[0] = static_cast<std::uint8_t>(h);
  p.m_Bytes[1] = static_cast<std::uint8_t>(h >> 8);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    for (int b = 0; b < 4; ++b) p.m_Bytes[2 + 4 * i + b] = static_cast<std::uint8_t>(objects[i] >> (8 * b));
  }
  p.m_ByteCount = 2 + 4 * static_cast<int>(objects.size());
  return p;
}

struct Case {
  const char* name;
  int kind;
  int revision;
  std::vector<std::uint32_t> objects;
  const char* text;
};

void ExpectDescriptions(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(VendorDefinedDescription(Message(c.kind, c.revision, c.objects)), c.text) << c.name;
  }
}

TEST(VdmDescription, DiscoverIdentity) {
  const std::uint32_t discoverAck = Structured(0xFF00, kAck, 1);
  ExpectDescriptions({
      {"request with the VDM header alone",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kRequest, 1)},
       "Discover Identity (Request) (SVID=StdID)(Object Position=0)(Ver.2.0)"},
      {"UFP peripheral, rev 3",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kAck, 1, 0, 1, 1), (1u << 30) | (2u << 27) | (1u << 26) | 0x1234, 0xABCD, 0x56780100},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.1)(UFP Peripheral)(DFP Type Undefined)"
       "(USB VID=1234h)(USB Device)(Modal Supported)(XID=ABCDh)(USB PID=5678h)(USB bcdDevice=0100h)"},
      {"DFP host: a fifth object of product type 0 adds nothing",
       kKindSop,
       kRev3,
       {discoverAck, (1u << 31) | (2u << 23) | 0x05AC, 0, 0, 0xFFFFFFFF},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(UFP Type Undefined)(DFP Host)"
       "(USB VID=05ACh)(USB Host)(XID=0h)(USB PID=0000h)(USB bcdDevice=0000h)"},
      {"UFP hub, rev 2: no DFP type",
       kKindSop,
       kRev2,
       {discoverAck, (1u << 27) | 0x0BDA},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(UFP Hub)(USB VID=0BDAh)"},
      {"passive cable, rev 2, VDM 1.0",
       kKindSopP,
       kRev2,
       {Structured(0xFF00, kAck, 1, 0, 0, 0), (3u << 27) | 0x20C2, 0, 0x00010002,
        (1u << 28) | (2u << 24) | (2u << 18) | (1u << 13) | (1u << 10) | (1u << 7) | (1u << 5) | (1u << 4) | 1},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.1.0)(Passive Cable)(USB VID=20C2h)(XID=0h)"
       "(USB PID=0001h)(USB bcdDevice=0002h)(HWVer=0001h)(FWVer=0002h)(Type-C to Type-C)(Type-C Plug to Plug)"
       "(Cable Latency <10ns(<1m))(Both ends Passive, VCONN not required.)"
       "(SSTX1/SSTX2/SSRX1/SSRX2=Config/Fixed/Fixed/Config)(VBUS Curr 3A)(VBUS through cable)(USB3.1 Gen1)"},
      {"active cable, rev 3, from SOP''",
       kKindSopPP,
       kRev3,
       {discoverAck, (4u << 27) | (1u << 23) | 0x1234, 0x1, 0,
        (0xAu << 28) | (0xFu << 24) | (3u << 18) | (1u << 17) | (9u << 13) | (2u << 11) | (2u << 5) | (1u << 4) |
            (1u << 3) | 3},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(Active Cable)(DFP Hub)(USB VID=1234h)"
       "(XID=1h)(USB PID=0000h)(USB bcdDevice=0000h)(HWVer=000Ah)(FWVer=000Fh)(Type-C Cabtive)(EPR)"
       "(Cable Latency 2000ns(<200m))(Active and Passive, VCONN required.)(Vbus Curr 5A)VBUS through cable)"
       "SOP'' controller present)(USB4 Gen3)"},
      {"cable kind with a UFP product type",
       kKindSopP,
       kRev2,
       {discoverAck, 2u << 27},
       "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(invalid type)(USB VID=0000h)"},
      {"NAK still shows the identity",
       kKindSopP,
       kRev3,
       {Structured(0xFF00, kNak, 1), 0},
       "Discover Identity (NAK) (SVID=StdID)(Object Position=0)(Ver.2.0)(Type Undefined)(DFP Type Undefined)"
       "(USB VID=0000h)"},
  });
}

// The product-type VDO (fifth object) by itself: the text that follows an all-zero product VDO.
std::string ProductTypeVdoText(int kind, int revision, std::uint32_t idHeader, std::uint32_t vdo) {
  const std::string text =
      VendorDefinedDescription(Message(kind, revision, {Structured(0xFF00, kAck, 1), idHeader, 0, 0, vdo}));
  const std::string marker = "(USB bcdDevice=0000h)";
  const std::size_t at = text.find(marker);
  return at == std::string::npos ? "<no product VDO>" : text.substr(at + marker.size());
}

TEST(VdmDescription, ProductTypeVdos) {
  constexpr std::uint32_t kPassive = 3u << 27, kActive = 4u << 27, kAdapter = 5u << 27;
  struct VdoCase {
    const char* name;
    int kind;
    int revision;
    std::uint32_t idHeader;
    std::uint32_t vdo;
    const char* text;
  } cases[] = {
      {"passive rev 2: Type-A plug ignores bit 17, latency 8, no VBUS", kKindSopP, kRev2, kPassive,
       (1u << 17) | (8u << 13) | (3u << 11) | 5,
       "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-A)(Cable Latency 1000ns(<100m))"
       "(Both ends Active, VCONN required.)(SSTX1/SSTX2/SSRX1/SSRX2=Fixed/Fixed/Fixed/Fixed)"
       "(VBUS not through cable.)"},
      {"passive rev 2: captive receptacle, SOP'' flag, current value 3", kKindSopP, kRev2, kPassive,
       (3u << 18) | (1u << 17) | (11u << 13) | (2u << 11) | (0xFu << 7) | (3u << 5) | (1u << 3) | 2,
       "(HWVer=0000h)(FWVer=0000h)(Type-C Cabtive)(Type-C Plug to Receptacle)"
       "(Active and Passive, VCONN required.)(SSTX1/SSTX2/SSRX1/SSRX2=Config/Config/Config/Config)"
       "(SOP'' controller present)(USB3.1 Gen1 and Gen2)"},
      {"passive rev 3: max VBUS 50V, no VBUS flags", kKindSopP, kRev3, kPassive,
       (2u << 18) | (8u << 13) | (1u << 11) | (3u << 9) | (1u << 5) | (1u << 4) | (1u << 3) | 4,
       "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-C)(Cable Latency > 70ns(>7m))(VCONN required.)"
       "(Max Vbus 50V)(Vbus 3A)(USB4 Gen4)"},
      {"passive rev 3: every invalid value", kKindSopP, kRev3, kPassive, (1u << 18) | (9u << 13) | (2u << 11) | 7,
       "(HWVer=0000h)(FWVer=0000h)(Invalid Type-C Type)(Invalid Cable Latency)(Invalid Cable Term Type)"
       "(Max Vbus 20V)(Invalid Vbus Current)"},
      {"active rev 2: flag texts without opening parenthesis", kKindSopP, kRev2, kActive,
       (2u << 18) | (1u << 17) | (10u << 13) | (3u << 11) | (3u << 5) | (1u << 4) | (1u << 3) | 2,
       "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-C)(Type-C Plug to Receptacle)(Cable Latency 3000ns(<300m))"
       "(Both ends Active, VCONN required.)(SSTX1/SSTX2/SSRX1/SSRX2=Fixed/Fixed/Fixed/Fixed)"
       "VBUS through cable)SOP'' controller present)(USB3.1 Gen1 and Gen2)"},
      {"active rev 3: every invalid value", kKindSopP, kRev3, kActive, 0,
       "(HWVer=0000h)(FWVer=0000h)(Invalid Type-C Type)(Invalid Cable Latency)(Invalid Cable Term Type)"
       "(Invalid Vbus Current)(USB2.0 only)"},
      {"active rev 3: latency 8 and 3A", kKindSopP, kRev3, kActive, (2u << 18) | (8u << 13) | (3u << 11) | (1u << 5),
       "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-C)(Cable Latency 1000ns(<100m))"
       "(Both ends Active, VCONN required.)(VBUS Curr 3A)(USB2.0 only)"},
      {"alternate mode adapter", kKindSop, kRev2, kAdapter, (1u << 28) | (1u << 5) | (1u << 4) | (1u << 3) | 3,
       "(HWVer=0001h)(FWVer=0000h)(Vbus required)(Vconn required)(Vconn 1.5W)(USB2.0 billboard onyl)"},
      {"alternate mode adapter, top values", kKindSop, kRev3, kAdapter, (7u << 5) | 7, "(HWVer=0000h)(FWVer=0000h)"},
      {"PSD of SOP reads its VDO as a passive cable, rev 3", kKindSop, kRev3, kPassive, 2u << 18,
       "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-C)(Invalid Cable Latency)(VCONN not required.)"
       "(Max Vbus 20V)(Invalid Vbus Current)(USB2.0 only)"},
  };
  for (const VdoCase& c : cases) EXPECT_EQ(ProductTypeVdoText(c.kind, c.revision, c.idHeader, c.vdo), c.text) << c.name;
}

TEST(VdmDescription, PsdProductTypeDependsOnRevision) {
  const std::uint32_t psd = 3u << 27;
  const std::string rev2 = VendorDefinedDescription(Message(kKindSop, kRev2, {Structured(0xFF00, kAck, 1), psd}));
  const std::string rev3 = VendorDefinedDescription(Message(kKindSop, kRev3, {Structured(0xFF00, kAck, 1), psd}));
  EXPECT_EQ(rev2, "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(USB VID=0000h)");
  EXPECT_EQ(rev3,
            "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(UFP PSD)(DFP Type Undefined)"
            "(USB VID=0000h)");
  // Under revision 2 the fifth object is still a passive cable VDO, in its revision 2 form.
  EXPECT_EQ(ProductTypeVdoText(kKindSop, kRev2, psd, 0),
            "(HWVer=0000h)(FWVer=0000h)(Type-C to Type-A)(Both ends Passive, VCONN not required.)"
            "(SSTX1/SSTX2/SSRX1/SSRX2=Fixed/Fixed/Fixed/Fixed)(VBUS not through cable.)(USB2.0 only)");
}

TEST(VdmDescription, SvidsModesAndAttention) {
  ExpectDescriptions({
      {"SVIDs in pairs, a zero terminator, and objects after it",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kAck, 2), 0xFF018087, 0x12340000, 0x0000ABCD, 0xFF000000},
       "Discover SVIDs (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(SVID0=DisplayPort)(SVID1=TBT3)(SVID2=1234)"
       "(SVID3=StdID)"},
      {"SVIDs: an all-zero answer",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kAck, 2), 0},
       "Discover SVIDs (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"},
      {"modes of DisplayPort",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kAck, 3), 0x00000C05},
       "Discover Modes (ACK) (SVID=DisplayPort)(Object Position=0)(Ver.2.0)(Mode1=00000C05h)"},
      {"modes of another SVID",
       kKindSop,
       kRev3,
       {Structured(0x8087, kAck, 3), 0x1, 0x80000000},
       "Discover Modes (ACK) (SVID=TBT3)(Object Position=0)(Ver.2.0)(Mode1=00000001h)(Mode2=80000000h)"},
      {"modes of an unnamed SVID, BUSY",
       kKindSop,
       kRev3,
       {Structured(0x04B4, kBusy, 3), 0xDEADBEEF},
       "Discover Modes (BUSY) (SVID=04B4)(Object Position=0)(Ver.2.0)(Mode1=DEADBEEFh)"},
      {"Attention with HPD high and IRQ",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kRequest, 6, 1), 0x00000180},
       " Attention (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)(HPD_High)(IRQ_HPD)"},
      {"Attention with HPD low",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kRequest, 6, 1), 0x0000001A},
       " Attention (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)(HPD_Low)"},
      {"Attention of another SVID",
       kKindSop,
       kRev3,
       {Structured(0x8087, kRequest, 6, 1), 0x00000180},
       " Attention (Request) (SVID=TBT3)(Object Position=1)(Ver.2.0)"},
  });
}

TEST(VdmDescription, ModeAndDisplayPortCommands) {
  ExpectDescriptions({
      {"Enter Mode",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kRequest, 4, 1)},
       "Enter Mode (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"},
      {"Enter Mode with an object adds nothing",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kNak, 4, 1), 0x180},
       "Enter Mode (NAK) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"},
      {"Exit all modes",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kAck, 5, 7)},
       " Exit Mode (ACK) (SVID=DisplayPort)(Exit all Active Modes)(Ver.2.0)"},
      {"DP Status Update with its status",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kRequest, 16, 1), 0x00000180},
       "DisplayPort Status Update (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"},
      {"DP Configure",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kAck, 17, 1)},
       "DisplayPort Configure (ACK) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"},
      {"command 16 of another SVID",
       kKindSop,
       kRev3,
       {Structured(0x8087, kAck, 16, 1)},
       "SVID Specific Command 16 (ACK) (SVID=TBT3)(Object Position=1)(Ver.2.0)"},
      {"command 20 of DisplayPort",
       kKindSop,
       kRev3,
       {Structured(0xFF01, kAck, 20, 1)},
       "SVID Specific Command 20 (ACK) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"},
      {"command 12",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kBusy, 12)},
       "(Invalid Command 12) (BUSY) (SVID=StdID)(Object Position=0)(Ver.2.0)"},
      {"command 0",
       kKindSop,
       kRev3,
       {Structured(0xFF00, kRequest, 0)},
       "(Invalid Command 0) (Request) (SVID=StdID)(Object Position=0)(Ver.2.0)"},
  });
}

TEST(VdmDescription, VersionTexts) {
  struct VersionCase {
    std::uint32_t major, minor;
    const char* text;
  } cases[] = {{0, 3, "(Ver.1.0)"}, {1, 0, "(Ver.2.0)"},      {1, 1, "(Ver.2.1)"},     {1, 2, "(Ver.2.x)"},
               {1, 3, "(Ver.2.x)"}, {2, 0, "(Unknown Ver.)"}, {3, 3, "(Unknown Ver.)"}};
  for (const VersionCase& c : cases) {
    const CCCPacket p = Message(kKindSop, kRev3, {Structured(0xFF00, kRequest, 1, 0, c.major, c.minor)});
    EXPECT_EQ(VendorDefinedDescription(p),
              std::string("Discover Identity (Request) (SVID=StdID)(Object Position=0)") + c.text)
        << c.major << "." << c.minor;
  }
}

TEST(VdmDescription, UnstructuredAndEmpty) {
  ExpectDescriptions({
      {"unstructured: VID and vendor data, nothing more",
       kKindSop,
       kRev2,
       {0x05AC7FFF, 0x12345678},
       "<Unstructured VDM> VID=05ACh VendorData=7FFFh(32767)"},
      {"unstructured: small vendor data",
       kKindSopP,
       kRev3,
       {0x00010012},
       "<Unstructured VDM> VID=0001h VendorData=0012h(18)"},
      {"no data objects", kKindSop, kRev3, {}, "No VDM Header."},
  });
}

TEST(VdmDescription, ExtendedBitOnlyCountsUnderRevision3) {
  CCCPacket p = Message(kKindSop, kRev3, {Structured(0xFF00, kRequest, 1)});
  p.m_Bytes[1] |= 0x80;
  EXPECT_EQ(VendorDefinedDescription(p), "");
  CCCPacket old = Message(kKindSop, kRev2, {Structured(0xFF00, kRequest, 1)});
  old.m_Bytes[1] |= 0x80;
  EXPECT_EQ(VendorDefinedDescription(old), "Discover Identity (Request) (SVID=StdID)(Object Position=0)(Ver.2.0)");
}

// A header that claims more objects than arrived: only the whole objects received count.
TEST(VdmDescription, ObjectsBeyondTheReceivedBytesAreAbsent) {
  const std::vector<std::uint32_t> identity = {Structured(0xFF00, kAck, 1), (3u << 27) | 0x1234, 0xABCD, 0x11112222,
                                               0xFFFFFFFF};
  CCCPacket p = Message(kKindSopP, kRev3, identity);
  const std::string header = "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)";
  const std::string idHeader = "(Passive Cable)(DFP Type Undefined)(USB VID=1234h)";
  struct Truncation {
    int byteCount;
    std::string text;
  } cases[] = {
      {2 + 4 * 5 - 1, header + idHeader + "(XID=ABCDh)(USB PID=1111h)(USB bcdDevice=2222h)"},
      {2 + 4 * 2 + 3, header + idHeader},
      {2 + 4 * 1, header},
      {5, "No VDM Header."},
      {0, "No VDM Header."},
      {-40, "No VDM Header."},
  };
  for (const Truncation& c : cases) {
    p.m_ByteCount = c.byteCount;
    EXPECT_EQ(VendorDefinedDescription(p), c.text) << c.byteCount;
  }
  // More bytes than the header counts: the header's count wins.
  p.m_ByteCount = kMaxMessageBytes + 100;
  p.m_Bytes[1] = static_cast<std::uint8_t>((p.m_Bytes[1] & 0x8F) | (2 << 4));
  EXPECT_EQ(VendorDefinedDescription(p), header + idHeader);
}

TEST(VdmDescription, SvidNames) {
  EXPECT_EQ(SvidName(0xFF00), "StdID");
  EXPECT_EQ(SvidName(0xFF01), "DisplayPort");
  EXPECT_EQ(SvidName(0x8087), "TBT3");
  EXPECT_EQ(SvidName(0x00AB), "00AB");
  EXPECT_EQ(SvidName(0xFF02), "FF02");
}

// Hostile input: any bytes, kinds and sizes give some text without reading past the buffer.
TEST(VdmDescription, RandomMessagesAreSafe) {
  std::mt19937 rng(7);
  for (int n = 0; n < 20000; ++n) {
    CCCPacket p;
    p.m_Kind = static_cast<int>(rng() % 9);
    for (std::uint8_t& b : p.m_Bytes) b = static_cast<std::uint8_t>(rng());
    p.m_ByteCount = static_cast<int>(rng() % 40) - 4;
    const std::string text = VendorDefinedDescription(p);
    EXPECT_LT(text.size(), 2000u);
  }
}

}  // namespace
}  // namespace zk
