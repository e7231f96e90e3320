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

}  // namespace server
