#pragma once
// Statements used safely: a prepared statement that finalizes itself, a
// transaction that rolls back unless committed, the one way a QVariant is
// bound, and the engine's errors turned into German sentences. On the file
// they run on the raw SQLite handle; on a server through its engine.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace data {

class FernAnweisung;
class Motor;
class Verbindung;

// The kind of a value as the engine hands it out.
enum class Wertart { Null, Ganzzahl, Zahl, Text, Blob };

// Binds a value the way every statement of the program does: integers and
// truth values (-1/0) as integers, numbers as reals, dates as ISO text,
// byte arrays as blobs, everything else as text; an invalid or null
// QVariant as NULL.
void Binde(sqlite3_stmt* st, int index, const QVariant& wert);

// Looks up the value the program tried to write into `tabelle`.`spalte`
// (for "Der PLU-Code 431 ist schon vergeben."); a null QVariant when unknown.
using Wertsuche = std::function<QVariant(const QString& tabelle, const QString& spalte)>;

// The text of the engine's last error on `db` (result code `rc`) for the
// user: a German sentence that says what happened and what to do, and the
// engine's own text in a second line for support. Codes without a sentence
// of their own give the engine's text alone.
QString Datenbankmeldung(sqlite3* db, int rc, const Wertsuche& werte = {});
// The same for an error known only by its code and text (e.g. from Qt's driver).
QString Datenbankmeldung(int rc, const QString& engineText, const QString& datei, const Wertsuche& werte = {});

// What went wrong, for engines that are not SQLite.
enum class Fehlerart { Belegt, Schreibgeschuetzt, Voll, Doppelt, Fremdschluessel, Abgelehnt, Sonstiges };
// The sentence for `art`; for Doppelt, `tabelle` and `spalte` name the
// column whose value is taken. The engine's text follows in a second line.
QString Datenbankmeldung(Fehlerart art, const QString& engineText, const QString& tabelle = QString(),
                         const QString& spalte = QString(), const Wertsuche& werte = {});

// A prepared statement on the raw handle; finalized when it goes.
// Every failure throws data::Fehler with Datenbankmeldung's text.
class Anweisung {
public:
    // On the connection's engine, whichever it is.
    Anweisung(Verbindung& verbindung, const QString& sql);
    Anweisung(sqlite3* db, const QString& sql);
    // Takes the rest of a text of several statements: `rest` moves past the
    // prepared one; the statement may be empty (only blanks or comments).
    Anweisung(sqlite3* db, const char*& rest);
    ~Anweisung();
    Anweisung(const Anweisung&) = delete;
    Anweisung& operator=(const Anweisung&) = delete;

    // The SQLite statement; null on another engine.
    sqlite3_stmt* get() const { return m_st; }
    bool leer() const { return m_st == nullptr && !m_fern; }
    void binde(int index, const QVariant& wert);
    int parameterAnzahl() const;
    // Without its ':'; empty for a positional parameter.
    QString parameterName(int index) const;
    int spaltenAnzahl();
    QString spaltenname(int spalte);
    // The stored table and column of a result column; empty when computed.
    QString tabelle(int spalte);
    QString herkunft(int spalte);
    Wertart art(int spalte) const;
    qint64 ganzzahl(int spalte) const;
    double zahl(int spalte) const;
    std::string_view text(int spalte) const;
    // The value of the current row as the program reads it (integers as
    // qint64, reals as double, text as QString, blobs as QByteArray).
    QVariant wert(int spalte) const;
    // Ready to run again: from the start, with every parameter NULL.
    void zuruecksetzen();
    // The next row: true while there is one, false at the end.
    bool schritt();
    // Runs to the end; returns the rows the statement changed.
    int ausfuehren();
    // For the error text of a refused write (the value of a unique column).
    void setWertsuche(Wertsuche w);

private:
    [[noreturn]] void Fehlschlag(int rc) const;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_st = nullptr;
    std::unique_ptr<FernAnweisung> m_fern;
    bool m_fertig = false;
    Wertsuche m_werte;
};

// A transaction (a savepoint, so it may sit inside another); rolled back
// when it goes without commit().
class Transaktion {
public:
    explicit Transaktion(Verbindung& verbindung);
    explicit Transaktion(sqlite3* db);
    ~Transaktion();
    Transaktion(const Transaktion&) = delete;
    Transaktion& operator=(const Transaktion&) = delete;
    void commit();

private:
    sqlite3* m_db = nullptr;
    Motor* m_motor = nullptr;
    bool m_offen = true;
};

// Runs statements without result rows and without parameters (several,
// separated by ";"); throws data::Fehler with Datenbankmeldung's text.
void Ausfuehren(sqlite3* db, const QString& sql);

// A text of several statements split at the ";" between them (not in
// quotes, brackets or comments); empty pieces are left out.
QStringList AnweisungenTeilen(const QString& sql);

}  // namespace data
