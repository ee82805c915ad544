#include "capture/driver_installer.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

namespace {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Double fork: the installer is reparented to init, so nothing is left to reap here.
bool StartDetached(const std::string& path, const std::string& argument) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::fork() == 0) {
      ::setsid();
      char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>(path.c_str()),
                            const_cast<char*>(argument.c_str()), nullptr};
      ::execv("/bin/sh", argv);
    }
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace

std::string DriverInstallerMissingText(const std::string& path) {
  return "Driver Installer files not found.\n\n \"" + path + "\"";
}

InstallerPlatform SystemInstallerPlatform() { return {FileExists, StartDetached}; }

std::string RunDriverInstaller(const InstallerPlatform& platform) {
  const std::string path = kDriverInstallerPath;
  if (!platform.exists || !platform.exists(path)) return DriverInstallerMissingText(path);
  if (platform.start) platform.start(path, kDriverInstallerArgument);
  return {};
}

}  // namespace zk
