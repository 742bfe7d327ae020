// The workbench's pictures, drawn by the program: toolbar button images
// (bitmap 128, 16 x 15 each) and the icons 128 (application) and 129
// (document).
#ifndef MARVOLEN_SHELL_IMAGES_H_
#define MARVOLEN_SHELL_IMAGES_H_

#include <QIcon>
#include <QPixmap>

namespace marvolen {

// The toolbar image of a command (an empty pixmap for a command without one).
QPixmap ToolbarImage(int command);

// Icon 128 or 129.
QIcon AppIcon(int resourceId);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_IMAGES_H_
