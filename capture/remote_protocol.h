// Remote control of captures by other programs of the same user, over a local stream
// socket: frames of a 32-bit type and a 32-bit length (little-endian) and the payload.
// Clients send the file name, the folder, run, stop and export; the application sends
// every client the "RVX5K8 Conn State Changed" notification.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zk {

inline constexpr const char* kRemoteServerName = "RVX5K8App";
inline constexpr const char* kConnStateChangedName = "RVX5K8 Conn State Changed";

enum RemoteMessageType : std::uint32_t {
  kRemoteSetFileName = 1,  // payload: the name, UTF-8
  kRemoteSetFolder = 2,    // payload: the folder, UTF-8
  kRemoteRun = 0x8001,
  kRemoteStop = 0x8002,
  kRemoteExport = 0x8003,
  kRemoteConnStateChanged = 0xC001,  // payload: VBUS mV (s32), (CC2 mV << 16) | CC1 mV (u32)
};

constexpr std::size_t kRemoteHeaderSize = 8;
constexpr std::size_t kMaxRemotePayload = 4096;

struct RemoteMessage {
  std::uint32_t type = 0;
  std::string payload;
};

std::vector<std::uint8_t> EncodeRemoteMessage(std::uint32_t type, std::string_view payload = {});
std::vector<std::uint8_t> EncodeConnStateChanged(std::int32_t vbusMv, std::uint32_t ccMv);
// The two numbers of a notification; nothing when the message is not one.
std::optional<std::pair<std::int32_t, std::uint32_t>> DecodeConnStateChanged(const RemoteMessage& m);

// Splits a byte stream into messages, whatever pieces it arrives in. A frame that
// announces more than kMaxRemotePayload bytes is a protocol error: the peer is dropped.
class RemoteMessageParser {
 public:
  // False once the stream is in error; nothing more is taken from it.
  bool Feed(const std::uint8_t* data, std::size_t size);
  std::optional<RemoteMessage> Next();
  bool Failed() const { return m_Failed; }

 private:
  std::vector<std::uint8_t> m_Buffer;
  std::deque<RemoteMessage> m_Ready;
  bool m_Failed = false;
};

// The text of a name or folder message up to its first NUL.
std::string RemoteText(const RemoteMessage& m);
// A remote file name is a name, not a path: one with a separator is refused.
bool IsAcceptableRemoteFileName(std::string_view name);

// Where the socket lives: $XDG_RUNTIME_DIR/RVX5K8App, or else in a folder of its own under
// /tmp that only this user may enter. With create, that folder is made when missing; empty
// when no safe place exists.
std::string RemoteSocketPath(bool create);

class CCaptureSession;
// What the main window does with one message.
void ApplyRemoteMessage(CCaptureSession& session, const RemoteMessage& m);

}  // namespace zk
