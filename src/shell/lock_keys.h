// The state of the caps, num and scroll lock keys, where the platform tells.
//
// On X11 the keyboard's named indicators are asked; elsewhere (and on
// platforms such as Wayland or the offscreen one) the state is unknown and
// the status-bar indicators stay unlit.
#ifndef MARVOLEN_SHELL_LOCK_KEYS_H_
#define MARVOLEN_SHELL_LOCK_KEYS_H_

namespace marvolen {

struct LockKeyState {
  bool known = false;
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

LockKeyState QueryLockKeys();

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_LOCK_KEYS_H_
