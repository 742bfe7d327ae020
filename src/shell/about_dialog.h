// The About box: the icon, the name and version, and one line about the
// program, laid out in dialog units of its 9-point 宋体 font.
#ifndef MARVOLEN_SHELL_ABOUT_DIALOG_H_
#define MARVOLEN_SHELL_ABOUT_DIALOG_H_

#include <QDialog>

namespace marvolen {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_ABOUT_DIALOG_H_
