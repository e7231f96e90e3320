// The delivery-note header: a new note with its proposals, the change of a
// plain note and of an invoice, and that an unsaved new note is neither
// stored without customer nor extended from elsewhere. Ends with the whole
// path from a new note to its invoice.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QtTest>

using data::Dataset;

using test::BeimDialog;
using test::In;

class TstLieferscheinkopf : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    TLieferscheinkopf* Kopf() { return App().Lieferscheinkopf; }
    QWidget* KopfW() { return App().Lieferscheinkopf; }
    QWidget* Browser() { return App().Lieferschein; }
    Dataset* Lief() { return App().DMOrdavo->ADO_Lieferschein; }
    // Chooses the customer as a user does: keys in the name list.
    void KundeWaehlen(QWidget* w, const QString& name)
    {
        auto* box = In<QComboBox>(w, "DBName");
        box->setFocus();
        for (int i = 0; i < box->count() + 1 && box->currentText() != name; ++i) QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentText(), name);
    }
    void Ersetzen(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    // What the window system does when a message box of the window closes.
    void Reaktivieren()
    {
        QApplication::setActiveWindow(KopfW());
        QVERIFY(QTest::qWaitForWindowActive(KopfW()));
        QCoreApplication::processEvents();  // the focus events of the activation
    }
    void NeuOeffnen()
    {
        Kopf()->NeuerLieferschein();
        QVERIFY(QTest::qWaitForWindowExposed(KopfW()));
        Reaktivieren();
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort, adr_kunde) VALUES "
                  "(1, 'Alpha', 'Anna Alt', 'Graz', -1), (2, 'Lieferant', 'Lisa Lief', 'Linz', 0), "
                  "(3, 'Gamma', 'Gerd Gross', 'Wels', -1)");
        test::ProgrammErzeugen();
    }
    void cleanup()
    {
        const int offen = test::OffeneDialoge();
        test::Meldungen();
        test::ProgrammBeenden();
        m_ordner.reset();
        QCOMPARE(offen, 0);
    }

    void neuerLieferscheinInLeererDatenbank()
    {
        NeuOeffnen();
        QVERIFY(!KopfW()->isModal());
        QCOMPARE(Lief()->State(), Dataset::Zustand::Insert);
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_id")->text(), QString("1"));
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_LiefNR")->text(), QString("1"));
        QCOMPARE(In<QDateEdit>(KopfW(), "DateTimePicker1")->date(), QDate::currentDate());
        QCOMPARE(In<QPlainTextEdit>(KopfW(), "DBMemo1")->toPlainText(), QString("keine Angegeben"));
        QVERIFY(!In<QWidget>(KopfW(), "DateTimePicker2")->isVisible());
        QVERIFY(!In<QWidget>(KopfW(), "DBEdit3")->isVisible());
        QVERIFY(!In<QWidget>(KopfW(), "DBMemo2")->isVisible());
        // Only customers are offered, and only while this window is active.
        auto* box = In<QComboBox>(KopfW(), "DBName");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentIndex(), -1);

        test::AntworteMeldung("OK");
        QTest::mouseClick(In<QPushButton>(KopfW(), "SchalterliefkopfOK"), Qt::LeftButton);
        QCOMPARE(test::Meldungen(), QStringList{"Kein Name angegegeben"});
        QVERIFY(KopfW()->isVisible());
        QCOMPARE(Lief()->State(), Dataset::Zustand::Insert);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 0);

        Reaktivieren();
        KundeWaehlen(KopfW(), "Gerd Gross");
        QTest::keyClick(In<QWidget>(KopfW(), "DBName"), Qt::Key_Return);  // Enter is OK
        QVERIFY(!KopfW()->isVisible());
        QVERIFY(Browser()->isVisible());
        // The dunning text starts empty (not without value): the first
        // dunning proposes the company's text.
        QCOMPARE(test::Zeilen("SELECT id, lief_nr, lief_datum, lief_adresse_id, lief_zahlungsbed, lief_Bankverbindungen, "
                              "lief_Zusatztext, lief_rechnungsdatum, lief_Mahnungstext FROM t_lieferschein"),
                 (QList<QList<QVariant>>{{qint64(1), qint64(1), QDate::currentDate().toString(Qt::ISODate), qint64(3),
                                          "keine Angegeben", "keine Angegeben", "kein Angegeben", QVariant(), ""}}));
        QCOMPARE(Lief()->State(), Dataset::Zustand::Browse);
        QCOMPARE(Lief()->FieldByName("adr_firma").asString(), QString("Gamma"));
        QVERIFY(!App().DMOrdavo->ADO_t_adressen->filtered());
        QCOMPARE(App().DMOrdavo->ADO_t_adressen->RecordCount(), 3);
    }

    void reaktivierungBehaeltWasDerBenutzerAenderte()
    {
        test::Sql("INSERT INTO t_stammdaten (Zahlungsbedingungen, Bankverbindungen, Zusatztext) VALUES ('30 Tage', 'Bank A', 'Danke')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (4, 10, '2024-01-02', 1)");
        Lief()->Requery();
        NeuOeffnen();
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_id")->text(), QString("5"));
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_LiefNR")->text(), QString("11"));
        QCOMPARE(In<QPlainTextEdit>(KopfW(), "DBMemo1")->toPlainText(), QString("30 Tage"));

        // The user changes number and payment terms; the date stays as proposed.
        Ersetzen(In<QLineEdit>(KopfW(), "DB_LiefNR"), "77");
        auto* memo = In<QPlainTextEdit>(KopfW(), "DBMemo1");
        memo->setFocus();
        memo->selectAll();
        QTest::keyClicks(memo, "sofort");
        // Meanwhile another note and other default texts arrive.
        BeimDialog([](QWidget* w) {
            test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (8, 20, '2024-01-03', 1)");
            test::Sql("UPDATE t_stammdaten SET Bankverbindungen = 'Bank B'");
            test::Klicke(w, "OK");
        });
        QTest::keyClick(In<QLineEdit>(KopfW(), "DB_LiefNR"), Qt::Key_Return);
        Reaktivieren();

        QCOMPARE(In<QLineEdit>(KopfW(), "DB_id")->text(), QString("9"));
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_LiefNR")->text(), QString("77"));
        QCOMPARE(memo->toPlainText(), QString("sofort"));
        QCOMPARE(In<QDateEdit>(KopfW(), "DateTimePicker1")->date(), QDate::currentDate());

        KundeWaehlen(KopfW(), "Anna Alt");
        QTest::mouseClick(In<QPushButton>(KopfW(), "SchalterliefkopfOK"), Qt::LeftButton);
        QCOMPARE(test::Zeilen("SELECT id, lief_nr, lief_zahlungsbed, lief_Bankverbindungen, lief_Zusatztext FROM t_lieferschein WHERE id = 9"),
                 (QList<QList<QVariant>>{{qint64(9), qint64(77), "sofort", "Bank B", "Danke"}}));
        QCOMPARE(Lief()->FieldByName("t_lieferschein.id").asInteger(), qint64(9));
    }

    void schliessenUeberDenRahmenIstAbbrechen()
    {
        NeuOeffnen();
        KundeWaehlen(KopfW(), "Anna Alt");
        KopfW()->close();
        QVERIFY(!KopfW()->isVisible());
        QCOMPARE(Lief()->State(), Dataset::Zustand::Browse);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 0);
        QVERIFY(!App().DMOrdavo->ADO_t_adressen->filtered());

        NeuOeffnen();
        QTest::keyClick(In<QWidget>(KopfW(), "DB_LiefNR"), Qt::Key_Escape);
        QVERIFY(!KopfW()->isVisible());
        QCOMPARE(Lief()->State(), Dataset::Zustand::Browse);
    }

    void ungespeicherterLieferscheinKommtNachVorne()
    {
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (1, 1, '2024-01-02', 1)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, artikel_kategorie_id) VALUES (1, 100, 'Schraube', 10.0, 20, 1, 1)");
        test::Sql("INSERT INTO t_PLU VALUES (4, 1)");
        Lief()->Requery();
        App().DMOrdavo->ADO_artikel->Requery();
        static_cast<ui::Formular*>(App().Lieferschein)->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(Browser()));
        NeuOeffnen();
        Ersetzen(In<QLineEdit>(KopfW(), "DB_LiefNR"), "55");

        // Any modal window that opened now would be closed and counted.
        bool geoeffnet = false;
        BeimDialog([&](QWidget* w) {
            geoeffnet = true;
            w->close();
        });
        for (const char* k : {"Schalterartikelhinzuf", "BitBtn1", "BitBtn3", "Schalterliefaendern", "Schalterliefloeschen",
                              "BitBtn2", "Schalterartikelaendern", "Schalterartikelloeschen"}) {
            QApplication::setActiveWindow(Browser());
            QTest::mouseClick(In<QPushButton>(Browser(), k), Qt::LeftButton);
            QVERIFY2(KopfW()->isVisible(), k);
        }
        QTest::keyClick(Browser(), Qt::Key_4);
        // "Neuer Lieferschein" again keeps the row being entered.
        Kopf()->NeuerLieferschein();
        QVERIFY(!geoeffnet);
        ui::Hinweis("Ende");
        QVERIFY(geoeffnet);

        QCOMPARE(Lief()->State(), Dataset::Zustand::Insert);
        QCOMPARE(In<QLineEdit>(KopfW(), "DB_LiefNR")->text(), QString("55"));
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), 1);
        QCOMPARE(test::Wert("SELECT count(*) FROM t_lieferschein_artikel").toInt(), 0);
        QTest::mouseClick(In<QPushButton>(KopfW(), "SchalterliefkokfAbbrechen"), Qt::LeftButton);
        QCOMPARE(Lief()->State(), Dataset::Zustand::Browse);
        QCOMPARE(Lief()->FieldByName("t_lieferschein.id").asInteger(), qint64(1));
    }

    void aendern_data()
    {
        QTest::addColumn<QVariant>("rechnungsdatum");
        QTest::addColumn<QVariant>("zahldatum");
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QVariant>("zahldatumDanach");
        const QString heute = QDate::currentDate().toString(Qt::ISODate);
        QTest::newRow("Lieferschein") << QVariant() << QVariant() << "OK" << QVariant();
        QTest::newRow("offene Rechnung, OK bezahlt heute") << QVariant("2024-02-01") << QVariant() << "OK" << QVariant(heute);
        QTest::newRow("offene Rechnung, Abbrechen") << QVariant("2024-02-01") << QVariant() << "Abbrechen" << QVariant();
        QTest::newRow("bezahlte Rechnung behält ihr Datum") << QVariant("2024-02-01") << QVariant("2024-02-15") << "OK"
                                                             << QVariant("2024-02-15");
    }
    void aendern()
    {
        QFETCH(QVariant, rechnungsdatum);
        QFETCH(QVariant, zahldatum);
        QFETCH(QString, knopf);
        QFETCH(QVariant, zahldatumDanach);
        const bool rechnung = rechnungsdatum.isValid();
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahldatum, "
                  "lief_zahlbetrag) VALUES (1, 5, '2024-01-20', 1, ?, ?, NULL)",
                  {rechnungsdatum, zahldatum});
        Lief()->Requery();
        static_cast<ui::Formular*>(App().Lieferschein)->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(Browser()));

        bool gesperrt = false, zahlungSichtbar = false;
        QDate datum, zahlung;
        BeimDialog([&](QWidget* w) {
            QVERIFY(w->isModal());
            datum = In<QDateEdit>(w, "DateTimePicker1")->date();
            gesperrt = !In<QWidget>(w, "DateTimePicker1")->isEnabled() && In<QLineEdit>(w, "DB_LiefNR")->isReadOnly() &&
                       !In<QWidget>(w, "DBName")->isEnabled();
            zahlungSichtbar = In<QWidget>(w, "DateTimePicker2")->isVisible() && In<QWidget>(w, "DBEdit3")->isVisible() &&
                              In<QWidget>(w, "Label5")->isVisible() && In<QWidget>(w, "Label6")->isVisible();
            zahlung = In<QDateEdit>(w, "DateTimePicker2")->date();
            if (rechnung) Ersetzen(In<QLineEdit>(w, "DBEdit3"), "12,5");
            else Ersetzen(In<QLineEdit>(w, "DB_LiefNR"), "6");
            test::Klicke(w, knopf);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterliefaendern"), Qt::LeftButton);
        QCOMPARE(datum, QDate(2024, 1, 20));
        QCOMPARE(gesperrt, rechnung);
        QCOMPARE(zahlungSichtbar, rechnung);
        if (rechnung) QCOMPARE(zahlung, zahldatum.isValid() ? QDate(2024, 2, 15) : QDate::currentDate());
        const auto z = test::Zeilen("SELECT lief_nr, lief_zahldatum, lief_zahlbetrag, lief_adresse_id FROM t_lieferschein");
        QCOMPARE(z.size(), 1);
        const bool ok = knopf == "OK";
        QCOMPARE(z[0][0].toInt(), ok && !rechnung ? 6 : 5);
        QCOMPARE(z[0][1], zahldatumDanach);
        QCOMPARE(z[0][2], ok && rechnung ? QVariant(12.5) : QVariant());
        QCOMPARE(z[0][3].toInt(), 1);
        QCOMPARE(Lief()->State(), Dataset::Zustand::Browse);
    }

    void betragKeineZahlBleibtZurKorrektur()
    {
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum) VALUES "
                  "(1, 5, '2024-01-20', 2, '2024-02-01')");
        Lief()->Requery();
        bool offen = false;
        QString text;
        BeimDialog([&](QWidget* w) {
            // The address is no longer a customer: the list shows no name, the note keeps it.
            QCOMPARE(In<QComboBox>(w, "DBName")->currentIndex(), -1);
            auto* betrag = In<QLineEdit>(w, "DBEdit3");
            Ersetzen(betrag, "zwanzig");
            test::AntworteMeldung("OK");
            QTest::keyClick(betrag, Qt::Key_Return);
            offen = w->isVisible();
            text = betrag->text();
            Ersetzen(betrag, "12");
            QTest::keyClick(betrag, Qt::Key_Return);
        });
        static_cast<ui::Formular*>(App().Lieferschein)->Zeige();
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterliefaendern"), Qt::LeftButton);
        QCOMPARE(test::Meldungen(), QStringList{"'zwanzig' ist kein gültiger Gleitkommawert"});
        QVERIFY(offen);
        QCOMPARE(text, QString("zwanzig"));
        QCOMPARE(test::Zeilen("SELECT lief_zahlbetrag, lief_adresse_id FROM t_lieferschein"),
                 (QList<QList<QVariant>>{{12.0, qint64(2)}}));
    }

    // A date picker is one tab stop: Tab leaves it at once, Shift+Tab comes
    // back, without walking through day, month and year.
    void datumIstEinTabStopp()
    {
        NeuOeffnen();
        QWidget* datum = In<QWidget>(KopfW(), "DateTimePicker1");
        datum->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), datum);
        QTest::keyClick(datum, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), In<QWidget>(KopfW(), "DB_LiefNR"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), datum);
        QTest::keyClick(datum, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != datum);
        QTest::keyClick(KopfW(), Qt::Key_Escape);
    }

    void nummerLeerenLaesstEinLeerzeichen()
    {
        NeuOeffnen();
        auto* nr = In<QLineEdit>(KopfW(), "DB_LiefNR");
        nr->setFocus();
        nr->selectAll();
        QTest::keyClick(nr, Qt::Key_Backspace);
        QCOMPARE(nr->text(), QString(" "));
        QCOMPARE(nr->cursorPosition(), 0);
        QTest::keyClick(nr, Qt::Key_Escape);
    }
    void typischerAblauf()
    {
        test::Sql("INSERT INTO t_stammdaten (Zahlungsbedingungen, Bankverbindungen, Zusatztext) VALUES ('14 Tage netto', 'IBAN AT00', 'Vielen Dank')");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einkauf, artikel_einheit_id, "
                  "artikel_kategorie_id) VALUES (1, 100, 'Schraube', 10.0, 20, 4.0, 1, 1), (2, 101, 'Mutter', 2.5, 10, 1.0, 1, 1)");
        test::Sql("INSERT INTO t_PLU VALUES (42, 2)");
        App().DMOrdavo->ADO_artikel->Requery();
        App().DMOrdavo->ADO_Stammdaten->Requery();

        // "Neuer Lieferschein": key, number, today's date, the default texts, a customer.
        NeuOeffnen();
        QCOMPARE(In<QPlainTextEdit>(KopfW(), "DBMemo1")->toPlainText(), QString("14 Tage netto"));
        KundeWaehlen(KopfW(), "Anna Alt");
        QTest::mouseClick(In<QPushButton>(KopfW(), "SchalterliefkopfOK"), Qt::LeftButton);
        QVERIFY(Browser()->isVisible());
        QCOMPARE(In<QLabel>(Browser(), "DBText1")->text(), QString("1"));
        QCOMPARE(In<QLabel>(Browser(), "DBText4")->text(), QString("Anna Alt"));

        // An item from the article list, three pieces.
        BeimDialog([&](QWidget* w) {
            auto* menge = In<QLineEdit>(w, "Edit1");
            menge->selectAll();
            QTest::keyClicks(menge, "3");
            QTest::keyClick(menge, Qt::Key_Return);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        // An item typed as PLU code 42 in the delivery-note window.
        BeimDialog([&](QWidget* w) {
            QTest::keyClick(w->focusWidget(), Qt::Key_2);
            QTest::keyClick(w->focusWidget(), Qt::Key_Return);
            QTest::keyClick(w->focusWidget(), Qt::Key_Return);
        });
        QWidget* grid = In<QWidget>(Browser(), "DBGrid1");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_4);

        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->RecordCount(), 2);
        QCOMPARE(In<QLabel>(Browser(), "LabelNetto")->text(), QString("32,50 €"));
        QCOMPARE(In<QLabel>(Browser(), "LabelMw")->text(), QString("6,25 €"));
        QCOMPARE(In<QLabel>(Browser(), "LabelGesamt")->text(), QString("38,75 €"));

        // "Rechnung" with today's date; the invoice preview is closed without printing.
        BeimDialog([](QWidget* w) { test::Klicke(w, "OK"); });
        BeimDialog([](QWidget* w) { w->close(); });
        QTest::mouseClick(In<QPushButton>(Browser(), "BitBtn3"), Qt::LeftButton);

        const QString heute = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(test::Zeilen("SELECT id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahlungsbed FROM t_lieferschein"),
                 (QList<QList<QVariant>>{{qint64(1), qint64(1), heute, qint64(1), heute, "14 Tage netto"}}));
        QCOMPARE(test::Zeilen("SELECT la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf FROM t_lieferschein_artikel ORDER BY id"),
                 (QList<QList<QVariant>>{{qint64(1), 3.0, 10.0, 4.0}, {qint64(2), 1.0, 2.5, 1.0}}));
        QCOMPARE(In<QLabel>(Browser(), "DBText6")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
        // It is now an open invoice.
        App().DMOrdavo->ADO_Nochnichtbezahlt->Requery();
        QCOMPARE(App().DMOrdavo->ADO_Nochnichtbezahlt->RecordCount(), 1);
    }
};

QTEST_MAIN(TstLieferscheinkopf)
#include "tst_Lieferscheinkopf.moc"
