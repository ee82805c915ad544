#include "pd/field_breakdown.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pd/message_layout.h"

namespace zk {
namespace {

constexpr std::uint16_t kRev2 = 1 << 6;
constexpr std::uint16_t kRev3 = 2 << 6;
constexpr std::uint16_t kExtendedBit = 0x8000;
constexpr std::uint16_t kPowerRoleOrCablePlug = 0x100;

std::uint16_t Header(int type, std::uint16_t revision, int objects, std::uint16_t flags = 0) {
  return static_cast<std::uint16_t>(type | revision | (objects << 12) | flags);
}

void PutWord(CCCPacket& p, int at, std::uint32_t w) {
  for (int i = 0; i < 4; ++i) p.m_Bytes[at + i] = static_cast<std::uint8_t>(w >> (8 * i));
}

std::unique_ptr<CCCPacket> DataMessage(int kind, std::uint16_t header, std::initializer_list<std::uint32_t> objects) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Index = 7;
  p->m_Kind = kind;
  p->m_Bytes[0] = static_cast<std::uint8_t>(header);
  p->m_Bytes[1] = static_cast<std::uint8_t>(header >> 8);
  int at = 2;
  for (std::uint32_t w : objects) {
    PutWord(*p, at, w);
    at += 4;
  }
  p->m_ByteCount = at;
  return p;
}

std::unique_ptr<CCCPacket> ExtendedMessage(int type, std::uint16_t extHeader, const std::vector<std::uint8_t>& data) {
  const int objects = static_cast<int>((2 + data.size() + 3) / 4);
  auto p = DataMessage(kKindSop, Header(type, kRev3, objects & 7, kExtendedBit), {});
  p->m_Bytes[2] = static_cast<std::uint8_t>(extHeader);
  p->m_Bytes[3] = static_cast<std::uint8_t>(extHeader >> 8);
  for (std::size_t i = 0; i < data.size() && i < 264; ++i) p->m_Bytes[4 + i] = data[i];
  p->m_ByteCount = static_cast<int>(4 + data.size());
  return p;
}

std::vector<std::string> Names(const std::vector<FieldRow>& rows) {
  std::vector<std::string> names;
  for (const FieldRow& r : rows) names.push_back(r.m_Name);
  return names;
}

const FieldRow* RowNamed(const std::vector<FieldRow>& rows, const std::string& name) {
  for (const FieldRow& r : rows) {
    if (r.m_Name == name) return &r;
  }
  return nullptr;
}

std::vector<std::int32_t> Starts(const MessageLayout& layout) {
  std::vector<std::int32_t> starts;
  for (const LayoutEntry& e : layout.Entries()) starts.push_back(e.m_Start);
  return starts;
}

// Stops the bits of consecutive rows from overlapping or leaving gaps: offsets 0 to 31 in order.
void ExpectCoversOneObject(const std::vector<FieldRow>& rows) {
  int next = 0;
  for (const FieldRow& r : rows) {
    const int length = std::stoi(r.m_Length);
    EXPECT_EQ(r.m_Offset,
              length == 1 ? std::to_string(next) : std::to_string(next) + ".." + std::to_string(next + length - 1));
    next += length;
  }
  EXPECT_EQ(next, 32);
}

constexpr std::uint32_t kFixed5V3A = (100u << 10) | 300u;  // fixed supply, 5 V, 3 A

TEST(FieldBreakdown, HardResetShowsOnlyThePacketItemAndNoRows) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Kind = kKindHardReset;
  p->m_Index = 3;
  const FieldTree tree = BuildFieldTree(p.get());
  ASSERT_EQ(tree.m_Items.size(), 1u);
  EXPECT_EQ(tree.m_Items[0], (FieldTreeItem{"Packet #3", kSelectPacket, false, {}}));
  EXPECT_EQ(tree.m_SelectedCode, 0u);
  EXPECT_TRUE(BuildFieldRows(p.get(), 0).empty());
  EXPECT_TRUE(BuildFieldRows(p.get(), kSelectHeader).empty());
  EXPECT_TRUE(BuildFieldTree(nullptr).m_Items.empty());
  EXPECT_TRUE(BuildFieldRows(nullptr, 0).empty());
}

