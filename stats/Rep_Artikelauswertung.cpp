#include "stats/Rep_Artikelauswertung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"

#include "report/Messen.h"

#include <algorithm>
#include <cmath>

using report::Maske;
using report::Schrift;
using stats::BisRechts;
using stats::Box;

namespace {
// The 6 pt columns, on the baseline of the 10 pt ones.
const QRectF kBoxAnteil(115.8, 2.0, 7.9, 0);
// The markup ends at the right margin rather than at 189.3, so that it keeps
// a gap to the margin amount before it.
const QRectF kBoxAufschlag(190.0 - 7.9, 2.0, 7.9, 0);
const QRectF kBoxGesamtumsatzArtikel(65.0, 7.0, 0, 0);
const QRectF kBoxVerkauf(92.6, 6.3, 23.0, 0);
const QRectF kBoxEinkauf(124.3, 6.3, 23.0, 0);
const QRectF kBoxEinkaufZeile(124.3, 0.8, 22.8, 0);
const QRectF kBoxSpanneZeile(158.2, 0.8, 22.8, 0);
const QRectF kBoxSpanne(158.2, 6.3, 23.0, 0);
}  // namespace

TRepArtikelauswertung::TRepArtikelauswertung(QObject* parent)
    : stats::Statistikbericht(QStringLiteral("Artikelstatistik"), parent)
{
    setObjectName(QStringLiteral("TRepArtikelauswertung"));
    setRaender(10, 10, 10, 20);

    report::Band& kopf = seitenkopf();
    kopf.setHoehe(38.9);
    kopf.setRahmenUnten(report::Strich::Einfach);
    Titelzeile(QStringLiteral("Artikelstatistik vom"), 58.7);
    Zeitraumzeilen(QStringLiteral("QRLabelVon"), QStringLiteral("Von:"), QStringLiteral("LabelVon"),
                   QStringLiteral("QRLabelBis"), QStringLiteral("Bis:"), QStringLiteral("LabelBis"), 0);
    kopf.label(QStringLiteral("QRLabelArtikelNr"), QStringLiteral("Artikel-NR"), Box(10.0, 33.9));
    kopf.label(QStringLiteral("QRLabelBezeichnung"), QStringLiteral("Artikelbezeichnung"), Box(26.9, 33.9));
    kopf.label(QStringLiteral("QRLabelMenge"), QStringLiteral("Menge"), Box(73.5, 33.9));
    kopf.label(QStringLiteral("QRLabelVerkauf"), QStringLiteral("Verkauf"), Box(103.1, 33.9));
    kopf.label(QStringLiteral("QRLabelVerkaufPro"), QStringLiteral("%"), Box(116.6, 33.9));
    kopf.label(QStringLiteral("QRLabelEinkauf"), QStringLiteral("Einkauf"), Box(134.9, 33.9));
    kopf.label(QStringLiteral("QRLabelSpanne"), QStringLiteral("Spanne"), BisRechts(180.9, 33.9, 20.0), std::nullopt,
               Qt::AlignRight);
    kopf.label(QStringLiteral("QRLabelSpannePro"), QStringLiteral("%"), Box(182.5, 33.9));
    kopf.vorDemDruck = [this](report::Band& b, bool& d) { PageHeaderBand1BeforePrint(b, d); };

    report::Band& zeile = detail();
    zeile.setHoehe(6.1);
    const double y = 0.8;
    // Numbers print whole; the description is cut, also where the number or
    // the quantity beside it needs more than its column.
    report::Text* nr = zeile.feld(QStringLiteral("artikel_nr"), QStringLiteral("artikel_nr"), Box(12.1, y, 14.4), Maske::Text);
    report::Text* bez = zeile.feld(QStringLiteral("artikel_bez"), QStringLiteral("artikel_bez"), Box(26.9, y, 40.5), Maske::Text);
    report::Text* menge = zeile.feld(QStringLiteral("Anzahl"), QStringLiteral("Anzahl"), BisRechts(79.8, y, 12.2), Maske::Zahl,
                                     std::nullopt, Qt::AlignRight);
    bez->setFluss(report::Textfluss::Abschneiden);
    bez->setNachbarn(nr, menge);
    // A long unit ("Pauschale") may use the room the sales amount leaves.
    report::Text* einheit =
        zeile.feld(QStringLiteral("einheit"), QStringLiteral("einheit"), Box(80.4, y, 115.4 - 80.4), Maske::Text);
    report::Text* verkauf = zeile.feld(QStringLiteral("gesamt"), QStringLiteral("gesamt"), QRectF(92.6, y, 22.8, 0),
                                       Maske::Waehrung, std::nullopt, Qt::AlignRight);
    einheit->setFluss(report::Textfluss::Abschneiden);
    einheit->setNachbarn(menge, verkauf);
    label_gesamt_pro = zeile.label(QStringLiteral("label_gesamt_pro"), QString(), kBoxAnteil,
                                   Schrift(6), Qt::AlignRight);
    m_einkauf = zeile.feld(QStringLiteral("einkaufspreis"), QStringLiteral("einkaufspreis"), kBoxEinkaufZeile,
                           Maske::Waehrung, std::nullopt, Qt::AlignRight);
    zeile.feld(QStringLiteral("spanne"), QStringLiteral("spanne"), kBoxSpanneZeile, Maske::Waehrung, std::nullopt,
               Qt::AlignRight);
    Label_spanne_pro = zeile.label(QStringLiteral("Label_spanne_pro"), QString(), kBoxAufschlag,
                                   Schrift(6), Qt::AlignRight);
    zeile.vorDemDruck = [this](report::Band& b, bool& d) { QRBand1BeforePrint(b, d); };

    // One group over all rows: its footer prints the totals once, after the last row.
    report::Gruppe& g = neueGruppe(QStringLiteral("QRGroup1"));
    report::Band& fuss = g.fuss;
    fuss.setName(QStringLiteral("QRBand2"));
    fuss.setHoehe(15.1);
    fuss.setRahmenOben(report::Strich::Doppelt);
    QRLabelGesamtumsatz = fuss.label(QStringLiteral("QRLabelGesamtumsatz"), QStringLiteral("Gesamtumsatz:"), kBoxGesamtumsatzArtikel);
    LabelVerkauf = fuss.label(QStringLiteral("LabelVerkauf"), QString(), kBoxVerkauf, Schrift(12),
                              Qt::AlignRight);
    LabelEinkauf = fuss.label(QStringLiteral("LabelEinkauf"), QString(), kBoxEinkauf, Schrift(12),
                              Qt::AlignRight);
    LabelSpanne = fuss.label(QStringLiteral("LabelSpanne"), QString(), kBoxSpanne, Schrift(12),
                             Qt::AlignRight);
    fuss.linie(QStringLiteral("QRShapeSumme1"), 91.5, 11.4, 183.0 - 91.5);
    fuss.linie(QStringLiteral("QRShapeSumme2"), 91.5, 12.4, 183.0 - 91.5);
    fuss.vorDemDruck = [this](report::Band& b, bool& d) { QRBand2BeforePrint(b, d); };

    vorDemLayout = [this] {
        data::Dataset* summen = App().DMOrdavo ? App().DMOrdavo->ADO_Auswertung_Artikel_summen : nullptr;
        m_gesamtumsatz = summen && summen->Active() && !summen->IsEmpty()
                             ? summen->FieldByName(QStringLiteral("gesamt")).value()
                             : QVariant();
    };
}

