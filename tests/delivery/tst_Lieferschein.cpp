// The delivery-note window: totals, deleting notes and items, printing, the
// invoice date, and that nothing happens without a current note.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/Rechnungsdaten_.h"
#include "delivery/nochnichtbezahlt_.h"
#include "ui/Anwendung.h"
#include "ui/DBNavigator.h"
#include "ui/Meldungen.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTimer>
#include <QtTest/QtTest>

using data::Dataset;

using test::BeimDialog;
using test::In;

class TstLieferschein : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Browser() { return App().Lieferschein; }
    void Klick(const char* knopf) { QTest::mouseClick(In<QPushButton>(Browser(), knopf), Qt::LeftButton); }
    QStringList Summen()
    {
        return {In<QLabel>(Browser(), "LabelNetto")->text(), In<QLabel>(Browser(), "LabelMw")->text(),
                In<QLabel>(Browser(), "LabelGesamt")->text()};
    }
    qint64 AktuelleId() { return App().DMOrdavo->ADO_Lieferschein->FieldByName("t_lieferschein.id").asInteger(); }
    // The printout's preview, answered by closing it; checks the print set meanwhile.
    void VorschauErwarten(int positionen)
    {
        BeimDialog([positionen](QWidget* w) {
            Dataset* druck = App().DMOrdavo->ADO_Druck_Lief;
            QVERIFY(druck->filtered());
            QCOMPARE(druck->RecordCount(), positionen);
            w->close();
        });
    }
    void DruckfilterIstAus()
    {
        Dataset* druck = App().DMOrdavo->ADO_Druck_Lief;
        QVERIFY(!druck->filtered());
        QCOMPARE(druck->filter(), QString());
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort, adr_kunde) VALUES "
                  "(1, 'Alpha', 'Anna Alt', 'Graz', -1), (2, 'Beta', 'Bernd Berg', 'Linz', -1)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einkauf, "
                  "artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(1, 100, 'Schraube', 10.0, 20, 4.0, 1, 1), (2, 101, 'Mutter', 2.5, 10, 1.0, 1, 1), "
                  "(3, 102, 'Ohne Einheit', 4.0, 20, 1.0, NULL, 1), (4, 103, 'Ohne Kategorie', 1.0, 20, 1.0, 1, 7)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum) VALUES "
                  "(1, 1, '2024-03-01', 1, NULL), (2, 2, '2024-03-02', 2, NULL), (3, 3, '2024-03-03', 1, NULL), "
                  "(4, 4, '2024-03-04', 2, '2024-03-10')");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES "
                  "(1, 2, 1, 3, 10.0, 4.0), "
                  "(2, 3, 1, 1, 10.0, 4.0), (3, 3, 3, 1, 4.0, 1.0), (4, 3, 4, 2, 1.0, 1.0), "
                  "(5, 4, 1, 1, 10.0, 4.0), (6, 4, 2, 2, 2.5, 1.0)");
        test::ProgrammErzeugen();
        static_cast<ui::Formular*>(App().Lieferschein)->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(Browser()));
    }
    void cleanup()
    {
        const int offen = test::OffeneDialoge();
        test::Meldungen();
        test::ProgrammBeenden();
        m_ordner.reset();
        QCOMPARE(offen, 0);
    }

    void summen_data()
    {
        QTest::addColumn<int>("weiter");
        QTest::addColumn<int>("zeilen");
        QTest::addColumn<QStringList>("summen");
        QTest::newRow("ohne Positionen") << 0 << 0 << QStringList{"0,00 €", "0,00 €", "0,00 €"};
        QTest::newRow("3 × 10,00 zu 20 %") << 1 << 1 << QStringList{"30,00 €", "6,00 €", "36,00 €"};
        // Items whose article lacks unit or category are counted, not listed.
        QTest::newRow("Artikel ohne Einheit oder Kategorie") << 2 << 1 << QStringList{"16,00 €", "3,20 €", "19,20 €"};
        QTest::newRow("verschiedene Steuersätze") << 3 << 2 << QStringList{"15,00 €", "2,50 €", "17,50 €"};
    }
    void summen()
    {
        QFETCH(int, weiter);
        QFETCH(int, zeilen);
        QFETCH(QStringList, summen);
        auto* nav = In<ui::DBNavigator>(Browser(), "DBNavigator2");
        for (int i = 0; i < weiter; ++i) QTest::mouseClick(nav->knopf(ui::DBNavigator::Next), Qt::LeftButton);
        QCOMPARE(AktuelleId(), qint64(weiter + 1));
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->RecordCount(), zeilen);
        QCOMPARE(Summen(), summen);
    }

    // The totals always belong to the note shown: also when another window
    // moves the current note (the open-invoice list during a dunning) or
    // re-reads the items.
    void summenFolgenDemGezeigtenLieferschein()
    {
        QCOMPARE(AktuelleId(), qint64(1));
        QCOMPARE(Summen(), QStringList(3, "0,00 €"));
        Tnochnichtbezahlt* offene = App().nochnichtbezahlt;
        offene->Zeige();
        QStringList waehrend;
        BeimDialog([&](QWidget* w) {
            waehrend << w->objectName() << QString::number(AktuelleId()) << Summen();
            test::Klicke(w, "BitBtn2");  // Abbrechen
        });
        QVERIFY(App().DMOrdavo->ADO_Nochnichtbezahlt->Locate("id", 4));
        test::Klicke(offene, "BitBtn2");  // Mahnung senden
        QTRY_COMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(waehrend, (QStringList{"TMahnung", "4", "15,00 €", "2,50 €", "17,50 €"}));
        // Afterwards the first note is current again, with its totals.
        QCOMPARE(AktuelleId(), qint64(1));
        QCOMPARE(Summen(), QStringList(3, "0,00 €"));
        // An item stored by a statement and re-read, whichever window did it.
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (7, 1, 2, 4, 2.5, 1.0)");
        App().DMOrdavo->ADO_Lieferschein_Artikel->Requery();
        QCOMPARE(Summen(), (QStringList{"10,00 €", "1,00 €", "11,00 €"}));
        offene->close();
    }

    void mwstDesArtikelsAendertAuchAlteRechnungen()
    {
        auto* nav = In<ui::DBNavigator>(Browser(), "DBNavigator2");
        QTest::mouseClick(nav->knopf(ui::DBNavigator::Last), Qt::LeftButton);
        QCOMPARE(Summen(), (QStringList{"15,00 €", "2,50 €", "17,50 €"}));
        test::Sql("UPDATE t_artikel SET artikel_Mwst = 10 WHERE id = 1");
        QTest::mouseClick(nav->knopf(ui::DBNavigator::Prior), Qt::LeftButton);
        QTest::mouseClick(nav->knopf(ui::DBNavigator::Next), Qt::LeftButton);
        QCOMPARE(Summen(), (QStringList{"15,00 €", "1,50 €", "16,50 €"}));
    }

    void lieferscheinLoeschenFragtZuerst()
    {
        auto* nav = In<ui::DBNavigator>(Browser(), "DBNavigator2");
        QTest::mouseClick(nav->knopf(ui::DBNavigator::Next), Qt::LeftButton);
        QTest::mouseClick(nav->knopf(ui::DBNavigator::Next), Qt::LeftButton);
        QCOMPARE(AktuelleId(), qint64(3));

        test::AntworteMeldung("Abbrechen");
        Klick("Schalterliefloeschen");
        QCOMPARE(test::Meldungen(), QStringList{"Wollen Sie den aktuellen Lieferschein wirklich löschen?"});
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE id = 3").toInt(), 1);
        QCOMPARE(AktuelleId(), qint64(3));

        test::AntworteMeldung("OK");
        Klick("Schalterliefloeschen");
        QCOMPARE(test::Meldungen().size(), 1);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE id = 3").toInt(), 0);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein_artikel WHERE la_lieferschein_id = 3").toInt(), 0);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein_artikel").toInt(), 3);
        // The note with the lowest id is current afterwards.
        QCOMPARE(AktuelleId(), qint64(1));
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->RecordCount(), 3);
        QCOMPARE(Summen(), (QStringList{"0,00 €", "0,00 €", "0,00 €"}));
    }

    void artikelEntfernenOhneFrage()
    {
        QTest::mouseClick(In<ui::DBNavigator>(Browser(), "DBNavigator2")->knopf(ui::DBNavigator::Last), Qt::LeftButton);
        App().DMOrdavo->ADO_Lieferschein_Artikel->Last();
        Klick("Schalterartikelloeschen");
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(test::Zeilen("SELECT id FROM t_lieferschein_artikel WHERE la_lieferschein_id = 4"),
                 (QList<QList<QVariant>>{{qint64(5)}}));
        QCOMPARE(Summen(), (QStringList{"10,00 €", "2,00 €", "12,00 €"}));
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->RecNo(), 0);
    }

    void lieferscheinDrucken()
    {
        QTest::mouseClick(In<ui::DBNavigator>(Browser(), "DBNavigator2")->knopf(ui::DBNavigator::Last), Qt::LeftButton);
        VorschauErwarten(2);
        Klick("BitBtn1");
        DruckfilterIstAus();
        QCOMPARE(AktuelleId(), qint64(4));
        // Printing changes nothing.
        QCOMPARE(test::Wert("SELECT lief_rechnungsdatum FROM t_lieferschein WHERE id = 4").toString(), QString("2024-03-10"));
    }

    void rechnungsdatum_data()
    {
        QTest::addColumn<int>("weiter");
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QDate>("picker");  // what the window offers
        QTest::addColumn<QDate>("waehlen");  // picked by the user (invalid: untouched)
        QTest::addColumn<QVariant>("gespeichert");
        const QDate heute = QDate::currentDate();
        QTest::newRow("erstmals, OK") << 1 << "OK" << heute << QDate() << QVariant(heute.toString(Qt::ISODate));
        QTest::newRow("erstmals, anderes Datum") << 1 << "OK" << heute << QDate(2024, 4, 2) << QVariant("2024-04-02");
        QTest::newRow("Abbrechen") << 1 << "Abbrechen" << heute << QDate() << QVariant();
        QTest::newRow("erneut, behält das frühere Datum") << 3 << "OK" << QDate(2024, 3, 10) << QDate()
                                                          << QVariant("2024-03-10");
    }
    void rechnungsdatum()
    {
        QFETCH(int, weiter);
        QFETCH(QString, knopf);
        QFETCH(QDate, picker);
        QFETCH(QDate, waehlen);
        QFETCH(QVariant, gespeichert);
        test::Sql("UPDATE t_lieferschein SET lief_zahldatum = '2024-03-20' WHERE id = 4");
        App().DMOrdavo->ADO_Lieferschein->Requery();
        for (int i = 0; i < weiter; ++i) App().DMOrdavo->ADO_Lieferschein->Next();
        const qint64 id = AktuelleId();
        QDate angeboten;
        QString zahldatum;
        BeimDialog([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TRechnungsdaten"));
            angeboten = In<QDateEdit>(w, "RechnungsdatumPicker")->date();
            zahldatum = In<QLabel>(w, "DBText1")->text();
            if (waehlen.isValid()) In<QDateEdit>(w, "RechnungsdatumPicker")->setDate(waehlen);
            test::Klicke(w, knopf);
        });
        if (knopf == "OK") VorschauErwarten(id == 2 ? 1 : 2);
        Klick("BitBtn3");
        QCOMPARE(angeboten, picker);
        QCOMPARE(zahldatum, QString(id == 4 ? "20.03.2024" : ""));
        QCOMPARE(test::Wert("SELECT lief_rechnungsdatum FROM t_lieferschein WHERE id = ?", {id}), gespeichert);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), Dataset::Zustand::Browse);
        QCOMPARE(AktuelleId(), id);
        DruckfilterIstAus();
        // An invoice date set here makes the note an open invoice (unless paid).
        App().DMOrdavo->ADO_Nochnichtbezahlt->Requery();
        const bool offen = App().DMOrdavo->ADO_Nochnichtbezahlt->Locate("id", id);
        QCOMPARE(offen, gespeichert.isValid() && id != 4);
    }

    void suchenGehtZumGewaehltenLieferschein()
    {
        BeimDialog([](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TLieferscheinsuche"));
            QVERIFY(App().DMOrdavo->ADO_suchen_Adressen->Locate("id", 2));
            QVERIFY(App().DMOrdavo->ADO_suchen_Lieferschein->Locate("t_lieferschein.id", 4));
            test::Klicke(w, "SchalterLiefsucheOK");
        });
        Klick("BitBtn2");
        QCOMPARE(AktuelleId(), qint64(4));
        QCOMPARE(Summen(), (QStringList{"15,00 €", "2,50 €", "17,50 €"}));
        QVERIFY(!App().DMOrdavo->ADO_suchen_Adressen->Active());
        QVERIFY(!App().DMOrdavo->ADO_suchen_Lieferschein->Active());
    }

    void ohneAktuellenLieferscheinGeschiehtNichts()
    {
        test::Sql("DELETE FROM t_lieferschein");
        App().DMOrdavo->ADO_Lieferschein->Requery();
        QCOMPARE(Summen(), (QStringList{"0,00 €", "0,00 €", "0,00 €"}));
        // Any window that opened now would be closed and counted.
        bool geoeffnet = false;
        BeimDialog([&](QWidget* w) {
            geoeffnet = true;
            w->close();
        });
        for (const char* k : {"Schalterartikelhinzuf", "BitBtn1", "BitBtn3", "Schalterartikelaendern",
                              "Schalterartikelloeschen", "Schalterliefloeschen"})
            Klick(k);
        QTest::keyClick(Browser(), Qt::Key_5);
        QTest::keyClick(Browser(), Qt::Key_5, Qt::KeypadModifier);
        QVERIFY(!geoeffnet);
        QCOMPARE(test::OffeneDialoge(), 1);
        ui::Hinweis("Ende");  // takes the handler
        QVERIFY(geoeffnet);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 0);
        DruckfilterIstAus();
    }

    void leereListeAendernBeginntNeuenLieferschein()
    {
        test::Sql("DELETE FROM t_lieferschein");
        App().DMOrdavo->ADO_Lieferschein->Requery();
        bool neu = false;
        BeimDialog([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TLieferscheinkopf"));
            neu = App().DMOrdavo->ADO_Lieferschein->State() == Dataset::Zustand::Insert;
            test::Klicke(w, "Abbrechen");
        });
        Klick("Schalterliefaendern");
        QVERIFY(neu);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), Dataset::Zustand::Browse);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 0);
    }
};

QTEST_MAIN(TstLieferschein)
#include "tst_Lieferschein.moc"
