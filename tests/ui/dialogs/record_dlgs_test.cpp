#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <ctime>

#include "dialog_test_support.h"
#include "ui/dialogs/capture_filename_dlg.h"
#include "ui/dialogs/config_dlg.h"

namespace zk {
namespace {

QPushButton* Button(QWidget& dlg, const QString& text) {
  for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

// ---- Record Settings ----------------------------------------------------------------

TEST(ConfigDlgTest, OpensOnTheNextIntervalAndOkStoresIt) {
  AppSettings settings;
  settings.m_RecordVbusSamplingIntervalMS = 7;
  settings.m_RecordMaxPDPacketCount = 5000;
  settings.m_RecordPDPacketAutoRemove = true;
  CConfigDlg dlg(CConfigDlg::ValuesFrom(settings));
  EXPECT_EQ(dlg.windowTitle(), "Record Settings");
  EXPECT_EQ(dlg.interval()->currentText(), "10ms");
  EXPECT_EQ(dlg.packetCount()->text(), "5000");
  EXPECT_TRUE(dlg.packetCount()->isReadOnly());

  dlg.accept();
  ASSERT_EQ(dlg.result(), QDialog::Accepted);
  CConfigDlg::WriteSettings(dlg.values(), settings);
  EXPECT_EQ(settings.m_RecordVbusSamplingIntervalMS, 10);
  EXPECT_EQ(settings.m_RecordMaxPDPacketCount, 5000);
  EXPECT_TRUE(settings.m_RecordPDPacketAutoRemove);  // carried through, not shown
}

TEST(ConfigDlgTest, CountOutsideTheRangeIsRefusedUntilDefaultsAreLoaded) {
  RecordSettingsValues values;
  values.m_MaxPDPacketCount = 50;
  values.m_CaptureFullStop = true;
  values.m_IntervalIndex = 12;
  test::Messages messages;
  CConfigDlg dlg(values);
  dlg.setMessageSink(messages.Sink());
  dlg.interval()->setCurrentIndex(0);
  dlg.accept();
  EXPECT_EQ(messages.shown, QStringList({"Enter an integer between 100 and 100000."}));
  EXPECT_NE(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.values(), values);  // what Cancel would return

  Button(dlg, "Load Default")->click();
  EXPECT_EQ(dlg.packetCount()->text(), "99999");
  EXPECT_EQ(dlg.sampleCount()->text(), "9999999");
  EXPECT_EQ(dlg.interval()->currentText(), "10ms");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.values(), DefaultRecordSettingsValues());
}

// ---- Record File Settings -----------------------------------------------------------

class CaptureFilenameDlgTest : public ::testing::Test {
 protected:
  CaptureFilenameDlgTest() : m_Folder("capname") {
    m_Values.m_Folder = m_Folder.Path();
    m_Values.BuildNames();
    std::tm tm{};
    tm.tm_year = 2023 - 1900;
    tm.tm_mon = 3;
    tm.tm_mday = 5;
    tm.tm_hour = 6;
    tm.tm_min = 7;
    tm.tm_sec = 8;
    tm.tm_isdst = -1;
    m_Now = static_cast<std::int64_t>(std::mktime(&tm));
  }

  std::unique_ptr<CCaptureFilenameDlg> Open() {
    auto dlg = std::make_unique<CCaptureFilenameDlg>(
        m_Values, [this] { return m_Folder.File("defaults"); }, nullptr, [this] { return m_Now; });
    dlg->setMessageSink(m_Messages.Sink());
    return dlg;
  }

