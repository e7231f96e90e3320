#pragma once
// The program's tables on the database server. They are read off a database
// file freshly made from the program's own schema, so both engines always
// have the same tables, columns, keys, cascades and indexes. Names are kept
// in lower case there; the schema version lives in t_schemaversion.
#include <QString>
#include <QStringList>

namespace server {

class PgVerbindung;

// The table that holds the schema version on the server (one row).
QString VersionsTabelle();

// The server's own tables beside the program's: the yearly sales the
// statistics read, kept by triggers.
QStringList Hilfstabellen();

// The transaction lock (pg_advisory_xact_lock) under which those sums are
// brought up to date.
qint64 JahressummenSperre();

// The schema version of the database file (PRAGMA user_version).
int SchemaVersion();

// The CREATE statements for the server, in execution order.
QStringList SchemaAnweisungenPostgres();

// The program's tables in the order rows must be copied (referenced first).
QStringList Tabellen();

// Creates the schema in an empty database in one transaction. Refuses, with
// a German message, a database that already holds tables, one not encoded in
// UTF8, and a server without the Unicode collation the searches need.
void SchemaAnlegen(PgVerbindung& db);

}  // namespace server
