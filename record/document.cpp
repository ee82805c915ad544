#include "record/document.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include "record/file_path.h"
#include "record/loader.h"

namespace zk {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(PathFromUtf8(a), PathFromUtf8(b), ec);
  return !ec && same;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '/' || last == static_cast<char>(fs::path::preferred_separator)) return folder + name;
  return folder + static_cast<char>(fs::path::preferred_separator) + name;
}

CZKDoc::CZKDoc() = default;

void CZKDoc::RemoveObserver(DocumentObserver* o) {
  m_Observers.erase(std::remove(m_Observers.begin(), m_Observers.end(), o), m_Observers.end());
}

void CZKDoc::DeleteContents() {
  m_MarkersChanged = false;
  {
    std::lock_guard<std::mutex> lock(m_Store.Lock());
    ClearStore(m_Store);
    m_Store.m_RecordPath.clear();
  }
  Notify([](DocumentObserver& o) { o.OnContentsDeleted(); });
  Notify([](DocumentObserver& o) { o.OnUpdateAllViews(); });
  m_RecordPath.clear();
}

void CZKDoc::OnNewDocument() {
  DeleteContents();
  m_Modified = false;
  m_PathName.clear();
  Notify([](DocumentObserver& o) { o.OnRedrawGraphs(); });
}

void CZKDoc::OnOpenDocument(const std::string& path) {
  DeleteContents();
  m_RecordPath = path;
  {
    std::lock_guard<std::mutex> lock(m_Store.Lock());
    LoadRecordFile(m_Store, path);
  }
  m_Modified = false;
  m_PathName = path;
  Notify([&path](DocumentObserver& o) { o.OnPathNameChanged(path, true); });
  Notify([](DocumentObserver& o) { o.OnRedrawGraphs(); });
}

std::vector<MarkerItem> CZKDoc::MarkerItemsToSave() const {
  std::vector<MarkerItem> items;
  for (int i = 0; i < m_Store.PacketCount(); ++i) {
    const CCCPacket* p = m_Store.PacketAt(i);
    if (p == m_Store.MarkerB()) {
      items.push_back({kTagMarkerB, p->m_Time});
    } else if (p == m_Store.MarkerA()) {
      items.push_back({kTagMarkerA, p->m_Time});
    } else if (p->m_Marked) {
      items.push_back({kTagBookmark, p->m_Time});
    }
  }
  std::int64_t o = 0, x = 0;
  for (const DocumentObserver* obs : m_Observers) {
    if (obs->GraphMarkers(o, x)) {
      items.push_back({kTagGraphMarkerO, o + m_Store.m_TimeOrigin});
      items.push_back({kTagGraphMarkerX, x + m_Store.m_TimeOrigin});
      break;
    }
  }
  return items;
}

bool CZKDoc::OnSaveDocument(const std::string& path) {
  const std::string& source = m_Store.m_RecordPath;
  if (source.empty()) {
    // Nothing recorded: the framework writes an empty file.
    std::ofstream(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    m_Modified = false;
    return true;
  }
  if (!SameFile(path, source)) {
    std::error_code ec;
    fs::copy_file(PathFromUtf8(source), PathFromUtf8(path), fs::copy_options::overwrite_existing, ec);
    if (ec) {
      if (m_ShowError) m_ShowError("Save File Error");
      return false;
    }
  }
  if (m_MarkersChanged) {
    m_MarkersChanged = false;
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::app);
    if (out) {
      for (const Record& r : MarkerRecords(m_Store.m_TimeOrigin, MarkerItemsToSave())) {
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
      }
      out.flush();
    }
  }
  m_Modified = false;
  return true;
}

bool CZKDoc::SaveModifiedIfAsked() {
  if (!m_Modified || !m_AskSaveChanges) return true;
  switch (m_AskSaveChanges()) {
    case SaveAnswer::Cancel: return false;
    case SaveAnswer::No: return true;
    case SaveAnswer::Yes: return OnSaveDocument(m_RecordPath.empty() ? m_PathName : m_RecordPath);
  }
  return true;
}

bool CZKDoc::ResetForCapture(bool captureRunning) {
  if (!captureRunning && !SaveModifiedIfAsked()) return false;
  m_PathName = "Untitled";
  Notify([](DocumentObserver& o) { o.OnPathNameChanged("Untitled", false); });
  DeleteContents();
  m_Modified = false;
  Notify([](DocumentObserver& o) { o.OnRedrawGraphs(); });
  m_CountRolloverDone = false;
  return true;
}

void CZKDoc::OpenCaptureRecord(const std::string& folder, const std::string& name) {
  m_RecordPath = JoinFolder(folder, name);
  {
    std::lock_guard<std::mutex> lock(m_Store.Lock());
    LoadRecordFile(m_Store, m_RecordPath);
  }
  m_PathName = m_RecordPath;
  Notify([this](DocumentObserver& o) { o.OnPathNameChanged(m_RecordPath, true); });
  Notify([](DocumentObserver& o) { o.OnUpdateAllViews(); });
}

void CZKDoc::SetTimeOrigin(std::int64_t t, bool relative) {
  const std::int64_t old = m_Store.m_TimeOrigin;
  m_Store.m_TimeOrigin = relative ? old + t : t;
  const std::int64_t delta = m_Store.m_TimeOrigin - old;
  Notify([delta](DocumentObserver& o) { o.OnTimeOriginChanged(delta); });
  Notify([](DocumentObserver& o) { o.OnUpdateAllViews(); });
}

void CZKDoc::SetMarkersChanged() {
  m_MarkersChanged = true;
  m_Modified = true;
}

void CZKDoc::ApplyRecordLimits(int maxPackets, int maxSamples, bool vbusInfoAutoRemove, bool pdPacketAutoRemove) {
  std::lock_guard<std::mutex> lock(m_Store.Lock());
  m_Store.m_MaxPacketCount = maxPackets;
  m_Store.m_MaxSampleCount = maxSamples;
  // The packet array follows the "VBUS info" switch and the sample array the "PD packet" one.
  m_Store.m_PacketAutoRemove = vbusInfoAutoRemove;
  m_Store.m_SampleAutoRemove = pdPacketAutoRemove;
}

}  // namespace zk
