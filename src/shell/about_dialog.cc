// The About box.
#include "shell/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "shell/images.h"

namespace marvolen {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setPointSize(9);
  setFont(font);
  // A horizontal dialog unit is a quarter of the font's average character
  // width, a vertical one an eighth of its height.
  const QFontMetrics metrics(font);
  const double unitX = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4;
  const double unitY = metrics.height() / 8.0;
  auto rect = [unitX, unitY](int x, int y, int width, int height) {
    return QRect(qRound(x * unitX), qRound(y * unitY), qRound(width * unitX), qRound(height * unitY));
  };
  setWindowTitle(QStringLiteral("关于 Marvolen"));
  setFixedSize(rect(0, 0, 235, 55).size());

  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  icon->setGeometry(QRect(rect(11, 17, 0, 0).topLeft(), QSize(32, 32)));
  (new QLabel(QStringLiteral("Marvolen 1.0 版"), this))->setGeometry(rect(40, 10, 119, 8));
  (new QLabel(QStringLiteral("汉语歧义格式分析工作台"), this))->setGeometry(rect(40, 25, 119, 8));
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setGeometry(rect(178, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace marvolen
