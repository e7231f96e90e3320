// "Mahnung senden": the dunning text offered and stored, the print set
// narrowed to the invoice while the letter is previewed and reset afterwards.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferfenster.h"
#include "delivery/Mahnung_.h"
#include "delivery/nochnichtbezahlt_.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"

#include <QPushButton>
#include <QtTest/QtTest>

namespace {

const QString kVorgabe = QStringLiteral("Bitte begleichen Sie\r\nden offenen Betrag.");

struct Druckstand {
    bool gezeigt = false;
    QString filter;
    bool gefiltert = false;
    int zeilen = -1;
    QString objekt;
};

}  // namespace

class TstMahnung : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    Tnochnichtbezahlt* liste = nullptr;
    bool m_druckFehler = false;  // after OK an error message comes instead of the preview

    data::Dataset* Offen() { return App().DMOrdavo->ADO_Nochnichtbezahlt; }
    data::Dataset* Druck() { return App().DMOrdavo->ADO_Druck_Lief; }
    QVariant GespeicherterText(int id) { return test::Wert("SELECT lief_Mahnungstext FROM t_lieferschein WHERE id = ?", {id}); }

    // Answers the dunning window (the memo text is handed to `bearbeiten`,
    // which returns the button to click) and, after OK, the preview.
    void MahnungSenden(int id, QString& angeboten, const std::function<QString(ui::DBMemo*)>& bearbeiten, Druckstand& druck)
    {
        QVERIFY(Offen()->Locate("id", id));
        test::BeimNaechstenDialog([&, bearbeiten](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TMahnung"));
            auto* memo = w->findChild<ui::DBMemo*>("DBMemo1");
            angeboten = memo->text();
            const QString knopf = bearbeiten(memo);
            if (knopf == "BitBtn1" && m_druckFehler) {
                test::AntworteMeldung("OK");
            } else if (knopf == "BitBtn1") {
                // The preview follows on OK.
                test::BeimNaechstenDialog([&](QWidget* vorschau) {
                    druck.gezeigt = true;
                    druck.objekt = vorschau->metaObject()->className();
                    druck.filter = Druck()->filter();
                    druck.gefiltert = Druck()->filtered();
                    druck.zeilen = Druck()->Active() ? Druck()->RecordCount() : -1;
                    vorschau->close();
                });
            }
            test::Klicke(w, knopf);
        });
        liste->findChild<QPushButton*>("BitBtn2")->click();
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_stammdaten (stammd_firma, stammd_plz, stammd_ort, Mahnungstext) VALUES ('Eigene Firma', '1010', 'Wien', ?)", {kVorgabe});
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_hatlieferadr) "
                  "VALUES (1, 'Müller GmbH', 'Hans Müller', 'Hauptstraße 1', '1010', 'Wien', 0)");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, artikel_kategorie_id) "
                  "VALUES (1, 1, 'Ware', 100, 20, 1, 1)");
        // Three open invoices: dunning text empty string, never written, written.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_Mahnungstext) VALUES "
                  "(1, 11, '2024-03-01', 1, '2024-03-05', ''),"
                  "(2, 12, '2024-03-02', 1, '2024-03-06', NULL),"
                  "(3, 13, '2024-03-03', 1, '2024-03-07', 'Letzte Mahnung')");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 1, 100, 0), (2, 2, 1, 2, 100, 0), (3, 3, 1, 3, 100, 0), (4, 3, 1, 1, 5, 0)");
        test::ProgrammErzeugen();
        liste = Lieferung().nochnichtbezahlt;
        QVERIFY(liste);
        QVERIFY(Lieferung().Mahnung);
        if (!Offen()->Active()) Offen()->Open();
        liste->Zeige();
    }
    void cleanup()
    {
        liste = nullptr;
        m_druckFehler = false;
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void angebotenerText_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("angeboten");
        QTest::newRow("leerer Text: Vorgabe der Stammdaten") << 1 << "Bitte begleichen Sie\nden offenen Betrag.";
        // Never written: an empty memo (the blank comes only when the user empties it).
        QTest::newRow("nie geschrieben: leer") << 2 << "";
        QTest::newRow("gespeicherter Text") << 3 << "Letzte Mahnung";
    }
    void angebotenerText()
    {
        QFETCH(int, id);
        QFETCH(QString, angeboten);
        const QVariant vorher = GespeicherterText(id);
        QString gesehen;
        Druckstand druck;
        MahnungSenden(id, gesehen, [](ui::DBMemo*) { return QString("BitBtn2"); }, druck);
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(gesehen, angeboten);
        // Abbrechen stores nothing and prints nothing.
        QCOMPARE(GespeicherterText(id), vorher);
        QVERIFY(!druck.gezeigt);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), data::Dataset::Zustand::Browse);
    }

    void okSpeichertUndZeigtDieMahnung()
    {
        QString gesehen;
        Druckstand druck;
        MahnungSenden(1, gesehen, [](ui::DBMemo* memo) {
            memo->setFocus();
            memo->moveCursor(QTextCursor::End);
            QTest::keyClick(memo, Qt::Key_Return);
            QTest::keyClicks(memo, "Danke.");
            return QString("BitBtn1");
        }, druck);
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(gesehen, QString("Bitte begleichen Sie\nden offenen Betrag."));
        QCOMPARE(GespeicherterText(1).toString(), QString("Bitte begleichen Sie\r\nden offenen Betrag.\r\nDanke."));

        // While the letter was shown the print set held this invoice only.
        QVERIFY(druck.gezeigt);
        QVERIFY2(druck.objekt != "QMessageBox", qPrintable(druck.objekt));
        QCOMPARE(druck.filter, QString("la_lieferschein_id = 1"));
        QVERIFY(druck.gefiltert);
        QCOMPARE(druck.zeilen, 1);
        // Afterwards the filter is gone and the first delivery note is current.
        QCOMPARE(Druck()->filter(), QString());
        QVERIFY(!Druck()->filtered());
        data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
        QCOMPARE(lief->RecNo(), 0);
        QCOMPARE(lief->FieldByName("t_lieferschein.id").asInteger(), 1);
        // The invoice stays open and the list is not re-read.
        QCOMPARE(Offen()->RecordCount(), 3);
        QCOMPARE(Offen()->FieldByName("id").asInteger(), 1);

        // A second dunning offers the text stored at the first.
        MahnungSenden(1, gesehen, [](ui::DBMemo*) { return QString("BitBtn2"); }, druck);
        QCOMPARE(gesehen, QString("Bitte begleichen Sie\nden offenen Betrag.\nDanke."));
    }

    void geleertesMemoSpeichertEinLeerzeichen()
    {
        QString gesehen, nachLeeren;
        Druckstand druck;
        MahnungSenden(3, gesehen, [&](ui::DBMemo* memo) {
            memo->setFocus();
            memo->selectAll();
            QTest::keyClick(memo, Qt::Key_Delete);
            nachLeeren = memo->text();
            const int cursor = memo->textCursor().position();
            if (cursor != 0) nachLeeren += " (Cursor nicht vorn)";
            return QString("BitBtn1");
        }, druck);
        QCOMPARE(nachLeeren, QString(" "));
        QCOMPARE(GespeicherterText(3).toString(), QString(" "));
        QCOMPARE(druck.filter, QString("la_lieferschein_id = 3"));
        QCOMPARE(druck.zeilen, 2);
    }

    void fehlerBeimDruckSetztDenFilterZurueck()
    {
        // The print set can no longer be read; the dunning text is stored first.
        test::Sql("ALTER TABLE t_adressen RENAME COLUMN adr_hatlieferadr TO adr_hatlieferadr_alt");
        QString gesehen;
        Druckstand druck;
        m_druckFehler = true;
        MahnungSenden(2, gesehen, [](ui::DBMemo* memo) {
            // The memo has the focus when the window is active.
            if (!QTest::qWaitForWindowActive(memo->window())) return QString("BitBtn2");
            QTest::keyClicks(memo, "Bitte zahlen");
            return QString("BitBtn1");
        }, druck);
        QCOMPARE(test::OffeneDialoge(), 0);
        const QStringList meldungen = test::Meldungen();
        QCOMPARE(meldungen.size(), 1);
        QVERIFY2(meldungen.first().contains("adr_hatlieferadr"), qPrintable(meldungen.first()));
        QVERIFY(!druck.gezeigt);
        QCOMPARE(GespeicherterText(2).toString(), QString("Bitte zahlen"));
        QCOMPARE(Druck()->filter(), QString());
        QVERIFY(!Druck()->filtered());
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->State(), data::Dataset::Zustand::Browse);
    }
};

QTEST_MAIN(TstMahnung)
#include "tst_Mahnung.moc"
