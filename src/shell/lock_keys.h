// The status bar's lock-key panes: 大写, 数字 and 滚动 show while Caps Lock,
// Num Lock and Scroll Lock are on. Where the platform does not tell (only X11
// does; not Wayland or the offscreen platform), they stay blank.
#ifndef MARVOLEN_SHELL_LOCK_KEYS_H_
#define MARVOLEN_SHELL_LOCK_KEYS_H_

class QStatusBar;

namespace marvolen {

// Add the three panes to `bar`, kept up to date by polling.
void AddLockKeyPanes(QStatusBar* bar);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_LOCK_KEYS_H_