  test::TempFolder m_Folder;
  CaptureFilenameValues m_Values;
  std::int64_t m_Now = 0;
  test::Messages m_Messages;
};

TEST_F(CaptureFilenameDlgTest, NamesFollowTheCaptionAndTheTwoSwitches) {
  auto dlg = Open();
  EXPECT_EQ(dlg->windowTitle(), "Record File Settings");
  EXPECT_EQ(dlg->caption()->text(), "PDCapture");
  EXPECT_EQ(dlg->shownName()->text(), "PDCapture.zkr");
  dlg->appendTimestamp()->click();
  EXPECT_EQ(dlg->shownName()->text(), "PDCapture_20230405-060708.zkr");
  dlg->multipleFiles()->click();
  EXPECT_EQ(dlg->shownName()->text(), "PDCapture_20230405-060708_0001.zkr");
  EXPECT_EQ(dlg->values().m_BaseName, "PDCapture_20230405-060708");
}

TEST_F(CaptureFilenameDlgTest, ForbiddenOrSurplusCharactersAreUndone) {
  auto dlg = Open();
  dlg->caption()->setFocus();
  dlg->caption()->end(false);
  QTest::keyClicks(dlg->caption(), "_a");
  EXPECT_EQ(dlg->caption()->text(), "PDCapture_a");
  QTest::keyClicks(dlg->caption(), "/");
  EXPECT_EQ(dlg->caption()->text(), "PDCapture_a");
  EXPECT_EQ(dlg->shownName()->text(), "PDCapture_a.zkr");

  dlg->caption()->selectAll();
  QTest::keyClicks(dlg->caption(), QString(64, 'x'));
  EXPECT_EQ(dlg->caption()->text().size(), 64);
  QTest::keyClicks(dlg->caption(), "y");
  EXPECT_EQ(dlg->caption()->text(), QString(64, 'x'));
}

TEST_F(CaptureFilenameDlgTest, OkRefusesBadValuesAndWritesGoodOnes) {
  struct Case {
    const char* caption;
    const char* size;
    bool writableFolder;
    const char* message;
  };
  const Case cases[] = {
      {"", "100", true, "Enter Filename."},
      {"cap", "0", true, "Enter an integer between 1 and 9999."},
      {"cap", "10000", true, "Enter an integer between 1 and 9999."},
      {"cap", "big", true, "Enter an integer between 1 and 9999."},
      {"cap", "100", false, "This Record File Folder is not a writable folder. Please change it to another folder."},
  };
  for (const Case& c : cases) {
    m_Values.m_Caption = c.caption;
    m_Values.m_Folder = c.writableFolder ? m_Folder.Path() : m_Folder.File("missing/deeper");
    m_Messages.shown.clear();
    auto dlg = Open();
    dlg->maxFileSize()->setText(c.size);
    dlg->accept();
    EXPECT_EQ(m_Messages.shown, QStringList({c.message})) << c.caption << " " << c.size;
    EXPECT_NE(dlg->result(), QDialog::Accepted);
  }

  m_Values.m_Caption = "cap";
  m_Values.m_Folder = m_Folder.Path();
  auto dlg = Open();
  dlg->maxFileSize()->setText("250");
  dlg->doNotAskAgain()->setChecked(true);
  dlg->accept();
  ASSERT_EQ(dlg->result(), QDialog::Accepted);
  AppSettings settings;
  CCaptureFilenameDlg::WriteSettings(dlg->values(), settings);
  EXPECT_EQ(settings.m_RecordFileCaption, "cap");
  EXPECT_EQ(settings.m_RecordMaxFileSizeMB, 250);
  EXPECT_TRUE(settings.m_RecordDoNotAskAgain);
  EXPECT_EQ(settings.m_RecordFileFolder, m_Folder.Path());
}

TEST_F(CaptureFilenameDlgTest, CancelKeepsWhatTheDialogTookAndNotTheRest) {
  auto dlg = Open();
  dlg->caption()->setFocus();
  dlg->caption()->end(false);
  QTest::keyClicks(dlg->caption(), "X");
  dlg->doNotAskAgain()->setChecked(true);  // never taken: no action followed
  dlg->reject();
  EXPECT_EQ(dlg->values().m_Caption, "PDCaptureX");
  EXPECT_EQ(dlg->values().m_BaseName, "PDCaptureX");
  EXPECT_FALSE(dlg->values().m_DoNotAskAgain);
}

TEST_F(CaptureFilenameDlgTest, FolderAndDefaults) {
  m_Values.m_Caption = "other";
  m_Values.m_MaxFileSizeMB = 7;
  auto dlg = Open();
  dlg->setFolderChooser([this](QWidget*, const QString& start) {
    EXPECT_EQ(start, QString::fromStdString(m_Folder.Path()));
    return QStringLiteral("/chosen");
  });
  dlg->selectFolder();
  EXPECT_EQ(dlg->folder()->text(), "/chosen");
  EXPECT_EQ(dlg->values().m_Folder, "/chosen");

  Button(*dlg, "Load Defaults")->click();
  EXPECT_EQ(dlg->caption()->text(), "PDCapture");
  EXPECT_EQ(dlg->maxFileSize()->text(), "100");
  EXPECT_EQ(dlg->folder()->text(), QString::fromStdString(m_Folder.File("defaults")));
}

}  // namespace
}  // namespace zk