TEST(FieldBreakdown, DebugOrderedSetHasNoHeaderItemAndNoRows) {
  auto p = DataMessage(kKindSopPDebug, Header(1, kRev3, 1), {kFixed5V3A});
  const FieldTree tree = BuildFieldTree(p.get());
  ASSERT_EQ(tree.m_Items.size(), 1u);
  ASSERT_EQ(tree.m_Items[0].m_Children.size(), 1u);
  EXPECT_EQ(tree.m_Items[0].m_Children[0].m_Text, "Data Object [1] = 0001912Ch");
  EXPECT_EQ(tree.m_SelectedCode, 0u);
  EXPECT_TRUE(BuildFieldRows(p.get(), tree.m_SelectedCode).empty());
}

TEST(FieldBreakdown, HeaderOfRevision3SourceCapabilitiesGivesSevenRows) {
  auto p = DataMessage(kKindSop, Header(1, kRev3, 2, 0x20 | kPowerRoleOrCablePlug | (3 << 9)),
                       {kFixed5V3A, (180u << 10) | 300u});
  const FieldTree tree = BuildFieldTree(p.get());
  ASSERT_EQ(tree.m_Items.size(), 1u);
  const FieldTreeItem& root = tree.m_Items[0];
  EXPECT_EQ(root.m_Text, "Packet #7");
  EXPECT_TRUE(root.m_Expanded);
  ASSERT_EQ(root.m_Children.size(), 3u);
  EXPECT_EQ(root.m_Children[0], (FieldTreeItem{"Message Header=27A1h", kSelectHeader, false, {}}));
  EXPECT_EQ(root.m_Children[2], (FieldTreeItem{"Data Object [2] = 0002D12Ch", 0x04010000, false, {}}));
  EXPECT_EQ(tree.m_SelectedCode, kSelectHeader);

  const std::vector<FieldRow> rows = BuildFieldRows(p.get(), tree.m_SelectedCode);
  const std::vector<FieldRow> expected = {
      {"0..4", "5", "Message Type", "01h (1)", "Source_Capabilities", "01 ", "."},
      {"5", "1", "Port Data Role", "1h (1)", "DFP", "01 ", "."},
      {"6..7", "2", "Specification Revision", "2h (2)", "Revision 3.0", "02 ", "."},
      {"8", "1", "Port Power Role", "1h (1)", "Source", "01 ", "."},
      {"9..11", "3", "MessageID", "3h (3)", "", "03 ", "."},
      {"12..14", "3", "Number of Data Objects", "2h (2)", "", "02 ", "."},
      {"15", "1", "Extended", "0h (0)", "Control or Data Message", "00 ", "."},
  };
  EXPECT_EQ(rows, expected);
}

TEST(FieldBreakdown, MessageTypeIsNamedByClassAndRevision) {
  struct Case {
    std::uint16_t header;
    std::initializer_list<std::uint32_t> objects;
    const char* name;
  };
  const Case cases[] = {
      {Header(2, kRev2, 0), {}, "GotoMin"},
      {Header(2, kRev3, 0), {}, "GotoMin (Deprecated)"},
      {Header(17, kRev3, 0), {}, "Get_Source_Cap_Extended"},
      {Header(4, kRev2, 1), {0}, "Sink_Capabilities"},
      {Header(9, kRev2, 1), {0}, ""},  // no EPR_Request before revision 3
      {Header(9, kRev3, 1), {0}, "EPR_Request"},
  };
  for (const Case& c : cases) {
    auto p = DataMessage(kKindSop, c.header, c.objects);
    const std::vector<FieldRow> rows = BuildFieldRows(p.get(), kSelectHeader);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].m_Description, c.name) << std::hex << c.header;
  }
  auto ext = ExtendedMessage(7, 0, {});
  EXPECT_EQ(BuildFieldRows(ext.get(), kSelectHeader)[0].m_Description, "Manufacturer_Info");
}

