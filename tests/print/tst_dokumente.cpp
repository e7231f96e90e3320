// Delivery note, invoice and dunning letter, laid out on a prepared database
// and checked on the pages: what prints where, with which text.
#include "PdfWoerter.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "print/RepMahnung_.h"
#include "print/Rep_Lieferschein.h"
#include "print/Rep_Rechnung.h"
#include "report/Ausgabe.h"
#include "ui/Anwendung.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest/QtTest>

namespace {

// Positions are compared to a hundredth of a millimetre.
int Mm(double v) { return qRound(v * 100); }

#define LAGE(prim, x, y)                                   \
    do {                                                   \
        QVERIFY2((prim) != nullptr, "element not printed"); \
        QCOMPARE(Mm((prim)->box.left()), Mm(x));           \
        QCOMPARE(Mm((prim)->box.top()), Mm(y));            \
    } while (false)

QString Text(const report::Seite& s, const QString& name)
{
    const report::TextPrimitiv* t = s.text(name);
    return t ? t->text : QStringLiteral("<fehlt>");
}

const char* const kBriefkopf[] = {"labelFirma", "LabelName",  "LabelAdresse", "LabelStammd_plzort",
                                  "LabelT",     "labelTel",   "LabelF",       "LabelFax",
                                  "LabelM",     "LabelMobil", "LabelE",       "LabelEmail",
                                  "LabelUID",   "LabelUIDNummer"};

}  // namespace

