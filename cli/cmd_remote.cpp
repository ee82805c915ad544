// zkr remote: tells a running PD Zelkor to set the record-file name or folder, run,
// stop or open the export dialog, through its per-user local socket.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture/remote_protocol.h"
#include "cli/commands.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage = "usage: zkr remote run|stop|export|name TEXT|folder PATH";

struct Verb {
  const char* name;
  std::uint32_t type;
  bool takesText;
};
constexpr Verb kVerbs[] = {
    {"run", kRemoteRun, false},         {"stop", kRemoteStop, false},       {"export", kRemoteExport, false},
    {"name", kRemoteSetFileName, true}, {"folder", kRemoteSetFolder, true},
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "zkr remote: %s\n", message.c_str());
  return 2;
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int RunRemote(const Args& args) {
  if (args.empty()) return Fail(kUsage);
  const Verb* verb = nullptr;
  for (const Verb& v : kVerbs) {
    if (args[0] == v.name) verb = &v;
  }
  if (verb == nullptr) return Fail("unknown request '" + args[0] + "'\n" + kUsage);
  if (args.size() != (verb->takesText ? 2u : 1u)) return Fail(kUsage);
  const std::string text = verb->takesText ? args[1] : std::string();
  if (text.size() > kMaxRemotePayload) return Fail("text too long");

  const std::string path = RemoteSocketPath(false);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return Fail("no PD Zelkor is running");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Fail(std::strerror(errno));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return Fail("no PD Zelkor is running");
  }
  const bool sent = SendAll(fd, EncodeRemoteMessage(verb->type, text));
  ::shutdown(fd, SHUT_WR);
  ::close(fd);
  return sent ? 0 : Fail("the application closed the connection");
}

}  // namespace zk::cli
