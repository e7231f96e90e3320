#pragma once
// File operations Qt does not offer: replacing a file in one step, and making
// sure written data is on the disk before it replaces something valuable.
#include <QString>

namespace platform {

// Renames `quelle` to `ziel`, replacing a file `ziel` in one step: at every
// moment `ziel` is either the old or the new file. Both must lie on the same
// file system. On failure `fehler` (if given) gets the system's reason.
bool ErsetzeDatei(const QString& quelle, const QString& ziel, QString* fehler = nullptr);

// Flushes the file's data, and the entry in its folder, to the disk.
// False when that failed.
bool AufPlatteSchreiben(const QString& pfad);

// True when `a` and `b` name the same existing file (also through links).
bool GleicheDatei(const QString& a, const QString& b);

}  // namespace platform
