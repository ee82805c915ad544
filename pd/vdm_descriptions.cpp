#include "pd/vdm_descriptions.h"

#include <algorithm>
#include <bit>
#include <span>

#include "pd/message_header.h"
#include "pd/text_format.h"

namespace zk {

namespace {

// ---- Data-object layouts: one row per field, applied in order ----

enum class FieldStyle : std::uint8_t {
  kChoice,      // texts[value]; an empty text adds nothing
  kNumber,      // text is a printf format of the value
  kFlag,        // text is added when the bit is set
  kPortConfig,  // text is a format of four "Config"/"Fixed" words, highest bit first
};

struct VdoField {
  FieldStyle style;
  int shift;
  int width;
  const char* text;
  std::span<const char* const> texts;
};

consteval VdoField Choice(int shift, std::span<const char* const> texts) {
  if (!std::has_single_bit(texts.size())) throw "a choice needs one text per value of its bits";
  return {FieldStyle::kChoice, shift, std::countr_zero(texts.size()), nullptr, texts};
}
consteval VdoField Number(int shift, int width, const char* format) {
  return {FieldStyle::kNumber, shift, width, format, {}};
}
consteval VdoField Flag(int bit, const char* text) { return {FieldStyle::kFlag, bit, 1, text, {}}; }
consteval VdoField PortConfig(int shift, const char* format) { return {FieldStyle::kPortConfig, shift, 4, format, {}}; }

std::uint32_t FieldValue(std::uint32_t word, int shift, int width) {
  const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
  return (word >> shift) & mask;
}

const char* ConfigOrFixed(std::uint32_t bits, int bit) { return (bits >> bit) & 1 ? "Config" : "Fixed"; }

void AppendField(std::string& out, std::uint32_t word, const VdoField& f) {
  const std::uint32_t value = FieldValue(word, f.shift, f.width);
  switch (f.style) {
    case FieldStyle::kChoice: out += f.texts[value]; break;
    case FieldStyle::kNumber: AppendFormat(out, f.text, value); break;
    case FieldStyle::kFlag:
      if (value) out += f.text;
      break;
    case FieldStyle::kPortConfig:
      AppendFormat(out, f.text, ConfigOrFixed(value, 3), ConfigOrFixed(value, 2), ConfigOrFixed(value, 1),
                   ConfigOrFixed(value, 0));
      break;
  }
}

void AppendFields(std::string& out, std::uint32_t word, std::span<const VdoField> layout) {
  for (const VdoField& f : layout) AppendField(out, word, f);
}

// ---- VDM header ----

struct SvidText {
  std::uint16_t svid;
  const char* name;
};
constexpr SvidText kSvidNames[] = {{0xFF00, "StdID"}, {0xFF01, "DisplayPort"}, {0x8087, "TBT3"}};

constexpr std::uint16_t kSvidDisplayPort = 0xFF01;

// Commands 0 to 15; null marks the invalid ones.
constexpr const char* kCommandNames[16] = {
    nullptr,          "Discover Identity",
    "Discover SVIDs", "Discover Modes",
    "Enter Mode",     " Exit Mode",
    " Attention",     nullptr,
    nullptr,          nullptr,
    nullptr,          nullptr,
    nullptr,          nullptr,
    nullptr,          nullptr,
};

struct SvidCommandText {
  std::uint16_t svid;
  int command;
  const char* name;
};
constexpr SvidCommandText kSvidCommandNames[] = {
    {kSvidDisplayPort, 16, "DisplayPort Status Update"},
    {kSvidDisplayPort, 17, "DisplayPort Configure"},
};

constexpr const char* kCommandTypes[4] = {"(Request)", "(ACK)", "(NAK)", "(BUSY)"};

// Bits 14-11: major version in the upper two, minor in the lower two.
constexpr const char* kVdmVersions[16] = {
    "(Ver.1.0)",      "(Ver.1.0)",      "(Ver.1.0)",      "(Ver.1.0)",      "(Ver.2.0)",      "(Ver.2.1)",
    "(Ver.2.x)",      "(Ver.2.x)",      "(Unknown Ver.)", "(Unknown Ver.)", "(Unknown Ver.)", "(Unknown Ver.)",
    "(Unknown Ver.)", "(Unknown Ver.)", "(Unknown Ver.)", "(Unknown Ver.)",
};

constexpr int kExitAllModesPosition = 7;

// ---- Discover Identity: ID header ----

constexpr const char* kUfpProductTypesRev2[8] = {
    "(UFP Type Undefined)",         "(UFP Hub)", "(UFP Peripheral)", "", "(invalid type)",
    "(UFP Alternate Mode Adapter)", "",          "(invalid type)",
};
constexpr const char* kUfpProductTypesRev3[8] = {
    "(UFP Type Undefined)",         "(UFP Hub)", "(UFP Peripheral)", "(UFP PSD)", "(invalid type)",
    "(UFP Alternate Mode Adapter)", "(UFP VPD)", "(invalid type)",
};
constexpr const char* kCableProductTypes[8] = {
    "(Type Undefined)", "(invalid type)", "(invalid type)", "(Passive Cable)",
    "(Active Cable)",   "(invalid type)", "(invalid type)", "(invalid type)",
};
constexpr const char* kDfpProductTypes[8] = {
    "(DFP Type Undefined)", "(DFP Hub)",      "(DFP Host)",     "(DFP Power Brick)", "(DFP Alternate Mode Controller)",
    "(invalid type)",       "(invalid type)", "(invalid type)",
};

constexpr VdoField kProductTypeSopRev2[] = {Choice(27, kUfpProductTypesRev2)};
constexpr VdoField kProductTypeSopRev3[] = {Choice(27, kUfpProductTypesRev3), Choice(23, kDfpProductTypes)};
constexpr VdoField kProductTypeCableRev2[] = {Choice(27, kCableProductTypes)};
constexpr VdoField kProductTypeCableRev3[] = {Choice(27, kCableProductTypes), Choice(23, kDfpProductTypes)};

// Indexed [cable plug kind][revision 3].
constexpr std::span<const VdoField> kProductTypeLayouts[2][2] = {
    {kProductTypeSopRev2, kProductTypeSopRev3},
    {kProductTypeCableRev2, kProductTypeCableRev3},
};

constexpr VdoField kIdHeaderTail[] = {
    Number(0, 16, "(USB VID=%04Xh)"),
    Flag(31, "(USB Host)"),
    Flag(30, "(USB Device)"),
    Flag(26, "(Modal Supported)"),
};
constexpr VdoField kCertStatLayout[] = {Number(0, 32, "(XID=%Xh)")};
constexpr VdoField kProductLayout[] = {Number(16, 16, "(USB PID=%04Xh)"), Number(0, 16, "(USB bcdDevice=%04Xh)")};

// ---- Cable and adapter VDOs ----

// Bits 19-17: plug type, and for the Type-C plugs whether the far end is a receptacle.
constexpr const char* kPlugTypesRev2[8] = {
    "(Type-C to Type-A)",
    "(Type-C to Type-A)",
    "(Type-C to Type-B)",
    "(Type-C to Type-B)",
    "(Type-C to Type-C)(Type-C Plug to Plug)",
    "(Type-C to Type-C)(Type-C Plug to Receptacle)",
    "(Type-C Cabtive)(Type-C Plug to Plug)",
    "(Type-C Cabtive)(Type-C Plug to Receptacle)",
};
constexpr const char* kPlugTypesRev3[4] = {"(Invalid Type-C Type)", "(Invalid Type-C Type)", "(Type-C to Type-C)",
                                           "(Type-C Cabtive)"};

constexpr const char* kLatenciesRev2[16] = {
    "",
    "(Cable Latency <10ns(<1m))",
    "(Cable Latency 10 to 20ns(<2m))",
    "(Cable Latency 20 to 30ns(<3m))",
    "(Cable Latency 30 to 40ns(<4m))",
    "(Cable Latency 40 to 50ns(<5m))",
    "(Cable Latency 50 to 60ns(<6m))",
    "(Cable Latency 60 to 70ns(<7m))",
    "(Cable Latency 1000ns(<100m))",
    "(Cable Latency 2000ns(<200m))",
    "(Cable Latency 3000ns(<300m))",
    "",
    "",
    "",
    "",
    "",
};
constexpr const char* kPassiveLatenciesRev3[16] = {
    "(Invalid Cable Latency)",         "(Cable Latency <10ns(<1m))",      "(Cable Latency 10 to 20ns(<2m))",
    "(Cable Latency 20 to 30ns(<3m))", "(Cable Latency 30 to 40ns(<4m))", "(Cable Latency 40 to 50ns(<5m))",
    "(Cable Latency 50 to 60ns(<6m))", "(Cable Latency 60 to 70ns(<7m))", "(Cable Latency > 70ns(>7m))",
    "(Invalid Cable Latency)",         "(Invalid Cable Latency)",         "(Invalid Cable Latency)",
    "(Invalid Cable Latency)",         "(Invalid Cable Latency)",         "(Invalid Cable Latency)",
    "(Invalid Cable Latency)",
};
constexpr const char* kActiveLatenciesRev3[16] = {
    "(Invalid Cable Latency)",         "(Cable Latency <10ns(<1m))",      "(Cable Latency 10 to 20ns(<2m))",
    "(Cable Latency 20 to 30ns(<3m))", "(Cable Latency 30 to 40ns(<4m))", "(Cable Latency 40 to 50ns(<5m))",
    "(Cable Latency 50 to 60ns(<6m))", "(Cable Latency 60 to 70ns(<7m))", "(Cable Latency 1000ns(<100m))",
    "(Cable Latency 2000ns(<200m))",   "(Cable Latency 3000ns(<300m))",   "(Invalid Cable Latency)",
    "(Invalid Cable Latency)",         "(Invalid Cable Latency)",         "(Invalid Cable Latency)",
    "(Invalid Cable Latency)",
};

constexpr const char* kTerminationsRev2[4] = {
    "(Both ends Passive, VCONN not required.)",
    "(Both ends Passive, VCONN required.)",
    "(Active and Passive, VCONN required.)",
    "(Both ends Active, VCONN required.)",
};
constexpr const char* kPassiveTerminationsRev3[4] = {"(VCONN not required.)", "(VCONN required.)",
                                                     "(Invalid Cable Term Type)", "(Invalid Cable Term Type)"};
constexpr const char* kActiveTerminationsRev3[4] = {"(Invalid Cable Term Type)", "(Invalid Cable Term Type)",
                                                    "(Active and Passive, VCONN required.)",
                                                    "(Both ends Active, VCONN required.)"};

constexpr const char* kMaxVbusVoltages[4] = {"(Max Vbus 20V)", "(Max Vbus 30V)", "(Max Vbus 40V)", "(Max Vbus 50V)"};

constexpr const char* kVbusCurrentsRev2[4] = {"(VBUS not through cable.)", "(VBUS Curr 3A)", "(VBUS Curr 5A)", ""};
constexpr const char* kPassiveVbusCurrentsRev3[4] = {"(Invalid Vbus Current)", "(Vbus 3A)", "(Vbus 5A)",
                                                     "(Invalid Vbus Current)"};
constexpr const char* kActiveVbusCurrentsRev3[4] = {"(Invalid Vbus Current)", "(VBUS Curr 3A)", "(Vbus Curr 5A)",
                                                    "(Invalid Vbus Current)"};

constexpr const char* kSpeedsRev2[8] = {"(USB2.0 only)", "(USB3.1 Gen1)", "(USB3.1 Gen1 and Gen2)", "", "", "", "", ""};
constexpr const char* kSpeedsRev3[8] = {
    "(USB2.0 only)", "(USB3.2 Gen1)", "(USB3.2 / USB4 Gen2)", "(USB4 Gen3)", "(USB4 Gen4)", "", "", ""};
constexpr const char* kAdapterSpeeds[8] = {
    "(USB2.0 only)", "(USB3.1 Gen1)", "(USB3.1 Gen1 and Gen2)", "(USB2.0 billboard onyl)", "", "", "", ""};

constexpr const char* kVconnPowers[8] = {"(Vconn 1W)", "(Vconn 1.5W)", "(Vconn 2W)", "(Vconn 3W)",
                                         "(Vconn 4W)", "(Vconn 5W)",   "(Vconn 6W)", ""};

constexpr VdoField kHardwareVersion = Number(28, 4, "(HWVer=%04Xh)");
constexpr VdoField kFirmwareVersion = Number(24, 4, "(FWVer=%04Xh)");
constexpr const char* kSuperSpeedConfig = "(SSTX1/SSTX2/SSRX1/SSRX2=%s/%s/%s/%s)";

constexpr VdoField kPassiveCableRev2[] = {
    kHardwareVersion,
    kFirmwareVersion,
    Choice(17, kPlugTypesRev2),
    Choice(13, kLatenciesRev2),
    Choice(11, kTerminationsRev2),
    PortConfig(7, kSuperSpeedConfig),
    Choice(5, kVbusCurrentsRev2),
    Flag(4, "(VBUS through cable)"),
    Flag(3, "(SOP'' controller present)"),
    Choice(0, kSpeedsRev2),
};
// The active cable's two flag texts really lack their opening parenthesis.
constexpr VdoField kActiveCableRev2[] = {
    kHardwareVersion,
    kFirmwareVersion,
    Choice(17, kPlugTypesRev2),
    Choice(13, kLatenciesRev2),
    Choice(11, kTerminationsRev2),
    PortConfig(7, kSuperSpeedConfig),
    Choice(5, kVbusCurrentsRev2),
    Flag(4, "VBUS through cable)"),
    Flag(3, "SOP'' controller present)"),
    Choice(0, kSpeedsRev2),
};
constexpr VdoField kPassiveCableRev3[] = {
    kHardwareVersion,
    kFirmwareVersion,
    Choice(18, kPlugTypesRev3),
    Flag(17, "(EPR)"),
    Choice(13, kPassiveLatenciesRev3),
    Choice(11, kPassiveTerminationsRev3),
    Choice(9, kMaxVbusVoltages),
    Choice(5, kPassiveVbusCurrentsRev3),
    Choice(0, kSpeedsRev3),
};
constexpr VdoField kActiveCableRev3[] = {
    kHardwareVersion,
    kFirmwareVersion,
    Choice(18, kPlugTypesRev3),
    Flag(17, "(EPR)"),
    Choice(13, kActiveLatenciesRev3),
    Choice(11, kActiveTerminationsRev3),
    Choice(5, kActiveVbusCurrentsRev3),
    Flag(4, "VBUS through cable)"),
    Flag(3, "SOP'' controller present)"),
    Choice(0, kSpeedsRev3),
};
constexpr VdoField kAlternateModeAdapter[] = {
    kHardwareVersion,        kFirmwareVersion,          Flag(3, "(Vbus required)"), Flag(4, "(Vconn required)"),
    Choice(5, kVconnPowers), Choice(0, kAdapterSpeeds),
};

// The product-type VDO by the ID header's product type, indexed [type][revision 3].
constexpr std::span<const VdoField> kProductTypeVdoLayouts[8][2] = {
    {{}, {}},
    {{}, {}},
    {{}, {}},
    {kPassiveCableRev2, kPassiveCableRev3},
    {kActiveCableRev2, kActiveCableRev3},
    {kAlternateModeAdapter, kAlternateModeAdapter},
    {{}, {}},
    {{}, {}},
};

// ---- DisplayPort ----

constexpr const char* kHotPlugLevels[2] = {"(HPD_Low)", "(HPD_High)"};
constexpr VdoField kDisplayPortStatus[] = {Choice(7, kHotPlugLevels), Flag(8, "(IRQ_HPD)")};

// ---- Message access ----

// The message as received: data objects are counted from 1 as the protocol numbers them, and
// only the whole objects that arrived count, whatever the header claims.
struct VdmMessage {
  const CCCPacket& packet;
  int objects;
  bool rev3;

