// The data module's operations and their fallbacks, against a real database.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"

#include <QtTest/QtTest>

class TstDmOrdavo : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    std::unique_ptr<TDMOrdavo> dm;

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        dm = std::make_unique<TDMOrdavo>();
    }
    void cleanup()
    {
        dm.reset();
        m_ordner.reset();
    }

    void naechsteNummern_data()
    {
        QTest::addColumn<QString>("vorbereitung");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("erwartet");
        QTest::newRow("leere Tabelle") << "" << "t_adressen" << 1;
        QTest::newRow("höchste id 41") << "INSERT INTO t_einheit VALUES (41, 'a'), (7, 'b')" << "t_einheit" << 42;
        QTest::newRow("Tabellenname in anderer Schreibung") << "INSERT INTO t_adressen (id) VALUES (3)" << "t_Adressen" << 4;
        QTest::newRow("unbekannte Tabelle") << "" << "t_gibtsnicht" << 1;
        QTest::newRow("Lieferscheinnummer leer") << "" << "#liefnr" << 1;
        QTest::newRow("Lieferscheinnummer") << "INSERT INTO t_adressen (id) VALUES (1); INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id) VALUES (1, 9, 1)" << "#liefnr" << 10;
        QTest::newRow("Artikelnummer") << "INSERT INTO t_artikel (id, artikel_nr) VALUES (1, 1000), (2, NULL)" << "#artnr" << 1001;
        QTest::newRow("Artikelnummer leer") << "" << "#artnr" << 1;
    }
    void naechsteNummern()
    {
        QFETCH(QString, vorbereitung);
        QFETCH(QString, operation);
        QFETCH(int, erwartet);
        for (const QString& s : vorbereitung.split(';', Qt::SkipEmptyParts)) test::Sql(s);
        int ist = operation == "#liefnr" ? dm->NaechsteLiefNr() : operation == "#artnr" ? dm->NaechsteArtikelNr() : dm->NaechsteID(operation);
        QCOMPARE(ist, erwartet);
        QVERIFY(!dm->ADOQuery->Active());
    }

    void lieferscheinSummen()
    {
        test::Sql("INSERT INTO t_adressen (id) VALUES (1)");
        test::Sql("INSERT INTO t_artikel (id, artikel_preis, artikel_Mwst) VALUES (1, 10, 20), (2, 5, 7)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id) VALUES (1, 1, 1), (2, 2, 1)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 3, 10.0, 0)");
        double netto = -1, steuer = -1;
        dm->LieferscheinSummen(1, netto, steuer);
        QCOMPARE(netto, 30.0);
        QCOMPARE(steuer, 6.0);
        dm->LieferscheinSummen(2, netto, steuer);  // no items
        QCOMPARE(netto, 0.0);
        QCOMPARE(steuer, 0.0);
        // The VAT rate is the article's current one.
        test::Sql("UPDATE t_artikel SET artikel_Mwst = 10 WHERE id = 1");
        dm->LieferscheinSummen(1, netto, steuer);
        QCOMPARE(steuer, 3.0);
    }

    void stammdatenTexte()
    {
        QCOMPARE(dm->LeseZahlungsbedingungen(), QString("keine Angegeben"));
        QCOMPARE(dm->LeseBankverbindungen(), QString("keine Angegeben"));
        QCOMPARE(dm->LeseMahnungstext(), QString("kein Angegeben"));
        QCOMPARE(dm->LeseZusatztext(), QString("kein Angegeben"));
        test::Sql("INSERT INTO t_stammdaten (Zahlungsbedingungen, Bankverbindungen, Zusatztext, Mahnungstext) VALUES ('14 Tage netto', '', NULL, 'Bitte zahlen')");
        QCOMPARE(dm->LeseZahlungsbedingungen(), QString("14 Tage netto"));
        QCOMPARE(dm->LeseBankverbindungen(), QString(""));  // an empty text is returned unchanged
        QCOMPARE(dm->LeseZusatztext(), QString("kein Angegeben"));  // NULL
        QCOMPARE(dm->LeseMahnungstext(), QString("Bitte zahlen"));
    }

    void katalogLaeuftUnveraendert()
    {
        // Every statement of the catalogue runs on the schema as written.
        const QStringList namen = {"ADO_artikel", "ADO_Lieferschein", "ADO_Lieferschein_Artikel", "ADO_Druck_Lief",
                                   "ADO_suchen_Adressen", "ADO_suchen_Lieferschein", "ADO_Nochnichtbezahlt", "ADO_PLU",
                                   "ADO_Auswertung_Artikel", "ADO_Auswertung_Artikel_summen",
                                   "ADO_Auswertung_ArtikelKategorie_summen", "ADO_Auswertung_Adressen",
                                   "ADO_Auswertung_alle_Adressen", "LieferscheinSummen"};
        for (const QString& n : namen) {
            dm->ADOQuery->Close();
            dm->ADOQuery->setSql(TDMOrdavo::SqlVon(n));
            dm->ADOQuery->setParameter("von", QDate(2000, 1, 1));
            dm->ADOQuery->setParameter("bis", QDate(2030, 1, 1));
            dm->ADOQuery->setParameter("id", 1);
            dm->ADOQuery->Open();
            QVERIFY2(dm->ADOQuery->Active(), qPrintable(n));
        }
        dm->ADOQuery->Close();
    }

    void fehlendeDatenbankIstEinFehler()
    {
        if (test::AufServer()) QSKIP("Die Datei betrifft nur den Betrieb ohne Server.");
        QFile::remove("ordavo_tab.mdb");
        dm.reset();
        try {
            TDMOrdavo kaputt;
            QFAIL("ohne Datenbank geöffnet");
        } catch (const data::Fehler& f) {
            QVERIFY2(f.text().contains("ordavo_tab.mdb"), qPrintable(f.text()));
        }
        QVERIFY(!QFile::exists("ordavo_tab.mdb"));  // never created
        QFile kein("ordavo_tab.mdb");
        QVERIFY(kein.open(QIODevice::WriteOnly));
        kein.write("keine Datenbank, nur Text ...................................................................");
        kein.close();
        QVERIFY_THROWS_EXCEPTION(data::Fehler, TDMOrdavo());
    }
};

QTEST_MAIN(TstDmOrdavo)
#include "tst_dm_ordavo.moc"
