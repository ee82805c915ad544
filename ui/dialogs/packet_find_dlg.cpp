#include "ui/dialogs/packet_find_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_support.h"

namespace zk {

namespace {

// The boxes outside the message types: label, criteria flag, enabling flag, group.
struct FlagBox {
  const char* label;
  bool PacketCriteria::*value;
  bool CriteriaEnabling::*enabled;
  int group;
};

constexpr const char* kGroups[] = {"Channel", "Ordered Set", "Power Role", "Data Role", "Error Packet"};

constexpr FlagBox kFlagBoxes[] = {
    {"CC1", &PacketCriteria::cc1, &CriteriaEnabling::cc1, 0},
    {"CC2", &PacketCriteria::cc2, &CriteriaEnabling::cc2, 0},
    {"SOP", &PacketCriteria::sop, &CriteriaEnabling::sop, 1},
    {"SOP'", &PacketCriteria::sopP, &CriteriaEnabling::sopP, 1},
    {"SOP''", &PacketCriteria::sopPP, &CriteriaEnabling::sopPP, 1},
    {"Hard Reset", &PacketCriteria::hardReset, &CriteriaEnabling::hardReset, 1},
    {"Cable Reset", &PacketCriteria::cableReset, &CriteriaEnabling::cableReset, 1},
    {"SOP' Debug", &PacketCriteria::sopPDebug, &CriteriaEnabling::sopPDebug, 1},
    {"SOP'' Debug", &PacketCriteria::sopPPDebug, &CriteriaEnabling::sopPPDebug, 1},
    {"Source", &PacketCriteria::source, &CriteriaEnabling::source, 2},
    {"Sink", &PacketCriteria::sink, &CriteriaEnabling::sink, 2},
    {"DFP", &PacketCriteria::dfp, &CriteriaEnabling::dfp, 3},
    {"UFP", &PacketCriteria::ufp, &CriteriaEnabling::ufp, 3},
    {"No Errors", &PacketCriteria::noErrors, &CriteriaEnabling::noErrors, 4},
    {"Invalid Packet", &PacketCriteria::invalidPacket, &CriteriaEnabling::invalidPacket, 4},
    {"CRC Error", &PacketCriteria::crcError, &CriteriaEnabling::crcError, 4},
};

constexpr const char* kClassGroups[] = {"Control Messages", "Data Messages", "Extended Messages"};

}  // namespace

CPacketFindDlg::CPacketFindDlg(CPacketFindDlgModel& model, const PacketStatistics& stats, QWidget* parent)
    : QDialog(parent), m_Model(model) {
  setWindowTitle(QString::fromLatin1(m_Model.Title()));

  auto* left = new QVBoxLayout;
  std::vector<QVBoxLayout*> groupLayouts;
  for (const char* name : kGroups) {
    auto* group = new QGroupBox(QString::fromLatin1(name), this);
    groupLayouts.push_back(new QVBoxLayout(group));
    left->addWidget(group);
  }
  for (const FlagBox& f : kFlagBoxes) {
    auto* box = new QCheckBox(QString::fromLatin1(f.label), this);
    groupLayouts[static_cast<std::size_t>(f.group)]->addWidget(box);
    m_FlagBoxes.push_back(box);
  }

  auto* textGroup = new QGroupBox(QStringLiteral("Containing Text"), this);
  auto* textLayout = new QVBoxLayout(textGroup);
  m_EnableText = new QCheckBox(QStringLiteral("Enable Text"), this);
  m_Text = new QLineEdit(this);
  textLayout->addWidget(m_EnableText);
  textLayout->addWidget(m_Text);
  left->addWidget(textGroup);
  m_AllowAll = new QCheckBox(QStringLiteral("Allow to change all settings"), this);
  left->addWidget(m_AllowAll);

  m_DirectionGroup = new QGroupBox(QStringLiteral("Find Direction"), this);
  auto* directionLayout = new QHBoxLayout(m_DirectionGroup);
  m_Forward = new QRadioButton(QStringLiteral("Forward"), this);
  m_Backward = new QRadioButton(QStringLiteral("Backward"), this);
  directionLayout->addWidget(m_Forward);
  directionLayout->addWidget(m_Backward);
  left->addWidget(m_DirectionGroup);
  m_DirectionGroup->setVisible(m_Model.ShowsDirection());
  left->addStretch(1);

  auto* typeGroup = new QGroupBox(QStringLiteral("Message Type"), this);
  auto* typeColumns = new QHBoxLayout(typeGroup);
  std::array<QVBoxLayout*, 3> classLayouts{};
  for (std::size_t c = 0; c < classLayouts.size(); ++c) {
    auto* group = new QGroupBox(QString::fromLatin1(kClassGroups[c]), typeGroup);
    classLayouts[c] = new QVBoxLayout(group);
    typeColumns->addWidget(group, 0, Qt::AlignTop);
  }
  const auto flags = MessageTypeFlags();
  for (std::size_t i = 0; i < flags.size(); ++i) {
    auto* box = new QCheckBox(QString::fromLatin1(flags[i].label), this);
    const std::size_t column = flags[i].messageClass == MessageClass::kControl ? 0
                               : flags[i].messageClass == MessageClass::kData  ? 1
                                                                               : 2;
    classLayouts[column]->addWidget(box);
    m_TypeBoxes[i] = box;
  }
  for (QVBoxLayout* l : classLayouts) l->addStretch(1);

  auto* buttons = new QHBoxLayout;
  const auto addButton = [&](const char* text, auto action) {
    auto* b = new QPushButton(QString::fromLatin1(text), this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    buttons->addWidget(b);
    return b;
  };
  // Each writes into the criteria at once, after taking what the controls show.
  addButton("Check All Message Types", [this] { ApplyToCriteria(&CPacketFindDlgModel::CheckAllMessageTypes); });
  addButton("Clear All Message Types", [this] { ApplyToCriteria(&CPacketFindDlgModel::ClearAllMessageTypes); });
  addButton("Check All", [this] { ApplyToCriteria(&CPacketFindDlgModel::CheckAll); });
  addButton("Clear All", [this] { ApplyToCriteria(&CPacketFindDlgModel::ClearAll); });
  buttons->addStretch(1);
  addButton("OK", [this] { accept(); })->setDefault(true);
  addButton("Cancel", [this] { reject(); });

  const auto toggled = [this] {
    ReadControls();
    m_Model.ToggleClicked();
    ShowEnabling();
  };
  connect(m_AllowAll, &QCheckBox::clicked, this, toggled);
  connect(m_EnableText, &QCheckBox::clicked, this, toggled);

  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addWidget(typeGroup, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);

  m_Model.Open(stats);
  ShowControls();
}

QCheckBox* CPacketFindDlg::checkBox(const QString& text) const {
  for (QCheckBox* b : m_FlagBoxes) {
    if (b->text() == text) return b;
  }
  for (QCheckBox* b : m_TypeBoxes) {
    if (b->text() == text) return b;
  }
  if (m_EnableText->text() == text) return m_EnableText;
  if (m_AllowAll->text() == text) return m_AllowAll;
  return nullptr;
}

void CPacketFindDlg::ApplyToCriteria(void (CPacketFindDlgModel::*op)()) {
  ReadControls();
  (m_Model.*op)();
  ShowControls();
}

void CPacketFindDlg::ReadControls() {
  PacketCriteria& c = m_Model.Controls();
  for (std::size_t i = 0; i < std::size(kFlagBoxes); ++i) c.*kFlagBoxes[i].value = m_FlagBoxes[i]->isChecked();
  for (std::size_t i = 0; i < m_TypeBoxes.size(); ++i) c.messageTypes[i] = m_TypeBoxes[i]->isChecked();
  c.enableText = m_EnableText->isChecked();
  c.text = FromQ(m_Text->text());
  c.allowChangeAll = m_AllowAll->isChecked();
  if (m_Model.ShowsDirection())
    c.direction = m_Backward->isChecked() ? FindDirection::kBackward : FindDirection::kForward;
}

void CPacketFindDlg::ShowControls() {
  const PacketCriteria& c = m_Model.Controls();
  for (std::size_t i = 0; i < std::size(kFlagBoxes); ++i) m_FlagBoxes[i]->setChecked(c.*kFlagBoxes[i].value);
  for (std::size_t i = 0; i < m_TypeBoxes.size(); ++i) m_TypeBoxes[i]->setChecked(c.messageTypes[i]);
  m_EnableText->setChecked(c.enableText);
  m_Text->setText(ToQ(c.text));
  m_AllowAll->setChecked(c.allowChangeAll);
  (c.direction == FindDirection::kBackward ? m_Backward : m_Forward)->setChecked(true);
  ShowEnabling();
}

void CPacketFindDlg::ShowEnabling() {
  const CriteriaEnabling& e = m_Model.Enabling();
  for (std::size_t i = 0; i < std::size(kFlagBoxes); ++i) m_FlagBoxes[i]->setEnabled(e.*kFlagBoxes[i].enabled);
  for (std::size_t i = 0; i < m_TypeBoxes.size(); ++i) m_TypeBoxes[i]->setEnabled(e.messageTypes[i]);
  m_Text->setEnabled(e.text);
}

void CPacketFindDlg::accept() {
  ReadControls();
  m_Outcome = m_Model.Ok();
  QDialog::accept();
}

void CPacketFindDlg::reject() {
  m_Model.Cancel();
  QDialog::reject();
}

}  // namespace zk
