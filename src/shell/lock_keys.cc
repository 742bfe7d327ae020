// The state of the lock keys: X11 named indicators, or unknown.
#include "shell/lock_keys.h"

#include <QGuiApplication>

#ifdef MARVOLEN_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace marvolen {

#ifdef MARVOLEN_HAVE_X11

namespace {

bool IndicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == None) return false;
  Bool on = False;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on == True;
}

}  // namespace

LockKeyState QueryLockKeys() {
  LockKeyState state;
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                 : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return state;
  Display* display = x11->display();
  state.known = true;
  state.caps = IndicatorOn(display, "Caps Lock");
  state.num = IndicatorOn(display, "Num Lock");
  state.scroll = IndicatorOn(display, "Scroll Lock");
  return state;
}

#else

LockKeyState QueryLockKeys() { return LockKeyState(); }

#endif

}  // namespace marvolen
