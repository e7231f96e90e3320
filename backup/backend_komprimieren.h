#pragma once
// Compaction of the database file before it is archived.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace backup {

// How far a step has come, 0 to 1; called from the thread doing the work.
using Fortschrittsmeldung = std::function<void(double anteil)>;

// Compacts a database in two steps, so that the copy can be archived before
// it replaces the database.
//
// kopieErstellen() checks the database (the program's tables, its integrity,
// the rows of every table), writes a copy without the free space of deleted
// rows beside it (same name, extension ".$$$"), checks the copy against the
// database and gives it fresh planner statistics. einsetzen() then puts the
// copy in place of the database in one rename. The database is never without
// a complete, checked file under its name; a damaged database is left exactly
// as it is.
//
// Another program that still has the database open (the main program starts
// the backup while it is closing) is waited for up to `wartezeitMs`; then the
// compaction is refused.
//
// On failure `fehlertext` (if given) holds the message for the user. A copy
// that was not put in place is removed when the object goes.
class Verdichtung {
public:
    explicit Verdichtung(const QString& datenbankdatei, int wartezeitMs = 10000);
    ~Verdichtung();
    Verdichtung(const Verdichtung&) = delete;
    Verdichtung& operator=(const Verdichtung&) = delete;

    bool kopieErstellen(QString* fehlertext, const Fortschrittsmeldung& pruefen = {},
                        const Fortschrittsmeldung& verdichten = {});
    // The checked copy; valid after kopieErstellen() succeeded.
    QString kopie() const;
    // Refused when another program opened the database or wrote to it since
    // the copy was begun.
    bool einsetzen(QString* fehlertext);

private:
    struct Daten;
    std::unique_ptr<Daten> d;
};

// Both steps at once. True on success; otherwise the database is as it was.
bool DatenbankKomprimieren(const QString& datenbankdatei, QString* fehlertext = nullptr,
                           int wartezeitMs = 10000);

// The tables every database of the program has.
QStringList Programmtabellen();

// Removes what an interrupted compaction left beside the database: the copy
// and its journal. Nothing else is touched.
void VerdichtungsresteEntfernen(const QString& datenbankdatei);

}  // namespace backup