TEST(FieldBreakdown, SelectedPdoShowsItsFieldsByRevisionAndSupplyType) {
  struct Case {
    std::uint16_t revision;
    std::uint32_t pdo;
    const char* topField;  // offset 30 or 28 names the kind of PDO
    const char* marker;    // a field only that form has
  };
  const Case cases[] = {
      {kRev2, kFixed5V3A, "Fixed supply", "Dual-Role Data"},
      {kRev3, kFixed5V3A, "Fixed supply", "EPR Mode Capable"},
      {kRev3, 0x40000000u | (300u << 20) | (100u << 10) | 60u, "Battery", "Maximum Allowable Power in 250mW units"},
      {kRev3, 0x80000000u, "Variable Supply (non-Battery)", "Maximum Current in 10mA units"},
      {kRev3, 0xC0000000u | (210u << 17) | (33u << 8) | 60u, "SPR Programmable Power Supply", "PPS Power Limited"},
      {kRev3, 0xD0000000u, "EPR Adjustable Voltage Supply", "PDP in 1W increments"},
      {kRev3, 0xF0000000u, "Unknown APDO", "Reserved"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marker);
    auto p = DataMessage(kKindSop, Header(1, c.revision, 2), {kFixed5V3A, c.pdo});
    const std::vector<FieldRow> rows = BuildFieldRows(p.get(), kSelectDataObject + (1 << 16));
    ExpectCoversOneObject(rows);
    EXPECT_NE(RowNamed(rows, c.topField), nullptr);
    EXPECT_NE(RowNamed(rows, c.marker), nullptr);
  }
  auto rev2 = DataMessage(kKindSop, Header(1, kRev2, 1), {kFixed5V3A});
  const std::vector<FieldRow> rows = BuildFieldRows(rev2.get(), kSelectDataObject);
  EXPECT_EQ(*RowNamed(rows, "Voltage in 50mV units"),
            (FieldRow{"10..19", "10", "Voltage in 50mV units", "064h (100)", "5000 [mV]", "64 00 ", "d."}));
  EXPECT_EQ(RowNamed(rows, "EPR Mode Capable"), nullptr);
}

TEST(FieldBreakdown, WholeMessageShowsDataObjectsAsSingleRowsAndAllOnesAsMinusOne) {
  auto p = DataMessage(kKindSop, Header(1, kRev2, 1), {0xFFFFFFFF});
  const std::vector<FieldRow> rows = BuildFieldRows(p.get(), kSelectPacket);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows.back(), (FieldRow{"16..47", "32", "Data Object #1", "FFFFFFFFh (-1)", "", "FF FF FF FF ", "...."}));
  EXPECT_EQ(BuildFieldRows(p.get(), 0), rows);
}

