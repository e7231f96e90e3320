#pragma once
#include <QPixmap>

namespace app {
// The main window's picture, the program icon and the maker's logo, drawn
// here so that the program ships no image files.
QPixmap Titelbild(const QSize& groesse);
QPixmap Programmsymbol(int kante);
QPixmap Herstellerlogo(const QSize& groesse);
}  // namespace app
