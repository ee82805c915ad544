#include "ui/dialogs/stitch_file_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "dialog_test_support.h"

namespace zk {
namespace {

QStringList Names(const QListWidget* list, bool selectedOnly = false) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) {
    if (!selectedOnly || list->item(i)->isSelected()) names << list->item(i)->text();
  }
  return names;
}

class StitchFileDlgTest : public ::testing::Test {
 protected:
  StitchFileDlgTest() : m_Folder("stitch") {
    for (const char* name : {"cap_0001.zkr", "cap_0002.zkr", "cap_0003.zkr", "other.zkr"}) {
      test::WriteFile(m_Folder.File(name), std::string("<") + name + ">");
    }
  }

  std::unique_ptr<CStitchFileDlg> Open(const std::string& current = {}) {
    auto dlg = std::make_unique<CStitchFileDlg>(m_Folder.Path(), current);
    dlg->setMessageSink(m_Messages.Sink());
    return dlg;
  }
  QString Output(const char* name) const { return QString::fromStdString(m_Folder.File(name)); }

  test::TempFolder m_Folder;
  test::Messages m_Messages;
};

TEST_F(StitchFileDlgTest, ListsTheSeriesAndProposesTheOutput) {
  auto dlg = Open();
  EXPECT_EQ(dlg->windowTitle(), "Stitch Record Files");
  EXPECT_EQ(Names(dlg->baseList()), QStringList({"cap_0001.zkr", "cap_0002.zkr", "cap_0003.zkr"}));
  EXPECT_EQ(dlg->baseList()->currentRow(), 0);
  EXPECT_EQ(Names(dlg->stitchList()), QStringList({"cap_0002.zkr", "cap_0003.zkr"}));
  EXPECT_EQ(Names(dlg->stitchList(), true), QStringList({"cap_0002.zkr"}));
  EXPECT_EQ(dlg->outputLabel()->text(), Output("Stitched_cap_0001-0002.zkr"));
  EXPECT_TRUE(dlg->startButton()->isEnabled());

  // The current document's file is the base; only later files can follow it.
  auto fromSecond = Open(m_Folder.File("cap_0002.zkr"));
  EXPECT_EQ(fromSecond->baseList()->currentRow(), 1);
  EXPECT_EQ(Names(fromSecond->stitchList()), QStringList({"cap_0003.zkr"}));
}

TEST_F(StitchFileDlgTest, TheSelectionStaysARunFromTheTop) {
  auto dlg = Open();
  dlg->stitchList()->setCurrentRow(1, QItemSelectionModel::Select);
  EXPECT_EQ(Names(dlg->stitchList(), true), QStringList({"cap_0002.zkr", "cap_0003.zkr"}));
  EXPECT_EQ(dlg->outputLabel()->text(), Output("Stitched_cap_0001-0003.zkr"));

  dlg->stitchList()->setCurrentRow(0, QItemSelectionModel::Deselect);
  EXPECT_TRUE(Names(dlg->stitchList(), true).isEmpty());
  EXPECT_EQ(dlg->outputLabel()->text(), "");
  EXPECT_FALSE(dlg->startButton()->isEnabled());

  dlg->baseList()->setCurrentRow(2);  // the last file has nothing after it
  EXPECT_EQ(dlg->stitchList()->count(), 0);
  EXPECT_FALSE(dlg->startButton()->isEnabled());
}

TEST_F(StitchFileDlgTest, StitchingJoinsTheFilesAndCloses) {
  auto dlg = Open();
  dlg->stitchList()->setCurrentRow(1, QItemSelectionModel::Select);
  ASSERT_TRUE(dlg->startStitching());
  EXPECT_FALSE(dlg->baseList()->isEnabled());
  EXPECT_FALSE(dlg->startButton()->isEnabled());
  dlg->waitForWorker();
  dlg->pollStitching();
  EXPECT_EQ(m_Messages.shown, QStringList({"Stitch Files Completed."}));
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(test::ReadFile(m_Folder.File("Stitched_cap_0001-0003.zkr")), "<cap_0001.zkr><cap_0002.zkr><cap_0003.zkr>");
}

TEST_F(StitchFileDlgTest, AFailedStitchKeepsTheDialogOpen) {
  auto dlg = Open();
  std::filesystem::remove(m_Folder.File("cap_0002.zkr"));  // vanished after the listing
  ASSERT_TRUE(dlg->startStitching());
  dlg->waitForWorker();
  dlg->pollStitching();
  EXPECT_EQ(m_Messages.shown, QStringList({"Stitch Files Aborted."}));
  EXPECT_NE(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(dlg->statusLabel()->text(), "");
  EXPECT_TRUE(dlg->baseList()->isEnabled());
  EXPECT_TRUE(dlg->startButton()->isEnabled());
}

TEST_F(StitchFileDlgTest, AnotherFolderIsListedAgain) {
  test::TempFolder other("stitch_other");
  test::WriteFile(other.File("run_0001.zkr"), "a");
  test::WriteFile(other.File("run_0012.zkr"), "b");
  auto dlg = Open();
  dlg->setFolderChooser([&](QWidget*, const QString&) { return QString::fromStdString(other.Path()); });
  dlg->selectFolder();
  EXPECT_EQ(Names(dlg->baseList()), QStringList({"run_0001.zkr", "run_0012.zkr"}));
  EXPECT_EQ(dlg->outputLabel()->text(), QString::fromStdString(other.File("Stitched_run_0001-0012.zkr")));
}

}  // namespace
}  // namespace zk
