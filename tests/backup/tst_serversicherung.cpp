// The backup window with the database on the private PostgreSQL server of the
// test run: the archive holds pg_dump's SQL, which restores into an empty
// database as the README describes; a failing dump keeps the last archive.
#include "TestUmgebung.h"
#include "Zipinhalt.h"
#include "Testserver.h"
#include "backup/datensicherung1.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>


#include <memory>
#include <stdexcept>

namespace {

using test::ServerAngabe;
using test::Serverdatenbank;

// Every row of every table of the program (and the schema version), in key order.
QMap<QString, QList<QList<QVariant>>> Inhalt(const QString& angabe)
{
    server::PgVerbindung db(angabe);
    QMap<QString, QList<QList<QVariant>>> inhalt;
    const QStringList tabellen = server::Tabellen() << server::VersionsTabelle();
    for (const QString& t : tabellen)
        inhalt[t] = db.Abfrage(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t)).zeilen;
    return inhalt;
}

// The files a run may leave in the working folder besides its lock.
QStringList Reste(const QString& ordner)
{
    return QDir(ordner).entryList({QStringLiteral("Ordavo.sql.*"), QStringLiteral("Ordavo.zip.*")},
                                  QDir::Files | QDir::Hidden);
}

}  // namespace

class TestServersicherung : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sicherungLaesstSichZurueckspielen();
    void fehlschlagBehaeltAltesArchiv_data();
    void fehlschlagBehaeltAltesArchiv();

private:
    // Runs the backup in the window, as the program's settings name the
    // server, and notes the messages shown.
    void sichern(const QString& server, QStringList* meldungen);

    std::unique_ptr<test::Programmordner> m_ordner;
    std::unique_ptr<Serverdatenbank> m_db;
    QString m_ziel;
};

void TestServersicherung::init()
{
    m_ordner = std::make_unique<test::Programmordner>();
    m_ziel = m_ordner->datei(QStringLiteral("Sicherung"));
    QVERIFY(QDir().mkpath(m_ziel));
    m_db = std::make_unique<Serverdatenbank>();
    server::PgVerbindung db(m_db->angabe());
    server::SchemaAnlegen(db);
    // A few rows with what a dump must carry over: umlauts, quotes, line
    // breaks, NULL, dates, fractions of a cent and the cascade of items.
    db.Ausfuehren(QStringLiteral(
        "INSERT INTO t_adressen (id, adr_firma, adr_ort, adr_adresse) VALUES"
        " (1, 'Müller & Söhne', 'Köln', E'Hauptstraße 1\\nHinterhaus'), (2, 'O''Brien \"Irish\" Pub', NULL, ' ');"
        "INSERT INTO t_einheit (id, einheit) VALUES (1, 'Stück');"
        "INSERT INTO t_kategorie (id, kategorie) VALUES (1, 'Getränke');"
        "INSERT INTO t_artikel (id, artikel_bez, artikel_preis, artikel_mwst, artikel_einheit_id, artikel_kategorie_id)"
        " VALUES (1, 'Apfelsaft 1 l', 1.234567, 19, 1, 1);"
        "INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id, lief_datum) VALUES (1, 1001, 1, '2026-12-01');"
        "INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis)"
        " VALUES (1, 1, 1, 3, 1.234567), (2, 1, 1, 0.5, 2);"));
}

void TestServersicherung::cleanup()
{
    m_db.reset();
    m_ordner.reset();
}

void TestServersicherung::sichern(const QString& server, QStringList* meldungen)
{
    test::Schreibe(m_ordner->datei(QStringLiteral("Ordavo.ini")),
                   "[Datensicherung]\r\nZiel=" + m_ziel.toUtf8() + "/\r\n[Datenbank]\r\nServer=" + server.toUtf8()
                       + "\r\n");
    backup::Datensicherungspfade pfade = backup::Datensicherungspfade::Standard();
    pfade.arbeitsordner = m_ordner->datei(QStringLiteral("arbeit"));
    // As at every start: what a killed run left behind goes.
    QDir().mkpath(pfade.arbeitsordner);
    QFile::setPermissions(pfade.arbeitsordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    test::Schreibe(pfade.arbeitsordner + QStringLiteral("/Ordavo.sql.AbC123"), "--\n-- PostgreSQL database dump\n");
    backup::TForm_Datensicherung fenster(pfade);
    fenster.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenster));
    QCOMPARE(Reste(pfade.arbeitsordner), QStringList());
    // Every notice that comes up is noted and answered with "OK", however many
    // there are; the button returns when the backup and its notices are over.
    QTimer antworten;
    QPointer<QWidget> zuletzt;
    QObject::connect(&antworten, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == zuletzt) return;
        zuletzt = w;
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            *meldungen << QStringLiteral("<%1>").arg(w->objectName());
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            return;
        }
        *meldungen << box->text();
        test::Klicke(box, QStringLiteral("OK"));
    });
    antworten.start(20);
    test::Klicke(&fenster, QStringLiteral("BitBtn1"));
    QCOMPARE(Reste(pfade.arbeitsordner), QStringList());
}

