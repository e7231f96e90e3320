#include "data/Verbindung.h"

#include "data/Anweisung.h"
#include "data/Fehler.h"
#include "data/Motor.h"
#include "data/Schemaversion.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QVariant>
#include <sqlite3.h>

namespace data {

namespace {

// SQLite's own LIKE folds only ASCII; users type "müller" for "Müller".
bool Passt(const QString& muster, int mi, const QString& text, int ti, QChar escape)
{
    while (mi < muster.size()) {
        QChar m = muster.at(mi);
        if (!escape.isNull() && m == escape && mi + 1 < muster.size()) {
            if (ti >= text.size() || QString(muster.at(mi + 1)).toCaseFolded() != QString(text.at(ti)).toCaseFolded())
                return false;
            mi += 2;
            ++ti;
            continue;
        }
        if (m == QLatin1Char('%')) {
            while (mi < muster.size() && muster.at(mi) == QLatin1Char('%')) ++mi;
            if (mi == muster.size()) return true;
            for (int k = ti; k <= text.size(); ++k)
                if (Passt(muster, mi, text, k, escape)) return true;
            return false;
        }
        if (ti >= text.size()) return false;
        if (m != QLatin1Char('_') && QString(m).toCaseFolded() != QString(text.at(ti)).toCaseFolded()) return false;
        ++mi;
        ++ti;
    }
    return ti == text.size();
}

void LikeFunktion(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString muster = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    QChar escape;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const QString e = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[2])));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    sqlite3_result_int(ctx, Passt(muster, 0, text, 0, escape) ? 1 : 0);
}

int g_zaehler = 0;

Motorwahl& Wahl()
{
    static Motorwahl w;
    return w;
}

}  // namespace

Verbindung::Verbindung(QObject* parent) : QObject(parent)
{
    m_name = QStringLiteral("ADO_ordavo_%1").arg(++g_zaehler);
}

Verbindung::~Verbindung() { Schliessen(); }

void Verbindung::SetzeMotorwahl(Motorwahl wahl) { Wahl() = std::move(wahl); }

bool Verbindung::MotorGewaehlt() { return bool(Wahl()); }

void Verbindung::Oeffnen(const QString& datei)
{
    Schliessen();
    if (datei.isEmpty() && Wahl()) {
        m_motor = Wahl()();
        m_datei = m_motor->ort();
        return;
    }
    m_datei = datei.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("ordavo_tab.mdb"))
                              : QFileInfo(datei).absoluteFilePath();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (!db.isValid())
            throw Fehler(QStringLiteral("Der SQLite-Treiber für Qt fehlt (Paket libqt6sql6-sqlite)."));
        // mode=rw: a missing file is an error and never silently created.
        QUrl url = QUrl::fromLocalFile(m_datei);
        url.setScheme(QStringLiteral("file"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            const QSqlError e = db.lastError();
            QString engine = e.driverText();
            if (!e.databaseText().isEmpty()) engine += QStringLiteral(": ") + e.databaseText();
            engine += QStringLiteral(" (%1)").arg(m_datei);
            bool ok = false;
            int rc = e.nativeErrorCode().toInt(&ok);
            if (!ok) rc = SQLITE_CANTOPEN;
            const QString text = Datenbankmeldung(rc, engine, m_datei);
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw Fehler(text);
        }
        QVariant h = db.driver()->handle();
        m_db = h.isValid() ? *static_cast<sqlite3* const*>(h.data()) : nullptr;
    }
    if (!m_db) {
        Schliessen();
        throw Fehler(QStringLiteral("Die Datenbank %1 konnte nicht geöffnet werden.").arg(m_datei));
    }
    // Functions must be registered while no statement is active.
    sqlite3_create_function(m_db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &LikeFunktion, nullptr, nullptr);
    sqlite3_create_function(m_db, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &LikeFunktion, nullptr, nullptr);
    try {
        // Reading the schema here makes a file that is no database fail now.
        Ausfuehren(QStringLiteral("PRAGMA foreign_keys = ON"));
        Ausfuehren(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        SchemaAktualisieren(m_db);
    } catch (const Fehler& f) {
        Schliessen();
        throw Fehler(QStringLiteral("%1 (%2)").arg(f.text(), datei.isEmpty() ? m_datei : datei));
    }
}

void Verbindung::Schliessen()
{
    m_motor.reset();
    if (!QSqlDatabase::contains(m_name)) {
        m_db = nullptr;
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_db = nullptr;
}

sqlite3* Verbindung::Handle() const
{
    if (m_motor) throw Fehler(QStringLiteral("Diese Funktion steht nur mit der Datenbankdatei zur Verfügung, nicht mit dem Datenbankserver."));
    if (!m_db) throw Fehler(QStringLiteral("Keine Verbindung zur Datenbank."));
    return m_db;
}

QString Verbindung::Zeilenschluessel(const QString& tabelle) const
{
    return m_motor ? m_motor->zeilenschluessel(tabelle) : QStringLiteral("rowid");
}

void Verbindung::Ausfuehren(const QString& sql)
{
    if (m_motor) m_motor->ausfuehren(sql);
    else data::Ausfuehren(Handle(), sql);
}

QString Verbindung::LetzterFehler() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

}  // namespace data
