// The windows of the MDI area as the person sees them.
#include "shell/window_list.h"

#include <QtWidgets>
#include <algorithm>
#include <map>

#include "shell/dialogs.h"
#include "shell/document.h"
#include "shell/document_window.h"

namespace marvolen {

QString ShownTitle(const QWidget* widget) {
  // As Qt shows it: of each run of placeholders, an odd one's last stands
  // for the mark; then each "[*][*]" is a "[*]".
  const QLatin1String placeholder("[*]");
  QString title = widget->windowTitle();
  for (qsizetype at = title.indexOf(placeholder); at >= 0; at = title.indexOf(placeholder, at)) {
    int run = 0;
    for (; title.mid(at, 3) == placeholder; at += 3) ++run;
    if (run % 2 == 0) continue;
    at -= 3;
    title.replace(at, 3, widget->isWindowModified() ? QStringLiteral("*") : QString());
  }
  return title.replace(QLatin1String("[*][*]"), placeholder);
}

QString TitleText(QString name) {
  return name.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QString DocumentTitle(const Document& document, int number) {
  QString title = TitleText(document.title());
  if (number > 0) title += QStringLiteral(":%1").arg(number);
  title += QStringLiteral("[*]");  // Qt shows it as the mark while the window is modified
  if (document.GoneFromDisk())
    title += QCoreApplication::translate("WindowList", "（已从磁盘删除）");
  return title;
}

void TitleDocumentWindows(const QList<DocumentWindow*>& windows) {
  std::map<Document*, QList<DocumentWindow*>> byDocument;
  for (DocumentWindow* window : windows) byDocument[window->document()].append(window);
  for (const auto& [document, shown] : byDocument) {
    for (int i = 0; i < shown.size(); ++i) {
      shown[i]->setWindowTitle(DocumentTitle(*document, shown.size() == 1 ? 0 : i + 1));
      shown[i]->setWindowModified(document->text()->isModified());
    }
  }
}

void TitleMainWindow(QWidget* main, const QMdiSubWindow* active) {
  const auto* window = qobject_cast<const DocumentWindow*>(active);
  const QString name = window != nullptr   ? DocumentTitle(*window->document())
                       : active != nullptr ? TitleText(active->windowTitle())
                                           : QString();
  const bool named = active != nullptr && !active->isMaximized();
  main->setWindowTitle(named ? QStringLiteral("Marvolen - ") + name : QStringLiteral("Marvolen"));
  const bool modified = window != nullptr && window->document()->text()->isModified();
  main->setWindowModified(modified && main->windowTitle().contains(QLatin1String("[*]")));
}

void PlaceNewWindow(QMdiArea* area, QMdiSubWindow* window, QSize size) {
  const int step = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 4;
  const QSize extent = (size - QSize(3 * step, 3 * step)).expandedTo(size * 3 / 4);
  window->resize(extent);
  const int room = std::max(
      1, std::min(size.width() - extent.width(), size.height() - extent.height()) / step + 1);
  window->move(QPoint(step, step) * static_cast<int>((area->subWindowList().size() - 1) % room));
}

void ArrangeIcons(QMdiArea* area) {
  int x = 0;
  for (QMdiSubWindow* window : area->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, area->viewport()->height() - window->height());
    x += window->width();
  }
}

WindowList::WindowList(QMenu* menu, QMdiArea* area, DialogProvider& dialogs)
    : QObject(menu), menu_(menu), area_(area), dialogs_(dialogs) {
  connect(menu, &QMenu::aboutToShow, this, &WindowList::Update);
}

void WindowList::Update() {
  qDeleteAll(entries_);
  entries_.clear();
  const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::CreationOrder);
  const int active = static_cast<int>(windows.indexOf(area_->currentSubWindow()));
  const int listed = std::min(static_cast<int>(windows.size()), 9);
  if (listed > 0) entries_.push_back(menu_->addSeparator());
  for (int i = 0; i < listed; ++i) {
    // The active window past the ninth is listed in the ninth place.
    const int index = (i == listed - 1 && active > i) ? active : i;
    QString title = ShownTitle(windows[index]);
    QAction* entry =
        menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title.replace('&', "&&")), this,
                         [this, window = QPointer<QMdiSubWindow>(windows[index])] {
                           if (window != nullptr) area_->setActiveSubWindow(window);
                         });
    entry->setCheckable(true);
    entry->setChecked(index == active);
    entries_.push_back(entry);
  }
  if (windows.size() > listed)
    entries_.push_back(menu_->addAction(tr("更多窗口(&M)..."), this, &WindowList::ChooseWindow));
  for (QAction* entry : entries_) entry->setStatusTip(tr("激活此窗口"));
}

void WindowList::ChooseWindow() {
  // Numbered as the menu numbers them: its nine first, then the others.
  QList<QMdiSubWindow*> all = area_->subWindowList(QMdiArea::CreationOrder);
  const qsizetype active = all.indexOf(area_->currentSubWindow());
  if (active >= 9) all.move(active, 8);
  QStringList titles;
  for (QMdiSubWindow* window : all) titles.append(ShownTitle(window));
  const int chosen = dialogs_.ChooseWindow(
      menu_->parentWidget(), titles, static_cast<int>(all.indexOf(area_->currentSubWindow())));
  if (chosen >= 0 && chosen < all.size()) area_->setActiveSubWindow(all[chosen]);
}

}  // namespace marvolen
