#include "ui/list/find_filter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pd/message_names.h"
#include "tests/core/pd/desc_test_packets.h"

namespace zk {
namespace {

using test::HeaderFields;
using test::MakeHeader;

using PacketPtr = std::unique_ptr<CCCPacket>;

// A cleanly received message: preamble, good CRC, EOP, a unit interval in range.
PacketPtr Message(HeaderFields fields, int kind = kKindSop, int channel = 0) {
  PacketPtr p = test::MakeMessage(MakeHeader(fields),
                                  std::vector<std::uint32_t>(fields.extended ? 0 : fields.objects, 0x2C91u), kind);
  p->m_EdgeCount = 200;
  p->m_EopFound = 1;
  p->m_UnitInterval = 3.33f;
  p->m_Channel = channel;
  return p;
}

PacketPtr Control(int type, int kind = kKindSop) { return Message({.type = type}, kind); }

PacketPtr Reset(int kind) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Kind = kind;
  p->m_PreambleFound = 1;
  p->m_EdgeCount = 150;
  p->m_UnitInterval = 3.3f;
  return p;
}

PacketPtr NoPreamble() {
  auto p = std::make_unique<CCCPacket>();
  p->m_EdgeCount = 12;
  return p;
}

PacketPtr Spoiled(PacketPtr p, const std::function<void(CCCPacket&)>& spoil) {
  spoil(*p);
  return p;
}

int FlagOf(MessageClass c, int type) { return *MessageTypeFlagIndex(c, type); }

PacketCriteria FindWith(const std::function<void(PacketCriteria&)>& change) {
  PacketCriteria c = DefaultFindCriteria();
  change(c);
  return c;
}

PacketCriteria FilterWith(const std::function<void(PacketCriteria&)>& change) {
  PacketCriteria c = DefaultFilterCriteria();
  change(c);
  return c;
}

constexpr int kGetPpsStatus = 20;
constexpr int kGetCountryCodes = 21;

TEST(MessageTypeFlagsTest, LabelsAreTheMessageNamesAndEachTypeHasOneBox) {
  std::set<std::pair<MessageClass, int>> seen;
  for (const MessageTypeFlag& flag : MessageTypeFlags()) {
    // The names of deprecated messages carry a note after the label.
    EXPECT_EQ(MessageTypeName(flag.messageClass, flag.type, 2).rfind(flag.label, 0), 0u) << flag.label;
    EXPECT_TRUE(seen.insert({flag.messageClass, flag.type}).second) << flag.label;
  }
  EXPECT_EQ(seen.size(), 56u);
  EXPECT_FALSE(MessageTypeFlagIndex(MessageClass::kControl, 25));
  EXPECT_FALSE(MessageTypeFlagIndex(MessageClass::kData, 13));
}

TEST(FindMatchTest, DefaultsFindNoMessage) {
  const PacketCriteria find = DefaultFindCriteria();
  std::vector<PacketPtr> packets;
  packets.push_back(Control(3));
  packets.push_back(Control(1, kKindSopP));
  packets.push_back(Message({.type = 1, .objects = 2, .powerRole = 1, .dataRole = 1}));
  packets.push_back(Message({.type = 2, .extended = true}, kKindSopPP));
  packets.push_back(Reset(kKindHardReset));
  packets.push_back(Spoiled(Control(3), [](CCCPacket& p) { p.m_CrcOk = 0; }));
  for (const PacketPtr& p : packets) EXPECT_FALSE(FindMatch(*p, find, false)) << p->Header();
}

TEST(FindMatchTest, TextNamesTheFirstColumnThatContainsIt) {
  const auto accept = Control(3);
  EXPECT_EQ(FindMatch(*accept, FindWith([](auto& c) {
              c.enableText = true;
              c.text = "accept";
            }),
                      false),
            11);
  EXPECT_EQ(FindMatch(*accept, FindWith([](auto& c) { c.enableText = true; }), false), 0);
  // The text is only looked for while its box is checked.
  EXPECT_FALSE(FindMatch(*accept, FindWith([](auto& c) { c.text = "accept"; }), false));
  // A text that is not there leaves the other boxes to decide.
  EXPECT_EQ(FindMatch(*accept, FindWith([](auto& c) {
              c.enableText = true;
              c.text = "no such text";
              c.messageTypes[FlagOf(MessageClass::kControl, 3)] = true;
            }),
                      false),
            11);
}

TEST(FindMatchTest, EachCriterion) {
  struct Case {
    const char* name;
    std::function<PacketPtr()> packet;
    std::function<void(PacketCriteria&)> change;
    std::optional<int> expected;
  };
  const auto allTypes = [](PacketCriteria& c) { SetAllMessageTypes(c, true); };
  const Case cases[] = {
      {"type box set", [] { return Control(3); }, allTypes, 11},
      {"CC2 packet needs CC2", [] { return Message({.type = 3}, kKindSop, 1); },
       [&](auto& c) {
         allTypes(c);
         c.cc2 = false;
       },
       std::nullopt},
      {"CC2 packet found", [] { return Message({.type = 3}, kKindSop, 1); }, allTypes, 11},
      {"unknown channel", [] { return Message({.type = 3}, kKindSop, 5); }, allTypes, std::nullopt},
      {"SOP box clear", [] { return Control(3); },
       [&](auto& c) {
         allTypes(c);
         c.sop = false;
       },
       std::nullopt},
      {"SOP' box clear", [] { return Control(3, kKindSopP); },
       [&](auto& c) {
         allTypes(c);
         c.sopP = false;
       },
       std::nullopt},
      {"SOP'' goes on to the type", [] { return Control(3, kKindSopPP); }, allTypes, 11},
      {"SOP'' alone is no match", [] { return Control(3, kKindSopPP); }, [](auto&) {}, std::nullopt},
      {"hard reset box", [] { return Reset(kKindHardReset); }, [](auto& c) { c.hardReset = true; }, 7},
      {"cable reset box", [] { return Reset(kKindCableReset); }, [](auto& c) { c.cableReset = true; }, 7},
      {"SOP' Debug box", [] { return Control(3, kKindSopPDebug); }, [](auto& c) { c.sopPDebug = true; }, 7},
      {"SOP'' Debug box clear", [] { return Control(3, kKindSopPPDebug); }, allTypes, std::nullopt},
      {"no preamble", NoPreamble, [](auto& c) { c.invalidPacket = true; }, 33},
      {"no preamble, no edges", [] { return Spoiled(NoPreamble(), [](CCCPacket& p) { p.m_EdgeCount = 0; }); },
       [](auto& c) { c.invalidPacket = true; }, std::nullopt},
      {"bad CRC as invalid", [] { return Spoiled(Control(3), [](CCCPacket& p) { p.m_CrcOk = 0; }); },
       [](auto& c) { c.invalidPacket = true; }, 26},
      {"no EOP", [] { return Spoiled(Control(3), [](CCCPacket& p) { p.m_EopFound = 0; }); },
       [](auto& c) { c.invalidPacket = true; }, 25},
      {"slow unit interval", [] { return Spoiled(Control(3), [](CCCPacket& p) { p.m_UnitInterval = 3.71f; }); },
       [](auto& c) { c.invalidPacket = true; }, 34},
      {"reset with a bad unit interval",
       [] { return Spoiled(Reset(kKindHardReset), [](CCCPacket& p) { p.m_UnitInterval = 3.0f; }); },
       [](auto& c) {
         c.hardReset = true;
         c.invalidPacket = true;
       },
       34},
      {"invalid reset needs its box",
       [] { return Spoiled(Reset(kKindHardReset), [](CCCPacket& p) { p.m_UnitInterval = 3.0f; }); },
       [](auto& c) { c.invalidPacket = true; }, std::nullopt},
      {"CRC error box", [] { return Spoiled(Control(3), [](CCCPacket& p) { p.m_CrcOk = 0; }); },
       [](auto& c) { c.crcError = true; }, 26},
      {"CRC error box, reset", [] { return Reset(kKindHardReset); },
       [](auto& c) {
         c.hardReset = true;
         c.crcError = true;
       },
       7},
      {"source needs Source", [] { return Message({.type = 3, .powerRole = 1}); },
       [&](auto& c) {
         allTypes(c);
         c.source = false;
       },
       std::nullopt},
      {"sink needs Sink", [] { return Control(3); },
       [&](auto& c) {
         allTypes(c);
         c.sink = false;
       },
       std::nullopt},
      {"DFP needs DFP", [] { return Message({.type = 3, .dataRole = 1}); },
       [&](auto& c) {
         allTypes(c);
         c.dfp = false;
       },
       std::nullopt},
      {"UFP needs UFP", [] { return Control(3); },
       [&](auto& c) {
         allTypes(c);
         c.ufp = false;
       },
       std::nullopt},
      {"Get_PPS_Status set", [] { return Control(kGetPpsStatus); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kControl, kGetPpsStatus)] = true; }, 11},
      {"Get_Country_Codes clear", [] { return Control(kGetCountryCodes); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kControl, kGetPpsStatus)] = true; }, std::nullopt},
      {"control type without a box", [] { return Control(25); }, allTypes, std::nullopt},
      {"extended Status", [] { return Message({.type = 2, .objects = 1, .extended = true}); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kExtended, 2)] = true; }, 11},
      // Before revision 3.0 the extended bit means nothing and the type has four bits.
      {"revision 2.0 data", [] { return Message({.type = 0x12, .objects = 1, .revision = 1, .extended = true}); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kData, 2)] = true; }, 11},
      {"undecoded packet", [] { return std::make_unique<CCCPacket>(); }, allTypes, std::nullopt},
  };
  for (const Case& c : cases) {
    const PacketPtr p = c.packet();
    EXPECT_EQ(FindMatch(*p, FindWith(c.change), false), c.expected) << c.name;
  }
}

