#include "stats/Rep_Artikelauswertung_Kategorie.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"

using report::Maske;
using stats::BisRechts;
using stats::Box;

TKategoriestatistik::TKategoriestatistik(QObject* parent)
    : stats::Statistikbericht(QStringLiteral("Kategoriestatistik"), parent)
{
    setObjectName(QStringLiteral("TKategoriestatistik"));
    setRaender(10, 10, 10, 10);

    report::Band& kopf = seitenkopf();
    kopf.setHoehe(38.9);
    kopf.setRahmenUnten(report::Strich::Einfach);
    Titelzeile(QStringLiteral("Kategoriestatistik vom"), 69.3);
    Zeitraumzeilen(QStringLiteral("QRLabelVon"), QStringLiteral("Von:"), QStringLiteral("LabelVon"),
                   QStringLiteral("QRLabelBis"), QStringLiteral("Bis:"), QStringLiteral("LabelBis"), 0);
    kopf.label(QStringLiteral("QRLabelKategorie"), QStringLiteral("Kategorie"), Box(26.9, 33.9));
    kopf.label(QStringLiteral("QRLabelVerkauf"), QStringLiteral("Verkauf"), Box(103.1, 33.9));
    kopf.label(QStringLiteral("QRLabelEinkauf"), QStringLiteral("Einkauf"), Box(130.7, 33.9));
    kopf.label(QStringLiteral("QRLabelSpanne"), QStringLiteral("Spanne"), BisRechts(168.2, 33.9, 20.0), std::nullopt,
               Qt::AlignRight);
    kopf.label(QStringLiteral("QRLabelSpannePro"), QStringLiteral("Spanne in %"), Box(176.2, 33.9));
    kopf.vorDemDruck = [this](report::Band& b, bool& d) { PageHeaderBand1BeforePrint(b, d); };

    report::Band& zeile = detail();
    zeile.setHoehe(8.5);
    const double y = 2.1;
    report::Text* kategorie = zeile.feld(QStringLiteral("kategorie"), QStringLiteral("kategorie"), Box(26.9, y, 62.0), Maske::Text);
    report::Text* gesamt = zeile.feld(QStringLiteral("gesamt"), QStringLiteral("gesamt"), BisRechts(114.7, y, 24.0),
                                      Maske::Waehrung, std::nullopt, Qt::AlignRight);
    kategorie->setFluss(report::Textfluss::Abschneiden);
    kategorie->setNachbarn(nullptr, gesamt);
    zeile.feld(QStringLiteral("einkaufspreis"), QStringLiteral("einkaufspreis"), BisRechts(142.6, y, 24.0),
               Maske::Waehrung, std::nullopt, Qt::AlignRight);
    zeile.feld(QStringLiteral("spanne"), QStringLiteral("spanne"), BisRechts(167.5, y, 24.0), Maske::Waehrung,
               std::nullopt, Qt::AlignRight);
    report::Text* pro = zeile.feld(QStringLiteral("spannePro"), QStringLiteral("spannePro"), BisRechts(196.0, y, 24.0),
                                   Maske::Zahl2, std::nullopt, Qt::AlignRight);
    // Without purchase cost the database has no markup for the category.
    pro->setFormatierer([](const data::Field& f) {
        return f.isNull() ? stats::OhneWert() : stats::ProzentTausender(f.asFloat());
    });
}

void TKategoriestatistik::Binden() { setDataset(App().DMOrdavo->ADO_Auswertung_ArtikelKategorie_summen); }

void TKategoriestatistik::PageHeaderBand1BeforePrint(report::Band&, bool&) { KopfAusfuellen(); }
