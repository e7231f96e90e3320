// Compaction of the database: nothing is lost, a bad copy never replaces the
// database, and a database another program still has open is left alone.
#include "backup/backend_komprimieren.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

bool Ausfuehren(sqlite3* db, const char* sql)
{
    char* fehler = nullptr;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &fehler) == SQLITE_OK;
    if (!ok) qWarning("%s: %s", sql, fehler);
    sqlite3_free(fehler);
    return ok;
}

// A small database with deleted rows, so there is free space to reclaim.
bool ErzeugeDatenbank(const QString& pfad, const char* journal = "DELETE")
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(pfad).constData(), &db) == SQLITE_OK
              && Ausfuehren(db, QByteArray("PRAGMA journal_mode=").append(journal).constData())
              && Ausfuehren(db,
                            "CREATE TABLE t_adressen (id INTEGER PRIMARY KEY, adr_name TEXT NOT NULL) STRICT;"
                            "CREATE TABLE t_artikel (id INTEGER PRIMARY KEY, artikel_bezeichnung TEXT,"
                            " artikel_preis REAL CHECK (artikel_preis >= 0)) STRICT;"
                            "CREATE INDEX i_artikel ON t_artikel (artikel_bezeichnung);"
                            "CREATE TABLE t_einheit (id INTEGER PRIMARY KEY, einheit TEXT) STRICT;"
                            "CREATE TABLE t_kategorie (id INTEGER PRIMARY KEY, kategorie TEXT) STRICT;"
                            "CREATE TABLE t_lieferschein (id INTEGER PRIMARY KEY) STRICT;"
                            "CREATE TABLE t_lieferschein_artikel (id INTEGER PRIMARY KEY) STRICT;"
                            "CREATE TABLE t_stammdaten (id INTEGER PRIMARY KEY) STRICT;"
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                            " INSERT INTO t_artikel SELECT i, printf('Artikel %05d ', i) || hex(randomblob(100)),"
                            " i * 0.5 FROM n;"
                            "INSERT INTO t_adressen VALUES (1, 'Müller'), (2, 'Özdemir');"
                            "DELETE FROM t_artikel WHERE id % 2 = 0;");
    sqlite3_close(db);
    return ok;
}

qint64 Zeilen(const QString& pfad, const char* tabelle)
{
    sqlite3* db = nullptr;
    qint64 n = -1;
    if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, QByteArray("SELECT count(*) FROM ").append(tabelle).constData(), -1, &st,
                               nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

QString Wert(const QString& pfad, const char* sql)
{
    sqlite3* db = nullptr;
    QString w;
    if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            w = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return w;
}

QByteArray Hash(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Another program holding the database open, as the closing main program does.
class HaeltOffen {
public:
    HaeltOffen(const QString& pfad, int sekunden)
    {
        m_prozess.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; echo offen; exec sleep %1").arg(sekunden),
                         pfad});
        m_bereit = m_prozess.waitForReadyRead(5000);
    }
    ~HaeltOffen()
    {
        m_prozess.kill();
        m_prozess.waitForFinished();
    }
    bool bereit() const { return m_bereit; }

private:
    QProcess m_prozess;
    bool m_bereit = false;
};

}  // namespace

class TestKomprimieren : public QObject {
    Q_OBJECT

private slots:
    void init();
    void komprimiertOhneDatenverlust_data();
    void komprimiertOhneDatenverlust();
    void fehlerhafteDatenbankErsetztNichts();
    void fehlendeDatenbank();
    void offeneDatenbankWirdNichtErsetzt();
    void wartetAufDasEndeDesAnderenProgramms();

private:
    std::unique_ptr<QTemporaryDir> m_ordner;
    QString m_db;
    QString m_temp;
};

void TestKomprimieren::init()
{
    m_ordner = std::make_unique<QTemporaryDir>();
    m_db = m_ordner->filePath(QStringLiteral("ordavo_tab.mdb"));
    m_temp = m_ordner->filePath(QStringLiteral("ordavo_tab.$$$"));
}

void TestKomprimieren::komprimiertOhneDatenverlust_data()
{
    QTest::addColumn<QByteArray>("journal");
    QTest::newRow("Rollback-Journal") << QByteArray("DELETE");
    // A write-ahead log belongs to the old file and must not survive it.
    QTest::newRow("Write-ahead log") << QByteArray("WAL");
}

