// The dataset behaviour the windows rely on, on a real database.
#include "TestUmgebung.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"

#include <QtTest/QtTest>

using data::Dataset;

class TstDataset : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_kunde) VALUES (1, 'Alpha', 'Anna', -1), (2, 'Beta', 'Bernd', 0), (3, 'Gamma', 'Gerd', -1)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, artikel_kategorie_id) VALUES (1, 100, 'Schraube', 10.0, 20, 1, 1), (2, 101, 'Mutter', 2.5, 20, 1, 1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (1, 1, '2024-03-05', 1), (2, 2, '2024-03-06', 3)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 3, 10.0, 5.0), (2, 1, 2, 1, 2.5, 1.0), (3, 2, 2, 4, 2.5, 1.0)");
        dm = new TDMOrdavo();
    }
    void cleanup()
    {
        delete dm;
        dm = nullptr;
        m_ordner.reset();
    }

    void doppelteSpaltennamenUndGrossKlein()
    {
        Dataset* ls = dm->ADO_Lieferschein;
        QCOMPARE(ls->RecordCount(), 2);
        QCOMPARE(ls->FieldByName("t_lieferschein.id").asInteger(), 1);
        QCOMPARE(ls->FieldByName("T_ADRESSEN.ID").asInteger(), 1);
        QCOMPARE(ls->FieldByName("ADR_FIRMA").asString(), QString("Alpha"));
        QCOMPARE(ls->FieldByName("lief_datum").asDate(), QDate(2024, 3, 5));
        QVERIFY(!ls->FindField("id").gueltig());  // ambiguous plain name
        QVERIFY_THROWS_EXCEPTION(data::Fehler, ls->FieldByName("gibtsnicht"));
    }

    void detailFolgtDemMaster()
    {
        Dataset* ls = dm->ADO_Lieferschein;
        Dataset* pos = dm->ADO_Lieferschein_Artikel;
        QCOMPARE(pos->RecordCount(), 2);
        pos->Next();
        QCOMPARE(pos->RecNo(), 1);
        ls->Next();
        QCOMPARE(pos->RecordCount(), 1);
        QCOMPARE(pos->RecNo(), 0);
        QCOMPARE(pos->FieldByName("t_lieferschein_artikel.id").asInteger(), 3);
        QCOMPARE(pos->FieldByName("gesamt").asFloat(), 10.0);
    }

    void schnappschussAendertSichErstBeimRequery()
    {
        Dataset* pos = dm->ADO_Lieferschein_Artikel;
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (4, 1, 1, 1, 10.0, 5.0)");
        QCOMPARE(pos->RecordCount(), 2);
        pos->Requery();
        QCOMPARE(pos->RecordCount(), 3);
    }

    void filterUndLocate()
    {
        Dataset* adr = dm->ADO_t_adressen;
        adr->setFilter("adr_Kunde = true");
        adr->setFiltered(true);
        QCOMPARE(adr->RecordCount(), 2);
        QVERIFY(!adr->Locate("adr_firma", "Beta"));
        QVERIFY(adr->Locate("adr_firma", "Gamma"));
        QCOMPARE(adr->RecNo(), 1);
        adr->setFiltered(false);
        QCOMPARE(adr->RecordCount(), 3);
        QVERIFY(adr->Locate("id", 2));
        QCOMPARE(adr->FieldByName("adr_ganzername").asString(), QString("Bernd"));
    }

    void druckmengeLiestNurDenGefiltertenLieferschein()
    {
        // Same rows as a client-side filter over the whole print set; the rest
        // appears once the filter is off.
        Dataset* d = dm->ADO_Druck_Lief;
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id) VALUES (3, 3, 1)");
        for (int id : {1, 2, 3}) {
            d->Close();
            d->setFilter(QString("la_lieferschein_id = %1").arg(id));
            d->setFiltered(true);
            d->Open();
            const int erwartet = test::Wert("SELECT count(*) FROM t_lieferschein_artikel WHERE la_lieferschein_id = ?", {id}).toInt();
            QCOMPARE(d->RecordCount(), erwartet);
            for (d->First(); !d->Eof(); d->Next()) QCOMPARE(d->FieldByName("la_lieferschein_id").asInteger(), qint64(id));
            d->setFilter("");
            d->setFiltered(false);
            QCOMPARE(d->RecordCount(), 3);
        }
    }

    void bearbeitenUeberJoinSchreibtNurDieEigeneTabelle()
    {
        Dataset* ls = dm->ADO_Lieferschein;
        ls->Edit();
        ls->FieldByName("lief_nr").setValue(77);
        ls->FieldByName("adr_firma").setValue("Verändert");
        ls->Post();
        QCOMPARE(test::Wert("SELECT lief_nr FROM t_lieferschein WHERE id = 1").toInt(), 77);
        QCOMPARE(test::Wert("SELECT adr_firma FROM t_adressen WHERE id = 1").toString(), QString("Alpha"));
        QCOMPARE(ls->FieldByName("lief_nr").asInteger(), 77);
    }

    void einfuegenInTabelle()
    {
        Dataset* e = dm->ADO_t_Einheit;
        e->Insert();
        e->FieldByName("id").setValue(dm->NaechsteID("t_einheit"));
        e->FieldByName("einheit").setAsString("kg");
        e->Post();
        QCOMPARE(test::Wert("SELECT einheit FROM t_einheit WHERE id = 2").toString(), QString("kg"));
        QCOMPARE(e->FieldByName("einheit").asString(), QString("kg"));
        e->Delete();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_einheit").toInt(), 1);
    }

    void textInZahlenUndDatumsspaltenWirdAbgewiesen_data()
    {
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("preis") << "artikel_preis" << "abc" << "'abc' ist kein gültiger Gleitkommawert";
        QTest::newRow("mwst") << "artikel_Mwst" << "12.5x" << "'12.5x' ist kein gültiger Gleitkommawert";
        QTest::newRow("nummer") << "artikel_nr" << "1,5" << "'1,5' ist kein gültiger Integerwert";
    }
    void textInZahlenUndDatumsspaltenWirdAbgewiesen()
    {
        QFETCH(QString, feld);
        QFETCH(QString, text);
        QFETCH(QString, meldung);
        Dataset* a = dm->ADO_artikel;
        a->Edit();
        try {
            a->FieldByName(feld).setAsString(text);
            QFAIL("kein Fehler");
        } catch (const data::Fehler& f) {
            QCOMPARE(f.text(), meldung);
        }
        a->Post();
        // Still a number of the column's kind, never the typed text.
        const QVariant gespeichert = test::Wert("SELECT " + feld + " FROM t_artikel WHERE id = 1");
        QCOMPARE(QMetaType(gespeichert.typeId()).name(), feld == "artikel_nr" ? "qlonglong" : "double");
    }

    void deutscheZahlenUndDaten()
    {
        Dataset* a = dm->ADO_artikel;
        a->Edit();
        a->FieldByName("artikel_preis").setAsString("1.234,5");
        a->Post();
        QCOMPARE(test::Wert("SELECT artikel_preis FROM t_artikel WHERE id = 1").toDouble(), 1234.5);
        Dataset* ls = dm->ADO_Lieferschein;
        ls->Edit();
        ls->FieldByName("lief_rechnungsdatum").setAsString("31.12.2024");
        ls->Post();
        QCOMPARE(test::Wert("SELECT lief_rechnungsdatum FROM t_lieferschein WHERE id = 1").toString(), QString("2024-12-31"));
        ls->Edit();
        QVERIFY_THROWS_EXCEPTION(data::Fehler, ls->FieldByName("lief_zahldatum").setAsString("31.02.2024"));
        ls->Cancel();
    }

    // A post the database refuses keeps the row being inserted, with its
    // values, so the user can correct it; nothing is stored.
    void abgewiesenerPostBehaeltDenSatz()
    {
        Dataset* plu = dm->Table_PLU;
        test::Sql("INSERT INTO t_PLU VALUES (42, 1)");
        plu->Requery();
        plu->Insert();
        plu->FieldByName("PLU").setValue(42);
        QVERIFY_THROWS_EXCEPTION(data::Fehler, plu->Post());
        QCOMPARE(plu->State(), Dataset::Zustand::Insert);
        QCOMPARE(plu->FieldByName("PLU").asInteger(), 42);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_PLU").toInt(), 1);
        plu->FieldByName("PLU").setValue(43);
        plu->Post();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_PLU").toInt(), 2);
    }

    void loeschenKaskadiert()
    {
        dm->ADOQuery->setSql("delete from t_adressen where id = :id");
        dm->ADOQuery->setParameter("id", 1);
        dm->ADOQuery->ExecSQL();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 1);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein_artikel").toInt(), 1);
        dm->ADOQuery->setSql("delete from t_lieferschein where id = :id");
        dm->ADOQuery->setParameter("id", 2);
        dm->ADOQuery->ExecSQL();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein_artikel").toInt(), 0);
    }

    void bewegenImBearbeitenSpeichertNicht()
    {
        Dataset* ls = dm->ADO_Lieferschein;
        ls->Insert();
        QCOMPARE(dm->ADO_Lieferschein_Artikel->RecordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(data::Fehler, ls->Next());
        ls->Cancel();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 2);
        QCOMPARE(dm->ADO_Lieferschein_Artikel->RecordCount(), 2);
    }

    void likeFaltetUmlaute()
    {
        test::Sql("UPDATE t_adressen SET adr_firma = 'Müller' WHERE id = 2");
        dm->ADOQuery->setSql("select count(*) as n from t_adressen where adr_firma like :s");
        dm->ADOQuery->setParameter("s", "MÜL%");
        dm->ADOQuery->Open();
        QCOMPARE(dm->ADOQuery->FieldByName("n").asInteger(), 1);
        dm->ADOQuery->Close();
    }
};

QTEST_MAIN(TstDataset)
#include "tst_dataset.moc"