TEST(FilterPassesTest, DefaultsHideNothing) {
  const PacketCriteria filter = DefaultFilterCriteria();
  std::vector<PacketPtr> packets;
  packets.push_back(Control(3));
  packets.push_back(Control(25, kKindSopPPDebug));
  packets.push_back(Message({.type = 1, .objects = 2, .powerRole = 1, .dataRole = 1}, kKindSopP, 1));
  packets.push_back(Reset(kKindCableReset));
  packets.push_back(NoPreamble());
  packets.push_back(Spoiled(Control(3), [](CCCPacket& p) { p.m_CrcOk = 0; }));
  packets.push_back(std::make_unique<CCCPacket>());
  for (const PacketPtr& p : packets) EXPECT_TRUE(FilterPasses(*p, filter)) << p->m_Kind;
}

TEST(FilterPassesTest, EachClearedBoxHidesItsPackets) {
  const auto badCrc = [] { return Spoiled(Control(3), [](CCCPacket& p) { p.m_CrcOk = 0; }); };
  const auto badCrcNoPayload = [] {
    return Spoiled(Control(3), [](CCCPacket& p) {
      p.m_CrcOk = 0;
      p.m_HasPayload = 0;
    });
  };
  struct Case {
    const char* name;
    std::function<PacketPtr()> packet;
    std::function<void(PacketCriteria&)> change;
    bool passes;
  };
  const Case cases[] = {
      {"CC1 cleared", [] { return Control(3); }, [](auto& c) { c.cc1 = false; }, false},
      {"CC1 cleared, CC2 packet", [] { return Message({.type = 3}, kKindSop, 1); }, [](auto& c) { c.cc1 = false; },
       true},
      {"unknown channel", [] { return Message({.type = 3}, kKindSop, 2); }, [](auto&) {}, false},
      {"SOP cleared", [] { return Control(3); }, [](auto& c) { c.sop = false; }, false},
      {"SOP'' cleared", [] { return Control(3, kKindSopPP); }, [](auto& c) { c.sopPP = false; }, false},
      {"Hard Reset cleared", [] { return Reset(kKindHardReset); }, [](auto& c) { c.hardReset = false; }, false},
      {"SOP' Debug cleared", [] { return Control(3, kKindSopPDebug); }, [](auto& c) { c.sopPDebug = false; }, false},
      {"No Errors cleared, clean", [] { return Control(3); }, [](auto& c) { c.noErrors = false; }, false},
      {"No Errors cleared, invalid", NoPreamble, [](auto& c) { c.noErrors = false; }, true},
      {"No Errors cleared, bad CRC", badCrc, [](auto& c) { c.noErrors = false; }, true},
      {"No Errors cleared, clean reset", [] { return Reset(kKindHardReset); }, [](auto& c) { c.noErrors = false; },
       false},
      {"Invalid cleared, no preamble", NoPreamble, [](auto& c) { c.invalidPacket = false; }, false},
      {"Invalid cleared, only a bad CRC", badCrcNoPayload, [](auto& c) { c.invalidPacket = false; }, false},
      {"CRC Error cleared, bad CRC", badCrc, [](auto& c) { c.crcError = false; }, false},
      {"CRC Error cleared, bad CRC without payload", badCrcNoPayload, [](auto& c) { c.crcError = false; }, true},
      {"Source cleared", [] { return Message({.type = 3, .powerRole = 1}); }, [](auto& c) { c.source = false; }, false},
      {"Sink cleared", [] { return Control(3); }, [](auto& c) { c.sink = false; }, false},
      {"DFP cleared", [] { return Message({.type = 3, .dataRole = 1}); }, [](auto& c) { c.dfp = false; }, false},
      {"UFP cleared", [] { return Control(3); }, [](auto& c) { c.ufp = false; }, false},
      {"roles say nothing about resets", [] { return Reset(kKindHardReset); },
       [](auto& c) {
         c.sink = false;
         c.ufp = false;
       },
       true},
      {"Get_PPS_Status set", [] { return Control(kGetPpsStatus); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kControl, kGetCountryCodes)] = false; }, true},
      {"Get_Country_Codes cleared", [] { return Control(kGetCountryCodes); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kControl, kGetCountryCodes)] = false; }, false},
      {"type without a box", [] { return Control(25); }, [](auto& c) { SetAllMessageTypes(c, false); }, true},
      {"extended type cleared", [] { return Message({.type = 30, .objects = 1, .extended = true}); },
       [](auto& c) { c.messageTypes[FlagOf(MessageClass::kExtended, 30)] = false; }, false},
  };
  for (const Case& c : cases) {
    const PacketPtr p = c.packet();
    EXPECT_EQ(FilterPasses(*p, FilterWith(c.change)), c.passes) << c.name;
  }
}

