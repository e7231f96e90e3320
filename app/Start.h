#pragma once
#include <QString>

namespace app {

// Before any window exists: moves a supplied ordavo_neu.mdb into place when
// there is no ordavo_tab.mdb, and runs the update program while a
// replacement file is (still) waiting. Failures are ignored.
void UebergabeUndUpdate(const QString& programmordner);

// German formats and Qt's own dialogs in German, the C library's number
// format left alone.
void AnwendungEinrichten();

// The whole start of the main program; returns the process's exit code.
int Starten(int argc, char** argv);

}  // namespace app
