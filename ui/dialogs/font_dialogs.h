// The two "Font Settings" commands: the platform's font dialog over the stored LogFont values.
// Usage (packet list): if (auto f = ChooseFont(list->font(), this)) list->setFont(*f);
// Usage (graph):       if (auto lf = ChooseLogFont(settings.m_GraphFont, this)) settings.m_GraphFont = *lf;
#pragma once

#include <QFont>
#include <QString>
#include <optional>

#include "app/settings.h"

class QWidget;

namespace zk {

// The stored font as a toolkit font: the absolute height in pixels, weight, italic, underline,
// strike-out, face, fixed pitch; a height of 0 keeps the toolkit's default size.
QFont FontFromLogFont(const LogFont& logFont);
// The toolkit font stored back; what a QFont does not carry (width, escapement, character set,
// precisions) is taken from base.
LogFont LogFontFromFont(const QFont& font, const LogFont& base = {});

// The font dialog (screen fonts, with effects) preset with current; nothing when cancelled.
std::optional<QFont> ChooseFont(const QFont& current, QWidget* parent, const QString& title = {});
std::optional<LogFont> ChooseLogFont(const LogFont& current, QWidget* parent, const QString& title = {});

}  // namespace zk
