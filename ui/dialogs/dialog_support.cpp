#include "ui/dialogs/dialog_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zk {

void ShowDialogMessage(const MessageSink& sink, QWidget* parent, const QString& text) {
  if (sink) {
    sink(parent, text);
    return;
  }
  QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
}

QString ChooseFolder(const FolderChooser& chooser, QWidget* parent, const QString& start) {
  if (chooser) return chooser(parent, start);
  return QFileDialog::getExistingDirectory(parent, QStringLiteral("Select Record Folder"), start,
                                           QFileDialog::ShowDirsOnly);
}

}  // namespace zk
