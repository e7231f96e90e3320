#include "server/Uebertragen.h"

#include "data/Fehler.h"
#include "data/Schema.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace server {

namespace {

struct Anweisung {
    sqlite3_stmt* st = nullptr;
    ~Anweisung() { sqlite3_finalize(st); }
};

QString SqlName(const QString& n) { return QLatin1Char('"') + QString(n).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }

void Vorbereiten(sqlite3* db, const QString& sql, Anweisung& a)
{
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &a.st, nullptr) != SQLITE_OK)
        throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
}

QVariant Spalte(sqlite3_stmt* st, int k)
{
    switch (sqlite3_column_type(st, k)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(st, k)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, k));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, k)), sqlite3_column_bytes(st, k)));
    }
}

// Money to the ten-thousandth, the same rounding on both sides.
qint64 Zehntausendstel(const QVariant& v)
{
    return v.isNull() ? 0 : std::llround(v.toDouble() * 10000);
}

// Copies the rows inside the caller's transaction, many rows to a statement:
// one round trip per row would make a shop's history take minutes.
QList<QPair<QString, qint64>> Kopieren(sqlite3* quelle, PgVerbindung& ziel)
{
    QList<QPair<QString, qint64>> anzahl;
    for (const QString& tabelle : Tabellen()) {
        Anweisung lesen;
        Vorbereiten(quelle, QStringLiteral("SELECT * FROM %1").arg(SqlName(tabelle)), lesen);
        const int spalten = sqlite3_column_count(lesen.st);
        QStringList namen;
        int kennung = -1;
        for (int k = 0; k < spalten; ++k) {
            const QString n = QString::fromUtf8(sqlite3_column_name(lesen.st, k)).toLower();
            if (n == QLatin1String("id")) kennung = k;
            namen << SqlName(n);
        }
        const QString kopf = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(SqlName(tabelle), namen.join(QStringLiteral(", ")));
        const int proAnweisung = std::max(1, std::min(1000, 30000 / std::max(1, spalten)));

        qint64 n = 0;
        QList<QVariant> werte;
        QStringList gruppen, kennungen;  // kennungen: which rows the statement holds
        const auto einzeln = [&](int i) {
            QStringList platz;
            for (int k = 1; k <= spalten; ++k) platz << QStringLiteral("$%1").arg(k);
            ziel.Abfrage(kopf + QLatin1Char('(') + platz.join(QStringLiteral(", ")) + QLatin1Char(')'), werte.mid(i * spalten, spalten));
        };
        const auto senden = [&] {
            if (gruppen.isEmpty()) return;
            ziel.Ausfuehren(QStringLiteral("SAVEPOINT zeilen"));
            try {
                ziel.Abfrage(kopf + gruppen.join(QStringLiteral(", ")), werte);
                ziel.Ausfuehren(QStringLiteral("RELEASE SAVEPOINT zeilen"));
            } catch (const data::Fehler& f) {
                // Row by row again, to name the one the server refuses.
                ziel.Ausfuehren(QStringLiteral("ROLLBACK TO SAVEPOINT zeilen"));
                for (int i = 0; i < kennungen.size(); ++i) {
                    try {
                        einzeln(i);
                    } catch (const data::Fehler& g) {
                        throw data::Fehler(QStringLiteral("Eine Zeile der Tabelle %1 (%2) lässt sich auf dem Server nicht "
                                                          "speichern: %3").arg(tabelle, kennungen.at(i), g.text()));
                    }
                }
                throw data::Fehler(QStringLiteral("Die Zeilen der Tabelle %1 (%2 bis %3) lassen sich auf dem Server nicht "
                                                  "speichern: %4").arg(tabelle, kennungen.first(), kennungen.last(), f.text()));
            }
            werte.clear();
            gruppen.clear();
            kennungen.clear();
        };
        int rc;
        while ((rc = sqlite3_step(lesen.st)) == SQLITE_ROW) {
            ++n;
            QStringList platz;
            for (int k = 0; k < spalten; ++k) {
                const QVariant w = Spalte(lesen.st, k);
                // Values travel as C strings: a NUL would silently cut the text short.
                if (w.typeId() == QMetaType::QString && w.toString().contains(QChar(0)))
                    throw data::Fehler(QStringLiteral("Eine Zeile der Tabelle %1 (Zeile %2) enthält in einem Text ein "
                                                      "Nullzeichen, das der Server nicht speichern kann.").arg(tabelle).arg(n));
                werte << w;
                platz << QStringLiteral("$%1").arg(werte.size());
            }
            kennungen << (kennung >= 0 ? QStringLiteral("id %1").arg(werte.at(werte.size() - spalten + kennung).toString())
                                       : QStringLiteral("Zeile %1").arg(n));
            gruppen << QLatin1Char('(') + platz.join(QStringLiteral(", ")) + QLatin1Char(')');
            if (gruppen.size() >= proAnweisung) senden();
        }
        if (rc != SQLITE_DONE) throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(quelle)));
        senden();
        anzahl << qMakePair(tabelle, n);
    }
    return anzahl;
}

