#include "data/Schemaversion.h"

#include "data/Fehler.h"

#include <QString>
#include <sqlite3.h>

namespace data {

namespace {

// Version 1: what the e-invoice needs and the original tables do not hold.
// The company's row is the only one (id 1); customer and unit rows follow
// their address or unit and go with it.
const char* const kVersion1[] = {
    "CREATE TABLE t_erechnung_firma (\n"
    "  id INTEGER PRIMARY KEY CHECK (id = 1),\n"
    "  er_land TEXT,\n"
    "  er_steuernummer TEXT,\n"
    "  er_iban TEXT,\n"
    "  er_bic TEXT,\n"
    "  er_befreiungsgrund TEXT\n"
    ") STRICT",
    "CREATE TABLE t_erechnung_kunde (\n"
    "  adresse_id INTEGER PRIMARY KEY REFERENCES t_adressen(id) ON DELETE CASCADE,\n"
    "  er_land TEXT,\n"
    "  er_kaeuferreferenz TEXT\n"
    ") STRICT",
    "CREATE TABLE t_erechnung_einheit (\n"
    "  einheit_id INTEGER PRIMARY KEY REFERENCES t_einheit(id) ON DELETE CASCADE,\n"
    "  er_code TEXT\n"
    ") STRICT",
};

void Ausfuehren(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw Fehler(text);
    }
}

}  // namespace

int GespeicherteSchemaversion(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) != SQLITE_OK)
        throw Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
    int v = 0;
    if (sqlite3_step(st) == SQLITE_ROW) v = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return v;
}

void SchemaAktualisieren(sqlite3* db)
{
    const int v = GespeicherteSchemaversion(db);
    if (v > kSchemaversion)
        throw Fehler(QStringLiteral("Die Datenbank stammt aus einer neueren Version von Ordavo (Schemaversion %1) "
                                    "und kann mit diesem Programm (Schemaversion %2) nicht geöffnet werden. "
                                    "Bitte verwenden Sie die neuere Programmversion.")
                         .arg(v)
                         .arg(kSchemaversion));
    if (v == kSchemaversion) return;
    // Another process may be updating the same file: take the write lock
    // first, then look again.
    Ausfuehren(db, "BEGIN IMMEDIATE");
    try {
        const int jetzt = GespeicherteSchemaversion(db);
        if (jetzt < 1)
            for (const char* s : kVersion1) Ausfuehren(db, s);
        if (jetzt < kSchemaversion)
            Ausfuehren(db, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaversion).toUtf8().constData());
        Ausfuehren(db, "COMMIT");
    } catch (const Fehler& f) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Fehler(QStringLiteral("Die Datenbank konnte nicht auf den neuen Stand gebracht werden: %1").arg(f.text()));
    }
}

}  // namespace data
