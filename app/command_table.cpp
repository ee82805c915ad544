#include "app/command_table.h"

namespace zk {

namespace {

using R = EnableRule;
using M = MenuId;

// The hint of a menu text always names the key that works: Find is Ctrl+F, Find Prev is
// Shift+F3 and Find Next is F3.
constexpr CommandDef kCommands[] = {
    {kCmdNew, M::kFile, "&New", "Ctrl+N", R::kNotCapturing, false, false},
    {kCmdOpen, M::kFile, "&Open...", "Ctrl+O", R::kNotCapturing, false, false},
    {kCmdImportLogic, M::kFile, "&Import Logic Capture...", "", R::kNotCapturing, false, false},
    {kCmdSave, M::kFile, "&Save", "Ctrl+S", R::kNotCapturingRecordLoaded, false, false},
    {kCmdSaveAs, M::kFile, "Save &As...", "", R::kNotCapturingRecordLoaded, false, false},
    {kCmdExport, M::kFile, "&Export...", "", R::kNotCapturingRecordLoaded, false, true},
    {kCmdStitch, M::kFile, "Stitch Record Files", "", R::kNotCapturingRecordLoaded, false, false},
    {kCmdExit, M::kFile, "E&xit", "", R::kAlways, false, true},
    {kCmdRun, M::kRecord, "&Run", "Ctrl+R", R::kConnectedNotCapturing, false, false},
    {kCmdStop, M::kRecord, "&Stop", "Ctrl+P", R::kCapturing, false, false},
    {kCmdClear, M::kRecord, "&Clear", "Ctrl+D", R::kHasSamples, false, false},
    {kCmdRecordSettings, M::kRecord, "Record Settings", "", R::kNotCapturing, false, true},
    {kCmdRecordFileSettings, M::kRecord, "Record File Settings", "", R::kNotCapturing, false, false},
    {kCmdCurrentDirection, M::kRecord, "VBUS Current Direction Setting", "", R::kAlways, false, false},
    {kCmdCalibration, M::kRecord, "Voltage/Current Calibration Setting", "", R::kNotCapturing, false, false},
    {kCmdFind, M::kPDMessage, "&Find", "Ctrl+F", R::kAlways, false, false},
    {kCmdFindPrev, M::kPDMessage, "Find &Prev", "Shift+F3", R::kAlways, false, false},
    {kCmdFindNext, M::kPDMessage, "Find &Next", "F3", R::kAlways, false, false},
    {kCmdMessageAutoScroll, M::kPDMessage, "&Auto Scroll", "", R::kAlways, true, true},
    {kCmdDisplayFilterSettings, M::kPDMessage, "Display Filter Settings", "", R::kAlways, false, true},
    {kCmdDisableDisplayFilters, M::kPDMessage, "Disable Display Filters", "", R::kAlways, true, false},
    {kCmdColumnSettings, M::kPDMessage, "Column Settings", "", R::kAlways, false, true},
    {kCmdMessageFont, M::kPDMessage, "Font Settings", "", R::kAlways, false, false},
    {kCmdShowGraph, M::kGraph, "&Show Graph", "F7", R::kAlways, true, false},
    {kCmdShowMeasuringPoints, M::kGraph, "Show Measuring &Points", "", R::kGraphVisible, true, true},
    {kCmdShowPDPackets, M::kGraph, "Show PD Packets", "", R::kGraphVisible, true, false},
    {kCmdGraphAutoScroll, M::kGraph, "&Auto Scroll", "", R::kGraphVisible, true, false},
    {kCmdGraphFont, M::kGraph, "Font Settings", "", R::kAlways, false, true},
    {kCmdGraphDrawingSettings, M::kGraph, "Graph Drawing Settings", "", R::kAlways, false, false},
    {kCmdInstallDriver, M::kHelp, "Install PD Zelkor Driver", "", R::kNotConnected, false, false},
    {kCmdAbout, M::kHelp, "&About PD Zelkor App...", "", R::kAlways, false, true},
};

constexpr int kToolbar[] = {
    kCmdNew,
    kCmdOpen,
    kCmdSaveAs,
    kCmdExport,
    0,
    kCmdRun,
    kCmdStop,
    kCmdClear,
    0,
    kCmdFind,
    kCmdFindPrev,
    kCmdFindNext,
    0,
    kCmdDisplayFilterSettings,
    kCmdDisableDisplayFilters,
    0,
    kCmdMessageAutoScroll,
    0,
    kCmdShowGraph,
    kCmdShowMeasuringPoints,
    kCmdShowPDPackets,
    kCmdGraphAutoScroll,
    0,
    kCmdRecordSettings,
    kCmdRecordFileSettings,
    0,
    kCmdAbout,
};

}  // namespace

bool IsEnabled(EnableRule rule, const CommandState& s) {
  switch (rule) {
    case R::kAlways: return true;
    case R::kNotCapturing: return !s.capturing;
    case R::kNotCapturingRecordLoaded: return !s.capturing && s.recordLoaded;
    case R::kConnectedNotCapturing: return s.connected && !s.capturing;
    case R::kCapturing: return s.capturing;
    case R::kHasSamples: return s.hasSamples;
    case R::kGraphVisible: return s.graphVisible;
    case R::kNotConnected: return !s.connected;
  }
  return false;
}

std::span<const CommandDef> CommandTable() { return kCommands; }

const CommandDef* FindCommand(int id) {
  for (const CommandDef& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::span<const int> ToolbarCommands() { return kToolbar; }

}  // namespace zk
