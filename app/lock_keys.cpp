#include "app/lock_keys.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zk {

std::optional<LockKeys> ReadLockKeys() {
#ifdef _WIN32
  LockKeys k;
  k.caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  k.num = (GetKeyState(VK_NUMLOCK) & 1) != 0;
  k.scroll = (GetKeyState(VK_SCROLL) & 1) != 0;
  return k;
#else
  return std::nullopt;
#endif
}

}  // namespace zk
