#pragma once
// The program's launcher on the user's desktop.
#include <QString>

namespace platform {

// Writes Ordavo.desktop into `desktopordner` (overwriting one that is there)
// and makes it executable: it starts `programmdatei` in the program's folder.
// False when it could not be written (e.g. no desktop folder); nothing is shown.
bool DesktopeintragSchreiben(const QString& programmdatei, const QString& desktopordner);

// Same for the running program and the user's desktop folder.
bool DesktopeintragSchreiben();

}  // namespace platform
