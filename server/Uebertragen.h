#pragma once
// Copies the rows of a database file onto the server.
#include <QList>
#include <QPair>
#include <QString>

struct sqlite3;

namespace server {

class PgVerbindung;

// Copies every row of the program's tables from the open file into the
// server's tables (made with SchemaAnlegen, still empty), in one transaction:
// on any error nothing is written. Returns the rows copied per table.
QList<QPair<QString, qint64>> TabellenKopieren(sqlite3* quelle, PgVerbindung& ziel);

// One figure counted in the file and again on the server before committing.
struct Vergleich {
    QString was;        // a table, or table.column for a sum of money
    qint64 datei = 0;   // rows, or the sum in ten-thousandths of a euro
    qint64 server = 0;
};

struct Uebertragung {
    QString datenbank;
    bool schemaAngelegt = false;  // the database was empty; the tables were made
    QList<Vergleich> zeilen;      // per table
    QList<Vergleich> summen;      // per money column
};

// Moves a whole database file onto the server: into an empty database (the
// tables are made first) or one that holds the program's tables without a
// single row. A database with rows in them, or with other tables, is refused
// with a German message and left as it was. The rows are copied in one
// transaction; row counts and money sums are compared on the server before
// it is committed. On any error nothing stays: not the rows, nor the tables
// made for them. The file must hold the current schema with every reference
// resolved (the server enforces the foreign keys the file may not).
// `begonnen`, when given, tells whether rows were being copied, i.e. the
// database was not refused.
Uebertragung InLeereDatenbankUebertragen(sqlite3* quelle, PgVerbindung& ziel, bool* begonnen = nullptr);

}  // namespace server
