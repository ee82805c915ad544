#include "ui/ctrl/zk_ctrl_view.h"

#include <QLabel>
#include <QToolButton>

#include "ui/icons/icons.h"

namespace zk {

namespace {

QRect ToQRect(const PanelRect& r) { return QRect(r.x, r.y, std::max(r.w, 1), std::max(r.h, 1)); }

QFont Arial(int size) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(std::max(size - 2, 6));
  return font;
}

}  // namespace

CZKCtrlView::CZKCtrlView(QWidget* parent) : QWidget(parent) {
  const char* headings[] = {"VBUS", "CC1", "CC2", "VCONN"};
  for (std::size_t k = 0; k < m_Headings.size(); ++k) {
    m_Headings[k] = MakeLabel(headings[k], QString::fromUtf8(headings[k]));
    m_Headings[k]->setAlignment(Qt::AlignCenter);
  }
  m_VbusVoltage = MakeLabel("vbusVoltage");
  m_VbusCurrent = MakeLabel("vbusCurrent");
  m_VbusPower = MakeLabel("vbusPower");
  m_Cc1Voltage = MakeLabel("cc1Voltage");
  m_Cc1Current = MakeLabel("cc1Current");
  m_Cc2Voltage = MakeLabel("cc2Voltage");
  m_Cc2Current = MakeLabel("cc2Current");
  m_VconnVoltage = MakeLabel("vconnVoltage");
  m_VconnPower = MakeLabel("vconnPower");
  m_Vrd = MakeLabel("vrd", QStringLiteral("CC Status"));
  m_Peak = MakeLabel("peak", QStringLiteral("VBUS Peak Power"));
  m_Peak->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_PictureLabel = MakeLabel("picture");
  m_PictureLabel->setAlignment(Qt::AlignCenter);
  m_PictureLabel->hide();

  auto button = [this](const char* name, const char* tip, Glyph glyph) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromUtf8(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setIcon(GlyphIcon(glyph));
    b->setIconSize(QSize(48, 48));
    b->setEnabled(false);
    return b;
  };
  m_Run = button("run", "Run", Glyph::kRun);
  m_Pause = button("pause", "Pause", Glyph::kStop);
  m_Clear = button("clear", "Clear", Glyph::kClear);
  connect(m_Run, &QToolButton::clicked, this, &CZKCtrlView::runClicked);
  connect(m_Pause, &QToolButton::clicked, this, &CZKCtrlView::pauseClicked);
  connect(m_Clear, &QToolButton::clicked, this, &CZKCtrlView::clearClicked);
  Layout();
}

QLabel* CZKCtrlView::MakeLabel(const char* name, const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromUtf8(name));
  label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
  return label;
}

void CZKCtrlView::UpdateReadouts(bool live, const LiveValues& values, const SampleStatistics* stats) {
  const Readouts r = ComputeReadouts(live, values);
  const std::pair<QLabel*, const std::string*> texts[] = {
      {m_VbusVoltage, &r.vbusVoltage}, {m_VbusCurrent, &r.vbusCurrent},   {m_VbusPower, &r.vbusPower},
      {m_Cc1Voltage, &r.cc1Voltage},   {m_Cc1Current, &r.cc1Current},     {m_Cc2Voltage, &r.cc2Voltage},
      {m_Cc2Current, &r.cc2Current},   {m_VconnVoltage, &r.vconnVoltage}, {m_VconnPower, &r.vconnPower},
  };
  for (const auto& [label, text] : texts) label->setText(QString::fromStdString(*text));
  m_Picture = r.picture;
  if (!live || r.picture == DirectionPicture::kHidden) {
    m_PictureLabel->hide();
  } else {
    const Glyph glyph = r.picture == DirectionPicture::kPlugToReceptacle   ? Glyph::kPlugToReceptacle
                        : r.picture == DirectionPicture::kReceptacleToPlug ? Glyph::kReceptacleToPlug
                                                                           : Glyph::kNoCurrent;
    const int side = std::max(std::min(m_PictureLabel->width(), m_PictureLabel->height()), 16);
    m_PictureLabel->setPixmap(GlyphPixmap(glyph, side));
    m_PictureLabel->show();
  }
  if (live) {
    m_Vrd->setVisible(r.vrdVisible);
    if (r.vrdText) m_Vrd->setText(QString::fromStdString(*r.vrdText));
  }
  if (stats != nullptr) m_Peak->setText(QString::fromStdString(PeakPowerText(*stats)));
}

void CZKCtrlView::UpdateButtons(bool live, bool recording, bool hasSamples) {
  const ButtonEnabling b = ComputeButtons(live, recording, hasSamples);
  m_Run->setEnabled(b.run);
  m_Pause->setEnabled(b.pause);
  m_Clear->setEnabled(b.clear);
}

QString CZKCtrlView::Text(const char* name) const {
  const auto* label = findChild<QLabel*>(QString::fromUtf8(name));
  return label != nullptr ? label->text() : QString();
}

bool CZKCtrlView::PictureVisible() const { return !m_PictureLabel->isHidden(); }
bool CZKCtrlView::RunEnabled() const { return m_Run->isEnabled(); }
bool CZKCtrlView::PauseEnabled() const { return m_Pause->isEnabled(); }
bool CZKCtrlView::ClearEnabled() const { return m_Clear->isEnabled(); }

void CZKCtrlView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void CZKCtrlView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Layout();
}

void CZKCtrlView::Layout() {
  const PanelLayout l = ComputePanelLayout(height());
  m_PictureLabel->setGeometry(ToQRect(l.picture));
  m_Vrd->setGeometry(ToQRect(l.vrd));
  m_VbusPower->setGeometry(ToQRect(l.vbusPower));
  QLabel* first[] = {m_VbusVoltage, m_Cc1Voltage, m_Cc2Voltage, m_VconnVoltage};
  QLabel* second[] = {m_VbusCurrent, m_Cc1Current, m_Cc2Current, m_VconnPower};
  const QFont valueFont = Arial(l.rowHeight);
  for (std::size_t k = 0; k < 4; ++k) {
    m_Headings[k]->setGeometry(ToQRect(l.headings[k]));
    first[k]->setGeometry(ToQRect(l.firstValues[k]));
    second[k]->setGeometry(ToQRect(l.secondValues[k]));
    m_Headings[k]->setFont(valueFont);
    first[k]->setFont(valueFont);
    second[k]->setFont(valueFont);
  }
  m_VbusPower->setFont(valueFont);
  m_Vrd->setFont(Arial(l.vrdFontSize));
  m_Peak->setFont(Arial(l.peakFontSize));
  m_Run->setGeometry(ToQRect(l.run));
  m_Pause->setGeometry(ToQRect(l.pause));
  m_Clear->setGeometry(ToQRect(l.clear));
  m_Peak->setGeometry(ToQRect(l.peak));
  const int icon = std::max(std::min(l.run.w - 8, 48), 8);
  for (QToolButton* b : {m_Run, m_Pause, m_Clear}) b->setIconSize(QSize(icon, icon));
}

}  // namespace zk