void TRepArtikelauswertung::Binden() { setDataset(App().DMOrdavo->ADO_Auswertung_Artikel); }

void TRepArtikelauswertung::PageHeaderBand1BeforePrint(report::Band&, bool&) { KopfAusfuellen(); }

QString TRepArtikelauswertung::Umsatzanteil(const QVariant& umsatz, const QVariant& gesamtumsatz)
{
    const double s = umsatz.isNull() ? 0.0 : umsatz.toDouble();
    const double t = gesamtumsatz.isNull() ? 0.0 : gesamtumsatz.toDouble();
    // Without sales in the period there is no share.
    if (t == 0.0) return stats::OhneWert();
    return stats::Prozent(s / (t / 100.0));
}

QString TRepArtikelauswertung::Aufschlag(const QVariant& spanne, const QVariant& einkauf)
{
    if (spanne.isNull()) return stats::Prozent(0.0);
    const double m = spanne.toDouble();
    const double e = einkauf.isNull() ? 0.0 : einkauf.toDouble();
    if (m == 0.0) return stats::Prozent(0.0);
    // A margin without purchase cost has no markup.
    if (e == 0.0) return stats::OhneWert();
    return stats::Prozent(100.0 / e * (m + e) - 100.0);
}

void TRepArtikelauswertung::QRBand1BeforePrint(report::Band&, bool&)
{
    data::Dataset* ds = dataset();
    const QVariant einkauf = ds->FieldByName(QStringLiteral("einkaufspreis")).value();
    const QVariant spanne = ds->FieldByName(QStringLiteral("spanne")).value();
    stats::SetzeSchmal(label_gesamt_pro, kBoxAnteil,
                       Umsatzanteil(ds->FieldByName(QStringLiteral("gesamt")).value(), m_gesamtumsatz));
    stats::SetzeSchmal(Label_spanne_pro, kBoxAufschlag, Aufschlag(spanne, einkauf));

    // A purchase cost of millions grows left into the share column; it moves
    // right instead, as far as the margin amount leaves room.
    report::Messer& m = report::Messer::fuer(report::Schrift(10));
    const double einkaufLinks = kBoxEinkaufZeile.right() - m.breite(report::Formatiere(einkauf, Maske::Waehrung));
    const double anteilRechts = label_gesamt_pro->box().right();
    double schieben = std::max(0.0, anteilRechts + 0.8 - einkaufLinks);
    if (schieben > 0) {
        const double spanneLinks = kBoxSpanneZeile.right() - m.breite(report::Formatiere(spanne, Maske::Waehrung));
        schieben = std::min(schieben, std::max(0.0, spanneLinks - 0.8 - kBoxEinkaufZeile.right()));
    }
    m_einkauf->setBox(kBoxEinkaufZeile.translated(schieben, 0));
}

void TRepArtikelauswertung::QRBand2BeforePrint(report::Band&, bool&)
{
    data::Dataset* summen = App().DMOrdavo->ADO_Auswertung_Artikel_summen;
    const bool da = summen->Active() && !summen->IsEmpty();
    LabelVerkauf->setText(stats::Betrag(da ? summen->FieldByName(QStringLiteral("gesamt")) : data::Field()));
    LabelEinkauf->setText(stats::Betrag(da ? summen->FieldByName(QStringLiteral("einkaufspreis")) : data::Field()));
    LabelSpanne->setText(stats::Betrag(da ? summen->FieldByName(QStringLiteral("spanne")) : data::Field()));
    stats::VorDemBetrag(QRLabelGesamtumsatz, kBoxGesamtumsatzArtikel, LabelVerkauf);
}
