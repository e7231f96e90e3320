#pragma once
// Compaction of the database file before it is archived.
#include <QString>

namespace backup {

// Compacts `datenbankdatei`: a copy without the free space of deleted rows is
// written beside it (same name, extension ".$$$"), checked, given fresh planner
// statistics and then put in place of the database in one rename. The database
// is never without a complete, checked file under its name.
//
// Another program that still has the database open (the main program starts
// the backup while it is closing) is waited for up to `wartezeitMs`; then the
// compaction is refused.
//
// True on success. Otherwise the database is as it was and `fehlertext`
// (if given) holds the message for the user.
bool DatenbankKomprimieren(const QString& datenbankdatei, QString* fehlertext = nullptr,
                           int wartezeitMs = 10000);

}  // namespace backup