TEST(DisplayFilterHidesTest, TextThenCriteriaWhileOn) {
  const auto accept = Control(3);
  const auto goodCrc = Control(1);
  PacketCriteria filter = FilterWith([](auto& c) { SetAllFlags(c, false); });
  EXPECT_FALSE(DisplayFilterHides(*accept, filter, false, false));
  EXPECT_TRUE(DisplayFilterHides(*accept, filter, true, false));

  filter = FilterWith([](auto& c) {
    c.enableText = true;
    c.text = "ACCEPT";
  });
  EXPECT_FALSE(DisplayFilterHides(*accept, filter, true, false));
  EXPECT_TRUE(DisplayFilterHides(*goodCrc, filter, true, false));
  // A found text does not overrule a cleared box.
  filter.messageTypes[FlagOf(MessageClass::kControl, 3)] = false;
  EXPECT_TRUE(DisplayFilterHides(*accept, filter, true, false));

  filter = FilterWith([](auto& c) { c.enableText = true; });
  EXPECT_FALSE(DisplayFilterHides(*goodCrc, filter, true, false));
}

TEST(FindStepRowTest, WalksWithoutWrapping) {
  const std::set<int> matching = {0, 2, 4};
  const auto matches = [&](int row) { return matching.count(row) > 0; };
  struct Case {
    int selected;
    int direction;
    std::optional<int> expected;
  };
  const Case cases[] = {
      {-1, +1, 2},  // nothing selected counts as row 0, which is not examined
      {-1, -1, std::nullopt},
      {0, +1, 2},
      {2, +1, 4},
      {4, +1, std::nullopt},  // no wrap to row 0
      {4, -1, 2},
      {2, -1, 0},
      {0, -1, std::nullopt},
      {2, 0, std::nullopt},
      {9, -1, std::nullopt},  // a selection beyond the rows finds nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindStepRow(5, c.selected, c.direction, matches), c.expected) << c.selected << " " << c.direction;
  }
  EXPECT_FALSE(FindStepRow(0, -1, +1, matches));
}

