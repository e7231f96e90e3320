#pragma once
// Realistic German sample data for trying the program and for the benchmarks:
// a database with the schema, filled deterministically from a seed.
#include <QDate>
#include <QString>
#include <QStringList>

namespace tools {

// How much is written.
struct Umfang {
    int adressen = 0;
    int artikel = 0;
    int einheiten = 0;
    int kategorien = 0;
    int lieferscheine = 0;
    int positionen = 0;
    int plu = 0;
};

// "mini" (for tests), "typisch" (a shop's whole history), "gross" (a large business).
// False for an unknown name.
bool UmfangFuer(const QString& name, Umfang* umfang);
QStringList Groessen();

// The delivery notes span the 15 years that end on this day, unless a
// caller gives another end. Fixed, so that a seed always gives the same file.
QDate StandardEnde();

struct Ergebnis {
    qint64 lieferscheine = 0;
    qint64 positionen = 0;
    qint64 rechnungen = 0;
    qint64 bezahlt = 0;
    double sekunden = 0;
};

// Writes a new database file `pfad` with the schema and the sample data.
// Refuses an existing file. The data go to a temporary file beside `pfad`
// that is renamed only when complete, so no half-written database is left.
// Throws data::Fehler with a German message.
Ergebnis BeispieldatenSchreiben(const QString& pfad, const Umfang& umfang, quint64 seed,
                                const QDate& ende = StandardEnde());

}  // namespace tools
