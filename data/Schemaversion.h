#pragma once
// The schema's version in PRAGMA user_version. Version 0 is a database with
// only the original tables; every later version adds tables beside them and
// never changes those. Opening brings an older database up to date in one
// transaction and refuses one written by a newer program.
struct sqlite3;

namespace data {

// The version this program writes and understands.
constexpr int kSchemaversion = 1;

// Reads the database's version; adds what is missing up to kSchemaversion in
// one transaction (all or nothing). Throws data::Fehler with a German message
// when the database is newer than this program, or the update fails.
void SchemaAktualisieren(sqlite3* db);

// The version stored in the database.
int GespeicherteSchemaversion(sqlite3* db);

}  // namespace data