class TstDokumente : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;
    TRepLieferschein* lieferschein = nullptr;
    TRepRechnung* rechnung = nullptr;
    TRepMahnung* mahnung = nullptr;

    // What the print buttons prepare: the delivery note current, the print set filtered to it.
    void Drucksatz(int id)
    {
        dm->ADO_Lieferschein->Requery();
        QVERIFY(dm->ADO_Lieferschein->Locate(QStringLiteral("t_lieferschein.id"), id));
        dm->ADO_Druck_Lief->Close();
        dm->ADO_Druck_Lief->setFilter(QStringLiteral("la_lieferschein_id = %1").arg(id));
        dm->ADO_Druck_Lief->setFiltered(true);
        dm->ADO_Druck_Lief->Open();
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_stammdaten (stammd_firma, stammd_ganzername, stammd_adresse, stammd_plz, stammd_ort, "
                  "stammd_tel, stammd_fax, stammd_mobil, stammd_email, stammd_uidnr, stammd_firma_d, "
                  "stammd_ganzername_d, stammd_adresse_d, stammd_plz_d, stammd_tel_d, stammd_fax_d, stammd_mobil_d, "
                  "stammd_email_d, stammd_uidnr_d, stammd_drucken) VALUES ('Muster GmbH', 'Max Muster', "
                  "'Hauptstraße 1', '12345', 'Musterstadt', '0123 456', '0123 457', '0170 1', 'info@muster.de', "
                  "'DE123456789', -1, -1, -1, -1, -1, -1, -1, -1, -1, 0)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, "
                  "artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(1, 100, 'Schraube', 11.40, 7.5, 1, 1), (2, 101, 'Mutter', 12.50, 20, 1, 1), "
                  "(3, 102, 'Bohrmaschine mit einer viel zu langen Bezeichnung für ihr Feld', 1234.50, 20, 1, 1)");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_kunde, "
                  "adr_hatlieferadr, adr_lief_firma, adr_lief_ganzername, adr_lief_adresse, adr_lief_plz, "
                  "adr_lief_ort) VALUES "
                  "(1, 'Alpha AG', 'Anna Alpha', 'Alphaweg 1', '11111', 'Alphastadt', -1, -1, 'Alpha Lager', "
                  "'Lars Lager', 'Lagerweg 9', '22222', 'Lagerstadt'), "
                  "(2, 'Beta KG', 'Bernd Beta', 'Betaweg 2', '33333', 'Betadorf', -1, 0, NULL, NULL, NULL, NULL, "
                  "NULL), "
                  "(3, 'Gamma', 'Gerd Gamma', 'Gammaweg 3', NULL, 'Gammaheim', -1, 0, NULL, NULL, NULL, NULL, NULL)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, "
                  "lief_zahlungsbed, lief_Bankverbindungen, lief_Zusatztext, lief_Mahnungstext) VALUES "
                  "(1, 17, '2024-03-05', 1, '2024-03-20', 'Zahlbar innerhalb von 14 Tagen ohne Abzug.', "
                  "'Musterbank, IBAN DE00 1234', 'Vielen Dank für Ihren Auftrag.', ''), "
                  "(2, 18, '2024-03-06', 2, '2024-03-21', ' ', ' ', ' ', 'Bitte zahlen Sie.'), "
                  "(3, 19, '2024-03-07', 3, NULL, NULL, NULL, NULL, NULL), "
                  "(4, 20, '2024-03-08', 2, NULL, NULL, NULL, NULL, NULL)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 1, 11.40, 5), (2, 1, 3, 1, 1234.50, 900), "
                  "(3, 2, 1, 1, 9.00, 5), (4, 2, 2, 2, 12.50, 6)");
        // Note 5: numbers wider than their columns.
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, "
                  "artikel_kategorie_id) VALUES (4, " + test::BreiteNummer() + ", 'Kran', 123456.78, 20, 1, 1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (5, 21, '2024-03-09', 2)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (200, 5, 4, 1000, 123456.78, 1), (201, 5, 2, 123456.75, 12.50, 6)");
        test::Sql("WITH RECURSIVE z(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM z WHERE i < 60) "
                  "INSERT INTO t_lieferschein_artikel SELECT 100 + i, 4, 2, 1, 12.50, 6 FROM z");
        dm = new TDMOrdavo();
        App().DMOrdavo = dm;
        lieferschein = new TRepLieferschein();
        rechnung = new TRepRechnung();
        mahnung = new TRepMahnung();
    }
    void cleanup()
    {
        delete lieferschein;
        delete rechnung;
        delete mahnung;
        App().DMOrdavo = nullptr;
        delete dm;
        dm = nullptr;
        m_ordner.reset();
    }

    void lieferscheinKopfPositionenUndMasken()
    {
        Drucksatz(1);
        const report::Seiten seiten = lieferschein->Layout();
        QCOMPARE(int(seiten.size()), 1);
        const report::Seite& s = seiten[0];

        // Letterhead with every flag set.
        LAGE(s.text("labelFirma"), 20.6, 16.3);
        QCOMPARE(Text(s, "labelFirma"), QString("Muster GmbH"));
        LAGE(s.text("LabelStammd_plzort"), 20.6, 31.7);
        QCOMPARE(Text(s, "LabelStammd_plzort"), QString("12345 Musterstadt"));
        LAGE(s.text("LabelUID"), 137.0, 71.1);
        QCOMPARE(s.text("LabelUID")->schrift.bold(), true);
        QCOMPARE(s.text("LabelUIDNummer")->schrift.pointSizeF(), 8.0);
        LAGE(s.text("LabelUIDNummer"), 143.6, 71.1);

        // Place and date, title and number.
        QCOMPARE(Text(s, "LabelOrt"), QString("Musterstadt"));
        QCOMPARE(Mm(s.text("LabelOrt")->box.right()), Mm(141.2));
        QVERIFY(s.text("LabelOrt")->ausrichtung & Qt::AlignRight);
        LAGE(s.text("LabelDatum"), 143.3, 93.1);
        QCOMPARE(Text(s, "LabelDatum"), QString("05.03.2024"));
        LAGE(s.text("LabelTitel"), 14.2, 113.7);
        QCOMPARE(Text(s, "LabelTitel"), QString("Lieferschein"));
        QCOMPARE(s.text("LabelTitel")->schrift.pointSizeF(), 16.0);
        LAGE(s.text("LabelNr"), 50.2, 115.8);
        LAGE(s.text("LabelNummer"), 56.6, 115.8);
        QCOMPARE(Text(s, "LabelNummer"), QString("17"));
        LAGE(s.mitText("Artikelbezeichnung"), 41.8, 124.3);
        QVERIFY(!s.linien.empty());

        // The first item line: the page header ends at 130 mm, text 0.8 mm below.
        const auto bez = s.alleTexte("artikel_bez");
        QCOMPARE(bez.size(), size_t(2));
        LAGE(bez[0], 41.8, 130.8);
        QCOMPARE(bez[0]->text, QString("Schraube"));
        // A description longer than its box is cut at the box.
        QCOMPARE(Mm(bez[1]->box.right()), Mm(82.3));
        QVERIFY(bez[1]->text.size() < 40);
        QVERIFY(QString("Bohrmaschine mit einer viel zu langen Bezeichnung für ihr Feld").startsWith(bez[1]->text));
        LAGE(s.alleTexte("artikel_bez")[1], 41.8, 136.9);

        QCOMPARE(s.alleTexte("artikel_nr")[0]->text, QString("100"));
        QCOMPARE(s.alleTexte("la_anzahl")[0]->text, QString("1"));
        QCOMPARE(Mm(s.alleTexte("la_anzahl")[0]->box.right()), Mm(96.8));
        QCOMPARE(s.alleTexte("einheit")[0]->text, QString("Stk"));
        // 7.5 % prints rounded on the line.
        QCOMPARE(s.alleTexte("artikel_Mwst")[0]->text, QString("8 %"));
        QCOMPARE(s.alleTexte("artikel_Mwst")[1]->text, QString("20 %"));
        LAGE(s.alleTexte("artikel_Mwst")[0], 115.3, 130.8);
        QCOMPARE(s.alleTexte("la_preis")[1]->text, QString("1.234,50 €"));
        LAGE(s.alleTexte("la_preis")[1], 124.3, 136.9);
        QCOMPARE(s.alleTexte("Nettopreis")[1]->text, QString("1.234,50 €"));
        QCOMPARE(Mm(s.alleTexte("Nettopreis")[1]->box.right()), Mm(181.7));

        // Totals with the exact rate: 11.40 × 7.5 % + 1234.50 × 20 %.
        QCOMPARE(Text(s, "LabelNetto"), QString("1.245,90 €"));
        QCOMPARE(Text(s, "LabelMwSt"), data::Waehrung(11.40 * 7.5 / 100 + 1234.50 * 20 / 100));
        QCOMPARE(Text(s, "LabelMwSt"), QString("247,76 €"));
        QCOMPARE(Text(s, "LabelBrutto"), QString("1.493,66 €"));
        QCOMPARE(s.anzahlBaender("QRBand2"), 1);
        QCOMPARE(s.anzahlBaender("QRBand3"), 1);
    }

    void bruttoIstDieUngerundeteSumme()
    {
        // Net 34.00, tax 0.675 + 5.00 = 5.675 → 5,68 €; the gross 39.674999… → 39,67 €
        // is one cent less than the two printed amounts added.
        Drucksatz(2);
        const report::Seite s = rechnung->Layout().at(0);
        QCOMPARE(Text(s, "LabelNetto"), QString("34,00 €"));
        QCOMPARE(Text(s, "LabelMwSt"), QString("5,68 €"));
        QCOMPARE(Text(s, "LabelBrutto"), QString("39,67 €"));
        // Invoice columns.
        LAGE(s.alleTexte("la_preis")[0], 122.2, 130.8);
        LAGE(s.alleTexte("artikel_Mwst")[0], 115.8, 130.8);
        LAGE(s.text("LabelNr"), 43.9, 115.8);
        LAGE(s.text("LabelNummer"), 50.2, 115.8);
        QCOMPARE(Text(s, "LabelTitel"), QString("Rechnung"));
        // Totals block of the invoice: 27.5 mm with the amounts at 4.8 mm.
        const auto fuss = std::find_if(s.baender.begin(), s.baender.end(), [](const auto& b) { return b.name == "QRBand2"; });
        QCOMPARE(Mm(fuss->hoehe), Mm(27.5));
        LAGE(s.text("LabelNetto"), 153.9, fuss->y + 4.8);
        LAGE(s.text("LabelBrutto"), 153.9, fuss->y + 19.1);
    }

    void briefkopfSchalter_data()
    {
        QTest::addColumn<QString>("aus");  // flags set to 0
        QTest::addColumn<QStringList>("fehlen");
        QStringList alle;
        for (const char* n : kBriefkopf) alle << n;
        QTest::newRow("alle aus") << "stammd_firma_d = 0, stammd_ganzername_d = 0, stammd_adresse_d = 0, "
                                     "stammd_plz_d = 0, stammd_tel_d = 0, stammd_fax_d = 0, stammd_mobil_d = 0, "
                                     "stammd_email_d = 0, stammd_uidnr_d = NULL"
                                  << alle;
        QTest::newRow("nur PLZ aus") << "stammd_plz_d = 0" << QStringList{"LabelStammd_plzort"};
        QTest::newRow("Fax aus") << "stammd_fax_d = 0" << QStringList{"LabelF", "LabelFax"};
    }
    void briefkopfSchalter()
    {
        QFETCH(QString, aus);
        QFETCH(QStringList, fehlen);
        Drucksatz(1);
        lieferschein->Layout();  // a first printout with every flag set
        test::Sql("UPDATE t_stammdaten SET " + aus);
        for (print::Geschaeftsdokument* d : {static_cast<print::Geschaeftsdokument*>(lieferschein),
                                             static_cast<print::Geschaeftsdokument*>(mahnung)}) {
            const report::Seite s = d->Layout().at(0);
            for (const char* n : kBriefkopf) {
                const bool fehlt = fehlen.contains(QString::fromLatin1(n));
                QVERIFY2(fehlt == (s.text(n) == nullptr), n);
            }
            // The place on the date line prints always; the rest of the page as usual.
            QCOMPARE(Text(s, "LabelOrt"), QString("Musterstadt"));
            QVERIFY(s.text("LabelAdr_PlzOrt") && s.text("LabelTitel") && s.text("LabelDatum"));
            QCOMPARE(s.alleTexte("artikel_bez").size(), size_t(2));
        }
    }

    void stammdatenAenderungUndKeineStammdaten()
    {
        Drucksatz(2);
        QCOMPARE(Text(rechnung->Layout().at(0), "labelFirma"), QString("Muster GmbH"));
        test::Sql("UPDATE t_stammdaten SET stammd_firma = 'Neu GmbH', stammd_ort = NULL");
        report::Seite s = rechnung->Layout().at(0);
        QCOMPARE(Text(s, "labelFirma"), QString("Neu GmbH"));
        QCOMPARE(Text(s, "LabelStammd_plzort"), QString("12345"));  // the postcode alone
        test::Sql("DELETE FROM t_stammdaten");
        s = rechnung->Layout().at(0);
        for (const char* n : kBriefkopf) QVERIFY2(!s.text(n), n);
        QCOMPARE(Text(s, "LabelOrt"), QString(""));
        QCOMPARE(Text(s, "LabelAdr_Firma"), QString("Beta KG"));
    }

    void empfaenger()
    {
        // A customer with a delivery address: the delivery note goes there …
        Drucksatz(1);
        report::Seite s = lieferschein->Layout().at(0);
        QVERIFY(!s.text("LabelAdr_Firma") && !s.text("LabelAdr_Name") && !s.text("LabelAdr_Adresse"));
        QCOMPARE(Text(s, "LabelLief_Firma"), QString("Alpha Lager"));
        LAGE(s.text("LabelLief_Firma"), 20.6, 54.7);
        QCOMPARE(Text(s, "LabelLief_Name"), QString("Lars Lager"));
        LAGE(s.text("LabelLief_Name"), 20.6, 61.3);
        QCOMPARE(Text(s, "LabelLief_Adresse"), QString("Lagerweg 9"));
        LAGE(s.text("LabelLief_Adresse"), 20.6, 67.9);
        QCOMPARE(Text(s, "LabelAdr_PlzOrt"), QString("22222 Lagerstadt"));
        LAGE(s.text("LabelAdr_PlzOrt"), 20.6, 74.6);
        QCOMPARE(s.text("LabelAdr_PlzOrt")->schrift.pointSizeF(), 12.0);

        // … the invoice and the dunning letter of the same note to the main address.
        for (print::Geschaeftsdokument* d : {static_cast<print::Geschaeftsdokument*>(rechnung),
                                             static_cast<print::Geschaeftsdokument*>(mahnung)}) {
            s = d->Layout().at(0);
            QVERIFY(!s.text("LabelLief_Firma"));
            QCOMPARE(Text(s, "LabelAdr_Firma"), QString("Alpha AG"));
            LAGE(s.text("LabelAdr_Firma"), 20.3, 54.7);
            QCOMPARE(Text(s, "LabelAdr_Name"), QString("Anna Alpha"));
            LAGE(s.text("LabelAdr_Name"), 20.6, 61.3);
            LAGE(s.text("LabelAdr_Adresse"), 20.3, 67.9);
            QCOMPARE(Text(s, "LabelAdr_PlzOrt"), QString("11111 Alphastadt"));
        }

        // Delivery-address flag set but its columns empty: blank lines, never the main address.
        test::Sql("UPDATE t_adressen SET adr_lief_firma = NULL, adr_lief_ganzername = ' ', adr_lief_adresse = NULL, "
                  "adr_lief_plz = NULL, adr_lief_ort = NULL WHERE id = 1");
        Drucksatz(1);
        s = lieferschein->Layout().at(0);
        QCOMPARE(Text(s, "LabelLief_Firma"), QString(""));
        QCOMPARE(Text(s, "LabelLief_Name").trimmed(), QString(""));
        QCOMPARE(Text(s, "LabelAdr_PlzOrt"), QString(""));
        QVERIFY(!s.text("LabelAdr_Firma"));
    }

    void postleitzahlOderOrtFehlt_data()
    {
        QTest::addColumn<QVariant>("plz");
        QTest::addColumn<QVariant>("ort");
        QTest::addColumn<QString>("zeile");
        QTest::newRow("ohne PLZ") << QVariant() << QVariant("Gammaheim") << "Gammaheim";
        QTest::newRow("ohne Ort") << QVariant("44444") << QVariant() << "44444";
        QTest::newRow("Blank als PLZ") << QVariant(" ") << QVariant("Gammaheim") << "Gammaheim";
        QTest::newRow("beides leer") << QVariant() << QVariant() << "";
    }
    void postleitzahlOderOrtFehlt()
    {
        QFETCH(QVariant, plz);
        QFETCH(QVariant, ort);
        QFETCH(QString, zeile);
        test::Sql("UPDATE t_adressen SET adr_plz = ?, adr_ort = ? WHERE id = 3", {plz, ort});
        for (print::Geschaeftsdokument* d : {static_cast<print::Geschaeftsdokument*>(lieferschein),
                                             static_cast<print::Geschaeftsdokument*>(rechnung),
                                             static_cast<print::Geschaeftsdokument*>(mahnung)}) {
            // Another customer's printout first: its town must not stay on the line.
            Drucksatz(1);
            QVERIFY(Text(d->Layout().at(0), "LabelAdr_PlzOrt").contains("stadt"));
            Drucksatz(3);
            QCOMPARE(Text(d->Layout().at(0), "LabelAdr_PlzOrt"), zeile);
        }
    }

    void schlusstexte()
    {
        const QString lang = QStringLiteral(
            "Zahlbar innerhalb von 14 Tagen ohne Abzug. Bei Zahlung innerhalb von 7 Tagen gewähren wir 2 % Skonto. "
            "Diese dritte Zeile darf nicht mehr gedruckt werden, weil das Feld nur zwei Zeilen hoch ist.");
        test::Sql("UPDATE t_lieferschein SET lief_zahlungsbed = ? WHERE id = 1", {lang});
        Drucksatz(1);
        struct Fall {
            print::Geschaeftsdokument* d;
            double hoehe, y0;
        };
        for (const Fall& f : {Fall{lieferschein, 38.1, 4.2}, Fall{rechnung, 33.9, 0.0}}) {
            const report::Seite s = f.d->Layout().at(0);
            const auto band = std::find_if(s.baender.begin(), s.baender.end(), [](const auto& b) { return b.name == "QRBand3"; });
            QVERIFY(band != s.baender.end());
            QCOMPARE(Mm(band->hoehe), Mm(f.hoehe));
            const auto summen = std::find_if(s.baender.begin(), s.baender.end(), [](const auto& b) { return b.name == "QRBand2"; });
            QCOMPARE(Mm(band->y), Mm(summen->y + summen->hoehe));  // right after the totals block
            const report::TextPrimitiv* z = s.text("lief_zahlungsbed");
            LAGE(z, 14.2, band->y + f.y0);
            QCOMPARE(Mm(z->box.width()), Mm(104.0));
            QCOMPARE(Mm(z->box.height()), Mm(10.8));
            QCOMPARE(z->text.count('\n'), 1);  // two lines
            QVERIFY(lang.startsWith(z->text.split('\n').first()));
            QVERIFY(!z->text.contains("dritte Zeile"));
            LAGE(s.text("lief_Bankverbindungen"), 14.2, band->y + f.y0 + 10.6);
            QCOMPARE(Text(s, "lief_Bankverbindungen"), QString("Musterbank, IBAN DE00 1234"));
            LAGE(s.text("lief_Zusatztext"), 14.2, band->y + f.y0 + 21.2);
            QCOMPARE(Text(s, "lief_Zusatztext"), QString("Vielen Dank für Ihren Auftrag."));
            QVERIFY(s.text("lief_Zusatztext")->box.bottom() <= band->y + band->hoehe);
        }
        QCOMPARE(mahnung->Layout().at(0).anzahlBaender("QRBand3"), 0);
    }

    void mahnungMitLangemText()
    {
        QStringList zeilen;
        for (int i = 1; i <= 15; ++i) zeilen << QStringLiteral("Mahnungszeile %1").arg(i);
        test::Sql("UPDATE t_lieferschein SET lief_Mahnungstext = ? WHERE id = 2", {zeilen.join("\r\n")});
        dm->ADO_Nochnichtbezahlt->Requery();
        QVERIFY(dm->ADO_Nochnichtbezahlt->Locate(QStringLiteral("id"), 2));
        Drucksatz(2);
        const report::Seiten seiten = mahnung->Layout();
        QCOMPARE(int(seiten.size()), 1);
        const report::Seite& s = seiten[0];
        QCOMPARE(Text(s, "LabelTitel"), QString("Mahnung"));
        LAGE(s.text("LabelTitel"), 12.1, 112.9);
        LAGE(s.text("LabelNr"), 39.6, 115.0);
        LAGE(s.text("LabelNummer"), 46.0, 115.0);
        QCOMPARE(Text(s, "LabelNummer"), QString("18"));
        QCOMPARE(Text(s, "LabelDatum"), QString("06.03.2024"));  // the delivery note's date
        LAGE(s.alleTexte("artikel_nr")[0], 19.3, 130.8);

        const auto band = std::find_if(s.baender.begin(), s.baender.end(), [](const auto& b) { return b.name == "QRBand2"; });
        const report::TextPrimitiv* t = s.text("lief_Mahnungstext");
        LAGE(t, 14.2, band->y + 25.4);
        QCOMPARE(t->text.split('\n'), zeilen);  // in full
        QVERIFY(t->box.height() > 10.8);
        QCOMPARE(Mm(band->hoehe), Mm(38.1 + t->box.height() - 10.8));  // the band grew with it
        LAGE(s.text("LabelNetto"), 153.9, band->y + 4.5);
        LAGE(s.text("LabelMwSt"), 153.9, band->y + 10.3);
        LAGE(s.text("LabelMwStText"), 134.9, band->y + 10.8);
        QVERIFY(band->y + band->hoehe <= 287.0);

        // An empty dunning text leaves the space blank and the band at its height.
        test::Sql("UPDATE t_lieferschein SET lief_Mahnungstext = '' WHERE id = 2");
        Drucksatz(2);
        const report::Seite leer = mahnung->Layout().at(0);
        QCOMPARE(Text(leer, "lief_Mahnungstext"), QString(""));
        const auto b2 = std::find_if(leer.baender.begin(), leer.baender.end(), [](const auto& b) { return b.name == "QRBand2"; });
        QCOMPARE(Mm(b2->hoehe), Mm(38.1));
    }

    void sechzigPositionenAufMehrerenSeiten()
    {
        Drucksatz(4);
        const report::Seiten seiten = rechnung->Layout();
        // 130 mm below the header, 6.1 mm a line down to 287 mm: 25 lines a page.
        QCOMPARE(int(seiten.size()), 3);
        int zeilen = 0;
        for (size_t p = 0; p < seiten.size(); ++p) {
            const report::Seite& s = seiten[p];
            for (const char* n : {"labelFirma", "LabelAdr_Firma", "LabelAdr_PlzOrt", "LabelDatum", "LabelTitel",
                                  "LabelNummer"})
                QVERIFY2(s.text(n), n);
            QCOMPARE(Text(s, "LabelNummer"), QString("20"));
            QVERIFY(s.mitText("Artikelbezeichnung"));
            LAGE(s.alleTexte("artikel_bez").front(), 41.8, 130.8);
            for (const auto& b : s.baender) QVERIFY2(b.y + b.hoehe <= 287.0 + 1e-9, qPrintable(b.name));
            zeilen += s.anzahlBaender("QRBand1");
            QCOMPARE(s.anzahlBaender("QRBand2"), p + 1 == seiten.size() ? 1 : 0);
            QCOMPARE(s.anzahlBaender("QRBand3"), p + 1 == seiten.size() ? 1 : 0);
        }
        QCOMPARE(zeilen, 60);
        QCOMPARE(seiten[0].anzahlBaender("QRBand1"), 25);
        QCOMPARE(Text(seiten[2], "LabelNetto"), QString("750,00 €"));
        QCOMPARE(Text(seiten[2], "LabelBrutto"), QString("900,00 €"));
    }

    void leererDrucksatz()
    {
        Drucksatz(3);
        QCOMPARE(dm->ADO_Druck_Lief->RecordCount(), 0);
        const report::Seiten seiten = lieferschein->Layout();
        QCOMPARE(int(seiten.size()), 1);
        const report::Seite& s = seiten[0];
        QCOMPARE(Text(s, "LabelNr"), QString("Nr."));
        QCOMPARE(Text(s, "LabelNummer"), QString(""));
        QCOMPARE(Text(s, "LabelAdr_Firma"), QString("Gamma"));
        QCOMPARE(s.anzahlBaender("QRBand1"), 0);
        QCOMPARE(s.anzahlBaender("QRBand2"), 0);
        QVERIFY(!s.text("LabelNetto"));
        QCOMPARE(s.anzahlBaender("QRBand3"), 1);
        QCOMPARE(Text(s, "lief_zahlungsbed"), QString(""));
    }

    // The PDF read back: text at its true size in each document, the
    // description cut before the quantity, numbers whole.
    void pdfSchriftgroessenUndSpalten()
    {
        struct Fall {
            const char* name;
            print::Geschaeftsdokument* dokument;
            int lieferschein;
            const char* titel;
            const char* empfaenger;  // a word of the recipient block, 12 pt
        };
        const Fall faelle[] = {{"lieferschein", lieferschein, 1, "Lieferschein", "Lagerweg"},
                               {"rechnung", rechnung, 1, "Rechnung", "Alphaweg"},
                               {"mahnung", mahnung, 2, "Mahnung", "Betaweg"}};
        for (const Fall& f : faelle) {
            Drucksatz(f.lieferschein);
            dm->ADO_Nochnichtbezahlt->Open();
            dm->ADO_Nochnichtbezahlt->Locate(QStringLiteral("t_lieferschein.id"), f.lieferschein);
            const QString pdf = m_ordner->datei(QString::fromLatin1(f.name) + ".pdf");
            report::SchreibePdf(f.dokument->Layout(), pdf, f.name);
            std::vector<test::PdfWort> w;
            test::PdfWoerterLesen(pdf, w);
            QVERIFY2(test::Ueberlappungen(w).isEmpty(), qPrintable(test::Ueberlappungen(w).join("; ")));
            const struct {
                QString wort;
                double pt;
                bool fett;
            } groessen[] = {{"Artikelbezeichnung", 10, false},
                            {QString::fromLatin1(f.titel), 16, true},
                            {QString::fromLatin1(f.empfaenger), 12, false}};
            for (const auto& g : groessen) {
                const auto gefunden = test::Woerter(w, g.wort);
                QVERIFY2(!gefunden.empty(), qPrintable(QString::fromLatin1(f.name) + ": " + g.wort));
                const double soll = test::Schriftbreite(g.wort, g.pt, g.fett);
                const double ist = gefunden.front().box.width();
                QVERIFY2(std::abs(ist - soll) <= 0.01 * soll,
                         qPrintable(QStringLiteral("%1: %2 ist %3 mm breit, in %4 pt %5 mm")
                                        .arg(QString::fromLatin1(f.name), g.wort).arg(ist).arg(g.pt).arg(soll)));
            }
        }

        // The short description whole; the long one ends before the quantity.
        Drucksatz(1);
        const QString pdf = m_ordner->datei("spalten.pdf");
        report::SchreibePdf(lieferschein->Layout(), pdf, QStringLiteral("spalten"));
        std::vector<test::PdfWort> w;
        test::PdfWoerterLesen(pdf, w);
        QCOMPARE(int(test::Woerter(w, "Schraube").size()), 1);
        const auto bohr = test::Woerter(w, "Bohrmaschine");
        QCOMPARE(int(bohr.size()), 1);
        const double zeile = bohr.front().box.top();
        double rechtsBez = 0, linksMenge = 1e9;
        for (const test::PdfWort& x : w) {
            if (std::abs(x.box.top() - zeile) > 1.0) continue;
            if (x.box.left() >= 41.0 && x.box.left() < 82.3) rechtsBez = std::max(rechtsBez, x.box.right());
            if (x.box.right() > 90.0 && x.box.right() < 97.5) linksMenge = std::min(linksMenge, x.box.left());
        }
        QVERIFY2(rechtsBez <= 82.3 && rechtsBez < linksMenge,
                 qPrintable(QStringLiteral("Bezeichnung bis %1 mm, Menge ab %2 mm").arg(rechtsBez).arg(linksMenge)));
        QVERIFY(test::Woerter(w, "Feld").empty());

        // Amounts of ten million and more, a long quantity and article number: whole, each once.
        Drucksatz(5);
        const QString gross = m_ordner->datei("zahlen.pdf");
        report::SchreibePdf(lieferschein->Layout(), gross, QStringLiteral("zahlen"));
        test::PdfWoerterLesen(gross, w);
        QVERIFY2(test::Ueberlappungen(w).isEmpty(), qPrintable(test::Ueberlappungen(w).join("; ")));
        for (const QString& zahl : {QStringLiteral("123.456.780,00"), test::BreiteNummer(), QStringLiteral("123.456,78"),
                                    QStringLiteral("123456,75"), QStringLiteral("1.543.209,38"), QStringLiteral("124.999.989,38"),
                                    QStringLiteral("24.999.997,88"), QStringLiteral("149.999.987,25")}) {
            const auto z = test::Woerter(w, zahl);
            QVERIFY2(z.size() == 1, qPrintable(zahl));
            QVERIFY2(z.front().box.left() >= 10.0 && z.front().box.right() <= 200.0, qPrintable(zahl));
        }
        QCOMPARE(int(test::Woerter(w, "€").size()), 2 * 2 + 3);  // unit prices, line totals, totals
    }

    void pdfEinesLieferscheins()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) fehlt");
        Drucksatz(1);
        const QString pdf = m_ordner->datei("lieferschein.pdf");
        report::SchreibePdf(lieferschein->Layout(), pdf, lieferschein->bericht().titel());
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        for (const char* erwartet : {"Muster GmbH", "12345 Musterstadt", "Alpha Lager", "22222 Lagerstadt",
                                     "Musterstadt, 05.03.2024", "Lieferschein", "Nr. 17", "Schraube", "1.234,50 €",
                                     "20 %", "1.493,66 €", "Vielen Dank für Ihren Auftrag."})
            QVERIFY2(text.contains(QString::fromUtf8(erwartet)), qPrintable(QString::fromUtf8(erwartet) + "\n" + text));
        QVERIFY(!text.contains("Alpha AG"));
        QCOMPARE(text.count('\f'), 1);
    }
};

QTEST_MAIN(TstDokumente)
#include "tst_dokumente.moc"
