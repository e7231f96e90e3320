#include "stats/Rep_alle_Adressenauswertung.h"

#include "data/Abfrage.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"

using report::Maske;
using report::Schrift;
using stats::BisRechts;
using stats::Box;

namespace {
const QRectF kBoxGesamtumsatzAlle(132.8, 7.0, 0, 0);
const QRectF kBoxNettoAlle(183.3 - 25.0, 6.3, 25.0, 0);
}  // namespace

TRepalleAdressenauswertungen::TRepalleAdressenauswertungen(QObject* parent)
    : stats::Statistikbericht(QStringLiteral("Kundenstatistik für alle Kunden"), parent)
{
    setObjectName(QStringLiteral("TRepalleAdressenauswertungen"));
    setRaender(10, 10, 10, 20);

    report::Band& kopf = seitenkopf();
    kopf.setHoehe(38.9);
    Titelzeile(QStringLiteral("Kundenstantistik für alle Kunden vom"), 103.1);
    Zeitraumzeilen(QStringLiteral("LabelVon"), QStringLiteral("Von"), QStringLiteral("LabelVonDatum"),
                   QStringLiteral("LabelBis"), QStringLiteral("Bis"), QStringLiteral("LabelBisDatum"), 16.0);
    kopf.vorDemDruck = [this](report::Band& b, bool& d) { PageHeaderBand1BeforePrint(b, d); };

    report::Gruppe& g = neueGruppe(QStringLiteral("QRGroup1"));
    g.kopf.setHoehe(8.7);
    g.kopf.setRahmenUnten(report::Strich::Einfach);
    g.kopf.label(QStringLiteral("QRLabelFirma"), QStringLiteral("Firma"), Box(18.5, 4.2));
    g.kopf.label(QStringLiteral("QRLabelName"), QStringLiteral("Name"), Box(56.6, 4.2));
    g.kopf.label(QStringLiteral("QRLabelAdresse"), QStringLiteral("Adresse"), Box(92.5, 4.2));
    g.kopf.label(QStringLiteral("QRLabelPlzOrt"), QStringLiteral("PLZ/Ort"), Box(124.3, 4.2));
    g.kopf.label(QStringLiteral("QRLabelSumme"), QStringLiteral("Summe"), BisRechts(183.1, 4.2, 20.0), std::nullopt,
                 Qt::AlignRight);

    report::Band& zeile = detail();
    zeile.setHoehe(6.1);
    const double y = 0.8;
    // The text columns are cut at the next column; the postcode and the
    // amount print whole, and the town yields to them.
    report::Text* firma =
        zeile.feld(QStringLiteral("adr_firma"), QStringLiteral("adr_firma"), Box(18.5, y, 52.3 - 18.5 - 0.8), Maske::Text);
    report::Text* name =
        zeile.feld(QStringLiteral("adr_ganzername"), QStringLiteral("adr_ganzername"), Box(52.3, y, 27.8), Maske::Text);
    report::Text* adresse = zeile.feld(QStringLiteral("adr_adresse"), QStringLiteral("adr_adresse"),
                                       Box(92.5, y, 122.2 - 92.5 - 0.8), Maske::Text);
    report::Text* plz =
        zeile.feld(QStringLiteral("adr_plz"), QStringLiteral("adr_plz"), Box(122.2, y, 131.4 - 122.2 - 0.2), Maske::Text);
    report::Text* ort =
        zeile.feld(QStringLiteral("adr_ort"), QStringLiteral("adr_ort"), Box(131.4, y, 155.3 - 131.4 - 0.4), Maske::Text);
    report::Text* gesamt = zeile.feld(QStringLiteral("gesamt"), QStringLiteral("gesamt"), QRectF(155.3, y, 183.1 - 155.3, 0),
                                      Maske::Waehrung, std::nullopt, Qt::AlignRight);
    for (report::Text* t : {firma, name, adresse, ort}) t->setFluss(report::Textfluss::Abschneiden);
    adresse->setNachbarn(nullptr, plz);
    ort->setNachbarn(plz, gesamt);


    report::Band& fuss = g.fuss;
    fuss.setName(QStringLiteral("QRBand2"));
    fuss.setHoehe(88.9);
    fuss.setRahmenOben(report::Strich::Doppelt);
    QRLabelGesamtumsatz =
        fuss.label(QStringLiteral("QRLabelGesamtumsatz"), QStringLiteral("Gesamtumsatz:"), kBoxGesamtumsatzAlle);
    LabelNetto = fuss.label(QStringLiteral("LabelNetto"), QString(), kBoxNettoAlle, Schrift(12),
                            Qt::AlignRight);
    fuss.linie(QStringLiteral("QRShapeSumme1"), 162.4, 11.9, 183.8 - 162.4);
    fuss.linie(QStringLiteral("QRShapeSumme2"), 162.4, 13.0, 183.8 - 162.4);
    fuss.vorDemDruck = [this](report::Band& b, bool& d) { QRBand2BeforePrint(b, d); };
}

void TRepalleAdressenauswertungen::Binden() { setDataset(App().DMOrdavo->ADO_Auswertung_alle_Adressen); }

void TRepalleAdressenauswertungen::PageHeaderBand1BeforePrint(report::Band&, bool&) { KopfAusfuellen(); }

void TRepalleAdressenauswertungen::QRBand2BeforePrint(report::Band&, bool&)
{
    // Every item of every note in the period, whatever its address. The
    // listing does not depend on the total: a failure to compute it shows 0,
    // never the total of an earlier run.
    LabelNetto->setText(data::Waehrung(0.0));
    try {
        data::AbfrageLesen(
            App().DMOrdavo->ADOQuery,
            QStringLiteral(
                "SELECT Sum([la_anzahl]*[la_preis]) AS gesamt FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id WHERE (((t_lieferschein.lief_datum) Between :von And :bis));"),
            {{QStringLiteral("von"), von()}, {QStringLiteral("bis"), bis()}},
            [this](data::Dataset& q) { LabelNetto->setText(stats::Betrag(q.FieldByName(QStringLiteral("gesamt")))); });
    } catch (const data::Fehler&) {
        // The listing prints without the total.
    }
    stats::VorDemBetrag(QRLabelGesamtumsatz, kBoxGesamtumsatzAlle, LabelNetto);
}