TEST(FieldBreakdown, LongExtendedDataIsCutInto128BitRowsWithByteRanges) {
  std::vector<std::uint8_t> data(260);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0x41 + i % 26);
  auto p = ExtendedMessage(7, 260, data);
  ASSERT_EQ(p->m_ByteCount, 264);

  const FieldTree tree = BuildFieldTree(p.get());
  const FieldTreeItem& extData = tree.m_Items[0].m_Children[2];
  EXPECT_EQ(extData.m_Text, "Extended Data (260bytes)");
  EXPECT_TRUE(extData.m_Expanded);
  ASSERT_EQ(extData.m_Children.size(), 17u);
  EXPECT_EQ(extData.m_Children[0].m_Text, "+000h : 4142434445464748494A4B4C4D4E4F50h");
  EXPECT_EQ(extData.m_Children[16], (FieldTreeItem{"+100h : 5758595Ah", kSelectExtendedData + 0x100, false, {}}));

  const std::vector<FieldRow> rows = BuildFieldRows(p.get(), kSelectPacket);
  ASSERT_EQ(rows.size(), 7u + 5 + 17);
  const FieldRow& first = rows[12];
  EXPECT_EQ(first, (FieldRow{"32..159", "128", "Extended Data[0..15]", "44434241h - 48474645h - 4C4B4A49h - 504F4E4Dh",
                             "", "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 ", "ABCDEFGHIJKLMNOP"}));
  EXPECT_EQ(rows[13].m_Offset, "160..287");
  EXPECT_EQ(rows[13].m_Name, "Extended Data[16..31]");
  const FieldRow& last = rows.back();
  EXPECT_EQ(last, (FieldRow{"2080..2111", "32", "Extended Data[256..259]", "5A595857h", "", "57 58 59 5A ", "WXYZ"}));

  // The Extended Data item shows the data from its own bit 0, limited to what the message holds.
  const std::vector<FieldRow> dataRows = BuildFieldRows(p.get(), kSelectExtendedData);
  EXPECT_EQ(SelectionRange(*p, kSelectExtendedData + 0x20), (FieldRange{FieldView::kMessage, 32, 2080}));
  ASSERT_FALSE(dataRows.empty());
  EXPECT_EQ(dataRows[0].m_Name, "VID");
  EXPECT_EQ(dataRows[0].m_Offset, "0..15");
  EXPECT_EQ(RowNamed(dataRows, "Manufacturer String[0..15]")->m_Offset, "32..159");
}

TEST(FieldBreakdown, SelectionCodesMapToBitRanges) {
  auto p = ExtendedMessage(1, 24, std::vector<std::uint8_t>(10));
  struct Case {
    std::uint32_t code;
    FieldRange range;
  };
  const Case cases[] = {
      {0, {FieldView::kMessage, 0, 14 * 8}},
      {kSelectPacket | kSelectHeader, {FieldView::kMessage, 0, 14 * 8}},  // tested bit by bit in order
      {kSelectHeader, {FieldView::kMessage, 0, 16}},
      {kSelectExtendedHeader, {FieldView::kMessage, 16, 16}},
      {kSelectExtendedData, {FieldView::kMessage, 32, 10 * 8}},  // the message holds less than Data Size
      {kSelectDataObject + (2 << 16), {FieldView::kMessage, 16 + 64, 32}},
      {kSelectReassembled + 0x10, {FieldView::kReassembled, 0, 0}},
      {kSelectReassembled + kSelectDataObject + (3 << 16), {FieldView::kReassembled, 96, 32}},
  };
  for (const Case& c : cases) EXPECT_EQ(SelectionRange(*p, c.code), c.range) << std::hex << c.code;
  p->m_ByteCount = 2;
  EXPECT_EQ(SelectionRange(*p, kSelectExtendedData).m_Length, 0);
}

