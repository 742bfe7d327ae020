// The About box.
#include "shell/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "shell/images.h"

namespace marvolen {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setPointSize(9);
  setFont(font);
  setWindowTitle(QStringLiteral("关于 Marvolen"));
  setFixedSize(DialogRect(0, 0, 235, 55).size());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(AppIcon().pixmap(32, 32));
  icon->setGeometry(QRect(DialogRect(11, 17, 0, 0).topLeft(), QSize(32, 32)));

  auto* version = new QLabel(QStringLiteral("Marvolen 1.0 版"), this);
  version->setObjectName(QStringLiteral("version"));
  version->setGeometry(DialogRect(40, 10, 119, 8));

  auto* second = new QLabel(SecondLine(), this);
  second->setObjectName(QStringLiteral("secondLine"));
  second->setGeometry(DialogRect(40, 25, 119, 8));

  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setGeometry(DialogRect(178, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString AboutDialog::SecondLine() { return QStringLiteral("汉语歧义格式分析工作台"); }

QRect AboutDialog::DialogRect(int x, int y, int width, int height) const {
  const QFontMetrics fm(font());
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double baseX = fm.horizontalAdvance(alphabet) / 52.0;
  const double baseY = fm.height();
  return QRect(qRound(x * baseX / 4), qRound(y * baseY / 8), qRound(width * baseX / 4),
               qRound(height * baseY / 8));
}

}  // namespace marvolen
