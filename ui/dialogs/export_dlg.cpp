#include "ui/dialogs/export_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "interchange/pcapng_writer.h"
#include "tools/csv_export.h"
#include "tools/record_subset.h"

namespace zk {

namespace {

constexpr const char* kOptionLabels[kExportOptionCount] = {
    "VBUS Voltage", "VBUS Current", "VBUS Wattage", "CC1 Voltage", "CC1 Current", "CC2 Voltage", "CC2 Current"};

template <std::size_t N>
int CheckedIndex(const std::array<QRadioButton*, N>& buttons) {
  for (std::size_t i = 0; i < N; ++i) {
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace

ColumnChoices ColumnChoicesOf(const ColumnRecords& records) {
  ColumnChoices choices{};
  for (std::size_t id = 0; id < choices.size() && id < records.size(); ++id) {
    choices[id].show = records[id].m_Show != 0;
    choices[id].order = records[id].m_Order;
  }
  return choices;
}

CExportDlg::CExportDlg(const CaptureStore& store, const ColumnRecords& columns, bool reverseCurrent,
                       const std::optional<GraphMarkerTimes>& graphMarkers, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Export"));

  const auto radio = [this](const char* text, QButtonGroup* group, QLayout* layout) {
    auto* b = new QRadioButton(QString::fromLatin1(text), this);
    group->addButton(b);
    layout->addWidget(b);
    connect(b, &QRadioButton::clicked, this, &CExportDlg::RadioClicked);
    return b;
  };
  auto* numbers = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*[0-9]*\\s*")), this);

  // File name.
  auto* fileGroup = new QGroupBox(QStringLiteral("Export File Name"), this);
  auto* fileLayout = new QHBoxLayout(fileGroup);
  m_FileName = new QLabel(this);
  m_FileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_FileName->setMinimumWidth(360);
  m_FileButton = new QPushButton(QStringLiteral("File"), this);
  m_FileButton->setAutoDefault(false);
  fileLayout->addWidget(m_FileName, 1);
  fileLayout->addWidget(m_FileButton);
  connect(m_FileButton, &QPushButton::clicked, this, &CExportDlg::ChooseFile);

  // From and To.
  const auto spanGroup = [&](const char* title, const char* first, std::array<QRadioButton*, 3>& buttons,
                             QLineEdit*& number, QComboBox*& markers) {
    auto* group = new QGroupBox(QString::fromLatin1(title), this);
    auto* grid = new QGridLayout(group);
    auto* buttonGroup = new QButtonGroup(group);
    auto* col = new QVBoxLayout;
    buttons[0] = radio(first, buttonGroup, col);
    buttons[1] = radio("Packet Number", buttonGroup, col);
    buttons[2] = radio("Marker", buttonGroup, col);
    grid->addLayout(col, 0, 0, 3, 1);
    number = new QLineEdit(this);
    number->setValidator(numbers);
    markers = new QComboBox(this);
    markers->setMinimumContentsLength(24);
    grid->addWidget(number, 1, 1);
    grid->addWidget(markers, 2, 1);
    connect(number, &QLineEdit::textEdited, this, [this] {
      TakeValues();
      UpdateEnabling();
    });
    connect(markers, &QComboBox::activated, this, [this] {
      TakeValues();
      UpdateEnabling();
    });
    return group;
  };
  QGroupBox* fromGroup = spanGroup("From", "Capture Top", m_From, m_FromPacket, m_FromMarker);
  QGroupBox* toGroup = spanGroup("To", "Capture End", m_To, m_ToPacket, m_ToMarker);

  // Type and items.
  auto* typeGroup = new QGroupBox(QStringLiteral("Export Type"), this);
  auto* typeLayout = new QVBoxLayout(typeGroup);
  auto* typeButtons = new QButtonGroup(typeGroup);
  m_Type[0] = radio("CSV", typeButtons, typeLayout);
  m_Type[1] = radio("ZKR", typeButtons, typeLayout);
  m_Type[2] = radio("pcapng", typeButtons, typeLayout);
  auto* itemsGroup = new QGroupBox(QStringLiteral("Export Items"), this);
  auto* itemsLayout = new QVBoxLayout(itemsGroup);
  auto* itemButtons = new QButtonGroup(itemsGroup);
  m_Items[0] = radio("PD Messages", itemButtons, itemsLayout);
  m_Items[1] = radio("Voltage / Current", itemButtons, itemsLayout);
  m_Items[2] = radio("Both", itemButtons, itemsLayout);

  // Options.
  auto* optionsGroup = new QGroupBox(QStringLiteral("Voltage / Current Options"), this);
  auto* optionsLayout = new QVBoxLayout(optionsGroup);
  for (int i = 0; i < kExportOptionCount; ++i) {
    m_Options[static_cast<std::size_t>(i)] = new QCheckBox(QString::fromLatin1(kOptionLabels[i]), this);
    optionsLayout->addWidget(m_Options[static_cast<std::size_t>(i)]);
  }
  auto* messageGroup = new QGroupBox(QStringLiteral("PD Message Options"), this);
  auto* messageLayout = new QVBoxLayout(messageGroup);
  m_VisibleOnly = new QCheckBox(QStringLiteral("Visible Columns Only"), this);
  messageLayout->addWidget(m_VisibleOnly);

  // Buttons and status.
  m_Export = new QPushButton(QStringLiteral("Export"), this);
  m_Abort = new QPushButton(QStringLiteral("Abort"), this);
  m_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
  for (QPushButton* b : {m_Export, m_Abort, m_Cancel}) b->setAutoDefault(false);
  connect(m_Export, &QPushButton::clicked, this, [this] { startExport(); });
  connect(m_Abort, &QPushButton::clicked, this, &CExportDlg::abortExport);
  connect(m_Cancel, &QPushButton::clicked, this, &CExportDlg::reject);
  m_Status = new QLabel(this);

  auto* grid = new QGridLayout;
  grid->addWidget(fromGroup, 0, 0);
  grid->addWidget(toGroup, 0, 1);
  grid->addWidget(typeGroup, 1, 0);
  grid->addWidget(itemsGroup, 1, 1);
  grid->addWidget(optionsGroup, 2, 0);
  grid->addWidget(messageGroup, 2, 1, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_Export);
  buttons->addWidget(m_Abort);
  buttons->addWidget(m_Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileGroup);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  layout->addWidget(m_Status);

  m_Timer.setInterval(1000);
  connect(&m_Timer, &QTimer::timeout, this, &CExportDlg::pollExport);

  prepare(store, columns, reverseCurrent, graphMarkers, false);
}

CExportDlg::~CExportDlg() { StopWorker(); }

void CExportDlg::StopWorker() {
  m_Timer.stop();
  if (!m_Job.Started()) return;
  m_Job.RequestAbort();
  m_Job.Wait();
  m_Job.TakeResult();
}

void CExportDlg::prepare(const CaptureStore& store, const ColumnRecords& columns, bool reverseCurrent,
                         const std::optional<GraphMarkerTimes>& graphMarkers, bool remote) {
  // A previous export reads the store that may be about to change: end it first.
  StopWorker();
  m_Store = &store;
  m_Columns = ColumnChoicesOf(columns);
  m_ReverseCurrent = reverseCurrent;
  m_State = ExportDialogState{};
  m_State.m_Remote = remote;
  PrepareExport(m_State, store, graphMarkers);
  OpenExport(m_State, store);
  m_Status->clear();

  for (QComboBox* list : {m_FromMarker, m_ToMarker}) {
    list->clear();
    for (const ExportMarker& m : m_State.m_Markers) list->addItem(ToQ(ExportMarkerText(m)));
  }
  ShowValues();
  UpdateEnabling();
  if (remote) startExport();
}

bool CExportDlg::TakeValues() {
  for (std::size_t i = 0; i < m_Options.size(); ++i) m_State.m_Options[i] = m_Options[i]->isChecked();
  m_State.m_VisibleColumnsOnly = m_VisibleOnly->isChecked();
  m_State.m_From = static_cast<ExportFrom>(CheckedIndex(m_From));
  m_State.m_To = static_cast<ExportTo>(CheckedIndex(m_To));
  m_State.m_Type = static_cast<ExportType>(CheckedIndex(m_Type));
  m_State.m_Items = static_cast<ExportItems>(CheckedIndex(m_Items));
  m_State.m_FromMarker = m_FromMarker->currentIndex();
  m_State.m_ToMarker = m_ToMarker->currentIndex();
  const std::optional<std::uint32_t> from = ParsePacketNumber(FromQ(m_FromPacket->text()));
  const std::optional<std::uint32_t> to = ParsePacketNumber(FromQ(m_ToPacket->text()));
  if (from) m_State.m_FromPacket = *from;
  if (to) m_State.m_ToPacket = *to;
  return from && to;
}

void CExportDlg::ShowValues() {
  m_FileName->setText(ToQ(m_State.m_FileName));
  for (std::size_t i = 0; i < m_Options.size(); ++i) m_Options[i]->setChecked(m_State.m_Options[i]);
  m_VisibleOnly->setChecked(m_State.m_VisibleColumnsOnly);
  m_From[static_cast<std::size_t>(m_State.m_From)]->setChecked(true);
  m_To[static_cast<std::size_t>(m_State.m_To)]->setChecked(true);
  m_Type[static_cast<std::size_t>(m_State.m_Type)]->setChecked(true);
  m_Items[static_cast<std::size_t>(m_State.m_Items)]->setChecked(true);
  m_FromPacket->setText(QString::number(m_State.m_FromPacket));
  m_ToPacket->setText(QString::number(m_State.m_ToPacket));
  m_FromMarker->setCurrentIndex(m_State.m_FromMarker);
  m_ToMarker->setCurrentIndex(m_State.m_ToMarker);
}

void CExportDlg::UpdateEnabling() {
  const bool hasPackets = m_Store->PacketCount() > 0;
  const bool running = m_Job.Started();
  ExportDialogState probe = m_State;
  const bool numbersValid =
      ParsePacketNumber(FromQ(m_FromPacket->text())) && ParsePacketNumber(FromQ(m_ToPacket->text()));
  const bool spanValid = numbersValid && ComputeExportSpan(probe, *m_Store);
  const ExportEnabling e = ComputeExportEnabling(m_State, hasPackets, spanValid, running);
  m_FileButton->setEnabled(e.fileButton);
  const bool fromEnabled[] = {e.captureTop, e.fromPacketNumber, e.fromMarker};
  const bool toEnabled[] = {e.captureEnd, e.toPacketNumber, e.toMarker};
  for (std::size_t i = 0; i < 3; ++i) {
    m_From[i]->setEnabled(fromEnabled[i]);
    m_To[i]->setEnabled(toEnabled[i]);
  }
  m_FromPacket->setEnabled(e.fromNumberBox);
  m_ToPacket->setEnabled(e.toNumberBox);
  m_FromMarker->setEnabled(e.fromMarkerList);
  m_ToMarker->setEnabled(e.toMarkerList);
  m_Type[0]->setEnabled(e.csv);
  m_Type[1]->setEnabled(e.zkr);
  m_Type[2]->setEnabled(e.pcapng);
  m_Items[0]->setEnabled(e.pdMessages);
  m_Items[1]->setEnabled(e.voltageCurrent);
  m_Items[2]->setEnabled(e.both);
  for (QCheckBox* b : m_Options) b->setEnabled(e.options);
  m_VisibleOnly->setEnabled(e.visibleColumnsOnly);
  m_Export->setEnabled(e.exportButton);
  m_Abort->setEnabled(e.abort);
  m_Cancel->setEnabled(e.cancel);
}

void CExportDlg::RadioClicked() {
  TakeValues();
  m_State.m_FileName = FitExportExtension(m_State.m_FileName, m_State.m_Type);
  m_FileName->setText(ToQ(m_State.m_FileName));
  UpdateEnabling();
}

void CExportDlg::setFileName(const QString& name) {
  m_State.m_FileName = FromQ(name);
  m_FileName->setText(name);
  UpdateEnabling();
}

void CExportDlg::ChooseFile() {
  const ExportFileKind kind = ExportFileKindOf(m_State.m_Type);
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(ToQ(std::string(kind.suffix)));
  dialog.setNameFilter(ToQ(std::string(kind.filter)));
  dialog.selectFile(ToQ(m_State.m_FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  setFileName(dialog.selectedFiles().front());
}

bool CExportDlg::startExport() {
  if (m_Job.Started()) return false;
  if (!TakeValues()) {
    ShowDialogMessage(m_Messages, this, ToQ(std::string(kPositiveIntegerMessage)));
    return false;
  }
  if (m_State.m_FileName.empty() || !ComputeExportSpan(m_State, *m_Store)) return false;

  ToolJob::Work work;
  const CaptureStore* store = m_Store;
  if (m_State.m_Type == ExportType::Csv) {
    CsvExportRequest request;
    request.m_FileName = m_State.m_FileName;
    request.m_Options = m_State.m_Options;
    request.m_Items = m_State.m_Items;
    request.m_VisibleColumnsOnly = m_State.m_VisibleColumnsOnly;
    request.m_Columns = m_Columns;
    request.m_Start = m_State.m_Start;
    request.m_End = m_State.m_End;
    request.m_ReverseCurrent = m_ReverseCurrent;
    work = [store, request](JobProgress& progress) { return WriteCsvExport(*store, request, progress); };
  } else if (m_State.m_Type == ExportType::Pcapng) {
    interchange::PcapngOptions options;
    options.span = interchange::PcapngOptions::Span{m_State.m_Start, m_State.m_End};
    work = [store, options, output = m_State.m_FileName](JobProgress& progress) mutable {
      options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        progress.SetProgress(done, total);
        return !progress.AbortRequested();
      };
      std::string error;
      return interchange::WritePcapng(*store, output, error, options);
    };
  } else {
    const ByteSpan span = SubsetByteSpan(*store, m_State.m_Start, m_State.m_End);
    work = [recordPath = store->m_RecordPath, output = m_State.m_FileName, span](JobProgress& progress) {
      return WriteRecordSubset(recordPath, output, span, progress);
    };
  }
  if (!m_Job.Start(std::move(work))) return false;
  m_Timer.start();
  UpdateEnabling();
  return true;
}

void CExportDlg::abortExport() {
  if (m_Job.Running()) m_Job.RequestAbort();
}

void CExportDlg::pollExport() {
  std::string status = FromQ(m_Status->text());
  const ExportTickOutcome outcome = ExportTick(m_Job, status);
  m_Status->setText(ToQ(status));
  switch (outcome) {
    case ExportTickOutcome::Idle: m_Timer.stop(); return;
    case ExportTickOutcome::Running: return;
    case ExportTickOutcome::Completed:
    case ExportTickOutcome::Aborted: break;
  }
  m_Timer.stop();
  if (m_State.m_Remote) {
    QDialog::accept();
    return;
  }
  UpdateEnabling();
  if (outcome == ExportTickOutcome::Completed) {
    ShowDialogMessage(m_Messages, this, ToQ(std::string(kExportCompleted)));
    QDialog::accept();
  } else {
    ShowDialogMessage(m_Messages, this, ToQ(std::string(kExportAborted)));
  }
}

void CExportDlg::reject() {
  // The window closes at once; the worker stops at its next row or block.
  StopWorker();
  m_Status->clear();
  UpdateEnabling();
  QDialog::reject();
}

}  // namespace zk
