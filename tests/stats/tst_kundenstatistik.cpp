// The customer and all-customer statistics, driven through their modal windows.
#include "PdfWoerter.h"
#include "TestUmgebung.h"
#include "Statistikdaten.h"
#include "Statistikhilfen.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/adressen_.h"
#include "stats/Datum_Adressenauswertung.h"
#include "stats/Datum_alle_Adressen_auswertung.h"
#include "stats/Rep_Adressenauswertung.h"
#include "stats/Rep_alle_Adressenauswertung.h"
#include "report/Ausgabe.h"
#include "ui/Anwendung.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

using statistikhilfen::Beobachten;
using statistikhilfen::Text;
using statistikhilfen::Texte;

class TstKundenstatistik : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    static QLineEdit* jahr(QWidget* f) { return f->findChild<QLineEdit*>("EditJahr"); }
    static QPushButton* knopf(QWidget* f, const char* name) { return f->findChild<QPushButton*>(name); }
    static QCalendarWidget* kalender(QWidget* f, const char* name) { return f->findChild<QCalendarWidget*>(name); }

    struct Lauf {
        statistikhilfen::Vorschau vorschau;
        bool ok = true;
        QString jahrDanach;
        QDate vonDanach, bisDanach;
    };

    // Opens the modal window as its button in the address list does, runs
    // `bedienen` in it (the preview it opens is laid out and closed), and
    // closes it with "Abbrechen".
    Lauf Modal(ui::Formular* f, report::Bericht& bericht, const std::function<void()>& bedienen,
               const std::function<void(QWidget*)>& waehrend = {})
    {
        Lauf l;
        QTimer::singleShot(0, f, [&] {
            QVERIFY(QTest::qWaitForWindowActive(f));
            l.vorschau = Beobachten(bedienen, bericht, waehrend);
            // Active again after the preview: the window starts over.
            QTRY_COMPARE_WITH_TIMEOUT(jahr(f)->text(), QString::number(QDate::currentDate().year()), 2000);
            l.jahrDanach = jahr(f)->text();
            l.vonDanach = kalender(f, "MonthCalendar1")->selectedDate();
            l.bisDanach = kalender(f, "MonthCalendar2")->selectedDate();
            knopf(f, "BitBtn2")->click();
        });
        l.ok = f->ZeigeModal();
        return l;
    }

    Lauf Kunde(int id, const QString& j)
    {
        App().DMOrdavo->ADO_t_adressen->Locate("id", id);
        TAdressenauswertung* f = App().Adressenauswertung;
        return Modal(f, *App().RepAdressenauswertung, [&] {
            jahr(f)->setText(j);
            knopf(f, "BitBtn3")->click();
        });
    }

    Lauf AlleKunden(const std::function<void(QWidget*)>& bedienen, const std::function<void(QWidget*)>& waehrend = {})
    {
        TDatum_alle_Adressenauswertung* f = App().Datum_alle_Adressenauswertung;
        return Modal(f, *App().RepalleAdressenauswertungen, [&] { bedienen(f); }, waehrend);
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        statistikdaten::Anlegen();
        // 2025: Epsilon buys 30,00 and 120,00 and 5,00 of an article without unit.
        // 2027: Beta 10,00, Dora (no company) 250,00, Epsilon 40,00.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES "
                  "(50, 50, '2025-04-01', 5), (51, 51, '2025-09-30', 5), (52, 52, '2027-01-10', 2), (53, 53, '2027-02-10', 4), (54, 54, '2027-03-10', 5)");
        test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) VALUES "
                  "(60, 50, 1, 3, 10, 6), (61, 51, 7, 6, 20, 0), (62, 51, 3, 1, 5, 2),"
                  "(63, 52, 1, 1, 10, 6), (64, 53, 7, 12.5, 20, 0), (65, 54, 2, 16, 2.5, 1)");
        test::ProgrammErzeugen();
    }
    void cleanup()
    {
        QCOMPARE(test::OffeneDialoge(), 0);
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void ausDerAdressenliste()
    {
        QWidget* liste = App().Adressen;
        static_cast<ui::Formular*>(App().Adressen)->Zeige();
        QStringList modal;
        for (int i = 0; i < 2; ++i)
            test::BeimNaechstenDialog([&](QWidget* w) {
                modal << w->objectName();
                knopf(w, "BitBtn2")->click();
            });
        knopf(liste, "BitBtn1")->click();
        knopf(liste, "BitBtn2")->click();
        QCOMPARE(modal, QStringList({"TAdressenauswertung", "TDatum_alle_Adressenauswertung"}));
    }

    void kunde()
    {
        TAdressenauswertung* f = App().Adressenauswertung;
        QCOMPARE(f->windowTitle(), QString("Kundenstatistik"));
        QCOMPARE(f->findChild<QLabel*>("Label2")->text(), QString("Kundenstatistik"));
        QCOMPARE(knopf(f, "BitBtn2")->text(), QString("Abbrechen"));

        const Lauf l = Kunde(5, "2025");
        QVERIFY(!l.ok);
        QVERIFY(l.vorschau.gezeigt);
        QVERIFY(!App().DMOrdavo->ADO_Auswertung_Adressen->Active());
        const report::Seiten& s = l.vorschau.seiten;
        QCOMPARE(int(s.size()), 1);
        QCOMPARE(Text(s, "QRLabelTitel"), QString("Kundenstatistik vom"));
        QCOMPARE(Text(s, "LabelVon"), QString("Von"));
        QCOMPARE(Text(s, "LabelVonDatum"), QString("01.01.2025"));
        QCOMPARE(Text(s, "LabelBis"), QString("Bis"));
        QCOMPARE(Text(s, "LabelBisDatum"), QString("31.12.2025"));
        QCOMPARE(s[0].text("LabelVon")->box.right(), 16.0);
        QVERIFY(s[0].text("LabelVon")->ausrichtung & Qt::AlignRight);
        QCOMPARE(Text(s, "QRLabelFuer"), QString("Für:"));
        QCOMPARE(Text(s, "adr_firma"), QString("Epsilon"));
        QCOMPARE(Text(s, "adr_plz"), QString("5020"));
        QCOMPARE(Text(s, "adr_ort"), QString("Salzburg"));
        QCOMPARE(s[0].text("adr_ort")->schrift.pointSizeF(), 8.0);
        QCOMPARE(s[0].text("adr_ort")->box.top(), 10.0 + 44.2);
        // Largest sales first; the article without unit only in the total.
        QCOMPARE(Texte(s, "artikel_bez"), QStringList({"Beratung", "Schraube"}));
        QCOMPARE(Texte(s, "Anzahl"), QStringList({"6", "3"}));
        QCOMPARE(Texte(s, "gesamt"), QStringList({"120,00 €", "30,00 €"}));
        QCOMPARE(Text(s, "LabelNetto"), QString("155,00 €"));
        QCOMPARE(s[0].text("LabelNetto")->schrift.pointSizeF(), 12.0);
        QCOMPARE(s[0].text("LabelNetto")->box.right(), 183.3);
        QCOMPARE(s[0].anzahlBaender("QRGroup1"), 1);
        QCOMPARE(s[0].anzahlBaender("QRBand2"), 1);
        QCOMPARE(Text(s, "QRLabelSumme"), QString("Summe"));
        // After the preview the window shows this year and today again.
        QCOMPARE(l.jahrDanach, QString::number(QDate::currentDate().year()));
        QCOMPARE(l.vonDanach, QDate::currentDate());
        QCOMPARE(l.bisDanach, QDate::currentDate());
    }

    void kundeOhneUmsatzZeigtNurDenKopf()
    {
        const Lauf l = Kunde(4, "2030");
        QVERIFY(l.vorschau.gezeigt);
        const report::Seite& s = l.vorschau.seiten.at(0);
        QCOMPARE(s.anzahlBaender("QRGroup1"), 0);
        QCOMPARE(s.anzahlBaender("QRBand2"), 0);
        QVERIFY(!s.text("LabelNetto"));
        QVERIFY(!s.text("QRLabelArtikelNr"));
        QCOMPARE(Text(l.vorschau.seiten, "QRLabelFuer"), QString("Für:"));
        QCOMPARE(Text(l.vorschau.seiten, "adr_firma"), QString());  // no company: an empty line
        QCOMPARE(Text(l.vorschau.seiten, "adr_ort"), QString("Linz"));
    }

    void kundeAlleEinTagUndEnter()
    {
        TAdressenauswertung* f = App().Adressenauswertung;
        App().DMOrdavo->ADO_t_adressen->Locate("id", 3);
        Lauf l = Modal(f, *App().RepAdressenauswertung, [&] { knopf(f, "SchalteralleAnzeigen")->click(); });
        for (const char* n : {"LabelVon", "LabelVonDatum", "LabelBis", "LabelBisDatum"}) QVERIFY2(Texte(l.vorschau.seiten, n).isEmpty(), n);
        QCOMPARE(Texte(l.vorschau.seiten, "artikel_bez"), QStringList({"Schraube", "Mutter"}));

        l = Modal(f, *App().RepAdressenauswertung, [&] {
            kalender(f, "MonthCalendar1")->setSelectedDate(QDate(2023, 12, 31));
            kalender(f, "MonthCalendar2")->setSelectedDate(QDate(2023, 12, 31));
            knopf(f, "SchalterDatum")->click();
        });
        QCOMPARE(Text(l.vorschau.seiten, "LabelVonDatum"), QString("31.12.2023"));
        QCOMPARE(Text(l.vorschau.seiten, "LabelNetto"), QString("15,00 €"));

        App().DMOrdavo->ADO_t_adressen->Locate("id", 5);
        l = Modal(f, *App().RepAdressenauswertung, [&] {
            jahr(f)->setFocus();
            jahr(f)->setText("2025");
            QTest::keyClick(jahr(f), Qt::Key_Enter);
        });
        QVERIFY(l.vorschau.gezeigt);
        QCOMPARE(Text(l.vorschau.seiten, "LabelNetto"), QString("155,00 €"));
    }

    void kundeKalenderregelUndFalschesJahr()
    {
        TAdressenauswertung* f = App().Adressenauswertung;
        QDate von, bis;
        QStringList meldungen;
        QTimer::singleShot(0, f, [&] {
            QVERIFY(QTest::qWaitForWindowActive(f));
            QTest::keyClick(kalender(f, "MonthCalendar2")->findChild<QTableView*>("qt_calendar_calendarview"), Qt::Key_Left);
            von = kalender(f, "MonthCalendar1")->selectedDate();
            bis = kalender(f, "MonthCalendar2")->selectedDate();
            for (const char* j : {"zwei", "0"}) {
                jahr(f)->setText(j);
                test::AntworteMeldung("OK");
                knopf(f, "BitBtn3")->click();
            }
            meldungen = test::Meldungen();
            QTest::keyClick(f, Qt::Key_Escape);
        });
        QVERIFY(!f->ZeigeModal());
        QCOMPARE(bis, QDate::currentDate().addDays(-1));
        QCOMPARE(von, bis);
        QCOMPARE(meldungen, QStringList({"'zwei' ist kein gültiger Integerwert", "Ungültiges Argument zum Codieren des Datums"}));
        QVERIFY(!App().DMOrdavo->ADO_Auswertung_Adressen->Active());
    }

    void kundeVieleSeiten()
    {
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (70, 70, '2026-06-06', 5)");
        for (int i = 0; i < 60; ++i) {
            test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_einheit_id, artikel_kategorie_id) VALUES (?, ?, ?, 1, 1, 1)",
                      {100 + i, 500 + i, QString("Artikel %1").arg(i)});
            test::Sql("INSERT INTO t_lieferschein_artikel VALUES (?, 70, ?, 1, ?, 0)", {100 + i, 100 + i, 100.0 - i});
        }
        const Lauf l = Kunde(5, "2026");
        const report::Seiten& s = l.vorschau.seiten;
        QVERIFY(s.size() >= 2);
        QCOMPARE(Texte(s, "artikel_bez").size(), 60);
        QCOMPARE(Texte(s, "artikel_bez").first(), QString("Artikel 0"));
        // The headings once, before the first row; the customer on every page.
        QCOMPARE(s.front().anzahlBaender("QRGroup1"), 1);
        for (size_t p = 1; p < s.size(); ++p) {
            QCOMPARE(s[p].anzahlBaender("QRGroup1"), 0);
            QCOMPARE(s[p].anzahlBaender("PageHeaderBand1"), 1);
            QVERIFY(s[p].mitText("Epsilon"));
        }
        QCOMPARE(s.back().anzahlBaender("QRBand2"), 1);
        QCOMPARE(Text(s, "LabelNetto"), QString("4.230,00 €"));
    }

    void alleKunden()
    {
        TDatum_alle_Adressenauswertung* f = App().Datum_alle_Adressenauswertung;
        QCOMPARE(f->windowTitle(), QString("Kundenstatistik für alle Kunden"));
        QCOMPARE(f->findChild<QLabel*>("Label2")->text(), QString("Kundenstatistik"));

        Lauf l = AlleKunden([](QWidget* w) {
            jahr(w)->setText("2027");
            knopf(w, "BitBtn3")->click();
        });
        QVERIFY(!l.ok);
        QVERIFY(!App().DMOrdavo->ADO_Auswertung_alle_Adressen->Active());
        const report::Seiten& s = l.vorschau.seiten;
        QCOMPARE(Text(s, "QRLabelTitel"), QString("Kundenstantistik für alle Kunden vom"));
        QCOMPARE(s[0].text("LabelDatum")->box.left(), 103.1);
        QCOMPARE(Text(s, "LabelVonDatum"), QString("01.01.2027"));
        QCOMPARE(Texte(s, "gesamt"), QStringList({"250,00 €", "40,00 €", "10,00 €"}));
        QCOMPARE(Texte(s, "adr_ganzername"), QStringList({"Dora Dach", "Emil Ende", "Bernd Bau"}));
        QCOMPARE(Texte(s, "adr_firma"), QStringList({"", "Epsilon", "Beta KG"}));
        QCOMPARE(Texte(s, "adr_ort"), QStringList({"Linz", "Salzburg", "Graz"}));
        QCOMPARE(Text(s, "LabelNetto"), QString("300,00 €"));
        QCOMPARE(s[0].anzahlBaender("QRGroup1"), 1);
        QCOMPARE(Text(s, "QRLabelPlzOrt"), QString("PLZ/Ort"));
        QCOMPARE(l.jahrDanach, QString::number(QDate::currentDate().year()));

        // Two addresses with equal columns are one line; no period lines.
        l = AlleKunden([](QWidget* w) { knopf(w, "SchalteralleAnzeigen")->click(); });
        QVERIFY(Texte(l.vorschau.seiten, "LabelVonDatum").isEmpty());
        QCOMPARE(Texte(l.vorschau.seiten, "adr_firma").count("Alpha GmbH"), 1);
        const QStringList summen = Texte(l.vorschau.seiten, "gesamt");
        QCOMPARE(summen.at(Texte(l.vorschau.seiten, "adr_firma").indexOf("Alpha GmbH")), QString("85,00 €"));
    }

    void alleKundenOhneKalenderregel()
    {
        QDate von, bis;
        const Lauf l = AlleKunden([](QWidget* w) {
            kalender(w, "MonthCalendar1")->setSelectedDate(QDate(2023, 12, 31));
            kalender(w, "MonthCalendar2")->setSelectedDate(QDate(2023, 1, 1));
            knopf(w, "SchalterDatum")->click();
        }, [&](QWidget*) {
            QWidget* f = App().Datum_alle_Adressenauswertung;
            von = kalender(f, "MonthCalendar1")->selectedDate();
            bis = kalender(f, "MonthCalendar2")->selectedDate();
        });
        QCOMPARE(von, QDate(2023, 12, 31));
        QCOMPARE(bis, QDate(2023, 1, 1));
        QVERIFY(l.vorschau.gezeigt);
        QCOMPARE(l.vorschau.seiten.at(0).anzahlBaender("QRGroup1"), 0);
        QCOMPARE(Text(l.vorschau.seiten, "LabelVonDatum"), QString("31.12.2023"));
    }

    // The listing as a PDF: text at its size, postcodes and amounts whole, no
    // column printed over another.
    void alleKundenPdf()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_kunde) VALUES "
                  "(20, 'Großhandel Mannheimer Elektro- und Installationsbedarf GmbH & Co. KG', 'Maximiliane Mustermann-Schulze', "
                  "'Friedrich-Ebert-Anlage 123a', '68159', 'Mannheim-Neckarstadt-West', -1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (90, 90, '2029-05-05', 20), (91, 91, '2029-06-06', 2)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (90, 90, 1, 1000, 12345.67, 6), (91, 91, 1, 2, 10, 6)");
        const Lauf l = AlleKunden([](QWidget* w) {
            jahr(w)->setText("2029");
            knopf(w, "BitBtn3")->click();
        });
        QCOMPARE(Texte(l.vorschau.seiten, "adr_plz"), QStringList({"68159", "8010"}));
        const QString pdf = m_ordner->datei("allekunden.pdf");
        report::SchreibePdf(l.vorschau.seiten, pdf);
        std::vector<test::PdfWort> w;
        test::PdfWoerterLesen(pdf, w);
        QVERIFY2(test::Ueberlappungen(w).isEmpty(), qPrintable(test::Ueberlappungen(w).join("; ")));
        for (const char* ganz : {"68159", "8010", "12.345.670,00", "12.345.690,00"})
            QVERIFY2(test::Woerter(w, ganz).size() == 1, ganz);
        const struct {
            QString wort;
            double pt;
            bool fett;
        } groessen[] = {{"Gesamtumsatz:", 10, false}, {"Kundenstantistik", 14, true}, {"12.345.690,00", 12, false}};
        for (const auto& g : groessen) {
            const auto gefunden = test::Woerter(w, g.wort);
            QVERIFY2(!gefunden.empty(), qPrintable(g.wort));
            const double soll = test::Schriftbreite(g.wort, g.pt, g.fett);
            QVERIFY2(std::abs(gefunden.front().box.width() - soll) <= 0.01 * soll,
                     qPrintable(QStringLiteral("%1: %2 mm, in %3 pt %4 mm").arg(g.wort).arg(gefunden.front().box.width()).arg(g.pt).arg(soll)));
        }
    }

    void alleKundenSummeOhneWert()
    {
        // Only items without price: the total shows 0, not a placeholder.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (80, 80, '2028-08-08', 2)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (80, 80, 1, 2, NULL, 6)");
        const Lauf l = AlleKunden([](QWidget* w) {
            jahr(w)->setText("2028");
            knopf(w, "BitBtn3")->click();
        });
        QCOMPARE(Texte(l.vorschau.seiten, "adr_firma"), QStringList({"Beta KG"}));
        QCOMPARE(Text(l.vorschau.seiten, "LabelNetto"), QString("0,00 €"));
    }
};

QTEST_MAIN(TstKundenstatistik)
#include "tst_kundenstatistik.moc"
