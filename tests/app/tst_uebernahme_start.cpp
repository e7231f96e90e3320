// Start-up with a database of the Windows version: the question, the
// taking-over on OK with the original kept, the end on Abbrechen, and a
// failure that leaves the file as it was.
#include "TestUmgebung.h"

#include "app/Datenuebernahme.h"
#include "app/Erzeugung.h"
#include "app/Programmfenster.h"
#include "app/ordavo.h"
#include "import/Zeilenquelle.h"
#include "ui/Anwendung.h"

#include <QTimer>
#include <QtTest/QtTest>

using uebernahme::Jetart;

namespace {

using test::Lies;
using test::Schreibe;

const QString kFrage = QStringLiteral("Diese Datenbank stammt aus der Windows-Fassung von Ordavo. Sollen die Daten jetzt übernommen werden?");

QString Jet(const QString& name) { return QStringLiteral("%1/../shared/jet/%2").arg(qEnvironmentVariable("ORDAVO_SOURCE_DIR"), name); }

QStringList Dateien(const test::Programmordner& o) { return QDir(o.pfad()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

// No file with the program's tables can be written in the Jet format here, so
// the Jet file on disk is a real one and its rows come from memory.
std::unique_ptr<uebernahme::Zeilenquelle> Windowsdaten(const QString&)
{
    auto q = std::make_unique<uebernahme::Speicherquelle>();
    q->Tabelle("T_Adressen", {{"ID", "Long Integer", Jetart::Ganzzahl}, {"adr_Firma", "Text", Jetart::Text}, {"adr_kunde", "Boolean", Jetart::JaNein}},
               {{1LL, QStringLiteral("Bäckerei Groß"), true}});
    q->Tabelle("t_stammdaten", {{"stammd_firma", "Text", Jetart::Text}}, {{QStringLiteral("Eigene Firma")}});
    return q;
}

}  // namespace

class TstUebernahmeStart : public QObject {
    Q_OBJECT

private slots:
    void okUebernimmtUndBehaeltOriginal()
    {
        test::Programmordner ordner(false);
        const QByteArray jet = Lies(Jet("DateTestDatabase.mdb"));
        Schreibe(ordner.datenbank(), jet);
        Schreibe(ordner.datei("ordavo_tab_windows.mdb"), "frühere Sicherung");  // never overwritten
        test::AntworteMeldung("OK");
        test::AntworteMeldung("OK");
        QVERIFY(app::WindowsDatenbankUebernehmen(ordner.datenbank(), Windowsdaten));
        const QStringList m = test::Meldungen();
        QCOMPARE(m.size(), 2);
        QCOMPARE(m.at(0), kFrage);
        QVERIFY2(m.at(1).startsWith("Die Daten wurden übernommen. Die Datei der Windows-Fassung liegt unverändert unter ordavo_tab_windows_2.mdb."), qPrintable(m.at(1)));

        QCOMPARE(Dateien(ordner), QStringList({"datenuebernahme.txt", "ordavo_tab.mdb", "ordavo_tab_windows.mdb", "ordavo_tab_windows_2.mdb"}));
        QCOMPARE(Lies(ordner.datei("ordavo_tab_windows_2.mdb")), jet);
        QCOMPARE(Lies(ordner.datei("ordavo_tab_windows.mdb")), QByteArray("frühere Sicherung"));
        QVERIFY(Lies(ordner.datenbank()).startsWith("SQLite format 3"));
        QCOMPARE(test::Wert("SELECT adr_firma FROM t_adressen WHERE id = 1 AND adr_kunde = -1"), QVariant("Bäckerei Groß"));

        // The start goes on with the new database: the main window opens.
        test::ProgrammErzeugen();
        QVERIFY(Programm().Ordavo);
        Programm().Ordavo->show();
        QVERIFY(QTest::qWaitForWindowExposed(Programm().Ordavo));
        // Past the reminder's one tick: master data are there, so no box.
        auto* timer = Programm().Ordavo->findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer);
        QTRY_VERIFY(!timer->isActive());
        QCOMPARE(test::Meldungen(), QStringList());
        test::ProgrammBeenden();
    }

    void abbrechenLaesstAllesStehen()
    {
        test::Programmordner ordner(false);
        const QByteArray jet = Lies(Jet("DateTestDatabase.mdb"));
        Schreibe(ordner.datenbank(), jet);
        test::AntworteMeldung("Abbrechen");
        QVERIFY(!app::WindowsDatenbankUebernehmen(ordner.datenbank(), Windowsdaten));
        QCOMPARE(test::Meldungen(), QStringList({kFrage}));
        QCOMPARE(Dateien(ordner), QStringList({"ordavo_tab.mdb"}));
        QCOMPARE(Lies(ordner.datenbank()), jet);
    }

    // Read through the library for real: a file without the program's tables
    // and a cut-off file both fail, and the file stays as it was.
    void fehlschlagLaesstDateiStehen_data()
    {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("grund");
        QTest::newRow("keine Tabellen von Ordavo") << "nwind.mdb" << -1 << "keine Tabelle von Ordavo";
        QTest::newRow("abgeschnitten") << "DateTestDatabase.mdb" << 8192 << "lässt sich nicht als Access-Datenbank lesen";
        QTest::newRow("abgeschnitten im Katalog") << "DateTestDatabase.mdb" << 65536 << "keine Tabelle von Ordavo";
    }
    void fehlschlagLaesstDateiStehen()
    {
        QFETCH(QString, datei);
        QFETCH(int, bytes);
        QFETCH(QString, grund);
        test::Programmordner ordner(false);
        const QByteArray ganz = Lies(Jet(datei));
        const QByteArray jet = bytes < 0 ? ganz : ganz.left(bytes);
        Schreibe(ordner.datenbank(), jet);
        test::AntworteMeldung("OK");
        test::AntworteMeldung("OK");
        QVERIFY(!app::WindowsDatenbankUebernehmen(ordner.datenbank()));
        const QStringList m = test::Meldungen();
        QCOMPARE(m.size(), 2);
        QVERIFY2(m.at(1).startsWith("Die Daten konnten nicht übernommen werden.") && m.at(1).contains(grund)
                     && m.at(1).endsWith("Die Datei ordavo_tab.mdb bleibt unverändert."),
                 qPrintable(m.at(1)));
        QCOMPARE(Dateien(ordner), QStringList({"ordavo_tab.mdb"}));
        QCOMPARE(Lies(ordner.datenbank()), jet);
    }

    void eigeneDatenbankOhneFrage()
    {
        test::Programmordner ordner;
        QVERIFY(app::WindowsDatenbankUebernehmen(ordner.datenbank(), Windowsdaten));
        QCOMPARE(test::Meldungen(), QStringList());
    }
};

QTEST_MAIN(TstUebernahmeStart)
#include "tst_uebernahme_start.moc"
