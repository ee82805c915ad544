#include "ui/dialogs/vbus_current_dir_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zk {

QPixmap CurrentDirectionPicture(CurrentDirection direction, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const int mid = height / 2;
  QFont font = p.font();
  font.setPixelSize(std::max(8, height / 4));
  p.setFont(font);
  // Plug on the left, receptacle on the right, as the box is labelled.
  p.setPen(Qt::black);
  p.drawText(QRect(0, 0, width / 3, height / 3), Qt::AlignCenter, QStringLiteral("Plug"));
  p.drawText(QRect(2 * width / 3, 0, width / 3, height / 3), Qt::AlignCenter, QStringLiteral("Rcpt"));
  p.setPen(QPen(QColor(200, 0, 0), 3));
  const int left = width / 8, right = width - width / 8, y = mid + height / 8;
  p.drawLine(left, y, right, y);
  const bool toRight = direction == CurrentDirection::PlugToReceptacle;
  const int tip = toRight ? right : left;
  const int back = toRight ? tip - height / 5 : tip + height / 5;
  QPainterPath head;
  head.moveTo(tip, y);
  head.lineTo(back, y - height / 6);
  head.lineTo(back, y + height / 6);
  head.closeSubpath();
  p.fillPath(head, QColor(200, 0, 0));
  return pixmap;
}

CVbusCurrentDirCfg::CVbusCurrentDirCfg(const DirectionDialogValues& values, QWidget* parent)
    : QDialog(parent), m_Values(values) {
  setWindowTitle(QStringLiteral("VBUS Current Direction Setting"));
  auto* group = new QGroupBox(QStringLiteral("Select VBUS Current Positive Direction"), this);
  auto* grid = new QGridLayout(group);
  m_PlugToReceptacle = new QRadioButton(QStringLiteral("Plug to Receptacle"), this);
  m_ReceptacleToPlug = new QRadioButton(QStringLiteral("Receptacle to Plug"), this);
  m_PlugPicture = new QToolButton(this);
  m_ReceptaclePicture = new QToolButton(this);
  const QPixmap plug = CurrentDirectionPicture(CurrentDirection::PlugToReceptacle);
  const QPixmap receptacle = CurrentDirectionPicture(CurrentDirection::ReceptacleToPlug);
  m_PlugPicture->setIcon(plug);
  m_PlugPicture->setIconSize(plug.size());
  m_ReceptaclePicture->setIcon(receptacle);
  m_ReceptaclePicture->setIconSize(receptacle.size());
  grid->addWidget(m_PlugPicture, 0, 0);
  grid->addWidget(m_PlugToReceptacle, 0, 1);
  grid->addWidget(m_ReceptaclePicture, 1, 0);
  grid->addWidget(m_ReceptacleToPlug, 1, 1);
  connect(m_PlugPicture, &QToolButton::clicked, m_PlugToReceptacle, [this] { m_PlugToReceptacle->setChecked(true); });
  connect(m_ReceptaclePicture, &QToolButton::clicked, m_ReceptacleToPlug,
          [this] { m_ReceptacleToPlug->setChecked(true); });

  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(box);

  (values.m_Direction == CurrentDirection::ReceptacleToPlug ? m_ReceptacleToPlug : m_PlugToReceptacle)
      ->setChecked(true);
}

DirectionDialogValues CVbusCurrentDirCfg::values() const {
  DirectionDialogValues v = m_Values;
  v.m_Direction =
      m_ReceptacleToPlug->isChecked() ? CurrentDirection::ReceptacleToPlug : CurrentDirection::PlugToReceptacle;
  return v;
}

}  // namespace zk