TEST(FieldBreakdown, PassiveCableDiscoverIdentityAckLaysOutItsVdos) {
  // SVID 0xFF00, structured, version 2.0, ACK, Discover Identity.
  const std::uint32_t vdmHeader = 0xFF000000u | 0x8000u | (1u << 13) | (1u << 6) | 1u;
  const std::uint32_t idHeader = (3u << 27) | 0x05ACu;  // passive cable
  const std::uint32_t cableVdo = (1u << 21) | (2u << 18) | (1u << 5) | 2u;
  auto p = DataMessage(kKindSopP, Header(15, kRev3, 5, kPowerRoleOrCablePlug),
                       {vdmHeader, idHeader, 0x12345678u, 0x0001ABCDu, cableVdo});
  const MessageLayout layout = BuildMessageLayout(*p, FieldView::kMessage);
  EXPECT_EQ(Starts(layout), (std::vector<std::int32_t>{0, 16, 48, 80, 112, 144}));
  EXPECT_EQ(layout.Entries()[1].m_pList, FieldList(FieldListId::kStructuredVDMHeaderV2));
  EXPECT_EQ(layout.Entries()[2].m_pList, FieldList(FieldListId::kIDHeaderCableV2));
  EXPECT_EQ(layout.Entries()[3].m_pList, FieldList(FieldListId::kCertStatVDO));
  EXPECT_EQ(layout.Entries()[4].m_pList, FieldList(FieldListId::kProductVDO));
  EXPECT_EQ(layout.Entries()[5].m_pList, FieldList(FieldListId::kPassiveCableVDOV2));
  EXPECT_EQ(layout.Entries()[5].m_Total, 32u);
  EXPECT_EQ(layout.m_Entries[6].m_Start, -1);

  const std::vector<FieldRow> header = BuildFieldRows(p.get(), kSelectDataObject);
  EXPECT_EQ(RowNamed(header, "Command")->m_Description, "Discover Identity");
  EXPECT_EQ(RowNamed(header, "Command Type")->m_Description, "ACK (Acknowledge Response from Responder Port)");
  EXPECT_EQ(RowNamed(header, "Standard or Vendor ID (SVID)")->m_Description, "Standard ID");
  EXPECT_EQ(
      RowNamed(BuildFieldRows(p.get(), kSelectDataObject + (1 << 16)), "Product Type (Cable Plug)")->m_Description,
      "Passive Cable");
  const std::vector<FieldRow> vdo = BuildFieldRows(p.get(), kSelectDataObject + (4 << 16));
  ExpectCoversOneObject(vdo);
  EXPECT_EQ(RowNamed(vdo, "VDO Version")->m_Description, "Version 1.1");
  EXPECT_EQ(RowNamed(vdo, "USB Type-C plug to USB Type-C/Captive")->m_Description, "USB Type-C");
  EXPECT_EQ(RowNamed(vdo, "VBUS Current Handling Capability")->m_Description, "3A");
  EXPECT_EQ(RowNamed(vdo, "USB Highest Speed")->m_Description, "USB 3.2 / USB4 Gen2");

  // Version 1.0 of the same VDM picks the version 1.0 forms.
  auto old = DataMessage(kKindSopP, Header(15, kRev2, 5, kPowerRoleOrCablePlug),
                         {vdmHeader & ~(3u << 13), idHeader, 0, 0, cableVdo});
  const MessageLayout oldLayout = BuildMessageLayout(*old, FieldView::kMessage);
  EXPECT_EQ(oldLayout.Entries()[1].m_pList, FieldList(FieldListId::kStructuredVDMHeaderV10));
  EXPECT_EQ(oldLayout.Entries()[2].m_pList, FieldList(FieldListId::kIDHeaderCableV10));
  EXPECT_EQ(oldLayout.Entries()[5].m_pList, FieldList(FieldListId::kPassiveCableVDOV10));
}

