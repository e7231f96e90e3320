// Payments from the open-invoice list: "Hat bezahlt" with payment date and
// amount, what reaches the database, and the list afterwards.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferfenster.h"
#include "delivery/Zahlungsdatum_.h"
#include "delivery/nochnichtbezahlt_.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QtTest>

class TstNochnichtbezahlt : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    Tnochnichtbezahlt* liste = nullptr;

    data::Dataset* Offen() { return App().DMOrdavo->ADO_Nochnichtbezahlt; }
    void Waehle(int id) { QVERIFY(Offen()->Locate("id", id)); }
    void HatBezahlt() { liste->findChild<QPushButton*>("BitBtn1")->click(); }
    QList<qint64> OffeneIds()
    {
        QList<qint64> ids;
        for (int i = 0; i < Offen()->RecordCount(); ++i) ids << Offen()->WertAn(i, Offen()->Spaltenindex("id")).toLongLong();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort) VALUES (1, 'Müller GmbH', 'Hans Müller', 'Wien')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, artikel_kategorie_id) "
                  "VALUES (1, 1, 'Ware', 100, 20, 1, 1), (2, 2, 'Kleinteil', 8.75, 20, 1, 1)");
        // 1: open, 100 net + 20 VAT; 2: open, no items; 3: open, 8.75 + 1.75;
        // 4: not invoiced; 5: paid.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahldatum, lief_zahlbetrag) VALUES "
                  "(1, 11, '2024-03-01', 1, '2024-03-05', NULL, NULL),"
                  "(2, 12, '2024-03-02', 1, '2024-03-06', NULL, NULL),"
                  "(3, 13, '2024-03-03', 1, '2024-03-07', NULL, NULL),"
                  "(4, 14, '2024-03-04', 1, NULL, NULL, NULL),"
                  "(5, 15, '2024-03-04', 1, '2024-03-08', '2024-03-20', 50)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 1, 100, 0), (2, 3, 2, 1, 8.75, 0)");
        test::ProgrammErzeugen();
        liste = Lieferung().nochnichtbezahlt;
        QVERIFY(liste);
        QVERIFY(Lieferung().Zahlungsdatum);
        // As the main window's "Offene Rechnungen" does.
        if (!Offen()->Active()) Offen()->Open();
        liste->Zeige();
        QCOMPARE(OffeneIds(), (QList<qint64>{1, 2, 3}));
    }
    void cleanup()
    {
        liste = nullptr;
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void hatBezahltSpeichertDatumUndBetrag_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("betrag");  // "" = double-click on the invoice amount
        QTest::addColumn<QDate>("datum");     // invalid = leave the offered date
        QTest::addColumn<QString>("brutto");
        QTest::addColumn<QString>("kopie");
        QTest::addColumn<double>("gespeichert");
        const QDate heute = QDate::currentDate();
        QTest::newRow("Doppelklick 100 + 20") << 1 << "" << QDate() << "120,00 €" << "120" << 120.0;
        QTest::newRow("Doppelklick mit Dezimalen") << 3 << "" << QDate() << "10,50 €" << "10,5" << 10.5;
        QTest::newRow("Doppelklick ohne Positionen") << 2 << "" << QDate() << "0,00 €" << "0" << 0.0;
        QTest::newRow("Betrag 0 schließt die Rechnung") << 1 << "0" << QDate() << "120,00 €" << "" << 0.0;
        QTest::newRow("Teilbetrag schließt die Rechnung") << 1 << "50,5" << heute.addDays(-3) << "120,00 €" << "" << 50.5;
        QTest::newRow("Betrag mit Tausenderpunkt") << 3 << "1.234,56" << QDate(2024, 2, 29) << "10,50 €" << "" << 1234.56;
    }
    void hatBezahltSpeichertDatumUndBetrag()
    {
        QFETCH(int, id);
        QFETCH(QString, betrag);
        QFETCH(QDate, datum);
        QFETCH(QString, brutto);
        QFETCH(QString, kopie);
        QFETCH(double, gespeichert);
        Waehle(id);
        QString angebotenesDatum, gezeigterBetrag, kopierterText;
        test::BeimNaechstenDialog([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TZahlungsdatum"));
            auto* picker = w->findChild<QDateEdit*>("ZahlungsdatumPicker");
            auto* edit = w->findChild<ui::DBEdit*>("DBEdit2");
            angebotenesDatum = picker->date().toString(Qt::ISODate);
            gezeigterBetrag = w->findChild<QLabel*>("LabelBrutto")->text();
            if (betrag.isEmpty()) {
                QTest::mouseDClick(w->findChild<QLabel*>("LabelBrutto"), Qt::LeftButton);
                kopierterText = edit->text();
            } else {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, betrag);
            }
            if (datum.isValid()) picker->setDate(datum);
            test::Klicke(w, "BitBtn1");
        });
        HatBezahlt();
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(angebotenesDatum, QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(gezeigterBetrag, brutto);
        QCOMPARE(kopierterText, kopie);

        const auto zeile = test::Zeilen("SELECT lief_zahldatum, lief_zahlbetrag FROM t_lieferschein WHERE id = ?", {id}).first();
        QCOMPARE(zeile.at(0).toString(), (datum.isValid() ? datum : QDate::currentDate()).toString(Qt::ISODate));
        QCOMPARE(zeile.at(1).toDouble(), gespeichert);
        // Nothing else changed.
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE lief_zahldatum IS NOT NULL").toInt(), 2);

        // The list shrinks by one and its first row is current.
        QList<qint64> erwartet{1, 2, 3};
        erwartet.removeOne(id);
        QCOMPARE(OffeneIds(), erwartet);
        QCOMPARE(Offen()->RecNo(), 0);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), data::Dataset::Zustand::Browse);
    }

    void abbrechenAendertNichts_data()
    {
        QTest::addColumn<QString>("weg");
        QTest::newRow("Abbrechen") << "BitBtn2";
        QTest::newRow("Fenster schließen") << "schliessen";
    }
    void abbrechenAendertNichts()
    {
        QFETCH(QString, weg);
        Waehle(2);
        test::BeimNaechstenDialog([&](QWidget* w) {
            QTest::keyClicks(w->findChild<ui::DBEdit*>("DBEdit2"), "99");
            if (weg == "schliessen") w->close();
            else test::Klicke(w, weg);
        });
        HatBezahlt();
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE lief_zahldatum IS NOT NULL OR (lief_zahlbetrag IS NOT NULL AND id <> 5)").toInt(), 1);
        QCOMPARE(OffeneIds(), (QList<qint64>{1, 2, 3}));
        QCOMPARE(Offen()->FieldByName("id").asInteger(), 2);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), data::Dataset::Zustand::Browse);
    }

    void unlesbarerBetragBleibtZurKorrekturStehen()
    {
        Waehle(1);
        bool nochOffen = false;
        QString textNachFehler;
        QDate datumNachFehler;
        test::BeimNaechstenDialog([&](QWidget* w) {
            auto* edit = w->findChild<ui::DBEdit*>("DBEdit2");
            auto* picker = w->findChild<QDateEdit*>("ZahlungsdatumPicker");
            picker->setDate(QDate(2024, 4, 2));
            // As a user tabs into the field.
            QVERIFY(QTest::qWaitForWindowActive(w));
            edit->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(edit, "12x");
            test::AntworteMeldung("OK");
            // The error box opens inside the click; the click runs from a
            // timer of its own so that the box can be answered.
            QTimer::singleShot(0, w, [&, w, edit, picker] {
                test::Klicke(w, "BitBtn1");
                nochOffen = w->isVisible();
                textNachFehler = edit->text();
                datumNachFehler = picker->date();
                // Nothing was written while the window is open.
                QCOMPARE(test::Wert("SELECT lief_zahldatum FROM t_lieferschein WHERE id = 1"), QVariant());
                edit->selectAll();
                QTest::keyClicks(edit, "12");
                test::Klicke(w, "BitBtn1");
            });
        });
        HatBezahlt();
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(test::Meldungen(), QStringList{"'12x' ist kein gültiger Gleitkommawert"});
        QVERIFY(nochOffen);
        QCOMPARE(textNachFehler, QString("12x"));
        QCOMPARE(datumNachFehler, QDate(2024, 4, 2));
        const auto zeile = test::Zeilen("SELECT lief_zahldatum, lief_zahlbetrag FROM t_lieferschein WHERE id = 1").first();
        QCOMPARE(zeile.at(0).toString(), QString("2024-04-02"));
        QCOMPARE(zeile.at(1).toDouble(), 12.0);
    }

    void leererBetragWirdZumLeerzeichen()
    {
        Waehle(1);
        QString text;
        int cursor = -1;
        test::BeimNaechstenDialog([&](QWidget* w) {
            auto* edit = w->findChild<ui::DBEdit*>("DBEdit2");
            QTest::mouseDClick(w->findChild<QLabel*>("LabelBrutto"), Qt::LeftButton);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            text = edit->text();
            cursor = edit->cursorPosition();
            test::Klicke(w, "BitBtn1");
        });
        HatBezahlt();
        QCOMPARE(text, QString(" "));
        QCOMPARE(cursor, 0);
        // The invoice counts as paid; the emptied amount stores no value.
        const auto zeile = test::Zeilen("SELECT lief_zahldatum, lief_zahlbetrag FROM t_lieferschein WHERE id = 1").first();
        QCOMPARE(zeile.at(0).toString(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(zeile.at(1), QVariant());
    }

    void leereListeMeldetSich_data()
    {
        QTest::addColumn<QString>("knopf");
        QTest::newRow("Hat bezahlt") << "BitBtn1";
        QTest::newRow("Mahnung senden") << "BitBtn2";
    }
    void leereListeMeldetSich()
    {
        QFETCH(QString, knopf);
        test::Sql("UPDATE t_lieferschein SET lief_zahldatum = '2024-04-01'");
        liste->close();
        QVERIFY(!Offen()->Active());
        liste->Zeige();  // each showing reads the list afresh
        QCOMPARE(Offen()->RecordCount(), 0);
        test::AntworteMeldung("OK");
        test::Klicke(liste, knopf);
        QCOMPARE(test::Meldungen(), QStringList{"Keine Offenen Rechnungen vorhanden."});
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), data::Dataset::Zustand::Browse);
    }

    void rechnungNichtImLieferscheinbestandSpeichertNichts_data()
    {
        QTest::addColumn<QString>("knopf");
        QTest::newRow("Hat bezahlt") << "BitBtn1";
        QTest::newRow("Mahnung senden") << "BitBtn2";
    }
    void rechnungNichtImLieferscheinbestandSpeichertNichts()
    {
        QFETCH(QString, knopf);
        // A note written since ADO_Lieferschein was read: the open list has
        // it, the delivery-note dataset does not.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id, lief_rechnungsdatum, lief_Mahnungstext) VALUES (9, 19, 1, '2024-03-09', '')");
        liste->close();
        liste->Zeige();
        Waehle(9);
        data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
        lief->Locate("t_lieferschein.id", 3);
        test::AntworteMeldung("OK");
        test::Klicke(liste, knopf);
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(test::Meldungen(), QStringList{"Die Rechnung Nr. 19 wurde nicht gefunden. Es wurde nichts gespeichert."});
        QCOMPARE(lief->State(), data::Dataset::Zustand::Browse);
        QCOMPARE(lief->FieldByName("t_lieferschein.id").asInteger(), 3);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE lief_zahldatum IS NOT NULL").toInt(), 1);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein WHERE lief_Mahnungstext <> ''").toInt(), 0);
        QCOMPARE(OffeneIds(), (QList<qint64>{1, 2, 3, 9}));
    }

    void schliessenSchliesstDieListe()
    {
        test::Klicke(liste, "BitBtn3");
        QVERIFY(!liste->isVisible());
        QVERIFY(!Offen()->Active());
    }
};

QTEST_MAIN(TstNochnichtbezahlt)
#include "tst_nochnichtbezahlt.moc"
