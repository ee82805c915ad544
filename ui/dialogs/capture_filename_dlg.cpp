#include "ui/dialogs/capture_filename_dlg.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace zk {

namespace {

// The size box as an integer; nothing for a text that is not one.
std::optional<std::int32_t> ParseSize(const QString& text) {
  bool ok = false;
  const qlonglong v = text.trimmed().toLongLong(&ok);
  if (!ok || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

CCaptureFilenameDlg::CCaptureFilenameDlg(const CaptureFilenameValues& values,
                                         std::function<std::string()> defaultFolder, QWidget* parent, Clock clock)
    : QDialog(parent), m_Values(values), m_DefaultFolder(std::move(defaultFolder)), m_Clock(std::move(clock)) {
  if (!m_Clock) m_Clock = [] { return QDateTime::currentSecsSinceEpoch(); };
  setWindowTitle(QStringLiteral("Record File Settings"));

  m_Caption = new QLineEdit(this);
  m_AppendTimestamp = new QCheckBox(QStringLiteral("Append Timestamp to Filename"), this);
  m_MultipleFiles = new QCheckBox(QStringLiteral("Multiple Record File  (for long time recording)"), this);
  m_MaxFileSize = new QLineEdit(this);
  m_DoNotAskAgain = new QCheckBox(QStringLiteral("Do not ask again"), this);
  m_Folder = new QLabel(this);
  m_Folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_ShownName = new QLabel(this);
  m_ShownName->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Filename Caption (max 64 chars)"), m_Caption);
  form->addRow(m_AppendTimestamp);
  form->addRow(m_MultipleFiles);
  form->addRow(QStringLiteral("Max File Size (MB)"), m_MaxFileSize);

  auto* folderGroup = new QGroupBox(QStringLiteral("Record File Folder"), this);
  auto* folderLayout = new QVBoxLayout(folderGroup);
  folderLayout->addWidget(m_Folder);
  auto* folderButton = new QPushButton(QStringLiteral("Select Record File Folder"), this);
  folderButton->setAutoDefault(false);
  folderLayout->addWidget(folderButton);

  auto* nameGroup = new QGroupBox(QStringLiteral("Record Filename"), this);
  auto* nameLayout = new QVBoxLayout(nameGroup);
  nameLayout->addWidget(m_ShownName);

  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* defaults = box->addButton(QStringLiteral("Load Defaults"), QDialogButtonBox::ResetRole);
  defaults->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(folderGroup);
  layout->addWidget(nameGroup);
  layout->addWidget(m_DoNotAskAgain);
  layout->addWidget(box);

  connect(m_Caption, &QLineEdit::textEdited, this, &CCaptureFilenameDlg::CaptionEdited);
  connect(m_AppendTimestamp, &QCheckBox::clicked, this, [this] {
    TakeValues();
    m_Values.Stamp(m_Clock());
    ShowValues();
  });
  connect(m_MultipleFiles, &QCheckBox::clicked, this, [this] {
    TakeValues();
    m_Values.BuildNames();
    ShowValues();
  });
  connect(folderButton, &QPushButton::clicked, this, &CCaptureFilenameDlg::selectFolder);
  connect(defaults, &QPushButton::clicked, this, &CCaptureFilenameDlg::loadDefaults);
  connect(box, &QDialogButtonBox::accepted, this, &CCaptureFilenameDlg::accept);
  connect(box, &QDialogButtonBox::rejected, this, &CCaptureFilenameDlg::reject);

  m_Values.Stamp(m_Clock());
  ShowValues();
}

CaptureFilenameValues CCaptureFilenameDlg::ValuesFrom(const AppSettings& s) {
  CaptureFilenameValues v;
  v.m_Caption = s.m_RecordFileCaption;
  v.m_AppendTimestamp = s.m_RecordAppendTimestamp;
  v.m_MultipleFiles = s.m_RecordMultiCaptureFile;
  v.m_MaxFileSizeMB = s.m_RecordMaxFileSizeMB;
  v.m_DoNotAskAgain = s.m_RecordDoNotAskAgain;
  v.m_Folder = s.m_RecordFileFolder;
  v.BuildNames();
  return v;
}

void CCaptureFilenameDlg::WriteSettings(const CaptureFilenameValues& v, AppSettings& s) {
  s.m_RecordAppendTimestamp = v.m_AppendTimestamp;
  s.m_RecordMultiCaptureFile = v.m_MultipleFiles;
  s.m_RecordMaxFileSizeMB = v.m_MaxFileSizeMB;
  s.m_RecordDoNotAskAgain = v.m_DoNotAskAgain;
  s.m_RecordFileFolder = v.m_Folder;
  s.m_RecordFileCaption = v.m_Caption;
}

bool CCaptureFilenameDlg::TakeValues() {
  m_Values.m_AppendTimestamp = m_AppendTimestamp->isChecked();
  m_Values.m_MultipleFiles = m_MultipleFiles->isChecked();
  m_Values.m_DoNotAskAgain = m_DoNotAskAgain->isChecked();
  const std::optional<std::int32_t> size = ParseSize(m_MaxFileSize->text());
  if (size) m_Values.m_MaxFileSizeMB = *size;
  return size.has_value();
}

void CCaptureFilenameDlg::ShowValues() {
  m_Caption->setText(ToQ(m_Values.m_Caption));
  m_AppendTimestamp->setChecked(m_Values.m_AppendTimestamp);
  m_MultipleFiles->setChecked(m_Values.m_MultipleFiles);
  m_MaxFileSize->setText(QString::number(m_Values.m_MaxFileSizeMB));
  m_DoNotAskAgain->setChecked(m_Values.m_DoNotAskAgain);
  m_Folder->setText(ToQ(m_Values.m_Folder));
  m_ShownName->setText(ToQ(m_Values.m_ShownName));
}

void CCaptureFilenameDlg::CaptionEdited(const QString& text) {
  TakeValues();
  const int cursor = m_Caption->cursorPosition();
  if (m_Values.EditCaption(FromQ(text))) {
    ShowValues();
    m_Caption->setCursorPosition(cursor);
    return;
  }
  // Undone silently: the caption goes back to what it was before the keystroke.
  const int back = std::max(0, cursor - static_cast<int>(text.size() - ToQ(m_Values.m_Caption).size()));
  ShowValues();
  m_Caption->setCursorPosition(back);
}

void CCaptureFilenameDlg::selectFolder() {
  const QString chosen = ChooseFolder(m_ChooseFolder, this, ToQ(m_Values.m_Folder));
  if (chosen.isEmpty()) return;
  m_Values.m_Folder = FromQ(chosen);
  m_Folder->setText(chosen);
}

void CCaptureFilenameDlg::loadDefaults() {
  m_Values.LoadDefaults(m_DefaultFolder ? m_DefaultFolder() : std::string());
  ShowValues();
}

void CCaptureFilenameDlg::accept() {
  if (!TakeValues()) {
    ShowDialogMessage(m_Messages, this, ToQ(RangeMessage(1, 9999)));
    return;
  }
  if (const std::optional<std::string> refusal = m_Values.CheckOk()) {
    ShowDialogMessage(m_Messages, this, ToQ(*refusal));
    return;
  }
  QDialog::accept();
}

}  // namespace zk
