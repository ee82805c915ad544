// zkr fields: the detail pane of one packet as text: its tree with the selection codes,
// then the field rows of one selection.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "pd/field_breakdown.h"
#include "record/file_path.h"
#include "record/loader.h"

namespace zk::cli {

namespace {

struct FieldsOptions {
  std::string path;
  int packet = -1;
  bool hasSelect = false;
  std::uint32_t select = 0;
};

// A whole-string number in decimal or 0x-hexadecimal.
bool ParseNumber(const std::string& text, unsigned long long limit, unsigned long long& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, 0);
  return end != nullptr && *end == '\0' && value <= limit;
}

bool ParseFieldsArgs(const Args& args, FieldsOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    unsigned long long n = 0;
    if (a == "--packet" || a == "--select") {
      if (i + 1 >= args.size()) return false;
      if (a == "--packet") {
        if (!ParseNumber(args[++i], 0x7FFFFFFF, n)) return false;
        options.packet = static_cast<int>(n);
      } else {
        if (!ParseNumber(args[++i], 0xFFFFFFFF, n)) return false;
        options.select = static_cast<std::uint32_t>(n);
        options.hasSelect = true;
      }
    } else if (!a.empty() && a[0] != '-' && options.path.empty()) {
      options.path = a;
    } else {
      return false;
    }
  }
  return !options.path.empty() && options.packet >= 0;
}

void PrintItem(const FieldTreeItem& item, int depth, std::uint32_t selected) {
  const char* mark = item.m_Children.empty() ? " " : item.m_Expanded ? "-" : "+";
  std::printf("%*s%s %s  [0x%08X]%s\n", 2 * depth, "", mark, item.m_Text.c_str(), item.m_Code,
              item.m_Code == selected && selected != 0 ? "  (selected)" : "");
  for (const FieldTreeItem& child : item.m_Children) PrintItem(child, depth + 1, selected);
}

void PrintRows(const std::vector<FieldRow>& rows) {
  for (std::size_t i = 0; i < std::size(kFieldColumns); ++i)
    std::printf("%s%s", i ? "\t" : "", kFieldColumns[i].m_Title);
  std::printf("\n");
  for (const FieldRow& r : rows) {
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", r.m_Offset.c_str(), r.m_Length.c_str(), r.m_Name.c_str(),
                r.m_Value.c_str(), r.m_Description.c_str(), r.m_Hex.c_str(), r.m_Ascii.c_str());
  }
}

}  // namespace

int RunFields(const Args& args) {
  FieldsOptions options;
  if (!ParseFieldsArgs(args, options)) {
    std::fprintf(stderr, "usage: zkr fields FILE.zkr --packet N [--select CODE]\n");
    return 2;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathFromUtf8(options.path), ec)) {
    std::fprintf(stderr, "zkr fields: cannot read %s\n", options.path.c_str());
    return 1;
  }
  CaptureStore store;
  LoadRecordFile(store, options.path);
  FinishPendingPackets(store);
  const CCCPacket* packet = store.PacketAt(options.packet);
  if (packet == nullptr) {
    std::fprintf(stderr, "zkr fields: no packet %d (the file holds %d)\n", options.packet, store.PacketCount());
    return 1;
  }
  const FieldTree tree = BuildFieldTree(packet);
  const std::uint32_t code = options.hasSelect ? options.select : tree.m_SelectedCode;
  for (const FieldTreeItem& item : tree.m_Items) PrintItem(item, 0, code);
  std::printf("\nselection 0x%08X\n", code);
  PrintRows(BuildFieldRows(packet, code));
  return 0;
}

}  // namespace zk::cli