void Zurueckrollen(PgVerbindung& db)
{
    try {
        db.Ausfuehren(QStringLiteral("ROLLBACK"));
    } catch (const data::Fehler&) {
    }
}

QStringList VorhandeneTabellen(PgVerbindung& db)
{
    QStringList namen;
    for (const auto& z : db.Abfrage(QStringLiteral(
                 "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                 "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
                 "AND n.nspname NOT LIKE 'pg\\_%' ORDER BY c.relname")).zeilen)
        namen << z.at(0).toString();
    return namen;
}

// The money columns of a table in the file.
QStringList Geldspalten(sqlite3* quelle, const QString& tabelle)
{
    Anweisung info;
    Vorbereiten(quelle, QStringLiteral("PRAGMA table_info(%1)").arg(SqlName(tabelle)), info);
    QStringList out;
    while (sqlite3_step(info.st) == SQLITE_ROW) {
        const QString spalte = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.st, 1)));
        bool bekannt = false;
        if (data::SpaltenArt(tabelle, spalte, &bekannt) == data::Feldart::Geld && bekannt) out << spalte.toLower();
    }
    return out;
}

// Rows and money sums of the file, then the same read back on the server
// inside the transaction that wrote them.
void Vergleichen(sqlite3* quelle, PgVerbindung& ziel, Uebertragung& u)
{
    for (const QString& tabelle : Tabellen()) {
        Vergleich zeilen{tabelle};
        const QStringList geld = Geldspalten(quelle, tabelle);
        QList<Vergleich> summen;
        for (const QString& s : geld) summen << Vergleich{tabelle + QLatin1Char('.') + s};

        QStringList namen;
        for (const QString& s : geld) namen << SqlName(s);
        const QString auswahl = QStringLiteral("SELECT %1 FROM %2")
                                    .arg(namen.isEmpty() ? QStringLiteral("1") : namen.join(QStringLiteral(", ")), SqlName(tabelle));
        Anweisung lesen;
        Vorbereiten(quelle, auswahl, lesen);
        int rc;
        while ((rc = sqlite3_step(lesen.st)) == SQLITE_ROW) {
            ++zeilen.datei;
            for (int k = 0; k < geld.size(); ++k) summen[k].datei += Zehntausendstel(Spalte(lesen.st, k));
        }
        if (rc != SQLITE_DONE) throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(quelle)));

        // A cursor, so the largest tables need not fit into memory at once.
        ziel.Ausfuehren(QStringLiteral("DECLARE ordavo_vergleich NO SCROLL CURSOR FOR ") + auswahl);
        for (;;) {
            const PgErgebnis teil = ziel.Abfrage(QStringLiteral("FETCH FORWARD 10000 FROM ordavo_vergleich"));
            if (teil.zeilen.isEmpty()) break;
            for (const auto& z : teil.zeilen) {
                ++zeilen.server;
                for (int k = 0; k < geld.size(); ++k) summen[k].server += Zehntausendstel(z.at(k));
            }
        }
        ziel.Ausfuehren(QStringLiteral("CLOSE ordavo_vergleich"));

        u.zeilen << zeilen;
        u.summen << summen;
        if (zeilen.server != zeilen.datei)
            throw data::Fehler(QStringLiteral("Die Zeilenzahl der Tabelle %1 stimmt nicht: in der Datei %2, auf dem Server %3.")
                                   .arg(tabelle).arg(zeilen.datei).arg(zeilen.server));
        for (const Vergleich& s : summen)
            if (s.server != s.datei)
                throw data::Fehler(QStringLiteral("Die Summe der Spalte %1 stimmt nicht: in der Datei %2, auf dem Server %3.")
                                       .arg(s.was, QString::number(s.datei / 10000.0, 'f', 4), QString::number(s.server / 10000.0, 'f', 4)));
    }
}

