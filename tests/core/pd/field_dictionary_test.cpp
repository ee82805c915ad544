#include "pd/field_dictionary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace zk {
namespace {

bool IsKnownTable(const ValueEntry* table) {
  for (int n = 1; n <= kValueTableCount; ++n) {
    if (ValueTable(n) == table) return true;
  }
  return false;
}

TEST(FieldDictionary, EveryListEndsAndStaysWithinTheLongestMessage) {
  ASSERT_EQ(FieldLists().size(), static_cast<std::size_t>(FieldListId::kCount));
  std::set<std::string> titles;
  for (const NamedFieldList& list : FieldLists()) {
    SCOPED_TRACE(list.m_Title);
    EXPECT_TRUE(titles.insert(list.m_Title).second) << "title listed twice";
    ASSERT_GE(list.m_Entries.size(), 2u);
    EXPECT_EQ(list.m_Entries.back().m_Length, 0u) << "list does not end";
    std::set<std::uint32_t> offsets;
    for (std::size_t i = 0; i + 1 < list.m_Entries.size(); ++i) {
      const FieldDescriptor& d = list.m_Entries[i];
      ASSERT_NE(d.m_Name, nullptr);
      SCOPED_TRACE(d.m_Name);
      EXPECT_GT(std::strlen(d.m_Name), 0u);
      EXPECT_GE(d.m_Length, 1u);
      EXPECT_LE(d.m_Length, kMaxFieldBits);
      // 2 header + 2 extended header + 260 data bytes
      EXPECT_LE(d.m_Offset + d.m_Length, 264u * 8);
      EXPECT_TRUE(offsets.insert(d.m_Offset).second) << "a second field at the same offset is never shown";
      if (d.m_pTable != nullptr) EXPECT_TRUE(IsKnownTable(d.m_pTable));
    }
  }
}

TEST(FieldDictionary, EveryTableEndsAndItsValuesFitTheFieldsNamedByIt) {
  for (int n = 1; n <= kValueTableCount; ++n) {
    SCOPED_TRACE("T" + std::to_string(n));
    const auto entries = ValueTableEntries(n);
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries.back().m_Mask, 0u);
    EXPECT_EQ(entries.back().m_Value, -1);
    for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
      ASSERT_NE(entries[i].m_Text, nullptr);
      EXPECT_GT(std::strlen(entries[i].m_Text), 0u);
      EXPECT_FALSE(entries[i].m_Mask == 0 && entries[i].m_Value == -1) << "ends early";
    }
  }
  EXPECT_EQ(ValueTable(0), nullptr);
  EXPECT_EQ(ValueTable(144), nullptr);

  for (const NamedFieldList& list : FieldLists()) {
    for (const FieldDescriptor& d : list.m_Entries) {
      if (d.m_Length == 0 || d.m_Length >= 32 || d.m_pTable == nullptr) continue;
      for (const ValueEntry* e = d.m_pTable; !(e->m_Mask == 0 && e->m_Value == -1); ++e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e->m_Value) >> d.m_Length, 0u)
            << list.m_Title << " / " << d.m_Name << ": " << e->m_Text;
      }
    }
  }
}

TEST(FieldDictionary, ValueTextJoinsEveryMatchingEntry) {
  struct Case {
    int table;
    std::uint32_t value;
    const char* text;
  };
  const Case cases[] = {
      {141, 2, "Revision 3.0"},
      {141, 3, "Reserved"},
      {2, 0, ""},                                                          // no entry for the value
      {130, 200, "2000 [mA]"},                                             // unit text with its multiplier
      {66, 0, "Pin Assignments are not supported"},                        // exact 0 only
      {66, 0x15, "Pin Assignment A, Pin Assignment C, Pin Assignment E"},  // one text per set flag
      {32, 65535, "unknown, 6553500 [mWH]"},  // an exact value and the unit text both match
      {47, 0, "25% IoC (default)"},           // %% is printf's percent sign
      {43, 3, "30 [%]"},
      {27, 1, "USB Type-C Authentication  Protocol Version 1.0"},
      {20, 0xFFFFFFFF, "Source's output current is -50 [mA]."},  // the product wraps like a 32-bit int
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("T" + std::to_string(c.table));
    EXPECT_EQ(ValueText(ValueTable(c.table), c.value), c.text);
  }
  EXPECT_EQ(ValueText(nullptr, 5), "");
}

TEST(FieldDictionary, LooksFieldsUpByOffsetAndSumsListLengths) {
  const FieldDescriptor* header = FieldList(FieldListId::kSOPHeaderRev3);
  const FieldDescriptor* type = FindField(header, 0);
  ASSERT_NE(type, nullptr);
  EXPECT_STREQ(type->m_Name, "Message Type");
  EXPECT_EQ(type->m_pTable, ValueTable(3));
  EXPECT_EQ(FindField(header, 1), nullptr);
  EXPECT_EQ(FieldListBits(header), 16u + 7 * 32);
  EXPECT_EQ(FieldListBits(FieldList(FieldListId::kSOPExtendedMessageRev3)), 32u + 2080);
  EXPECT_EQ(FieldListBits(FieldList(FieldListId::kExtendedMessageHeader)), 15u);  // bit 9 is not shown
  EXPECT_EQ(FieldListBits(nullptr), 0u);
  EXPECT_EQ(FieldList(FieldListId::kCount), nullptr);
}

TEST(FieldDictionary, KeepsTheTwoQuoteCharactersOfTheActiveCableLists) {
  EXPECT_STREQ(FindField(FieldList(FieldListId::kActiveCableVDOV10), 3)->m_Name, "SOP\u201D Controller Present");
  EXPECT_STREQ(FindField(FieldList(FieldListId::kActiveCableVDO1V2), 3)->m_Name, "SOP\" Controller Present");
}

}  // namespace
}  // namespace zk