void TestKomprimieren::komprimiertOhneDatenverlust()
{
    QFETCH(QByteArray, journal);
    QVERIFY(ErzeugeDatenbank(m_db, journal.constData()));
    {
        QFile rest(m_temp);  // left over from an interrupted run
        QVERIFY(rest.open(QIODevice::WriteOnly));
        rest.write("Rest");
    }
    QFile::setPermissions(m_db, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    const qint64 groesseVorher = QFileInfo(m_db).size();

    QString fehler;
    QVERIFY2(backup::DatenbankKomprimieren(m_db, &fehler), qPrintable(fehler));

    QVERIFY(QFileInfo(m_db).size() < groesseVorher);
    QCOMPARE(Zeilen(m_db, "t_artikel"), 1000);
    QCOMPARE(Wert(m_db, "SELECT adr_name FROM t_adressen WHERE id = 2"), QStringLiteral("Özdemir"));
    QCOMPARE(Wert(m_db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(Wert(m_db, "PRAGMA journal_mode"), QStringLiteral("delete"));
    QVERIFY(Zeilen(m_db, "sqlite_stat1") > 0);  // the planner has statistics
    // The copy keeps the permissions the database had.
    QVERIFY(QFile::permissions(m_db) & QFile::WriteGroup);
    QVERIFY(!(QFile::permissions(m_db) & QFile::ReadOther));
    QCOMPARE(QDir(m_ordner->path()).entryList(QDir::Files), QStringList{QStringLiteral("ordavo_tab.mdb")});
}

void TestKomprimieren::fehlerhafteDatenbankErsetztNichts()
{
    // A price that breaks its CHECK constraint: the check of the database finds it.
    QVERIFY(ErzeugeDatenbank(m_db));
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(m_db).constData(), &db), SQLITE_OK);
    QVERIFY(Ausfuehren(db, "PRAGMA ignore_check_constraints = ON;"
                           "INSERT INTO t_artikel VALUES (5000, 'kaputt', -1);"));
    sqlite3_close(db);
    const QByteArray vorher = Hash(m_db);

    QString fehler;
    QVERIFY(!backup::DatenbankKomprimieren(m_db, &fehler));
    QVERIFY2(fehler.startsWith(QStringLiteral("Die Datenbank %1 ist beschädigt:").arg(m_db)), qPrintable(fehler));
    QVERIFY2(fehler.contains(QStringLiteral("CHECK constraint failed")), qPrintable(fehler));
    QCOMPARE(Hash(m_db), vorher);
    QVERIFY(!QFile::exists(m_temp));
}

void TestKomprimieren::fehlendeDatenbank()
{
    QString fehler;
    QVERIFY(!backup::DatenbankKomprimieren(m_db, &fehler));
    QCOMPARE(fehler, QStringLiteral("Die Datenbank %1 wurde nicht gefunden.").arg(m_db));
    QVERIFY(QDir(m_ordner->path()).isEmpty());
}

void TestKomprimieren::offeneDatenbankWirdNichtErsetzt()
{
    QVERIFY(ErzeugeDatenbank(m_db));
    const QByteArray vorher = Hash(m_db);
    HaeltOffen anderer(m_db, 30);
    QVERIFY(anderer.bereit());

    QString fehler;
    QVERIFY(!backup::DatenbankKomprimieren(m_db, &fehler, 500));
    QCOMPARE(fehler, QStringLiteral("Die Datenbank %1 wird noch von einem anderen Programm benutzt.\n\n"
                                    "Bitte beenden Sie Ordavo und klicken Sie dann erneut auf \"Jetzt sichern\".")
                         .arg(m_db));
    QCOMPARE(Hash(m_db), vorher);
    QVERIFY(!QFile::exists(m_temp));
}

void TestKomprimieren::wartetAufDasEndeDesAnderenProgramms()
{
    QVERIFY(ErzeugeDatenbank(m_db));
    const qint64 groesseVorher = QFileInfo(m_db).size();
    HaeltOffen anderer(m_db, 1);
    QVERIFY(anderer.bereit());

    QString fehler;
    QVERIFY2(backup::DatenbankKomprimieren(m_db, &fehler, 10000), qPrintable(fehler));
    QVERIFY(QFileInfo(m_db).size() < groesseVorher);
    QCOMPARE(Zeilen(m_db, "t_artikel"), 1000);
}

QTEST_GUILESS_MAIN(TestKomprimieren)
#include "tst_komprimieren.moc"