TEST(FieldBreakdown, DisplayPortModesAndCommandsAgainstAnotherSvid) {
  const std::uint32_t dpModes = 0xFF018000u | (1u << 13) | (1u << 6) | 3u;
  const std::uint32_t dpCaps = (0x0Cu << 8) | (1u << 6) | (1u << 2) | 2u;  // C and D, receptacle, DP 1.3, DFP_D
  auto dp = DataMessage(kKindSop, Header(15, kRev3, 3), {dpModes, dpCaps, dpCaps});
  EXPECT_EQ(Starts(BuildMessageLayout(*dp, FieldView::kMessage)),
            (std::vector<std::int32_t>{0, 16, 48, 80, 112, 144, 176, 208}));
  const std::vector<FieldRow> mode = BuildFieldRows(dp.get(), kSelectDataObject + (1 << 16));
  EXPECT_EQ(Names(mode), (std::vector<std::string>{"Port Capability", "Signaling for Transport of DisplayPort Protocol",
                                                   "Receptacle Indication", "USB r2.0 Signaling Not Used",
                                                   "DFP_D Pin Assignments Supported", "UFP_D Pin Assignments Supported",
                                                   "Reserved"}));
  EXPECT_EQ(mode[0].m_Description, "DFP_D-capable");
  EXPECT_EQ(mode[4].m_Description, "Pin Assignment C, Pin Assignment D");
  EXPECT_EQ(mode.back().m_Offset, "24..31");  // the 16-bit reserved field ends with the object

  const std::uint32_t otherModes = (dpModes & 0xFFFFu) | 0x1234'0000u;
  auto other = DataMessage(kKindSop, Header(15, kRev3, 3), {otherModes, 0xAABBCCDDu, 0});
  EXPECT_EQ(Starts(BuildMessageLayout(*other, FieldView::kMessage)), (std::vector<std::int32_t>{0, 16, 48}));
  EXPECT_EQ(BuildFieldRows(other.get(), kSelectDataObject + (1 << 16)),
            (std::vector<FieldRow>{{"0..31", "32", "Mode1", "AABBCCDDh (-1430532899)", "", "DD CC BB AA ", "...."}}));
  EXPECT_EQ(BuildFieldRows(other.get(), kSelectDataObject + (2 << 16))[0].m_Name, "Mode2");

  // DisplayPort names command 16; another SVID's command 16 keeps T119, which has no name for it.
  auto dpStatus = DataMessage(kKindSop, Header(15, kRev3, 2), {(dpModes & ~0x1Fu) | 16u, 0x9Au});
  auto otherStatus = DataMessage(kKindSop, Header(15, kRev3, 2), {(otherModes & ~0x1Fu) | 16u, 0x9Au});
  const std::vector<FieldRow> dpRows = BuildFieldRows(dpStatus.get(), kSelectDataObject);
  EXPECT_EQ(RowNamed(dpRows, "Command")->m_Description, "DisplayPort Status Update");
  EXPECT_EQ(RowNamed(BuildFieldRows(otherStatus.get(), kSelectDataObject), "Command")->m_Description, "");
  EXPECT_EQ(RowNamed(BuildFieldRows(dpStatus.get(), kSelectDataObject + (1 << 16)), "HPD State")->m_Description,
            "HPD_High");
  EXPECT_EQ(Starts(BuildMessageLayout(*otherStatus, FieldView::kMessage)), (std::vector<std::int32_t>{0, 16}));
}

TEST(FieldBreakdown, RequestLayoutFollowsTheSelectedSourcePdo) {
  auto caps = DataMessage(kKindSop, Header(1, kRev3, 3),
                          {kFixed5V3A, 0x40000000u, 0xC0000000u | (210u << 17) | (33u << 8) | 60u});
  struct Case {
    std::uint16_t revision;
    std::uint32_t request;
    FieldListId list;
  };
  const Case cases[] = {
      {kRev2, 1u << 28, FieldListId::kFixedOrVariableRequestRev2},
      {kRev3, 1u << 28, FieldListId::kFixedOrVariableRequestRev3},
      {kRev2, (1u << 28) | (1u << 27), FieldListId::kFixedOrVariableRequestWithGiveBackRev2},
      {kRev3, 2u << 28, FieldListId::kBatteryRequestRev3},
      {kRev3, 3u << 28, FieldListId::kPPSRequest},
  };
  for (const Case& c : cases) {
    auto request = DataMessage(kKindSop, Header(2, c.revision, 1), {c.request});
    request->m_pSourceCaps = caps.get();
    const MessageLayout layout = BuildMessageLayout(*request, FieldView::kMessage);
    ASSERT_EQ(layout.m_Count, 2) << std::hex << c.request;
    EXPECT_EQ(layout.Entries()[1].m_pList, FieldList(c.list)) << std::hex << c.request;
  }
  for (std::uint32_t position : {0u, 4u}) {  // no such object: no request layout
    auto request = DataMessage(kKindSop, Header(2, kRev3, 1), {position << 28});
    request->m_pSourceCaps = caps.get();
    EXPECT_EQ(BuildMessageLayout(*request, FieldView::kMessage).m_Count, 1);
  }
  auto unlinked = DataMessage(kKindSop, Header(2, kRev3, 1), {1u << 28});
  EXPECT_EQ(BuildMessageLayout(*unlinked, FieldView::kMessage).m_Count, 1);

  auto eprRequest = DataMessage(kKindSop, Header(9, kRev3, 2), {(1u << 28) | (1u << 27), kFixed5V3A});
  const MessageLayout epr = BuildMessageLayout(*eprRequest, FieldView::kMessage);
  EXPECT_EQ(Starts(epr), (std::vector<std::int32_t>{0, 16, 48}));
  EXPECT_EQ(epr.Entries()[1].m_pList, FieldList(FieldListId::kFixedOrVariableRequestWithGiveBackRev3));
  EXPECT_EQ(epr.Entries()[2].m_pList, FieldList(FieldListId::kSourceFixedSupplyPDORev3));
}

