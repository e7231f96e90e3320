// Taking a whole database over onto the server: a file of this program as
// it is, a Jet file of the Windows version through a temporary file of this
// program. The server's side (schema, one transaction, the checks there)
// lies in server/Uebertragen.
#include "import/Uebernahme.h"

#include "data/Fehler.h"
#include "data/Schemaversion.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"
#include "server/Uebertragen.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace uebernahme {

namespace {

const QString kFertig = QStringLiteral("Die Daten wurden vollständig übernommen.");

QString InAnfuehrung(const QString& s) { return QStringLiteral("„%1“").arg(s); }

void ProtokollNeben(const QString& pfad, const QString& text)
{
    QSaveFile f(QFileInfo(pfad).absoluteDir().filePath(ProtokollName()));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(text.toUtf8());
        f.commit();
    }
}

bool IstSqliteDatei(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3", 16);
}

// A database file of the program, opened read-write; closed on leaving.
class Sqlite {
public:
    explicit Sqlite(const QString& pfad, int flags = SQLITE_OPEN_READWRITE)
    {
        if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
            const QString text = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "");
            sqlite3_close(m_db);
            m_db = nullptr;
            throw data::Fehler(QStringLiteral("Die Datei %1 lässt sich nicht öffnen: %2").arg(pfad, text));
        }
        sqlite3_busy_timeout(m_db, 10000);
    }
    ~Sqlite() { sqlite3_close(m_db); }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;
    sqlite3* db() const { return m_db; }

    QList<QStringList> Zeilen(const QString& sql, const QString& wert = QString())
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(m_db)));
        const QByteArray w = wert.toUtf8();
        if (!wert.isNull()) sqlite3_bind_text(st, 1, w.constData(), int(w.size()), SQLITE_TRANSIENT);
        QList<QStringList> out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList z;
            for (int k = 0; k < sqlite3_column_count(st); ++k)
                z << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, k)));
            out << z;
        }
        const QString fehler = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(st);
        if (!fehler.isEmpty()) throw data::Fehler(fehler);
        return out;
    }

private:
    sqlite3* m_db = nullptr;
};

