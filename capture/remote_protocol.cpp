#include "capture/remote_protocol.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "capture/capture_session.h"
#include "record/record_format.h"

namespace zk {

namespace {

// A folder only this user can enter: owned by us, a real directory, no access for others.
bool IsPrivateFolder(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

}  // namespace

std::vector<std::uint8_t> EncodeRemoteMessage(std::uint32_t type, std::string_view payload) {
  if (payload.size() > kMaxRemotePayload) payload = payload.substr(0, kMaxRemotePayload);
  std::vector<std::uint8_t> frame(kRemoteHeaderSize + payload.size());
  WriteU32(frame.data(), type);
  WriteU32(frame.data() + 4, static_cast<std::uint32_t>(payload.size()));
  std::copy(payload.begin(), payload.end(), frame.begin() + kRemoteHeaderSize);
  return frame;
}

std::vector<std::uint8_t> EncodeConnStateChanged(std::int32_t vbusMv, std::uint32_t ccMv) {
  std::uint8_t p[8];
  WriteU32(p, static_cast<std::uint32_t>(vbusMv));
  WriteU32(p + 4, ccMv);
  return EncodeRemoteMessage(kRemoteConnStateChanged, std::string_view(reinterpret_cast<const char*>(p), 8));
}

std::optional<std::pair<std::int32_t, std::uint32_t>> DecodeConnStateChanged(const RemoteMessage& m) {
  if (m.type != kRemoteConnStateChanged || m.payload.size() != 8) return std::nullopt;
  const auto* p = reinterpret_cast<const std::uint8_t*>(m.payload.data());
  return std::make_pair(static_cast<std::int32_t>(ReadU32(p)), ReadU32(p + 4));
}

bool RemoteMessageParser::Feed(const std::uint8_t* data, std::size_t size) {
  if (m_Failed) return false;
  if (data == nullptr || size == 0) return true;
  m_Buffer.insert(m_Buffer.end(), data, data + size);
  std::size_t pos = 0;
  while (m_Buffer.size() - pos >= kRemoteHeaderSize) {
    const std::uint32_t length = ReadU32(m_Buffer.data() + pos + 4);
    if (length > kMaxRemotePayload) {
      m_Failed = true;
      m_Buffer.clear();
      return false;
    }
    if (m_Buffer.size() - pos - kRemoteHeaderSize < length) break;
    RemoteMessage m;
    m.type = ReadU32(m_Buffer.data() + pos);
    const auto* begin = reinterpret_cast<const char*>(m_Buffer.data() + pos + kRemoteHeaderSize);
    m.payload.assign(begin, length);
    m_Ready.push_back(std::move(m));
    pos += kRemoteHeaderSize + length;
  }
  m_Buffer.erase(m_Buffer.begin(), m_Buffer.begin() + static_cast<std::ptrdiff_t>(pos));
  return true;
}

std::optional<RemoteMessage> RemoteMessageParser::Next() {
  if (m_Ready.empty()) return std::nullopt;
  RemoteMessage m = std::move(m_Ready.front());
  m_Ready.pop_front();
  return m;
}

std::string RemoteText(const RemoteMessage& m) { return m.payload.substr(0, m.payload.find('\0')); }

bool IsAcceptableRemoteFileName(std::string_view name) {
  return name.find('/') == std::string_view::npos && name != "." && name != "..";
}

std::string RemoteSocketPath(bool create) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/' && IsPrivateFolder(runtime)) {
    return std::string(runtime) + "/" + kRemoteServerName;
  }
  const std::string folder = "/tmp/" + std::string(kRemoteServerName) + "-" + std::to_string(::getuid());
  if (create) ::mkdir(folder.c_str(), 0700);
  if (!IsPrivateFolder(folder)) return {};
  return folder + "/" + kRemoteServerName;
}

void ApplyRemoteMessage(CCaptureSession& session, const RemoteMessage& m) {
  switch (m.type) {
    case kRemoteSetFileName:
      if (IsAcceptableRemoteFileName(RemoteText(m))) session.SetRemoteFileName(RemoteText(m));
      break;
    case kRemoteSetFolder: session.SetRemoteFolder(RemoteText(m)); break;
    case kRemoteRun: session.RemoteRun(); break;
    case kRemoteStop: session.RemoteStop(); break;
    case kRemoteExport: session.RemoteExport(); break;
    default: break;  // other types are ignored, as other copy-data items are
  }
}

}  // namespace zk
