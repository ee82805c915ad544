// The one document of the application: the store of the record file it shows, its path,
// the markers-changed and modified state, and the operations that create, open, save,
// reset and clear it. Views attach through DocumentObserver.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "record/capture_store.h"

namespace zk {

class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // The store was emptied: forget cached rows, selection and scroll state.
  virtual void OnContentsDeleted() {}
  virtual void OnUpdateAllViews() {}
  virtual void OnRedrawGraphs() {}
  // The time origin moved by delta (new minus old, microseconds); lists rebuild their rows.
  virtual void OnTimeOriginChanged(std::int64_t /*delta*/) {}
  // A graph view answers with its markers O and X on the shown scale; false when there is none.
  virtual bool GraphMarkers(std::int64_t& /*o*/, std::int64_t& /*x*/) const { return false; }
  // The path name shown in the title and, when addToRecent, added to the recent-file list.
  virtual void OnPathNameChanged(const std::string& /*path*/, bool /*addToRecent*/) {}
};

// Answers the framework's question about unsaved changes: Yes saves, No discards, Cancel stops.
enum class SaveAnswer { Yes, No, Cancel };

class CZKDoc {
 public:
  CZKDoc();

  CaptureStore& Store() { return m_Store; }
  const CaptureStore& Store() const { return m_Store; }

  void AddObserver(DocumentObserver* o) { m_Observers.push_back(o); }
  void RemoveObserver(DocumentObserver* o);
  // Asked before unsaved changes are dropped; without one, changes are dropped.
  std::function<SaveAnswer()> m_AskSaveChanges;
  // Shown when a save cannot copy the record file.
  std::function<void(const std::string&)> m_ShowError;

  void OnNewDocument();
  void OnOpenDocument(const std::string& path);
  bool OnSaveDocument(const std::string& path);
  void DeleteContents();
  // Before every capture and at every rollover; false when the user cancels.
  bool ResetForCapture(bool captureRunning);
  // Loads folder + name (the folder gets a separator when it lacks one).
  void OpenCaptureRecord(const std::string& folder, const std::string& name);
  void SetTimeOrigin(std::int64_t t, bool relative);
  void SetMarkersChanged();
  void ApplyRecordLimits(int maxPackets, int maxSamples, bool vbusInfoAutoRemove, bool pdPacketAutoRemove);

  const std::string& RecordPath() const { return m_RecordPath; }
  const std::string& PathName() const { return m_PathName; }
  bool MarkersChanged() const { return m_MarkersChanged; }
  bool IsModified() const { return m_Modified; }
  void SetModified(bool modified) { m_Modified = modified; }
  // Set by the capture session when a count-triggered rollover may be asked for again.
  bool m_CountRolloverDone = false;

  // The marker items a save appends, in packet order (B before A before bookmark), then O and X.
  std::vector<MarkerItem> MarkerItemsToSave() const;

 private:
  CaptureStore m_Store;
  std::string m_RecordPath;
  std::string m_PathName;
  bool m_MarkersChanged = false;
  bool m_Modified = false;
  std::vector<DocumentObserver*> m_Observers;

  bool SaveModifiedIfAsked();
  template <typename F>
  void Notify(F f) {
    for (DocumentObserver* o : m_Observers) f(*o);
  }
};

// True when both paths name the same existing file, whatever their spelling.
bool SameFile(const std::string& a, const std::string& b);
// folder + name, with the platform's separator added when the folder lacks one.
std::string JoinFolder(const std::string& folder, const std::string& name);

}  // namespace zk
