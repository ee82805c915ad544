// The find and display-filter criteria: which packets find stops at (and which cell it
// highlights), which packets the display filter hides, and the dialog that edits them.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "pd/message_names.h"
#include "record/capture_store.h"
#include "record/packet.h"

namespace zk {

// One message-type check box: the message class and type number it stands for.
struct MessageTypeFlag {
  MessageClass messageClass;
  int type;
  const char* label;
};

constexpr int kMessageTypeFlagCount = 56;

// The 56 boxes in dialog order: control, data, then extended messages.
std::span<const MessageTypeFlag> MessageTypeFlags();

// Index of the box for a class and type number; nothing when the type has no box.
std::optional<int> MessageTypeFlagIndex(MessageClass messageClass, int type);

enum class FindDirection { kForward = 0, kBackward = 1 };

struct PacketCriteria {
  bool cc1 = true, cc2 = true;
  bool sop = true, sopP = true, sopPP = true;
  bool hardReset = false, cableReset = false, sopPDebug = false, sopPPDebug = false;
  bool source = true, sink = true, dfp = true, ufp = true;
  std::array<bool, kMessageTypeFlagCount> messageTypes{};
  bool noErrors = true, invalidPacket = false, crcError = false;
  bool enableText = false;
  std::string text;
  bool allowChangeAll = false;
  FindDirection direction = FindDirection::kForward;

  bool operator==(const PacketCriteria&) const = default;
};

PacketCriteria DefaultFindCriteria();
// The filter starts with every box checked, so a fresh display filter hides nothing.
PacketCriteria DefaultFilterCriteria();

void SetAllMessageTypes(PacketCriteria& criteria, bool value);
// Every channel, ordered-set, role, error and message-type box; not the text, the
// "Allow to change all settings" box or the direction.
void SetAllFlags(PacketCriteria& criteria, bool value);

// The packet's fault: an invalid packet as the list colours it, or a bad CRC on a payload.
bool IsInvalidPacket(const CCCPacket& packet);
bool IsCrcErrorPacket(const CCCPacket& packet);

// The column id of the cell that shows why the packet matches the find criteria; nothing
// when it does not match. invertCurrent is the VBUS current direction setting.
std::optional<int> FindMatch(const CCCPacket& packet, const PacketCriteria& find, bool invertCurrent);

// Whether the display filter's criteria let the packet into the list (the text aside).
bool FilterPasses(const CCCPacket& packet, const PacketCriteria& filter);

// Whether the list leaves the packet out; never while the display filter is off.
bool DisplayFilterHides(const CCCPacket& packet, const PacketCriteria& filter, bool filterOn, bool invertCurrent);

// The row a find step stops at, walking from one past the selected row (row 0 when none is
// selected) in direction +1 or -1 without wrapping; nothing when no row on the way matches.
std::optional<int> FindStepRow(int rowCount, int selectedRow, int direction, const std::function<bool(int)>& matches);

// Which check boxes of the dialog can be clicked, from the counts of the packets seen.
struct CriteriaEnabling {
  bool text = false;
  bool cc1 = false, cc2 = false;
  bool sop = false, sopP = false, sopPP = false, hardReset = false, cableReset = false, sopPDebug = false,
       sopPPDebug = false;
  bool source = false, sink = false, dfp = false, ufp = false;
  std::array<bool, kMessageTypeFlagCount> messageTypes{};
  bool noErrors = true, invalidPacket = false, crcError = false;

  bool operator==(const CriteriaEnabling&) const = default;
};

CriteriaEnabling ComputeEnabling(const PacketCriteria& shown, const PacketStatistics& stats);

// What the main window does after the dialog closed with OK.
struct FindDialogOutcome {
  bool redrawVisibleRows = false;
  int findStep = 0;  // +1 Find Next, -1 Find Prev, 0 none
  bool enableDisplayFilter = false;
  bool rebuildList = false;

  bool operator==(const FindDialogOutcome&) const = default;
};

// One instance of the find dialog (find or display filter) without its window: the criteria it
// keeps between openings and, while open, the values its controls show.
class CPacketFindDlgModel {
 public:
  enum class Role { kFind, kFilter };

  explicit CPacketFindDlgModel(Role role);

  const char* Title() const;
  bool ShowsDirection() const { return m_Role == Role::kFind; }

  // The controls start from the criteria; the statistics decide which boxes are enabled.
  void Open(const PacketStatistics& stats);

  // The controls as the user has set them; the dialog writes here before each operation.
  PacketCriteria& Controls() { return m_Controls; }
  const PacketCriteria& Controls() const { return m_Controls; }
  const CriteriaEnabling& Enabling() const { return m_Enabling; }

  // "Allow to change all settings" or "Enable Text" clicked: every control value is kept at
  // once (Cancel does not undo it) and the enabling follows.
  void ToggleClicked();

  // The four buttons change the criteria at once; the controls show the new values.
  void CheckAllMessageTypes() {
    ApplyToBoth([](PacketCriteria& c) { SetAllMessageTypes(c, true); });
  }
  void ClearAllMessageTypes() {
    ApplyToBoth([](PacketCriteria& c) { SetAllMessageTypes(c, false); });
  }
  void CheckAll() {
    ApplyToBoth([](PacketCriteria& c) { SetAllFlags(c, true); });
  }
  void ClearAll() {
    ApplyToBoth([](PacketCriteria& c) { SetAllFlags(c, false); });
  }

  FindDialogOutcome Ok();
  void Cancel() {}

  const PacketCriteria& Criteria() const { return m_Criteria; }

 private:
  void ApplyToBoth(const std::function<void(PacketCriteria&)>& change);

  Role m_Role;
  PacketCriteria m_Criteria;
  PacketCriteria m_Controls;
  PacketStatistics m_Stats;
  CriteriaEnabling m_Enabling;
};

// The main window's display-filter switch: off at start, on after OK in the filter dialog.
struct DisplayFilterSwitch {
  bool on = false;

  // "Disable Display Filters": flips the switch; the list is rebuilt after it.
  void Toggle() { on = !on; }
  // The menu item is checked while the filter is off.
  bool DisableItemChecked() const { return !on; }
};

}  // namespace zk
