#include "tools/stitch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "record/file_path.h"

namespace zk {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSeriesTail = 9;  // "_0001.zkr"

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool HasZkrExtension(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && Lower(ext[1]) == 'z' && Lower(ext[2]) == 'k' && Lower(ext[3]) == 'r';
}

// Like the dialog's sorted list box: without regard to case, then by the exact name.
bool NameOrder(const StitchEntry& a, const StitchEntry& b) {
  const bool less = std::lexicographical_compare(a.m_Name.begin(), a.m_Name.end(), b.m_Name.begin(), b.m_Name.end(),
                                                 [](char x, char y) { return Lower(x) < Lower(y); });
  const bool greater = std::lexicographical_compare(b.m_Name.begin(), b.m_Name.end(), a.m_Name.begin(), a.m_Name.end(),
                                                    [](char x, char y) { return Lower(x) < Lower(y); });
  return less || (!greater && a.m_Name < b.m_Name);
}

// The regular files of folder named *.zkr that carry a series number.
std::vector<StitchEntry> SeriesFilesOf(const std::string& folder) {
  std::vector<StitchEntry> files;
  std::error_code ec;
  for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    const std::string name = Utf8FromPath(it->path().filename());
    if (!HasZkrExtension(name)) continue;
    const std::optional<std::uint32_t> series = SeriesNumber(name);
    if (!series) continue;
    files.push_back({name, Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name)), *series, false});
  }
  std::sort(files.begin(), files.end(), NameOrder);
  return files;
}

std::string WithoutSeriesTail(const std::string& path) {
  return path.size() >= kSeriesTail ? path.substr(0, path.size() - kSeriesTail) : std::string();
}

bool SamePath(const std::string& a, const std::string& b) {
  return PathFromUtf8(a).lexically_normal() == PathFromUtf8(b).lexically_normal();
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

void UpdateOutputPath(StitchDialogState& state) {
  state.m_OutputPath.clear();
  if (state.m_BaseSelection < 0) return;
  const StitchEntry* last = nullptr;
  for (const StitchEntry& e : state.m_StitchList) {
    if (e.m_Selected) last = &e;
  }
  if (!last) return;
  const std::string& baseName = state.m_BaseList[static_cast<std::size_t>(state.m_BaseSelection)].m_Name;
  state.m_OutputPath = StitchOutputPath(state.m_Folder, baseName, last->m_Series).value_or("");
}

}  // namespace

