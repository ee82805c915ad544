// The main window's commands: identifier, menu text, the key that invokes it and the rule
// that enables it. Menus, toolbar and shortcuts are all built from this one table.
#pragma once

#include <span>

namespace zk {

enum CommandId : int {
  kCmdNew = 57600,
  kCmdOpen = 57601,
  kCmdImportLogic = 32931,
  kCmdSave = 57603,
  kCmdSaveAs = 57604,
  kCmdExport = 32858,
  kCmdStitch = 32876,
  kCmdExit = 57665,
  kCmdRun = 32771,
  kCmdStop = 32772,
  kCmdClear = 32800,
  kCmdRecordSettings = 32803,
  kCmdRecordFileSettings = 32817,
  kCmdCurrentDirection = 32874,
  kCmdCalibration = 32919,
  kCmdFind = 32807,
  kCmdFindPrev = 32810,
  kCmdFindNext = 32811,
  kCmdMessageAutoScroll = 32805,
  kCmdDisplayFilterSettings = 32850,
  kCmdDisableDisplayFilters = 32864,
  kCmdColumnSettings = 32843,
  kCmdMessageFont = 32869,
  kCmdShowGraph = 310,
  kCmdShowMeasuringPoints = 32836,
  kCmdShowPDPackets = 32841,
  kCmdGraphAutoScroll = 32802,
  kCmdGraphFont = 32872,
  kCmdGraphDrawingSettings = 32921,
  kCmdInstallDriver = 32867,
  kCmdAbout = 57664,
};

enum class EnableRule {
  kAlways,
  kNotCapturing,
  kNotCapturingRecordLoaded,
  kConnectedNotCapturing,
  kCapturing,
  kHasSamples,
  kGraphVisible,
  kNotConnected,
};

struct CommandState {
  bool capturing = false;
  bool connected = false;
  bool recordLoaded = false;  // the document has a record-file path
  bool hasSamples = false;
  bool graphVisible = true;
};

bool IsEnabled(EnableRule rule, const CommandState& state);

enum class MenuId { kFile, kRecord, kPDMessage, kGraph, kHelp };

struct CommandDef {
  int id;
  MenuId menu;
  const char* text;  // menu text without the shortcut hint
  const char* key;   // the key that invokes it (and that the menu shows); empty for none
  EnableRule rule;
  bool checkable;
  bool separatorBefore;
};

// In menu order within each menu.
std::span<const CommandDef> CommandTable();
const CommandDef* FindCommand(int id);
// Toolbar buttons in order; 0 stands for a separator.
std::span<const int> ToolbarCommands();

}  // namespace zk
