// The lock-key panes, lit from X11's named keyboard indicators.
#include "shell/lock_keys.h"

#include <QtWidgets>

// After Qt's headers: X11's macros (None, Bool, ...) would break them.
#ifdef MARVOLEN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace marvolen {

void AddLockKeyPanes(QStatusBar* bar) {
  static const char* const kPanes[][2] = {{QT_TRANSLATE_NOOP("LockKeys", "大写"), "Caps Lock"},
                                          {QT_TRANSLATE_NOOP("LockKeys", "数字"), "Num Lock"},
                                          {QT_TRANSLATE_NOOP("LockKeys", "滚动"), "Scroll Lock"}};
  QList<QLabel*> labels;
  for (const auto& pane : kPanes) {
    auto* label = new QLabel;
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QCoreApplication::translate("LockKeys", pane[0])) +
        8);
    bar->addPermanentWidget(label);
    labels.append(label);
  }
  auto update = [labels] {
    for (int i = 0; i < labels.size(); ++i) {
      bool on = false;
#ifdef MARVOLEN_HAVE_X11
      auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
      Display* display = x11 != nullptr ? x11->display() : nullptr;
      const Atom atom = display != nullptr ? XInternAtom(display, kPanes[i][1], True) : None;
      Bool lit = False;
      on = atom != None && XkbGetNamedIndicator(display, atom, nullptr, &lit, nullptr, nullptr) &&
           lit == True;
#endif
      labels[i]->setText(on ? QCoreApplication::translate("LockKeys", kPanes[i][0]) : QString());
    }
  };
  update();
  auto* timer = new QTimer(bar);
  timer->callOnTimeout(bar, update);
  timer->start(250);
}

}  // namespace marvolen