  std::uint32_t Object(int n) const { return packet.DataObject(n - 1); }
  std::uint32_t VdmHeader() const { return Object(1); }
  std::uint16_t Svid() const { return static_cast<std::uint16_t>(VdmHeader() >> 16); }
};

int ObjectsReceived(const CCCPacket& packet) {
  const int bytes = std::clamp(packet.m_ByteCount, 0, kMaxMessageBytes);
  const int whole = bytes >= 2 ? (bytes - 2) / 4 : 0;
  return std::min(HeaderObjectCount(packet.Header()), whole);
}

// ---- Command-specific texts ----

void AppendDiscoverIdentity(std::string& out, const VdmMessage& m) {
  const std::uint32_t idHeader = m.Object(2);
  const bool cablePlug = m.packet.m_Kind != kKindSop;
  AppendFields(out, idHeader, kProductTypeLayouts[cablePlug][m.rev3]);
  AppendFields(out, idHeader, kIdHeaderTail);
  if (m.objects >= 3) AppendFields(out, m.Object(3), kCertStatLayout);
  if (m.objects >= 4) AppendFields(out, m.Object(4), kProductLayout);
  if (m.objects >= 5) AppendFields(out, m.Object(5), kProductTypeVdoLayouts[FieldValue(idHeader, 27, 3)][m.rev3]);
}

void AppendDiscoverSvids(std::string& out, const VdmMessage& m) {
  int n = 0;
  for (int i = 2; i <= m.objects; ++i) {
    const std::uint32_t word = m.Object(i);
    const auto upper = static_cast<std::uint16_t>(word >> 16);
    const auto lower = static_cast<std::uint16_t>(word);
    // A zero upper half is the list's terminator or padding: the object adds nothing, lower half included.
    if (upper == 0) continue;
    AppendFormat(out, "(SVID%d=%s)", n++, SvidName(upper).c_str());
    if (lower != 0) AppendFormat(out, "(SVID%d=%s)", n++, SvidName(lower).c_str());
  }
}

void AppendDiscoverModes(std::string& out, const VdmMessage& m) {
  for (int i = 1; i < m.objects; ++i) AppendFormat(out, "(Mode%d=%08Xh)", i, m.Object(i + 1));
}

void AppendAttention(std::string& out, const VdmMessage& m) {
  if (m.Svid() == kSvidDisplayPort) AppendFields(out, m.Object(2), kDisplayPortStatus);
}

struct CommandDecoder {
  int command;
  void (*append)(std::string&, const VdmMessage&);
};
constexpr CommandDecoder kCommandDecoders[] = {
    {1, AppendDiscoverIdentity},
    {2, AppendDiscoverSvids},
    {3, AppendDiscoverModes},
    {6, AppendAttention},
};

// ---- Structured VDM header ----

void AppendCommandName(std::string& out, int command, std::uint16_t svid) {
  if (command < 16) {
    if (kCommandNames[command]) {
      out += kCommandNames[command];
    } else {
      AppendFormat(out, "(Invalid Command %d)", command);
    }
    return;
  }
  const auto* named = std::find_if(std::begin(kSvidCommandNames), std::end(kSvidCommandNames),
                                   [&](const SvidCommandText& t) { return t.svid == svid && t.command == command; });
  if (named != std::end(kSvidCommandNames)) {
    out += named->name;
  } else {
    AppendFormat(out, "SVID Specific Command %d", command);
  }
}

void AppendObjectPosition(std::string& out, int position) {
  if (position == kExitAllModesPosition) {
    out += "(Exit all Active Modes)";
  } else {
    AppendFormat(out, "(Object Position=%d)", position);
  }
}

std::string StructuredDescription(const VdmMessage& m) {
  const std::uint32_t h = m.VdmHeader();
  const int command = static_cast<int>(FieldValue(h, 0, 5));
  std::string out;
  AppendCommandName(out, command, m.Svid());
  out += " ";
  out += kCommandTypes[FieldValue(h, 6, 2)];
  out += " ";
  AppendFormat(out, "(SVID=%s)", SvidName(m.Svid()).c_str());
  AppendObjectPosition(out, static_cast<int>(FieldValue(h, 8, 3)));
  out += kVdmVersions[FieldValue(h, 11, 4)];
  if (m.objects < 2) return out;
  for (const CommandDecoder& d : kCommandDecoders) {
    if (d.command == command) d.append(out, m);
  }
  return out;
}

std::string UnstructuredDescription(const VdmMessage& m) {
  const std::uint32_t h = m.VdmHeader();
  const unsigned vendorData = FieldValue(h, 0, 15);
  return Format("<Unstructured VDM> VID=%04Xh VendorData=%04Xh(%d)", m.Svid(), vendorData,
                static_cast<int>(vendorData));
}

}  // namespace

std::string SvidName(std::uint16_t svid) {
  const auto* named =
      std::find_if(std::begin(kSvidNames), std::end(kSvidNames), [&](const SvidText& t) { return t.svid == svid; });
  if (named != std::end(kSvidNames)) return named->name;
  return Format("%04X", svid);
}

std::string VendorDefinedDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  const VdmMessage m{packet, ObjectsReceived(packet), HeaderRevision(packet.Header()) >= 2};
  if (m.objects == 0) return "No VDM Header.";
  const bool structured = FieldValue(m.VdmHeader(), 15, 1) != 0;
  return structured ? StructuredDescription(m) : UnstructuredDescription(m);
}

}  // namespace zk