TEST(EnablingTest, BoxesFollowTheStatistics) {
  PacketStatistics stats;
  PacketCriteria shown = DefaultFindCriteria();
  CriteriaEnabling none;
  EXPECT_EQ(ComputeEnabling(shown, stats), none);

  stats.cc2 = 1;
  stats.sopPP = 3;
  stats.powerRoleClear = 2;
  stats.dataRoleSet = 1;
  stats.control[kGetPpsStatus] = 4;
  stats.extended[30] = 1;
  stats.data[13] = 9;  // no box for it
  stats.noEop = 1;
  CriteriaEnabling expected;
  expected.cc2 = true;
  expected.sopPP = true;
  expected.sink = true;
  expected.dfp = true;
  expected.messageTypes[FlagOf(MessageClass::kControl, kGetPpsStatus)] = true;
  expected.messageTypes[FlagOf(MessageClass::kExtended, 30)] = true;
  expected.invalidPacket = true;
  EXPECT_EQ(ComputeEnabling(shown, stats), expected);

  stats = {};
  stats.crcError = 1;
  shown.enableText = true;
  const CriteriaEnabling textAndCrc = ComputeEnabling(shown, stats);
  EXPECT_TRUE(textAndCrc.text);
  EXPECT_TRUE(textAndCrc.crcError);
  EXPECT_FALSE(textAndCrc.invalidPacket);

  shown.allowChangeAll = true;
  const CriteriaEnabling all = ComputeEnabling(shown, PacketStatistics{});
  EXPECT_TRUE(all.cc1 && all.sopPPDebug && all.ufp && all.invalidPacket && all.crcError);
  for (bool e : all.messageTypes) EXPECT_TRUE(e);
}

