#pragma once
// Taking over the data of a Jet database into a new database of the
// program: tables and columns matched by name without regard to case,
// values converted to the columns' kinds, nothing dropped without a line in
// the protocol, and the result checked against the source before it counts.
#include "data/Schema.h"
#include "import/Zeilenquelle.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace uebernahme {

// What a source value becomes in a column of the given kind. `grund` says
// why it had to be changed and is empty when it was taken as it was.
struct Umwandlung {
    QVariant wert;  // invalid = NULL; otherwise qlonglong, double or QString
    QString grund;
    bool uhrzeitWeg = false;  // a date lost its time of day
};
Umwandlung Umwandeln(const QVariant& quelle, data::Feldart art);

// A number value exactly in ten-thousandths (the precision of Jet's
// currency); nothing when the value is no number.
std::optional<qint64> Zehntausendstel(const QVariant& wert);

struct Ergebnis {
    QString protokoll;
    int geaendert = 0;  // values that could not be kept as they were
    int verwaist = 0;   // rows whose reference points to no row
};

// Writes a new database at `pfad` (which must not exist) with the program's
// schema and the source's rows, in one transaction, and checks row counts
// and money sums against the source. On failure the file is removed and
// data::Fehler thrown; `protokollBeiFehler` then gets what was done so far.
Ergebnis DatenbankAufbauen(const Zeilenquelle& quelle, const QString& pfad, QString* protokollBeiFehler = nullptr);

// Into a new file `ziel`, which must not exist: written under a temporary
// name beside it and renamed when all holds. The protocol goes to
// datenuebernahme.txt beside `ziel`.
Ergebnis UebernehmenNach(const Zeilenquelle& quelle, const QString& ziel);

// In place of the Jet file `pfad` the source was opened from: the original
// keeps its bytes under a free name beside it (ordavo_tab_windows.mdb, …),
// the new database takes its name. The source is closed before renaming.
struct AmOrt : Ergebnis {
    QString original;  // where the Jet file now lies
};
AmOrt UebernehmenAmOrt(std::unique_ptr<Zeilenquelle> quelle, const QString& pfad);

// Onto the database server named by the connection string `verbindung`:
// the file `pfad` is a database of this program (SQLite) or a Jet file of
// the Windows version, told apart by its first bytes; neither file is
// changed. A Jet file is first taken over as above into a temporary file.
// The server database must be empty or hold the program's tables without
// rows (see server::InLeereDatenbankUebertragen). Row counts and money sums
// are compared on the server before anything is committed. The protocol
// goes to datenuebernahme.txt beside `pfad`.
Ergebnis UebernehmenAufServer(const QString& pfad, const QString& verbindung);

// The same from an open source; the protocol goes beside `protokollNeben`.
Ergebnis UebernehmenAufServer(const Zeilenquelle& quelle, const QString& verbindung, const QString& protokollNeben);

// Every table with its row count and its columns with their types.
QString Inhalt(const Zeilenquelle& quelle);

// File name of the protocol beside the database.
QString ProtokollName();

}  // namespace uebernahme
