// The workbench's pictures, drawn by the program: the toolbar button images
// (16 x 15 pixels each), the application icon and the document icon.
#ifndef MARVOLEN_SHELL_IMAGES_H_
#define MARVOLEN_SHELL_IMAGES_H_

#include <QIcon>

namespace marvolen {

enum class Command;

constexpr QSize kToolbarImageSize(16, 15);

// The toolbar image of a command (an empty pixmap for a command without one).
QPixmap ToolbarImage(Command command);
// The application's icon, or with `document` the icon of a document window.
QIcon AppIcon(bool document = false);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_IMAGES_H_