void TestServersicherung::sicherungLaesstSichZurueckspielen()
{
    const QByteArray dateiVorher = test::Lies(m_ordner->datenbank());
    const QString archiv = m_ziel + QStringLiteral("/Ordavo.zip");

    QStringList meldungen;
    sichern(m_db->angabe(), &meldungen);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(meldungen, QStringList{QStringLiteral("Die Datensicherung war erfolgreich.\n\r\n\rDie Sicherung lautet: ")
                                    + m_ziel + QStringLiteral("/Ordavo.zip")});
    // The database file beside the program is not the one in use: untouched.
    QCOMPARE(test::Lies(m_ordner->datenbank()), dateiVorher);

    const QList<Eintrag> eintraege = Archiv(archiv);
    QCOMPARE(eintraege.size(), 1);
    QCOMPARE(eintraege[0].name, QStringLiteral("ordavo.sql"));
    QCOMPARE(eintraege[0].methode, ZIP_CM_DEFLATE);
    QVERIFY(eintraege[0].daten.contains("CREATE TABLE public.t_lieferschein_artikel"));
    QVERIFY(!eintraege[0].daten.contains("OWNER TO"));

    // Restored into an empty database exactly as the README says, it holds
    // the same rows, and its cascades still work.
    Serverdatenbank neu;
    QProcess psql;
    psql.start(QStringLiteral("bash"),
               {QStringLiteral("-c"),
                QStringLiteral("set -o pipefail; unzip -p \"$1\" ordavo.sql | psql -v ON_ERROR_STOP=1 --single-transaction -X -q "
                               "-d \"$2\""),
                QStringLiteral("zurueckspielen"), archiv, neu.angabe()});
    QVERIFY(psql.waitForFinished(60000));
    QVERIFY2(psql.exitCode() == 0, psql.readAllStandardError().constData());
    const auto vorher = Inhalt(m_db->angabe());
    QCOMPARE(vorher.value(QStringLiteral("t_lieferschein_artikel")).size(), 2);
    QCOMPARE(Inhalt(neu.angabe()), vorher);
    server::PgVerbindung db(neu.angabe());
    db.Ausfuehren(QStringLiteral("DELETE FROM t_lieferschein WHERE id = 1"));
    QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM t_lieferschein_artikel")).toLongLong(), 0);
}

void TestServersicherung::fehlschlagBehaeltAltesArchiv_data()
{
    // In `server`, %1 stands for the test database; a later key wins in libpq.
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("ohnePgDump");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Datenbank gibt es nicht")
        << QStringLiteral("%1 dbname=gibtsnicht") << false
        << QStringLiteral("Die Datenbank auf dem Server konnte nicht gesichert werden:\npg_dump: ");
    QTest::newRow("kein pg_dump") << QStringLiteral("%1") << true
                                  << QStringLiteral("Das Programm pg_dump wurde nicht gefunden.");
    QTest::newRow("Datenbank ohne Tabellen von Ordavo")
        << QStringLiteral("%1 dbname=postgres") << false
        << QStringLiteral("Die Datenbank postgres auf dem Server ist keine Datenbank von Ordavo: Ihr fehlen die "
                          "Tabellen t_adressen, ");
    QTest::newRow("Kennwort in Ordavo.ini")
        << QStringLiteral("%1 password=geheim") << false
        << QStringLiteral("Die Verbindungsangabe für den Datenbankserver enthält ein Kennwort.");
    QTest::newRow("unlesbare Angabe") << QStringLiteral("ordavo") << false
                                      << QStringLiteral("Die Verbindungsangabe für den Datenbankserver ist ungültig: ");
}

void TestServersicherung::fehlschlagBehaeltAltesArchiv()
{
    QFETCH(QString, server);
    QFETCH(bool, ohnePgDump);
    QFETCH(QString, meldung);
    const QString archiv = m_ziel + QStringLiteral("/Ordavo.zip");
    test::Schreibe(archiv, "PK\x03\x04 die letzte Sicherung");

    const QString angabe = server.contains(QStringLiteral("%1")) ? server.arg(m_db->angabe()) : server;
    const QByteArray pfadVorher = qgetenv("PATH");
    if (ohnePgDump) qputenv("PATH", m_ordner->datei(QStringLiteral("home")).toLocal8Bit());
    QStringList meldungen;
    sichern(angabe, &meldungen);
    qputenv("PATH", pfadVorher);
    if (QTest::currentTestFailed()) return;

    QCOMPARE(meldungen.size(), 1);
    QVERIFY2(meldungen[0].startsWith(meldung), qPrintable(meldungen[0]));
    // pg_dump's own reason names the database.
    if (server.contains(QStringLiteral("gibtsnicht")))
        QVERIFY2(meldungen[0].contains(QStringLiteral("gibtsnicht")), qPrintable(meldungen[0]));
    QVERIFY2(meldungen[0].endsWith(QStringLiteral("Es wurde nichts gesichert; die letzte Sicherung bleibt erhalten.")),
             qPrintable(meldungen[0]));
    QCOMPARE(test::Lies(archiv), QByteArray("PK\x03\x04 die letzte Sicherung"));
    QCOMPARE(QDir(m_ziel).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Ordavo.zip")});
}

QTEST_MAIN(TestServersicherung)
#include "tst_serversicherung.moc"
