#pragma once
// The tables of the database: one definition from which the empty database is
// created and from which the data layer learns each column's kind.
#include <QString>
#include <QStringList>

struct sqlite3;

namespace data {

enum class Feldart { Ganzzahl, Zahl, Geld, Text, Langtext, Datum, JaNein };

// Kind of a stored column (names without regard to case); Text when unknown.
Feldart SpaltenArt(const QString& tabelle, const QString& spalte, bool* bekannt = nullptr);

// The CREATE statements (tables and indexes) in execution order.
QStringList SchemaAnweisungen();

// Creates the schema in an open, empty database and runs ANALYZE.
// Throws data::Fehler with the database's message.
void SchemaAnlegen(sqlite3* db);

// Creates a new database file with the schema. Refuses an existing file.
void LeereDatenbankSchreiben(const QString& pfad);

}  // namespace data
