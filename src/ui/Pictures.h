#pragma once
// The console's pictures, drawn rather than stored: the maker's word mark, the two faces of
// the turning logo, the splash picture and the program icon.

#include <QIcon>
#include <QPixmap>

namespace tessivar::ui {

QPixmap makerLogo(int width, int height);
// The turning logo's front and back faces.
QPixmap logoFace(bool front, int size);
QPixmap splashPicture(int width, int height);
QIcon programIcon();

} // namespace tessivar::ui
