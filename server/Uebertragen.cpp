#include "server/Uebertragen.h"

#include "data/Fehler.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QStringList>
#include <QVariant>
#include <sqlite3.h>

namespace server {

namespace {

struct Anweisung {
    sqlite3_stmt* st = nullptr;
    ~Anweisung() { sqlite3_finalize(st); }
};

}  // namespace

QList<QPair<QString, qint64>> TabellenKopieren(sqlite3* quelle, PgVerbindung& ziel)
{
    QList<QPair<QString, qint64>> anzahl;
    ziel.Ausfuehren(QStringLiteral("BEGIN"));
    try {
        for (const QString& tabelle : Tabellen()) {
            Anweisung lesen;
            if (sqlite3_prepare_v2(quelle, QStringLiteral("SELECT * FROM \"%1\"").arg(tabelle).toUtf8().constData(), -1,
                                   &lesen.st, nullptr) != SQLITE_OK)
                throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(quelle)));
            const int spalten = sqlite3_column_count(lesen.st);
            QStringList namen, platz;
            for (int k = 0; k < spalten; ++k) {
                namen << QStringLiteral("\"%1\"").arg(QString::fromUtf8(sqlite3_column_name(lesen.st, k)).toLower());
                platz << QStringLiteral("$%1").arg(k + 1);
            }
            const QString einfuegen = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                          .arg(tabelle, namen.join(QStringLiteral(", ")), platz.join(QStringLiteral(", ")));
            qint64 n = 0;
            int rc;
            while ((rc = sqlite3_step(lesen.st)) == SQLITE_ROW) {
                QList<QVariant> werte;
                for (int k = 0; k < spalten; ++k) {
                    switch (sqlite3_column_type(lesen.st, k)) {
                    case SQLITE_NULL: werte << QVariant(); break;
                    case SQLITE_INTEGER: werte << QVariant(qint64(sqlite3_column_int64(lesen.st, k))); break;
                    case SQLITE_FLOAT: werte << QVariant(sqlite3_column_double(lesen.st, k)); break;
                    default:
                        werte << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(lesen.st, k)),
                                                            sqlite3_column_bytes(lesen.st, k)));
                    }
                }
                ziel.Abfrage(einfuegen, werte);
                ++n;
            }
            if (rc != SQLITE_DONE) throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(quelle)));
            anzahl << qMakePair(tabelle, n);
        }
        ziel.Ausfuehren(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            ziel.Ausfuehren(QStringLiteral("ROLLBACK"));
        } catch (const data::Fehler&) {
        }
        throw;
    }
    ziel.Ausfuehren(QStringLiteral("ANALYZE"));
    return anzahl;
}

}  // namespace server
