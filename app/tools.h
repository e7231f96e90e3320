#pragma once
#include <QString>

// Starts `programm` (a full path) with `parameter` in the program's own folder
// and waits without a time limit until it has ended. True when it started;
// the exit code is not read. `fensterart` is the window-show code (1 = normal).
bool StarteUndWarte(const QString& programm, const QString& parameter, quint16 fensterart);
