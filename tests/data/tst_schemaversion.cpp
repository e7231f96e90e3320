// The schema's version: a database of the previous version gets the new
// tables on opening and keeps every row; one of a newer program is refused;
// the empty database is the newest version with the original tables as they are.
#include "TestUmgebung.h"

#include "data/Fehler.h"
#include "data/Schema.h"
#include "data/Schemaversion.h"
#include "data/Verbindung.h"

#include <QtTest/QtTest>

namespace {

const QStringList kNeu{"t_erechnung_einheit", "t_erechnung_firma", "t_erechnung_kunde"};

QStringList Tabellen()
{
    QStringList t;
    for (const auto& z : test::Zeilen("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                                      "ORDER BY name"))
        t << z.value(0).toString();
    return t;
}

// Every row of the original tables, and their definitions.
QList<QList<QVariant>> Inhalt()
{
    QList<QList<QVariant>> alles;
    for (const QString& t : Tabellen())
        if (!kNeu.contains(t)) alles << test::Zeilen(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t));
    alles << test::Zeilen("SELECT type, name, sql FROM sqlite_master WHERE name NOT LIKE 't_erechnung%' ORDER BY name");
    return alles;
}

}  // namespace

class TstSchemaversion : public QObject {
    Q_OBJECT
private slots:
    void leereDatenbankIstNeuesteVersion()
    {
        test::Programmordner ordner;
        QCOMPARE(test::Wert("PRAGMA user_version").toInt(), data::kSchemaversion);
        for (const QString& t : kNeu) QVERIFY(Tabellen().contains(t));
        // The original tables exactly as their definition states.
        for (const QString& anweisung : data::SchemaAnweisungen()) {
            const QString name = anweisung.section(QLatin1Char(' '), 2, 2);
            QCOMPARE(test::Wert("SELECT sql FROM sqlite_master WHERE name = ?", {name}).toString(), anweisung);
        }
    }

    void aeltereDatenbankWirdErgaenzt()
    {
        test::Programmordner ordner;
        for (const QString& t : kNeu) test::Sql(QStringLiteral("DROP TABLE %1").arg(t));
        test::Sql("PRAGMA user_version = 0");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_kunde) VALUES (1, 'Alpha', -1), (2, 'Beta', 0)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (5, 7, '2024-01-02', 1)");
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        const auto vorher = Inhalt();

        data::Verbindung v;
        v.Oeffnen(ordner.datenbank());
        v.Schliessen();
        QCOMPARE(test::Wert("PRAGMA user_version").toInt(), data::kSchemaversion);
        for (const QString& t : kNeu) QVERIFY(Tabellen().contains(t));
        QCOMPARE(Inhalt(), vorher);

        // Opening again changes nothing more; the new tables take rows.
        v.Oeffnen(ordner.datenbank());
        v.Ausfuehren(QStringLiteral("INSERT INTO t_erechnung_kunde VALUES (1, 'AT', 'X')"));
        v.Schliessen();
        QCOMPARE(Inhalt(), vorher);
        // Deleting the customer takes its additions with it.
        test::Sql("DELETE FROM t_adressen WHERE id = 1");
        QCOMPARE(test::Wert("SELECT count(*) FROM t_erechnung_kunde").toInt(), 0);
    }

    void neuereDatenbankWirdAbgelehnt()
    {
        test::Programmordner ordner;
        test::Sql("PRAGMA user_version = 7");
        data::Verbindung v;
        QString meldung;
        try {
            v.Oeffnen(ordner.datenbank());
        } catch (const data::Fehler& f) {
            meldung = f.text();
        }
        QVERIFY2(meldung.contains(QStringLiteral("neueren Version von Ordavo")), qPrintable(meldung));
        QVERIFY(!v.Verbunden());
        QCOMPARE(test::Wert("PRAGMA user_version").toInt(), 7);
    }
};

QTEST_MAIN(TstSchemaversion)
#include "tst_schemaversion.moc"
