// Opening the program's connection on the database server: what the user
// reads when it cannot be opened, and table datasets on tables without a
// numeric key (the PLU table, the single row of the master data).
#include "TestUmgebung.h"
#include "Testserver.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "server/PgMotor.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

using test::ServerAngabe;
using test::Serverdatenbank;

QString Oeffnen(const QString& angabe)
{
    server::ServerWaehlen(angabe);
    data::Verbindung v;
    try {
        v.Oeffnen();
    } catch (const data::Fehler& f) {
        server::ServerWaehlen(QString());
        return f.text();
    }
    server::ServerWaehlen(QString());
    return QString();
}

}  // namespace

class TestServerstart : public QObject {
    Q_OBJECT

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        server::ServerWaehlen(QString());
        m_ordner.reset();
    }

    void meldungBeimOeffnen_data()
    {
        QTest::addColumn<QString>("angabe");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Server nicht erreichbar") << QStringLiteral("host=/tmp/kein-server-hier user=postgres dbname=x")
                                                 << QStringLiteral("Der Datenbankserver ist nicht erreichbar.");
        QTest::newRow("Datenbank fehlt") << ServerAngabe() + QStringLiteral(" dbname=gibt_es_nicht")
                                         << QStringLiteral("Die Datenbank oder der Benutzer ist auf dem Datenbankserver nicht vorhanden.");
        QTest::newRow("Kennwort in der Angabe") << ServerAngabe() + QStringLiteral(" password=geheim")
                                                << QStringLiteral("Die Verbindungsangabe für den Datenbankserver enthält ein Kennwort.");
        QTest::newRow("ungültige Angabe") << QStringLiteral("host=")
                                          + QStringLiteral("x dbname")
                                          << QStringLiteral("Die Verbindungsangabe für den Datenbankserver ist ungültig");
    }
    // The message says what is wrong in German; the program then ends as for a file it cannot open.
    void meldungBeimOeffnen()
    {
        QFETCH(QString, angabe);
        QFETCH(QString, meldung);
        const QString text = Oeffnen(angabe);
        QVERIFY2(text.startsWith(meldung), qPrintable(text));
    }

    void datenbankOhneTabellen()
    {
        Serverdatenbank leer(false);
        const QString text = Oeffnen(leer.angabe());
        QVERIFY2(text.contains(QStringLiteral("enthält keine Ordavo-Tabellen")) && text.contains(QLatin1String("leere_datenbank --server")),
                 qPrintable(text));

        Serverdatenbank neuer(true);
        server::PgVerbindung(neuer.angabe()).Ausfuehren(QStringLiteral("UPDATE t_schemaversion SET version = 99"));
        const QString zuNeu = Oeffnen(neuer.angabe());
        QVERIFY2(zuNeu.contains(QLatin1String("neueren Ordavo-Version")), qPrintable(zuNeu));
    }

    // Rows are named by their unique column where the table has one
    // (the PLU code), by the row's address otherwise (the master data); a
    // row edited twice in a row stays found.
    void tabellenOhneId()
    {
        Serverdatenbank sdb(true);
        server::PgVerbindung db(sdb.angabe());
        db.Ausfuehren(QStringLiteral("INSERT INTO t_einheit (id, einheit) VALUES (1, 'Stk');"
                                     "INSERT INTO t_artikel (id, artikel_nr, artikel_einheit_id) VALUES (1, 10, 1), (2, 20, 1);"
                                     "INSERT INTO t_plu VALUES (431, 1), (432, 2);"
                                     "INSERT INTO t_stammdaten (stammd_firma) VALUES ('Alt')"));
        server::ServerWaehlen(sdb.angabe());
        data::Verbindung v;
        v.Oeffnen();

        data::Dataset plu(&v, QStringLiteral("plu"), data::Dataset::Art::Tabelle);
        plu.setTableName(QStringLiteral("t_PLU"));
        plu.setUpdateTable(QStringLiteral("t_PLU"));
        plu.Open();
        QCOMPARE(plu.RecordCount(), 2);
        QVERIFY(plu.Locate(QStringLiteral("PLU"), 431));
        plu.Edit();
        plu.FieldByName(QStringLiteral("PLU")).setValue(500);
        plu.Post();
        plu.Edit();
        plu.FieldByName(QStringLiteral("Artikel_id")).setValue(2);
        plu.Post();
        QVERIFY(plu.Locate(QStringLiteral("PLU"), 432));
        plu.Edit();
        plu.FieldByName(QStringLiteral("PLU")).setValue(500);
        try {
            plu.Post();
            QFAIL("Ein doppelter PLU-Code wurde gespeichert.");
        } catch (const data::Fehler& f) {
            QVERIFY2(f.text().startsWith(QLatin1String("Der PLU-Code 500 ist schon vergeben.")), qPrintable(f.text()));
        }
        plu.Cancel();
        plu.Delete();
        QCOMPARE(db.Abfrage(QStringLiteral("SELECT plu, artikel_id FROM t_plu ORDER BY plu")).zeilen,
                 (QList<QList<QVariant>>{{qint64(500), qint64(2)}}));

        data::Dataset stamm(&v, QStringLiteral("stamm"), data::Dataset::Art::Tabelle);
        stamm.setTableName(QStringLiteral("t_stammdaten"));
        stamm.setUpdateTable(QStringLiteral("t_stammdaten"));
        stamm.Open();
        for (const char* firma : {"Erste", "Zweite"}) {
            stamm.Edit();
            stamm.FieldByName(QStringLiteral("stammd_firma")).setValue(QString::fromLatin1(firma));
            stamm.Post();
        }
        QCOMPARE(db.Wert(QStringLiteral("SELECT string_agg(stammd_firma, ',') FROM t_stammdaten")).toString(), QStringLiteral("Zweite"));

        // A row stored without a key gets the next one, as in the file.
        data::Dataset einheit(&v, QStringLiteral("einheit"), data::Dataset::Art::Tabelle);
        einheit.setTableName(QStringLiteral("t_einheit"));
        einheit.setUpdateTable(QStringLiteral("t_einheit"));
        einheit.Open();
        einheit.Insert();
        einheit.FieldByName(QStringLiteral("einheit")).setValue(QStringLiteral("kg"));
        einheit.Post();
        QCOMPARE(einheit.FieldByName(QStringLiteral("id")).asInteger(), qint64(2));
        QCOMPARE(db.Wert(QStringLiteral("SELECT einheit FROM t_einheit WHERE id = 2")).toString(), QStringLiteral("kg"));
    }

private:
    std::unique_ptr<test::Programmordner> m_ordner;
};

QTEST_MAIN(TestServerstart)
#include "tst_serverstart.moc"