std::optional<std::uint32_t> SeriesNumber(std::string_view name) {
  if (name.size() < kSeriesTail || !HasZkrExtension(name)) return std::nullopt;
  const std::string_view tail = name.substr(name.size() - kSeriesTail, 5);
  if (tail[0] != '_') return std::nullopt;
  std::uint32_t value = 0;
  for (char c : tail.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

void ListBaseFiles(StitchDialogState& state) {
  state.m_OutputPath.clear();
  state.m_StitchList.clear();
  state.m_BaseList = SeriesFilesOf(state.m_Folder);
  int selection = state.m_BaseList.empty() ? -1 : 0;
  for (std::size_t i = 0; i < state.m_BaseList.size(); ++i) {
    if (!state.m_CurrentFile.empty() && SamePath(state.m_BaseList[i].m_Path, state.m_CurrentFile)) {
      selection = static_cast<int>(i);
    }
  }
  SelectBase(state, selection);
}

void SelectBase(StitchDialogState& state, int index) {
  state.m_OutputPath.clear();
  state.m_StitchList.clear();
  if (index < 0 || index >= static_cast<int>(state.m_BaseList.size())) {
    state.m_BaseSelection = -1;
    return;
  }
  state.m_BaseSelection = index;
  const StitchEntry& base = state.m_BaseList[static_cast<std::size_t>(index)];
  state.m_BasePath = base.m_Path;
  const std::string stem = WithoutSeriesTail(base.m_Path);
  for (StitchEntry& e : SeriesFilesOf(state.m_Folder)) {
    if (e.m_Path == base.m_Path || WithoutSeriesTail(e.m_Path) != stem || e.m_Series <= base.m_Series) continue;
    state.m_StitchList.push_back(std::move(e));
  }
  if (state.m_StitchList.empty()) return;
  state.m_StitchList.front().m_Selected = true;
  ClickStitchEntry(state, 0);
}

void ClickStitchEntry(StitchDialogState& state, int caret) {
  state.m_OutputPath.clear();
  if (state.m_BaseSelection < 0 || caret < 0 || caret >= static_cast<int>(state.m_StitchList.size())) return;
  const auto at = static_cast<std::size_t>(caret);
  if (state.m_StitchList[at].m_Selected) {
    for (std::size_t i = 0; i < at; ++i) state.m_StitchList[i].m_Selected = true;
  } else {
    for (std::size_t i = at; i < state.m_StitchList.size(); ++i) state.m_StitchList[i].m_Selected = false;
  }
  UpdateOutputPath(state);
}

std::optional<std::string> StitchOutputPath(const std::string& folder, const std::string& baseName,
                                            std::uint32_t lastSeries) {
  if (lastSeries < 2) return std::nullopt;
  std::string stem = baseName;
  if (HasZkrExtension(stem)) stem.resize(stem.size() - 4);
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "-%04X", static_cast<unsigned>(lastSeries & 0xFFFF));
  const std::string name = "Stitched_" + stem + suffix;
  const fs::path plain = PathFromUtf8(folder) / PathFromUtf8(name + ".zkr");
  if (!Exists(plain)) return Utf8FromPath(plain);
  for (int n = 1; n <= 9999; ++n) {
    const fs::path candidate = PathFromUtf8(folder) / PathFromUtf8(name + " (" + std::to_string(n) + ").zkr");
    if (!Exists(candidate)) return Utf8FromPath(candidate);
  }
  return std::nullopt;
}

std::vector<std::string> StitchInputs(const StitchDialogState& state) {
  std::vector<std::string> inputs;
  if (state.m_BaseSelection < 0) return inputs;
  inputs.push_back(state.m_BasePath);
  for (const StitchEntry& e : state.m_StitchList) {
    if (e.m_Selected) inputs.push_back(e.m_Path);
  }
  return inputs;
}

bool StitchFiles(const std::vector<std::string>& inputs, const std::string& outputPath, JobProgress& progress) {
  std::vector<std::uint64_t> lengths;
  std::uint64_t total = 0;
  for (const std::string& path : inputs) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff length = in.tellg();
    if (length < 0) return false;
    lengths.push_back(static_cast<std::uint64_t>(length));
    total += lengths.back();
    // Creating the output would truncate an input before it is read.
    std::error_code ec;
    if (fs::equivalent(PathFromUtf8(path), PathFromUtf8(outputPath), ec)) return false;
  }
  std::ofstream out(PathFromUtf8(outputPath), std::ios::binary | std::ios::trunc);
  if (!out) return false;

  std::uint64_t copied = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::ifstream in(PathFromUtf8(inputs[i]), std::ios::binary);
    if (!in) return false;
    const std::uint64_t before = copied;
    bool aborted = false;
    const std::uint64_t got = CopyRange(in, out, lengths[i], [&](std::uint64_t done) {
      progress.SetProgress(before + done, total);
      aborted = progress.AbortRequested();
      return !aborted;
    });
    copied += got;
    if (got != lengths[i] || aborted) break;
  }
  out.close();
  if (copied != total || !out.good()) return false;
  progress.m_Progress = 100;
  return true;
}

StitchTickOutcome StitchTick(ToolJob& job, std::string& statusText) {
  if (!job.Started()) return StitchTickOutcome::Idle;
  char buf[48];
  std::snprintf(buf, sizeof buf, "Stitching... %d%%", job.Progress());
  statusText = buf;
  const std::optional<bool> result = job.TakeResult();
  if (!result) return StitchTickOutcome::Running;
  statusText = std::string(kStitchCompleted);
  if (*result) return StitchTickOutcome::Completed;
  statusText.clear();
  return StitchTickOutcome::Aborted;
}

}  // namespace zk
