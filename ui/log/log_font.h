// The settings keep fonts as the platform-neutral LogFont record; the views use QFont.
#pragma once

#include <QFont>

#include "app/settings.h"

namespace zk {

// A negative height is the character height in pixels, a positive one the cell height.
QFont QFontOfLogFont(const LogFont& logFont, const QFont& fallback);
LogFont LogFontOfQFont(const QFont& font);

}  // namespace zk
