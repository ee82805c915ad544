// What every dialog shares: the modal message it shows (replaceable, so tests and remote
// runs do not block on a message box) and the folder and file choosers of the platform.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

namespace zk {

// Shows a fixed text with an OK button; the default is the platform's message box.
using MessageSink = std::function<void(QWidget* parent, const QString& text)>;
void ShowDialogMessage(const MessageSink& sink, QWidget* parent, const QString& text);

// The folder browser ("Select Record Folder", folders only) starting at start; empty when cancelled.
using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
QString ChooseFolder(const FolderChooser& chooser, QWidget* parent, const QString& start);

inline QString ToQ(const std::string& s) { return QString::fromStdString(s); }
inline std::string FromQ(const QString& s) { return s.toStdString(); }

}  // namespace zk
