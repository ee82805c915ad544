// The state of the Caps Lock, Num Lock and Scroll Lock keys for the status bar's indicators.
#pragma once

#include <optional>

namespace zk {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// Nothing where the platform gives no portable way to ask: the indicators then stay empty.
std::optional<LockKeys> ReadLockKeys();

}  // namespace zk
