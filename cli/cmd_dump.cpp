// zkr dump: the packet list of a record file as a text table, one line per packet.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "pd/column_table.h"
#include "pd/idle_time.h"
#include "pd/summary_fields.h"
#include "record/file_path.h"
#include "record/loader.h"

namespace zk::cli {

namespace {

// The shown columns of the default column records, in their display order.
std::vector<int> DefaultColumns() {
  std::vector<const ColumnDefinition*> shown;
  for (const ColumnDefinition& c : ColumnTable()) {
    if (c.shown) shown.push_back(&c);
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const ColumnDefinition* a, const ColumnDefinition* b) { return a->order < b->order; });
  std::vector<int> ids;
  for (const ColumnDefinition* c : shown) ids.push_back(c->id);
  return ids;
}

bool ParseColumns(const std::string& text, std::vector<int>& ids) {
  ids.clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t comma = std::min(text.find(',', pos), text.size());
    const std::string item = text.substr(pos, comma - pos);
    if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) return false;
    const int id = std::stoi(item);
    if (!FindColumn(id)) return false;
    ids.push_back(id);
    pos = comma + 1;
  }
  return !ids.empty();
}

int Usage() {
  std::fprintf(stderr, "usage: zkr dump FILE.zkr [--columns ID,ID,...] [--invert-current]\n");
  return 2;
}

}  // namespace

int RunDump(const Args& args) {
  std::string path;
  std::vector<int> columns = DefaultColumns();
  bool invert = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--columns" && i + 1 < args.size()) {
      if (!ParseColumns(args[++i], columns)) {
        std::fprintf(stderr, "zkr dump: --columns takes column ids 0 to 37 separated by commas\n");
        return 2;
      }
    } else if (args[i] == "--invert-current") {
      invert = true;
    } else if (!args[i].empty() && args[i][0] != '-' && path.empty()) {
      path = args[i];
    } else {
      return Usage();
    }
  }
  if (path.empty()) return Usage();
  if (std::FILE* f = OpenFile(path, "rb")) {
    std::fclose(f);
  } else {
    std::fprintf(stderr, "zkr dump: cannot open '%s'\n", path.c_str());
    return 1;
  }

  CaptureStore store;
  LoadRecordFile(store, path);
  FinishPendingPackets(store);

  // Cells first, so every column can be padded to its widest text.
  std::vector<std::vector<std::string>> rows;
  rows.reserve(static_cast<std::size_t>(store.PacketCount()) + 1);
  std::vector<std::string> header;
  for (int id : columns) header.emplace_back(FindColumn(id)->title);
  rows.push_back(std::move(header));
  std::int64_t prevEnd = 0;
  for (int i = 0; i < store.PacketCount(); ++i) {
    CCCPacket& p = *store.PacketAt(i);
    prevEnd = AssignIdleTime(p, prevEnd, store.m_TimeOrigin);
    std::vector<std::string> row;
    row.reserve(columns.size());
    for (int id : columns) row.push_back(CellText(p, id, invert));
    rows.push_back(std::move(row));
  }
  std::vector<std::size_t> widths(columns.size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string line;
  for (const auto& row : rows) {
    line.clear();
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c) line += " | ";
      line += row[c];
      // The last column is not padded, so lines carry no trailing blanks.
      if (c + 1 < row.size()) line.append(widths[c] - row[c].size(), ' ');
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}

}  // namespace zk::cli