std::unique_ptr<CCCPacket> SecurityChallengeChunk0(std::shared_ptr<std::vector<std::uint8_t>> buffer) {
  // Chunked, chunk 0, Data Size 40: the first 26 bytes travel in this chunk.
  const std::uint16_t extHeader = 0x8000 | 40;
  auto p = ExtendedMessage(8, extHeader, std::vector<std::uint8_t>(buffer->begin(), buffer->begin() + 26));
  p->m_pExtBuf = std::move(buffer);
  p->m_OwnsExtBuf = 1;
  p->m_ExtSize = 40;
  p->m_ExtOffset = 0;
  p->m_ExtChunkLen = 26;
  return p;
}

TEST(FieldBreakdown, ChunkedSecurityRequestInTheReassembledView) {
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(40);
  (*buffer)[0] = 0x01;  // protocol version
  (*buffer)[1] = 0x83;  // CHALLENGE
  (*buffer)[2] = 0x02;  // slot
  for (int i = 4; i < 36; ++i) (*buffer)[i] = static_cast<std::uint8_t>(i);
  auto p = SecurityChallengeChunk0(buffer);

  const FieldTree tree = BuildFieldTree(p.get());
  ASSERT_EQ(tree.m_Items.size(), 2u);
  const FieldTreeItem& block = tree.m_Items[1];
  EXPECT_EQ(block.m_Text, "Total Extended Data Block (40bytes)");
  EXPECT_EQ(block.m_Code, kSelectReassembled);
  EXPECT_TRUE(block.m_Expanded);
  ASSERT_EQ(block.m_Children.size(), 3u);
  EXPECT_EQ(block.m_Children[2], (FieldTreeItem{"+020h : 2021222300000000h", kSelectReassembled + 0x20, false, {}}));

  const MessageLayout layout = BuildMessageLayout(*p, FieldView::kReassembled);
  EXPECT_EQ(Starts(layout), (std::vector<std::int32_t>{0, 16}));
  EXPECT_EQ(layout.Entries()[0].m_pList, FieldList(FieldListId::kSecurityRequestHeader));
  EXPECT_EQ(layout.Entries()[1].m_pList, FieldList(FieldListId::kSecurityRequestPayload0x83));

  const std::vector<FieldRow> rows = BuildFieldRows(p.get(), kSelectReassembled + 0x10);
  EXPECT_EQ(Names(rows), (std::vector<std::string>{"ProtocolVersion", "MessageType", "Param1", "Param2", "Nonce[0..15]",
                                                   "Nonce[16..31]"}));
  EXPECT_EQ(rows[0].m_Description, "USB Type-C Authentication  Protocol Version 1.0");
  EXPECT_EQ(rows[1].m_Description, "CHALLENGE");
  EXPECT_EQ(rows[2].m_Description,
            "Slot number of the recipient's Certificate Chain that will be used for Authentication.");
  EXPECT_EQ(rows[4].m_Offset, "32..159");
  EXPECT_EQ(rows[5].m_Value, "17161514h - 1B1A1918h - 1F1E1D1Ch - 23222120h");

  // The message view leaves the data to the reassembled view: only the header lists remain.
  EXPECT_EQ(Starts(BuildMessageLayout(*p, FieldView::kMessage)), (std::vector<std::int32_t>{0, 16}));

  // Without a buffer every piece reads as all ones.
  p->m_pExtBuf.reset();
  EXPECT_TRUE(BuildFieldTree(p.get()).m_Items.size() == 1u);
  const std::vector<FieldRow> missing = BuildFieldRows(p.get(), kSelectReassembled);
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[0], (FieldRow{"0..7", "8", "ProtocolVersion", "FFFFFFFFh (-1)", "", "FF ", "."}));
}

