// Starting the box's driver installer: on Linux a script in driver/ that installs the
// udev rule giving the logged-in user access to the box. The program only starts it.
#pragma once

#include <functional>
#include <string>

namespace zk {

// Relative to the current directory, as the application is started from its own folder.
inline constexpr const char* kDriverInstallerPath = "./driver/install-udev-rule.sh";
inline constexpr const char* kDriverInstallerArgument = "FromZKApp";

std::string DriverInstallerMissingText(const std::string& path);

struct InstallerPlatform {
  std::function<bool(const std::string& path)> exists;
  // Starts path with one argument, without waiting for it.
  std::function<bool(const std::string& path, const std::string& argument)> start;
};
InstallerPlatform SystemInstallerPlatform();

// Starts the installer; the message-box text when it cannot, empty otherwise.
std::string RunDriverInstaller(const InstallerPlatform& platform);

}  // namespace zk