// Removes the tables this run made, so a failed run leaves the empty
// database it found; but only while they are still empty, in case another
// workstation has begun to use them meanwhile.
void TabellenEntfernen(PgVerbindung& db)
{
    QStringList namen{SqlName(VersionsTabelle())};
    for (const QString& t : Tabellen()) namen << SqlName(t);
    for (const QString& t : Hilfstabellen()) namen << SqlName(t);
    try {
        db.Ausfuehren(QStringLiteral("BEGIN"));
        db.Ausfuehren(QStringLiteral("LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE").arg(namen.join(QStringLiteral(", "))));
        for (const QString& t : Tabellen())
            if (!db.Abfrage(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(SqlName(t))).zeilen.isEmpty()) {
                Zurueckrollen(db);
                return;
            }
        db.Ausfuehren(QStringLiteral("DROP TABLE %1 CASCADE").arg(namen.join(QStringLiteral(", "))));
        // The functions the schema made (e.g. for its triggers) go as well,
        // or the next run could not make them again.
        static const QRegularExpression funktion(QStringLiteral("^\\s*CREATE\\s+(?:OR\\s+REPLACE\\s+)?FUNCTION\\s+([^\\s(]+)"),
                                                 QRegularExpression::CaseInsensitiveOption);
        for (const QString& a : SchemaAnweisungenPostgres())
            if (const auto m = funktion.match(a); m.hasMatch())
                db.Ausfuehren(QStringLiteral("DROP FUNCTION IF EXISTS %1").arg(m.captured(1)));
        db.Ausfuehren(QStringLiteral("COMMIT"));
    } catch (const data::Fehler&) {
        // Empty tables stay; the next run takes them as its target.
        Zurueckrollen(db);
    }
}

// Keys the server would number itself (identity or serial columns) go on
// after the highest copied value, not from 1 into the copied rows.
void ZaehlerNachziehen(PgVerbindung& db)
{
    const PgErgebnis spalten = db.Abfrage(QStringLiteral(
        "SELECT table_name, column_name FROM information_schema.columns "
        "WHERE table_schema = current_schema() AND (is_identity = 'YES' OR column_default LIKE 'nextval(%')"));
    for (const auto& z : spalten.zeilen) {
        const QString tabelle = z.at(0).toString(), spalte = z.at(1).toString();
        db.Abfrage(QStringLiteral("SELECT setval(pg_get_serial_sequence($1, $2), coalesce(max(%1), 0) + 1, false) FROM %2")
                       .arg(SqlName(spalte), SqlName(tabelle)),
                   {SqlName(tabelle), spalte});
    }
}

}  // namespace

