// pdzelkor: the desktop application. Options: --simulate[=SCENARIO] uses the simulated box
// instead of a real one; --run starts a capture once the box is connected; a record file named
// on the command line is opened.
#include <QApplication>

#include <cstdio>

#include "app/qsettings_storage.h"
#include "app/zk_app.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(
      QString::fromUtf8(zk::kSettingsOrganization.data(), static_cast<qsizetype>(zk::kSettingsOrganization.size())));
  QApplication::setApplicationName(
      QString::fromUtf8(zk::kSettingsApplication.data(), static_cast<qsizetype>(zk::kSettingsApplication.size())));
  std::string error;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  const std::optional<zk::StartOptions> options = zk::ParseCommandLine(arguments, error);
  if (!options) {
    std::fprintf(stderr, "pdzelkor: %s\nusage: pdzelkor [--simulate[=SCENARIO]] [--run] [FILE.zkr]\n", error.c_str());
    return 2;
  }
  zk::CZKApp zkApp(*options, std::make_unique<zk::QSettingsStorage>());
  zkApp.Start();
  const int result = QApplication::exec();
  zkApp.SaveSettings();
  return result;
}