// What the server cannot take: a file without the program's tables, or rows
// that point to a row that is missing (the file tolerates them, the
// server's foreign keys do not).
void QuellePruefen(Sqlite& db, const QString& name)
{
    QStringList vorhanden;
    for (const QStringList& z : db.Zeilen(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'"))) vorhanden << z.at(0);
    QStringList fehlend;
    for (const QString& t : server::Tabellen())
        if (!vorhanden.contains(t)) fehlend << t;
    if (!fehlend.isEmpty())
        throw data::Fehler(QStringLiteral("%1 ist keine Datenbank von Ordavo (es fehlen die Tabellen %2). Es wird nichts übernommen.")
                               .arg(name, fehlend.join(QStringLiteral(", "))));
    // The file lets a delivery note number occur twice, the server does not.
    const auto doppelt = db.Zeilen(QStringLiteral(
        "SELECT lief_nr, group_concat(id, ', ') FROM (SELECT lief_nr, id FROM t_lieferschein ORDER BY id) "
        "WHERE lief_nr IS NOT NULL GROUP BY lief_nr HAVING count(*) > 1 ORDER BY lief_nr"));
    if (!doppelt.isEmpty()) {
        QStringList nummern;
        for (const QStringList& z : doppelt.mid(0, 10)) nummern << QStringLiteral("Nr. %1 (id %2)").arg(z.at(0), z.at(1));
        if (doppelt.size() > 10) nummern << QStringLiteral("und %1 weitere").arg(doppelt.size() - 10);
        throw data::Fehler(QStringLiteral("%1 enthält Lieferscheinnummern mehrfach: %2. Auf dem Server ist jede Nummer nur "
                                          "einmal möglich; bitte die Nummern vorher ändern. Es wird nichts übernommen.")
                               .arg(name, nummern.join(QStringLiteral(", "))));
    }
    const auto verwaist = db.Zeilen(QStringLiteral("PRAGMA foreign_key_check"));
    if (!verwaist.isEmpty()) {
        QStringList zeilen;
        for (const QStringList& z : verwaist.mid(0, 10))
            zeilen << QStringLiteral("%1 id %2 verweist auf eine fehlende Zeile in %3").arg(z.at(0), z.at(1), z.at(2));
        if (verwaist.size() > 10) zeilen << QStringLiteral("und %1 weitere").arg(verwaist.size() - 10);
        throw data::Fehler(QStringLiteral("%1 enthält %2 Zeilen, die auf fehlende Zeilen verweisen; der Server nimmt sie "
                                          "nicht an (%3). Es wird nichts übernommen.")
                               .arg(name).arg(verwaist.size()).arg(zeilen.join(QStringLiteral("; "))));
    }
}

// The server's part and the protocol's lines about it.
QString AufServer(sqlite3* db, server::PgVerbindung& ziel, bool* begonnen)
{
    const server::Uebertragung u = server::InLeereDatenbankUebertragen(db, ziel, begonnen);
    QStringList out;
    out << QStringLiteral("Ziel: Datenbank %1 auf dem Server (%2)")
               .arg(InAnfuehrung(u.datenbank), u.schemaAngelegt ? QStringLiteral("Tabellen neu angelegt")
                                                          : QStringLiteral("vorhandene, leere Tabellen"))
        << QString() << QStringLiteral("Zeilen auf dem Server:");
    for (const auto& v : u.zeilen) out << QStringLiteral("  %1: %2 Zeilen in der Datei, %3 auf dem Server").arg(v.was).arg(v.datei).arg(v.server);
    out << QString() << QStringLiteral("Geldsummen auf dem Server:");
    for (const auto& v : u.summen)
        out << QStringLiteral("  %1: %2 in der Datei, %3 auf dem Server")
                   .arg(v.was, QString::number(v.datei / 10000.0, 'f', 4), QString::number(v.server / 10000.0, 'f', 4));
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString Kopf(const QString& beschreibung)
{
    return QStringLiteral("Datenübernahme aus %1\nZeitpunkt: %2\n\n")
        .arg(beschreibung, QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

QString Misslungen(const QString& text) { return QStringLiteral("\nDie Daten wurden NICHT übernommen: %1\n").arg(text); }

// A copy of the program's file in `ordner`, brought to the current schema.
// VACUUM INTO reads one consistent state even while the program has the
// file open, and leaves the file as it is.
QString Abzug(const QString& pfad, const QString& ordner)
{
    const QString kopie = QDir(ordner).filePath(QStringLiteral("kopie.mdb"));
    {
        Sqlite quelle(pfad, SQLITE_OPEN_READONLY);
        quelle.Zeilen(QStringLiteral("VACUUM INTO ?"), kopie);
    }
    Sqlite db(kopie);
    data::SchemaAktualisieren(db.db());
    return kopie;
}

}  // namespace

Ergebnis UebernehmenAufServer(const QString& pfad, const QString& verbindung)
{
    server::VerbindungsangabePruefen(verbindung);
    if (!QFileInfo(pfad).isFile()) throw data::Fehler(QStringLiteral("Die Datei %1 gibt es nicht.").arg(pfad));
    if (IstJetDatei(pfad)) {
        const auto quelle = JetQuelleOeffnen(pfad);
        return UebernehmenAufServer(*quelle, verbindung, pfad);
    }
    if (!IstSqliteDatei(pfad))
        throw data::Fehler(QStringLiteral("Die Datei %1 ist weder eine Datenbank von Ordavo noch eine Jet-Datei der "
                                          "Windows-Fassung. Es wird nichts übernommen.").arg(pfad));
    server::PgVerbindung ziel(verbindung);  // a wrong server shows before the file is read
    QTemporaryDir ordner;
    if (!ordner.isValid()) throw data::Fehler(QStringLiteral("Kein temporärer Ordner für die Übernahme verfügbar."));
    const QString name = QStringLiteral("Die Datei %1").arg(pfad);
    QString kopie;
    try {
        kopie = Abzug(pfad, ordner.path());
    } catch (const data::Fehler& f) {
        throw data::Fehler(QStringLiteral("%1 lässt sich nicht lesen: %2").arg(name, f.text()));
    }
    Sqlite db(kopie);
    QuellePruefen(db, name);
    const QString kopf = Kopf(QStringLiteral("%1 (Datenbank von Ordavo, Schemaversion %2)")
                                  .arg(QFileInfo(pfad).absoluteFilePath())
                                  .arg(server::SchemaVersion()));
    bool begonnen = false;
    Ergebnis e;
    try {
        e.protokoll = kopf + AufServer(db.db(), ziel, &begonnen) + QLatin1Char('\n') + kFertig + QLatin1Char('\n');
    } catch (const data::Fehler& f) {
        if (begonnen) ProtokollNeben(pfad, kopf + Misslungen(f.text()));
        throw;
    }
    ProtokollNeben(pfad, e.protokoll);
    return e;
}

Ergebnis UebernehmenAufServer(const Zeilenquelle& quelle, const QString& verbindung, const QString& protokollNeben)
{
    server::PgVerbindung ziel(verbindung);  // a wrong server shows before the file is read
    QTemporaryDir ordner;
    if (!ordner.isValid()) throw data::Fehler(QStringLiteral("Kein temporärer Ordner für die Übernahme verfügbar."));
    const QString temp = QDir(ordner.path()).filePath(QStringLiteral("uebernahme.mdb"));
    QString bisher;
    Ergebnis e;
    try {
        e = DatenbankAufbauen(quelle, temp, &bisher);
    } catch (const data::Fehler&) {
        if (!bisher.isEmpty()) ProtokollNeben(protokollNeben, bisher);
        throw;
    }
    // The first step's closing line waits until the server holds the data.
    QString jet = e.protokoll;
    if (jet.endsWith(kFertig + QLatin1Char('\n'))) jet.chop(kFertig.size() + 1);
    Sqlite db(temp);
    try {
        QuellePruefen(db, QStringLiteral("Die übernommene Datenbank"));
    } catch (const data::Fehler& f) {
        ProtokollNeben(protokollNeben, jet + Misslungen(f.text()));
        throw;
    }
    bool begonnen = false;
    try {
        e.protokoll = jet + AufServer(db.db(), ziel, &begonnen) + QLatin1Char('\n') + kFertig + QLatin1Char('\n');
    } catch (const data::Fehler& f) {
        // Refusals of the server's database leave an earlier protocol in place.
        if (begonnen) ProtokollNeben(protokollNeben, jet + Misslungen(f.text()));
        throw;
    }
    ProtokollNeben(protokollNeben, e.protokoll);
    return e;
}

}  // namespace uebernahme