QList<QPair<QString, qint64>> TabellenKopieren(sqlite3* quelle, PgVerbindung& ziel)
{
    ziel.Ausfuehren(QStringLiteral("BEGIN"));
    QList<QPair<QString, qint64>> anzahl;
    try {
        anzahl = Kopieren(quelle, ziel);
        ziel.Ausfuehren(QStringLiteral("COMMIT"));
    } catch (...) {
        Zurueckrollen(ziel);
        throw;
    }
    ziel.Ausfuehren(QStringLiteral("ANALYZE"));
    return anzahl;
}

Uebertragung InLeereDatenbankUebertragen(sqlite3* quelle, PgVerbindung& ziel, bool* begonnen)
{
    Uebertragung u;
    u.datenbank = ziel.Datenbank();
    QStringList eigene = Tabellen();
    eigene << VersionsTabelle();

    const QStringList vorhanden = VorhandeneTabellen(ziel);
    if (vorhanden.isEmpty()) {
        SchemaAnlegen(ziel);
        u.schemaAngelegt = true;
    } else {
        QStringList fehlend;
        for (const QString& t : eigene)
            if (!vorhanden.contains(t)) fehlend << t;
        // Tables beside the program's own are left alone; the program's must all be there.
        if (!fehlend.isEmpty())
            throw data::Fehler(QStringLiteral("Die Datenbank %1 enthält Tabellen, aber nicht die von Ordavo (es fehlt %2; "
                                              "vorhanden: %3). Die Daten werden nur in eine leere Datenbank übernommen; es "
                                              "wurde nichts verändert.")
                                   .arg(u.datenbank, fehlend.join(QStringLiteral(", ")), vorhanden.join(QStringLiteral(", "))));
    }

    ziel.Ausfuehren(QStringLiteral("BEGIN"));
    try {
        // No other workstation writes until this is committed or undone.
        QStringList namen;
        for (const QString& t : eigene) namen << SqlName(t);
        ziel.Ausfuehren(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(namen.join(QStringLiteral(", "))));
        if (!u.schemaAngelegt) {
            const qint64 version = ziel.Wert(QStringLiteral("SELECT max(version) FROM %1").arg(SqlName(VersionsTabelle()))).toLongLong();
            if (version != SchemaVersion())
                throw data::Fehler(QStringLiteral("Die Tabellen der Datenbank %1 haben die Schemaversion %2, dieses Programm "
                                                  "schreibt Version %3; es wurde nichts verändert.")
                                       .arg(u.datenbank).arg(version).arg(SchemaVersion()));
            QStringList belegt;
            for (const QString& t : Tabellen()) {
                const qint64 n = ziel.Wert(QStringLiteral("SELECT count(*) FROM %1").arg(SqlName(t))).toLongLong();
                if (n > 0) belegt << QStringLiteral("%1: %2 Zeilen").arg(t).arg(n);
            }
            if (!belegt.isEmpty())
                throw data::Fehler(QStringLiteral("Die Datenbank %1 enthält bereits Daten von Ordavo (%2). Die Daten werden "
                                                  "nur in eine leere Datenbank übernommen; es wurde nichts verändert.")
                                       .arg(u.datenbank, belegt.join(QStringLiteral(", "))));
        }
        if (begonnen) *begonnen = true;
        Kopieren(quelle, ziel);
        ZaehlerNachziehen(ziel);
        Vergleichen(quelle, ziel, u);
        // The statistics' yearly sums of the copied items, now rather than
        // at the first statistic.
        if (!ziel.Wert(QStringLiteral("SELECT to_regprocedure('ordavo_stat_auffrischen()')")).isNull())
            ziel.Wert(QStringLiteral("SELECT ordavo_stat_auffrischen()"));
        ziel.Ausfuehren(QStringLiteral("COMMIT"));
    } catch (...) {
        Zurueckrollen(ziel);
        if (u.schemaAngelegt) TabellenEntfernen(ziel);
        throw;
    }
    // The data are committed; statistics missing for now are no failure.
    try {
        ziel.Ausfuehren(QStringLiteral("ANALYZE"));
    } catch (const data::Fehler&) {
    }
    return u;
}

}  // namespace server
