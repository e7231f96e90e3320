// The article and category statistics, driven through their windows.
#include "PdfWoerter.h"
#include "TestUmgebung.h"
#include "Statistikdaten.h"
#include "Statistikhilfen.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Stammdatenfenster.h"
#include "report/Ausgabe.h"
#include "stats/Artikel_auswertung.h"
#include "stats/Kategorie_auswertung.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Rep_Artikelauswertung_Kategorie.h"
#include "stats/Statistikfenster.h"
#include "stats/UpDown.h"
#include "ui/Anwendung.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest/QtTest>

using statistikhilfen::Beobachten;
using statistikhilfen::Text;
using statistikhilfen::Texte;

class TstArtikelstatistik : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    TArtikelauswertung* fenster() { return Statistik().Artikelauswertung; }
    QLineEdit* jahr(QWidget* f) { return f->findChild<QLineEdit*>("EditJahr"); }
    QPushButton* knopf(QWidget* f, const char* name) { return f->findChild<QPushButton*>(name); }
    QCalendarWidget* kalender(QWidget* f, const char* name) { return f->findChild<QCalendarWidget*>(name); }

    statistikhilfen::Vorschau Klick(QWidget* f, const char* name, report::Bericht& b)
    {
        return Beobachten([&] { knopf(f, name)->click(); }, b);
    }
    statistikhilfen::Vorschau Jahr(QWidget* f, const QString& j, report::Bericht& b)
    {
        jahr(f)->setText(j);
        return Klick(f, "BitBtn3", b);
    }

    bool statistikOffen()
    {
        TDMOrdavo* dm = App().DMOrdavo;
        return dm->ADO_Auswertung_Artikel->Active() || dm->ADO_Auswertung_Artikel_summen->Active() ||
               dm->ADO_Auswertung_ArtikelKategorie_summen->Active();
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        statistikdaten::Anlegen();
        test::ProgrammErzeugen();
        fenster()->Zeige();
    }
    void cleanup()
    {
        QCOMPARE(test::OffeneDialoge(), 0);
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void ausDerArtikelliste()
    {
        fenster()->close();
        QWidget* liste = Stamm().Artikel;
        static_cast<ui::Formular*>(Stamm().Artikel)->Zeige();
        knopf(liste, "BitBtn2")->click();
        QVERIFY(fenster()->isVisible());
        QVERIFY(!fenster()->isModal());
        knopf(liste, "BitBtn3")->click();
        QVERIFY(Statistik().Kategorieauswertung->isVisible());
        QVERIFY(!Statistik().Kategorieauswertung->isModal());
    }

    void fensterUndSpinner()
    {
        TArtikelauswertung* f = fenster();
        QCOMPARE(f->windowTitle(), QString("Artikelstatistik"));
        QCOMPARE(f->findChild<QLabel*>("Label2")->text(), QString("Artikelstatistik"));
        QCOMPARE(knopf(f, "BitBtn2")->text(), QString("Schließen"));
        const QDate heute = QDate::currentDate();
        QCOMPARE(jahr(f)->text(), QString::number(heute.year()));
        QCOMPARE(kalender(f, "MonthCalendar1")->selectedDate(), heute);
        QCOMPARE(kalender(f, "MonthCalendar2")->selectedDate(), heute);

        auto* spinner = f->findChild<stats::UpDown*>("UpDown1");
        QToolButton* hoch = spinner->findChild<QToolButton*>("Hoch");
        QToolButton* runter = spinner->findChild<QToolButton*>("Runter");
        jahr(f)->setText("8999");
        hoch->click();
        QCOMPARE(jahr(f)->text(), QString("9000"));  // no "9.000"
        hoch->click();
        QCOMPARE(jahr(f)->text(), QString("9000"));  // no wrap
        jahr(f)->setText("1");
        runter->click();
        runter->click();
        QCOMPARE(jahr(f)->text(), QString("0"));
        jahr(f)->setText("2023");
        QTest::keyClick(jahr(f), Qt::Key_Up);
        QCOMPARE(jahr(f)->text(), QString("2024"));

        // Closing and showing again starts over with this year.
        knopf(f, "BitBtn2")->click();
        QVERIFY(!f->isVisible());
        f->Zeige();
        QCOMPARE(jahr(f)->text(), QString::number(heute.year()));
    }

    void jahrMitGrenzenAnteilenUndSummen()
    {
        auto v = Jahr(fenster(), "2023", *Statistik().RepArtikelauswertung);
        QVERIFY(v.gezeigt);
        QVERIFY(!statistikOffen());
        QCOMPARE(int(v.seiten.size()), 1);
        const report::Seite& s = v.seiten.front();

        QCOMPARE(Text(v.seiten, "QRLabelTitel"), QString("Artikelstatistik vom"));
        QCOMPARE(Text(v.seiten, "LabelDatum"), QDate::currentDate().toString("dd.MM.yyyy"));
        QCOMPARE(Text(v.seiten, "QRLabelVon"), QString("Von:"));
        QCOMPARE(Text(v.seiten, "LabelVon"), QString("01.01.2023"));
        QCOMPARE(Text(v.seiten, "QRLabelBis"), QString("Bis:"));
        QCOMPARE(Text(v.seiten, "LabelBis"), QString("31.12.2023"));

        // Article id order; no article without (known) unit, no unknown article.
        // 31.12.2023 counts (Schraube 2 + 1), 31.12.2022 and 01.01.2024 do not.
        QCOMPARE(Texte(v.seiten, "artikel_bez"), QStringList({"Schraube", "Mutter", "Ohne Kategorie", "Gratis", "Beratung"}));
        QCOMPARE(Texte(v.seiten, "artikel_nr"), QStringList({"100", "101", "103", "90", "105"}));
        QCOMPARE(Texte(v.seiten, "Anzahl"), QStringList({"3", "6", "1", "2", "2"}));
        QCOMPARE(Texte(v.seiten, "einheit"), QStringList({"Stk", "kg", "Stk", "Stk", "Stk"}));
        QCOMPARE(Texte(v.seiten, "gesamt"), QStringList({"30,00 €", "12,50 €", "4,00 €", "0,00 €", "37,50 €"}));
        QCOMPARE(Texte(v.seiten, "einkaufspreis"), QStringList({"18,00 €", "9,00 €", "1,00 €", "6,00 €", "0,00 €"}));
        QCOMPARE(Texte(v.seiten, "spanne"), QStringList({"12,00 €", "4,50 €", "3,00 €", "-6,00 €", "20,00 €"}));
        // Shares of the total 108,00 (which includes the items left out of the rows).
        QCOMPARE(Texte(v.seiten, "label_gesamt_pro"),
                 QStringList({"27,78 %", "11,57 %", "3,70 %", "0,00 %", "34,72 %"}));
        // Price 0 with cost: -100 %; a margin without purchase cost has no markup.
        QCOMPARE(Texte(v.seiten, "Label_spanne_pro"),
                 QStringList({"66,67 %", "50,00 %", "300,00 %", "-100,00 %", "–"}));
        QCOMPARE(Text(v.seiten, "LabelVerkauf"), QString("108,00 €"));
        QCOMPARE(Text(v.seiten, "LabelEinkauf"), QString("44,00 €"));
        QCOMPARE(Text(v.seiten, "LabelSpanne"), QString("47,50 €"));

        // Layout: margins, header, rows of 6.1 mm, the totals once at the end.
        const report::TextPrimitiv* datum = s.text("LabelDatum");
        QCOMPARE(datum->box.left(), 58.7);
        QCOMPARE(datum->box.top(), 10.0);
        QCOMPARE(datum->schrift.pointSizeF(), 14.0);
        QVERIFY(datum->schrift.bold());
        QCOMPARE(s.text("LabelVon")->box.top(), 18.5);
        QCOMPARE(s.text("LabelBis")->box.top(), 24.8);
        QCOMPARE(s.text("label_gesamt_pro")->schrift.pointSizeF(), 6.0);
        QCOMPARE(s.text("label_gesamt_pro")->box.right(), 123.7);
        QCOMPARE(s.text("Label_spanne_pro")->box.right(), 190.0);
        QCOMPARE(s.text("gesamt")->box.right(), 115.4);
        QVERIFY(s.text("gesamt")->ausrichtung & Qt::AlignRight);
        QCOMPARE(s.text("LabelVerkauf")->schrift.pointSizeF(), 12.0);
        std::vector<double> zeilen;
        for (const auto& b : s.baender)
            if (b.name == "QRBand1") zeilen.push_back(b.y);
        QCOMPARE(int(zeilen.size()), 5);
        QCOMPARE(zeilen[0], 10.0 + 38.9);
        QVERIFY(qFuzzyCompare(zeilen[1] - zeilen[0], 6.1));
        QCOMPARE(s.anzahlBaender("QRBand2"), 1);
        QVERIFY(std::any_of(s.linien.begin(), s.linien.end(), [](const report::LinienPrimitiv& l) {
            return l.band == "QRBand2" && l.staerke == report::Strichstaerke(report::Strich::Doppelt);
        }));
    }

    void einTagUndSpanneNull()
    {
        TArtikelauswertung* f = fenster();
        kalender(f, "MonthCalendar1")->setSelectedDate(QDate(2023, 12, 31));
        kalender(f, "MonthCalendar2")->setSelectedDate(QDate(2023, 12, 31));
        auto v = Klick(f, "SchalterDatum", *Statistik().RepArtikelauswertung);
        QCOMPARE(Texte(v.seiten, "artikel_bez"), QStringList({"Schraube", "Mutter"}));
        QCOMPARE(Text(v.seiten, "LabelVon"), QString("31.12.2023"));
        QCOMPARE(Text(v.seiten, "LabelBis"), QString("31.12.2023"));
        // Sold at its purchase cost: margin 0, markup 0 %.
        QCOMPARE(Texte(v.seiten, "Label_spanne_pro"), QStringList({"66,67 %", "0,00 %"}));
        QCOMPARE(Text(v.seiten, "LabelVerkauf"), QString("15,00 €"));
    }

    void alleOhneZeitraum()
    {
        auto v = Klick(fenster(), "SchalteralleAnzeigen", *Statistik().RepArtikelauswertung);
        QVERIFY(v.gezeigt);
        for (const char* n : {"QRLabelVon", "LabelVon", "QRLabelBis", "LabelBis"})
            QVERIFY2(Texte(v.seiten, n).isEmpty(), n);
        QCOMPARE(Text(v.seiten, "LabelDatum"), QDate::currentDate().toString("dd.MM.yyyy"));
        QCOMPARE(Texte(v.seiten, "artikel_bez").size(), 5);
        // A year afterwards prints its period again.
        auto j = Jahr(fenster(), "2023", *Statistik().RepArtikelauswertung);
        QCOMPARE(Text(j.seiten, "LabelVon"), QString("01.01.2023"));
    }

    void enterImJahrfeld()
    {
        TArtikelauswertung* f = fenster();
        auto v = Beobachten([&] {
            jahr(f)->setFocus();
            jahr(f)->selectAll();
            QTest::keyClicks(jahr(f), "2022");
            QTest::keyClick(jahr(f), Qt::Key_Return);
        }, *Statistik().RepArtikelauswertung);
        QVERIFY(v.gezeigt);
        QCOMPARE(Text(v.seiten, "LabelVon"), QString("01.01.2022"));
        QCOMPARE(Texte(v.seiten, "artikel_bez"), QStringList({"Schraube"}));
        QCOMPARE(jahr(f)->text(), QString("2022"));
    }

    void falscheJahre_data()
    {
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QString>("meldung");
        const QString datum = QStringLiteral("Ungültiges Argument zum Codieren des Datums");
        QTest::newRow("Text") << "abc" << "'abc' ist kein gültiger Integerwert";
        QTest::newRow("leer") << "" << "'' ist kein gültiger Integerwert";
        QTest::newRow("Bruch") << "2023,5" << "'2023,5' ist kein gültiger Integerwert";
        QTest::newRow("Tausender") << "2.023" << "'2.023' ist kein gültiger Integerwert";
        QTest::newRow("zu groß für eine Zahl") << "99999999999" << "'99999999999' ist kein gültiger Integerwert";
        QTest::newRow("0") << "0" << datum;
        QTest::newRow("negativ") << "-5" << datum;
        QTest::newRow("10000") << "10000" << datum;
    }
    void falscheJahre()
    {
        QFETCH(QString, eingabe);
        QFETCH(QString, meldung);
        for (QWidget* f : {static_cast<QWidget*>(fenster()), static_cast<QWidget*>(Statistik().Kategorieauswertung)}) {
            static_cast<ui::Formular*>(f)->Zeige();
            jahr(f)->setText(eingabe);
            test::AntworteMeldung("OK");
            knopf(f, "BitBtn3")->click();
            QCOMPARE(test::Meldungen(), QStringList({meldung}));
            QVERIFY(!statistikOffen());
        }
    }

    void keineUmsaetze()
    {
        for (QWidget* f : {static_cast<QWidget*>(fenster()), static_cast<QWidget*>(Statistik().Kategorieauswertung)}) {
            static_cast<ui::Formular*>(f)->Zeige();
            jahr(f)->setText("2030");
            test::AntworteMeldung("OK");
            knopf(f, "BitBtn3")->click();
            QCOMPARE(test::Meldungen(), QStringList({"Für den ausgewählten Zeitraum sind keine Umsätze vorhanden"}));
            QVERIFY(!statistikOffen());
        }
    }

    void kalenderregeln()
    {
        TArtikelauswertung* f = fenster();
        QCalendarWidget* von = kalender(f, "MonthCalendar1");
        QCalendarWidget* bis = kalender(f, "MonthCalendar2");
        const QDate heute = QDate::currentDate();
        // A start day after the end day moves the end day.
        QTest::keyClick(von->findChild<QTableView*>("qt_calendar_calendarview"), Qt::Key_Right);
        QCOMPARE(von->selectedDate(), heute.addDays(1));
        QCOMPARE(bis->selectedDate(), heute.addDays(1));
        // An end day before the start day moves the start day.
        QTest::keyClick(bis->findChild<QTableView*>("qt_calendar_calendarview"), Qt::Key_Left);
        QTest::keyClick(bis->findChild<QTableView*>("qt_calendar_calendarview"), Qt::Key_Left);
        QCOMPARE(bis->selectedDate(), heute.addDays(-1));
        QCOMPARE(von->selectedDate(), heute.addDays(-1));
        // A later end day leaves the start day alone.
        bis->setSelectedDate(heute.addDays(10));
        QCOMPARE(von->selectedDate(), heute.addDays(-1));
    }

    void ohneGesamtumsatz()
    {
        // Sold only at price 0: no share; items without price: totals 0.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (20, 20, '2031-05-05', 1), (21, 21, '2032-05-05', 1)");
        test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) VALUES "
                  "(40, 20, 5, 2, 0, 3), (41, 21, 1, 2, NULL, NULL)");
        auto v = Jahr(fenster(), "2031", *Statistik().RepArtikelauswertung);
        QCOMPARE(Texte(v.seiten, "label_gesamt_pro"), QStringList({"–"}));
        QCOMPARE(Texte(v.seiten, "Label_spanne_pro"), QStringList({"-100,00 %"}));
        QCOMPARE(Text(v.seiten, "LabelVerkauf"), QString("0,00 €"));

        v = Jahr(fenster(), "2032", *Statistik().RepArtikelauswertung);
        QCOMPARE(Texte(v.seiten, "artikel_bez"), QStringList({"Schraube"}));
        QCOMPARE(Texte(v.seiten, "label_gesamt_pro"), QStringList({"–"}));
        for (const char* n : {"LabelVerkauf", "LabelEinkauf", "LabelSpanne"}) QCOMPARE(Text(v.seiten, n), QString("0,00 €"));
    }

    // Wide numbers print whole and push the description and the unit aside
    // (a purchase cost of millions moves right, off the share); no column
    // is printed over another; text at its size.
    void breiteZahlenImPdf()
    {
        test::Sql("INSERT INTO t_einheit VALUES (3, 'Pauschale')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(40, " + test::BreiteNummer() + ", 'Installationskabel Eco Aufputz NYM-J 5 x 2,5 mm², Ring 100 m', 1, 3, 1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (40, 40, '2031-03-03', 2)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (40, 40, 40, 123456.75, 100, 60), (41, 40, 1, 1, 10, 6)");
        auto v = Beobachten([&] { jahr(fenster())->setText("2031"); knopf(fenster(), "BitBtn3")->click(); },
                            *Statistik().RepArtikelauswertung);
        QVERIFY(v.gezeigt);
        const QString pdf = m_ordner->datei("breit.pdf");
        report::SchreibePdf(v.seiten, pdf);
        std::vector<test::PdfWort> w;
        test::PdfWoerterLesen(pdf, w);
        QVERIFY2(test::Ueberlappungen(w).isEmpty(), qPrintable(test::Ueberlappungen(w).join("; ")));
        for (const QString& ganz : {test::BreiteNummer(), QStringLiteral("123456,75"), QStringLiteral("12.345.675,00"),
                                    QStringLiteral("7.407.405,00"), QStringLiteral("4.938.270,00")})
            QVERIFY2(!test::Woerter(w, ganz).empty(), qPrintable(ganz));
        QVERIFY(std::any_of(w.begin(), w.end(), [](const test::PdfWort& x) { return x.text.startsWith("Installations"); }));
        QVERIFY(test::Woerter(w, "Ring").empty());
        const double soll = test::Schriftbreite("Artikelbezeichnung", 10);
        QVERIFY(std::abs(test::Woerter(w, "Artikelbezeichnung").front().box.width() - soll) <= 0.01 * soll);
    }

    void vieleSeitenUndPdf()
    {
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (30, 30, '2029-02-02', 2)");
        for (int i = 0; i < 80; ++i) {
            test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_einheit_id, artikel_kategorie_id) VALUES (?, ?, ?, 1, 1, 1)",
                      {100 + i, 500 + i, QString("Artikel %1").arg(i)});
            test::Sql("INSERT INTO t_lieferschein_artikel VALUES (?, 30, ?, 1, 2, 1)", {100 + i, 100 + i});
        }
        const QString pdf = m_ordner->datei("artikel.pdf");
        auto v = Beobachten([&] { jahr(fenster())->setText("2029"); knopf(fenster(), "BitBtn3")->click(); },
                            *Statistik().RepArtikelauswertung, [&](QWidget* vorschau) {
                                // The file dialog opens inside this answer: answer it from a timer of its own.
                                QTimer::singleShot(0, [&] {
                                    QFileDialog* dlg = nullptr;
                                    QVERIFY(QTest::qWaitFor([&] {
                                        dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                                        return dlg && dlg->objectName() == QLatin1String("PdfSpeichernDialog");
                                    }, 5000));
                                    dlg->selectFile(pdf);
                                    static_cast<QDialog*>(dlg)->accept();
                                });
                                vorschau->findChild<QAction*>("AktionPdfSpeichern")->trigger();
                            });
        QVERIFY(v.seiten.size() >= 2);
        for (const auto& s : v.seiten) {
            QCOMPARE(s.anzahlBaender("PageHeaderBand1"), 1);
            QVERIFY(s.text("LabelVon"));
        }
        QCOMPARE(v.seiten.back().anzahlBaender("QRBand2"), 1);
        QCOMPARE(v.seiten.front().anzahlBaender("QRBand2"), 0);
        QCOMPARE(Texte(v.seiten, "artikel_bez").size(), 80);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    }

    void kategorien()
    {
        TKategorieauswertung* f = Statistik().Kategorieauswertung;
        f->Zeige();
        QCOMPARE(f->windowTitle(), QString("Artikelstatistik nach Kategorie"));
        QCOMPARE(f->findChild<QLabel*>("Label2")->text(), QString("Artikelstatistik nach Kategorie"));
        QCOMPARE(jahr(f)->text(), QString::number(QDate::currentDate().year()));

        auto v = Jahr(f, "2023", *Statistik().Kategoriestatistik);
        QVERIFY(v.gezeigt);
        QVERIFY(!statistikOffen());
        QCOMPARE(Text(v.seiten, "QRLabelTitel"), QString("Kategoriestatistik vom"));
        QCOMPARE(v.seiten.front().text("LabelDatum")->box.left(), 69.3);
        QCOMPARE(Text(v.seiten, "LabelVon"), QString("01.01.2023"));
        QCOMPARE(Text(v.seiten, "LabelBis"), QString("31.12.2023"));
        // By category; the article without category is left out.
        QCOMPARE(Texte(v.seiten, "kategorie"), QStringList({"Waren", "Dienste"}));
        QCOMPARE(Texte(v.seiten, "gesamt"), QStringList({"43,50 €", "57,50 €"}));
        QCOMPARE(Texte(v.seiten, "einkaufspreis"), QStringList({"28,00 €", "14,00 €"}));
        QCOMPARE(Texte(v.seiten, "spanne"), QStringList({"16,50 €", "26,00 €"}));
        QCOMPARE(Texte(v.seiten, "spannePro"), QStringList({"55,36 %", "310,71 %"}));
        QCOMPARE(v.seiten.front().text("spannePro")->box.right(), 196.0);
        QCOMPARE(v.seiten.front().text("kategorie")->box.top(), 10.0 + 38.9 + 2.1);

        // 150 sold for 100 bought: 50 %; a category without purchase cost has no markup.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (40, 40, '2033-03-03', 2)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (50, 40, 1, 10, 15, 10), (51, 40, 7, 1, 20, 0)");
        v = Jahr(f, "2033", *Statistik().Kategoriestatistik);
        QCOMPARE(Texte(v.seiten, "spanne"), QStringList({"50,00 €", "20,00 €"}));
        QCOMPARE(Texte(v.seiten, "spannePro"), QStringList({"50,00 %", "–"}));

        v = Klick(f, "SchalteralleAnzeigen", *Statistik().Kategoriestatistik);
        QVERIFY(Texte(v.seiten, "LabelVon").isEmpty());
        QVERIFY(Texte(v.seiten, "QRLabelVon").isEmpty());
        QCOMPARE(Texte(v.seiten, "kategorie"), QStringList({"Waren", "Dienste"}));
    }
};

QTEST_MAIN(TstArtikelstatistik)
#include "tst_artikelstatistik.moc"