TEST(PacketFindDlgModelTest, InstancesStartWithTheirDefaults) {
  CPacketFindDlgModel find(CPacketFindDlgModel::Role::kFind);
  CPacketFindDlgModel filter(CPacketFindDlgModel::Role::kFilter);
  EXPECT_STREQ(find.Title(), "Find PD Messages");
  EXPECT_TRUE(find.ShowsDirection());
  EXPECT_STREQ(filter.Title(), "Display Filter Settings");
  EXPECT_FALSE(filter.ShowsDirection());
  EXPECT_EQ(find.Criteria(), DefaultFindCriteria());

  PacketCriteria everything = DefaultFindCriteria();
  everything.hardReset = everything.cableReset = everything.sopPDebug = everything.sopPPDebug = true;
  everything.invalidPacket = everything.crcError = true;
  everything.messageTypes.fill(true);
  EXPECT_EQ(filter.Criteria(), everything);
}

TEST(PacketFindDlgModelTest, OkTakesTheControlsAndCancelDropsThem) {
  CPacketFindDlgModel find(CPacketFindDlgModel::Role::kFind);
  find.Open(PacketStatistics{});
  find.Controls().cc1 = false;
  find.Cancel();
  EXPECT_TRUE(find.Criteria().cc1);

  find.Open(PacketStatistics{});
  EXPECT_TRUE(find.Controls().cc1);
  find.Controls().cc1 = false;
  EXPECT_EQ(find.Ok(), (FindDialogOutcome{.redrawVisibleRows = true, .findStep = +1}));
  EXPECT_FALSE(find.Criteria().cc1);

  find.Open(PacketStatistics{});
  find.Controls().direction = FindDirection::kBackward;
  EXPECT_EQ(find.Ok().findStep, -1);

  CPacketFindDlgModel filter(CPacketFindDlgModel::Role::kFilter);
  filter.Open(PacketStatistics{});
  EXPECT_EQ(filter.Ok(), (FindDialogOutcome{.enableDisplayFilter = true, .rebuildList = true}));
}

TEST(PacketFindDlgModelTest, ButtonsAndTogglesStickThroughCancel) {
  CPacketFindDlgModel filter(CPacketFindDlgModel::Role::kFilter);
  filter.Open(PacketStatistics{});
  filter.ClearAll();
  filter.Cancel();
  EXPECT_EQ(filter.Criteria(), FilterWith([](auto& c) { SetAllFlags(c, false); }));

  filter.Open(PacketStatistics{});
  filter.Controls().text = "kept";
  filter.CheckAll();
  EXPECT_EQ(filter.Controls().text, "kept");  // the buttons leave the other controls as set
  EXPECT_TRUE(filter.Controls().sopPPDebug);
  filter.Cancel();
  EXPECT_EQ(filter.Criteria(), DefaultFilterCriteria());

  filter.Open(PacketStatistics{});
  filter.ClearAllMessageTypes();
  EXPECT_TRUE(filter.Controls().cc1);
  for (bool t : filter.Criteria().messageTypes) EXPECT_FALSE(t);
  filter.CheckAllMessageTypes();
  for (bool t : filter.Controls().messageTypes) EXPECT_TRUE(t);

  filter.Open(PacketStatistics{});
  EXPECT_FALSE(filter.Enabling().text);
  EXPECT_FALSE(filter.Enabling().cc1);
  filter.Controls().enableText = true;
  filter.Controls().allowChangeAll = true;
  filter.Controls().sink = false;
  filter.ToggleClicked();
  EXPECT_TRUE(filter.Enabling().text);
  EXPECT_TRUE(filter.Enabling().cc1);
  filter.Cancel();
  EXPECT_TRUE(filter.Criteria().enableText);
  EXPECT_FALSE(filter.Criteria().sink);
}

}  // namespace
}  // namespace zk
