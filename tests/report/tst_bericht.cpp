// The banded engine on a generated dataset: page breaks, groups, hooks,
// masks, text boxes, and the PDF it writes.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "report/Ausgabe.h"
#include "report/Bericht.h"
#include "report/Messen.h"
#include "ui/Anwendung.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest/QtTest>

using report::Band;
using report::BandArt;
using report::Bericht;
using report::Maske;
using report::Seiten;
using report::Text;
using report::Textfluss;

namespace {

// Rows 1..n with a group of `proGruppe` rows each.
QString Zahlen(int n, int proGruppe)
{
    return QStringLiteral("WITH RECURSIVE z(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM z WHERE i < %1) "
                          "SELECT i, (i - 1) / %2 AS gruppe, 'Zeile ' || i AS bez, i * 1.5 AS betrag FROM z")
        .arg(n)
        .arg(proGruppe);
}

double Unterkante(const report::Seite& s)
{
    double u = 0;
    for (const auto& b : s.baender) u = std::max(u, b.y + b.hoehe);
    for (const auto& t : s.texte) u = std::max(u, t.box.bottom());
    return u;
}

}  // namespace

class TstBericht : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;

    data::Dataset* Oeffnen(const QString& sql)
    {
        data::Dataset* ds = dm->ADOQuery;
        ds->Close();
        ds->setSql(sql);
        ds->Open();
        return ds;
    }

    // Page header 20 mm, detail 10 mm: 24 rows fit on a page (297 - 10 - 20 - 20 = 247).
    void Grundgeruest(Bericht& b)
    {
        b.setRaender(10, 20, 10, 20);
        Band& kopf = b.seitenkopf();
        kopf.setHoehe(20);
        kopf.label("Titel", "Liste", {10, 0, 0, 0}, report::Schrift(14, true));
        kopf.setRahmenUnten(report::Strich::Einfach);
        Band& zeile = b.detail();
        zeile.setHoehe(10);
        zeile.feld("i", "i", {10, 1, 20, 0}, Maske::Text);
        zeile.feld("bez", "bez", {35, 1, 50, 0});
        zeile.feld("betrag", "betrag", {100, 1, 40, 0}, Maske::Waehrung, std::nullopt, Qt::AlignRight);
        b.zusammenfassung().setHoehe(15);
        b.zusammenfassung().label("Ende", "Ende der Liste", {10, 2, 0, 0});
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        dm = new TDMOrdavo();
        App().DMOrdavo = dm;
    }
    void cleanup()
    {
        App().DMOrdavo = nullptr;
        delete dm;
        dm = nullptr;
        m_ordner.reset();
    }

    void seitenUmbruchOhneGruppen()
    {
        data::Dataset* ds = Oeffnen(Zahlen(60, 1000));
        ds->setRecNo(7);
        Bericht b;
        Grundgeruest(b);
        int kopfHooks = 0;
        QList<int> kopfZeilen;
        b.seitenkopf().vorDemDruck = [&](Band&, bool&) {
            ++kopfHooks;
            kopfZeilen << int(ds->FieldByName("i").asInteger());
        };
        b.setDataset(ds);
        const Seiten s = b.Layout();

        QCOMPARE(int(s.size()), 3);  // 24 + 24 + 12 rows, summary on the last page
        QCOMPARE(kopfHooks, 3);
        // A page header sees the row that prints first below it.
        QCOMPARE(kopfZeilen, QList<int>({1, 25, 49}));
        int zeilen = 0;
        for (const auto& seite : s) {
            QCOMPARE(seite.anzahlBaender("PageHeaderBand1"), 1);
            QVERIFY(seite.text("Titel"));
            QCOMPARE(seite.text("Titel")->box.top(), 10.0);
            QVERIFY2(Unterkante(seite) <= 277.0 + 1e-9, "printed into the bottom margin");
            zeilen += seite.anzahlBaender("QRBand1");
        }
        QCOMPARE(zeilen, 60);
        QCOMPARE(s[1].alleTexte("i").front()->text, QString("25"));
        QCOMPARE(s[1].alleTexte("i").front()->box.top(), 10.0 + 20.0 + 1.0);
        QCOMPARE(s[2].anzahlBaender("SummaryBand1"), 1);
        QCOMPARE(s[0].anzahlBaender("SummaryBand1") + s[1].anzahlBaender("SummaryBand1"), 0);
        // The frame line of the page header spans the band's width.
        const auto& linie = s[0].linien.front();
        QCOMPARE(linie.linie, QLineF(10, 30, 190, 30));
        // The dataset is back where it was.
        QCOMPARE(ds->RecNo(), 7);
    }

    void gruppenMitNeuerSeiteUndFuss()
    {
        data::Dataset* ds = Oeffnen(Zahlen(30, 12));  // groups 0..2 with 12, 12, 6 rows
        Bericht b;
        Grundgeruest(b);
        report::Gruppe& g = b.neueGruppe("Gruppe", report::Gruppe::NachFeld("gruppe"));
        g.neueSeite = true;
        g.kopf.setHoehe(8);
        g.kopf.feld("GruppeNr", "gruppe", {10, 1, 0, 0}, Maske::Text);
        g.fuss.setHoehe(12);
        report::Text* summe = g.fuss.label("Summe", "", {100, 2, 40, 0}, std::nullopt, Qt::AlignRight);
        QList<int> fussZeilen;
        g.fuss.vorDemDruck = [&](Band&, bool&) {
            const int i = int(ds->FieldByName("i").asInteger());
            fussZeilen << i;
            summe->setText(QStringLiteral("bis %1").arg(i));
        };
        b.setDataset(ds);
        const Seiten s = b.Layout();

        QCOMPARE(int(s.size()), 3);
        QCOMPARE(fussZeilen, QList<int>({12, 24, 30}));  // each footer sees its group's last row
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(s[p].anzahlBaender("Gruppe"), 1);
            QCOMPARE(s[p].text("GruppeNr")->text, QString::number(p));
            QCOMPARE(s[p].text("Summe")->text, QStringLiteral("bis %1").arg(fussZeilen[p]));
            // The group header stands right below the page header.
            QCOMPARE(s[p].baender[1].name, QString("Gruppe"));
            QCOMPARE(s[p].baender[1].y, 30.0);
        }
        QCOMPARE(s[2].anzahlBaender("SummaryBand1"), 1);
    }

    void hookBlendetAusUndSetztTexte()
    {
        data::Dataset* ds = Oeffnen(Zahlen(10, 1000));
        Bericht b;
        Grundgeruest(b);
        report::Text* bez = b.detail().text("bez");
        report::Text* extra = b.detail().label("Extra", "", {150, 1, 0, 0});
        b.detail().vorDemDruck = [&](Band&, bool& drucken) {
            const int i = int(ds->FieldByName("i").asInteger());
            drucken = i % 2 == 0;
            extra->setText(QStringLiteral("#%1").arg(i));
            bez->setEnabled(i != 4);
        };
        b.setDataset(ds);
        const Seiten s = b.Layout();
        QCOMPARE(int(s.size()), 1);
        QCOMPARE(s[0].anzahlBaender("QRBand1"), 5);
        const auto extras = s[0].alleTexte("Extra");
        QCOMPARE(extras.size(), size_t(5));
        QCOMPARE(extras[1]->text, QString("#4"));
        QCOMPARE(extras[1]->box.top(), 10.0 + 20 + 10 + 1);  // a hidden band takes no space
        QCOMPARE(s[0].alleTexte("bez").size(), size_t(4));      // a disabled element does not print
    }

    void masken_data()
    {
        QTest::addColumn<QVariant>("wert");
        QTest::addColumn<int>("maske");
        QTest::addColumn<QString>("text");
        QTest::newRow("Geld") << QVariant(1234.5) << int(Maske::Waehrung) << "1.234,50 €";
        QTest::newRow("Geld negativ null") << QVariant(-0.001) << int(Maske::Waehrung) << "0,00 €";
        QTest::newRow("Prozent") << QVariant(20.0) << int(Maske::Prozent) << "20 %";
        QTest::newRow("Prozent gerundet") << QVariant(7.5) << int(Maske::Prozent) << "8 %";
        QTest::newRow("Prozent2") << QVariant(12.345) << int(Maske::Prozent2) << "12,35 %";
        QTest::newRow("Datum") << QVariant(QDate(2024, 3, 5)) << int(Maske::Datum) << "05.03.2024";
        QTest::newRow("Datum ISO-Text") << QVariant(QString("2024-03-05")) << int(Maske::Datum) << "05.03.2024";
        QTest::newRow("Zahl") << QVariant(1.5) << int(Maske::Zahl) << "1,5";
        QTest::newRow("Zahl ganz") << QVariant(3.0) << int(Maske::Zahl) << "3";
        QTest::newRow("NULL") << QVariant() << int(Maske::Waehrung) << "";
    }
    void masken()
    {
        QFETCH(QVariant, wert);
        QFETCH(int, maske);
        QFETCH(QString, text);
        QCOMPARE(report::Formatiere(wert, Maske(maske)), text);
    }

    void textboxenSchneidenUmbrechenWachsen()
    {
        data::Dataset* ds = Oeffnen(QStringLiteral(
            "SELECT 'Eine sehr lange Artikelbezeichnung, die nicht in ihr Feld passt' AS lang, "
            "'eins zwei drei vier fünf sechs sieben acht neun zehn elf zwölf dreizehn vierzehn fünfzehn "
            "sechzehn siebzehn achtzehn neunzehn zwanzig' AS absatz"));
        Bericht b;
        b.detail().setHoehe(20);
        b.detail().feld("zeile", "lang", {10, 0, 40.5, 0})->setFluss(Textfluss::Abschneiden);
        b.detail().textbox("umbruch", "absatz", {60, 0, 40, 10.8}, Textfluss::Umbrechen);
        b.detail().textbox("wachsen", "absatz", {110, 5, 40, 10.8}, Textfluss::Wachsen);
        b.zusammenfassung().setHoehe(5);
        b.zusammenfassung().label("danach", "x", {10, 0, 0, 0});
        b.setDataset(ds);
        const Seiten s = b.Layout();
        const auto* zeile = s[0].text("zeile");
        QVERIFY(zeile->text.size() < ds->FieldByName("lang").asString().size());
        QVERIFY(ds->FieldByName("lang").asString().startsWith(zeile->text));
        QCOMPARE(zeile->box.width(), 40.5);
        const auto* umbruch = s[0].text("umbruch");
        QCOMPARE(umbruch->text.count('\n'), 1);  // two lines fit into 10.8 mm at 10 pt
        QCOMPARE(umbruch->box.height(), 10.8);
        const auto* wachsen = s[0].text("wachsen");
        const int zeilen = int(wachsen->text.count('\n')) + 1;
        QVERIFY(zeilen >= 4);
        QCOMPARE(wachsen->text.split('\n').join(' '), ds->FieldByName("absatz").asString());
        QVERIFY(wachsen->box.height() > 10.8);
        // The band grew by what the box grew, and the next band follows it.
        const double wachstum = wachsen->box.height() - 10.8;
        QCOMPARE(s[0].baender[1].hoehe, 20.0 + wachstum);
        QCOMPARE(s[0].text("danach")->box.top(), 10.0 + 20.0 + wachstum);
    }

    // A one-line text that does not fit prints whole, beyond its box on the
    // side away from its alignment; a cut text beside it yields.
    void zahlenWerdenNieAbgeschnitten()
    {
        data::Dataset* ds = Oeffnen(QStringLiteral(
            "SELECT 12345678.9 AS betrag, 'Eine Bezeichnung, die weit über ihre Spalte hinaus reicht' AS bez"));
        Bericht b;
        b.detail().setHoehe(6);
        Text* bez = b.detail().feld("bez", "bez", {20, 0, 60, 0});
        const struct {
            const char* name;
            Qt::Alignment a;
        } faelle[] = {{"rechts", Qt::AlignRight}, {"links", Qt::AlignLeft}, {"mitte", Qt::AlignHCenter}};
        const QRectF box(70, 0, 10, 0);
        for (const auto& f : faelle) b.detail().feld(f.name, "betrag", box, report::Maske::Waehrung, std::nullopt, f.a);
        bez->setFluss(Textfluss::Abschneiden);
        bez->setNachbarn(nullptr, b.detail().text("rechts"));
        b.setDataset(ds);
        const Seiten s = b.Layout();
        const double breite = report::Messer::fuer(report::Schrift(10)).breite(QStringLiteral("12.345.678,90 €"));
        QVERIFY(breite > box.width());
        for (const auto& f : faelle) {
            const auto* t = s[0].text(f.name);
            QCOMPARE(t->text, QStringLiteral("12.345.678,90 €"));
            QVERIFY2(std::abs(t->box.width() - breite) < 1e-6, f.name);
        }
        QCOMPARE(s[0].text("rechts")->box.right(), box.right());
        QCOMPARE(s[0].text("links")->box.left(), box.left());
        QVERIFY(std::abs(s[0].text("mitte")->box.center().x() - box.center().x()) < 1e-6);
        // The description stops before the grown amount.
        const auto* b1 = s[0].text("bez");
        QVERIFY(!b1->text.isEmpty() && ds->FieldByName("bez").asString().startsWith(b1->text));
        QVERIFY(b1->text.size() < ds->FieldByName("bez").asString().size());
        const double ende = b1->box.left() + report::Messer::fuer(report::Schrift(10)).breite(b1->text);
        QVERIFY2(ende <= box.right() - breite - 0.8 + 1e-6, qPrintable(QString::number(ende)));
    }

    void zuHoherBandWirdGekappt()
    {
        QString viel;
        for (int i = 0; i < 150; ++i) viel += QStringLiteral("Zeile %1\n").arg(i);
        data::Dataset* ds = Oeffnen(QStringLiteral("SELECT '%1' AS t").arg(viel));
        Bericht b;
        b.seitenkopf().setHoehe(30);
        b.detail().setHoehe(10);
        b.detail().textbox("t", "t", {10, 0, 100, 10}, Textfluss::Wachsen);
        b.setDataset(ds);
        const Seiten s = b.Layout();
        QCOMPARE(int(s.size()), 1);
        QVERIFY(Unterkante(s[0]) <= 287.0 + 1e-9);
        QVERIFY(s[0].text("t")->text.startsWith("Zeile 0\nZeile 1\n"));
    }

    void ohneZeilen()
    {
        data::Dataset* ds = Oeffnen(Zahlen(5, 1000) + QStringLiteral(" WHERE i > 100"));
        Bericht b;
        Grundgeruest(b);
        b.neueGruppe("G", report::Gruppe::NachFeld("gruppe")).fuss.setHoehe(10);
        b.setDataset(ds);
        Seiten s = b.Layout();
        QCOMPARE(int(s.size()), 1);
        QCOMPARE(s[0].anzahlBaender("PageHeaderBand1"), 1);
        QCOMPARE(s[0].anzahlBaender("QRBand1"), 0);
        QCOMPARE(s[0].anzahlBaender("G_Fuss"), 0);
        QCOMPARE(s[0].anzahlBaender("SummaryBand1"), 1);
        ds->Close();  // a closed dataset lays out as one without rows
        s = b.Layout();
        QCOMPARE(int(s.size()), 1);
        QCOMPARE(s[0].anzahlBaender("QRBand1"), 0);
    }

    void pdfEnthaeltDieTexte()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) fehlt");
        data::Dataset* ds = Oeffnen(Zahlen(30, 1000));
        Bericht b(QStringLiteral("Liste"));
        Grundgeruest(b);
        b.setDataset(ds);
        const QString pdf = m_ordner->datei("liste.pdf");
        report::SchreibePdf(b, pdf);
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains("Zeile 30"), qPrintable(text.left(500)));
        QVERIFY(text.contains("45,00 €"));
        QVERIFY(text.contains("Liste"));
        QCOMPARE(text.count('\f'), 2);  // two pages
    }

    void pdfInNichtSchreibbaremOrdner()
    {
        Bericht b;
        QVERIFY_THROWS_EXCEPTION(std::exception, report::SchreibePdf(b, m_ordner->datei("fehlt/liste.pdf")));
        QVERIFY(!QFile::exists(m_ordner->datei("fehlt/liste.pdf")));
    }
};

QTEST_MAIN(TstBericht)
#include "tst_bericht.moc"
