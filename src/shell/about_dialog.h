// The About box: icon, name and version, and one line about the program.
#ifndef MARVOLEN_SHELL_ABOUT_DIALOG_H_
#define MARVOLEN_SHELL_ABOUT_DIALOG_H_

#include <QDialog>

namespace marvolen {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // Dialog units to pixels for the dialog's font (a horizontal unit is a
  // quarter of the average character width, a vertical one an eighth of the
  // character height).
  QRect DialogRect(int x, int y, int width, int height) const;

  static QString SecondLine();
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_ABOUT_DIALOG_H_