TEST(FieldBreakdown, ReassembledEprCapabilitiesShowOnePdoPerWord) {
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(8);
  const std::uint32_t words[] = {kFixed5V3A, 0xC0000000u | (210u << 17) | (33u << 8) | 60u};
  for (int i = 0; i < 8; ++i) (*buffer)[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (i % 4)));
  auto p = ExtendedMessage(17, 8, *buffer);
  p->m_pExtBuf = buffer;
  p->m_ExtSize = 8;
  p->m_ExtChunkLen = 8;

  const FieldTree tree = BuildFieldTree(p.get());
  ASSERT_EQ(tree.m_Items.size(), 2u);
  ASSERT_EQ(tree.m_Items[1].m_Children.size(), 2u);
  EXPECT_EQ(
      tree.m_Items[1].m_Children[1],
      (FieldTreeItem{"Data Object [2] = C1A4213Ch", kSelectReassembled + kSelectDataObject + (1 << 16), false, {}}));
  const std::vector<FieldRow> rows = BuildFieldRows(p.get(), tree.m_Items[1].m_Children[1].m_Code);
  ExpectCoversOneObject(rows);
  EXPECT_EQ(RowNamed(rows, "Maximum Voltage in 100mV increments")->m_Description, "21000 [mV]");
}

TEST(FieldBreakdown, HostilePacketsNeverReadOutOfBounds) {
  std::mt19937 rng(12345);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const std::uint32_t fixedCodes[] = {0,
                                      kSelectPacket,
                                      kSelectHeader,
                                      kSelectExtendedHeader,
                                      kSelectExtendedData,
                                      kSelectDataObject + (6 << 16),
                                      kSelectDataObject + (0x3FF << 16),
                                      kSelectReassembled,
                                      kSelectReassembled + kSelectDataObject + (0x3FF << 16),
                                      0xFFFFFFFF};
  auto caps = DataMessage(kKindSop, Header(1, kRev3, 7), {});
  for (int round = 0; round < 300; ++round) {
    CCCPacket p;
    p.m_Kind = pick(0, 8) == 8 ? pick(0, 255) : pick(1, 7);
    for (std::uint8_t& b : p.m_Bytes) b = static_cast<std::uint8_t>(pick(0, 255));
    if (pick(0, 1)) p.m_Bytes[1] |= 0x80;  // extended under revision 3 more often
    if (pick(0, 1)) p.m_Bytes[0] = static_cast<std::uint8_t>((p.m_Bytes[0] & 0xE0) | 0x8F);
    p.m_ByteCount = pick(-4, 300);
    if (pick(0, 2) == 0) p.m_pSourceCaps = caps.get();
    switch (pick(0, 3)) {
      case 0: p.m_pExtBuf = std::make_shared<std::vector<std::uint8_t>>(pick(0, 300), 0xA5); break;
      case 1: p.m_ExtSelf = true; break;
      default: break;
    }
    p.m_ExtSize = pick(-10, 700);
    p.m_ExtChunkLen = pick(0, 30);
    const FieldTree tree = BuildFieldTree(&p);
    std::vector<std::uint32_t> codes(std::begin(fixedCodes), std::end(fixedCodes));
    const auto collect = [&](const auto& self, const FieldTreeItem& item) -> void {
      codes.push_back(item.m_Code);
      for (const FieldTreeItem& child : item.m_Children) self(self, child);
    };
    for (const FieldTreeItem& item : tree.m_Items) collect(collect, item);
    for (std::uint32_t code : codes) {
      for (const FieldRow& r : BuildFieldRows(&p, code)) ASSERT_FALSE(r.m_Length.empty());
    }
  }
}

}  // namespace
}  // namespace zk
