#pragma once
// Reading the database on a PostgreSQL server for the backup: pg_dump writes
// it as plain SQL, which psql restores into an empty database.
#include <QString>

#include <functional>

namespace backup {

// Writes the database that `angabe` (a libpq connection string) names into
// `datei` as SQL statements, without owners and privileges, so that the dump
// can be restored into an empty database of any user. pg_dump is taken from
// the PATH; it reads a password from ~/.pgpass (or the file PGPASSFILE names)
// and never asks for one. A connection string that carries a password is
// refused: it would be visible on pg_dump's command line.
//
// The dump counts only when pg_dump succeeded, its output is complete and it
// holds the program's tables: a wrong database must not replace the last
// backup. On failure `fehler` holds the message for the user.
//
// `fortschritt` (if given) gets the bytes written so far, from the calling thread.
bool ServerAuslesen(const QString& angabe, const QString& datei, QString* fehler,
                    const std::function<void(qint64)>& fortschritt = {});

}  // namespace backup
