#include "stats/Rep_Adressenauswertung.h"

#include "data/Abfrage.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"

using report::Maske;
using report::Schrift;
using stats::BisRechts;
using stats::Box;

namespace {
const QRectF kBoxGesamtumsatz(132.8, 7.0, 0, 0);
const QRectF kBoxNetto(183.3 - 25.0, 6.3, 25.0, 0);
}  // namespace

TRepAdressenauswertung::TRepAdressenauswertung(QObject* parent)
    : stats::Statistikbericht(QStringLiteral("Kundenstatistik"), parent)
{
    setObjectName(QStringLiteral("TRepAdressenauswertung"));
    setRaender(10, 10, 10, 20);

    report::Band& kopf = seitenkopf();
    kopf.setHoehe(62.2);
    Titelzeile(QStringLiteral("Kundenstatistik vom"), 62.9);
    Zeitraumzeilen(QStringLiteral("LabelVon"), QStringLiteral("Von"), QStringLiteral("LabelVonDatum"),
                   QStringLiteral("LabelBis"), QStringLiteral("Bis"), QStringLiteral("LabelBisDatum"), 16.0);
    kopf.label(QStringLiteral("QRLabelFuer"), QStringLiteral("Für:"), Box(10.0, 25.4), Schrift(8));
    m_firma = kopf.label(QStringLiteral("adr_firma"), QString(), Box(10.0, 30.7, 180.0), Schrift(8));
    m_plz = kopf.label(QStringLiteral("adr_plz"), QString(), Box(10.0, 44.2, 10.8), Schrift(8));
    m_ort = kopf.label(QStringLiteral("adr_ort"), QString(), Box(20.1, 44.2, 169.9), Schrift(8));
    kopf.vorDemDruck = [this](report::Band& b, bool& d) { PageHeaderBand1BeforePrint(b, d); };

    // One group over all rows: the headings once before the first row, the total after the last.
    report::Gruppe& g = neueGruppe(QStringLiteral("QRGroup1"));
    g.kopf.setHoehe(8.7);
    g.kopf.setRahmenUnten(report::Strich::Einfach);
    g.kopf.label(QStringLiteral("QRLabelArtikelNr"), QStringLiteral("Artikel-Nr"), Box(20.6, 4.2));
    g.kopf.label(QStringLiteral("QRLabelBezeichnung"), QStringLiteral("Artikelbezeichnung"), Box(46.0, 4.2));
    g.kopf.label(QStringLiteral("QRLabelMenge"), QStringLiteral("Menge"), Box(111.6, 4.2));
    g.kopf.label(QStringLiteral("QRLabelSumme"), QStringLiteral("Summe"), BisRechts(183.1, 4.2, 20.0), std::nullopt,
                 Qt::AlignRight);

    report::Band& zeile = detail();
    zeile.setHoehe(6.1);
    const double y = 0.8;
    report::Text* nr = zeile.feld(QStringLiteral("artikel_nr"), QStringLiteral("artikel_nr"), Box(24.8, y, 21.0), Maske::Text);
    report::Text* bez = zeile.feld(QStringLiteral("artikel_bez"), QStringLiteral("artikel_bez"), Box(46.0, y, 40.5), Maske::Text);
    report::Text* menge = zeile.feld(QStringLiteral("Anzahl"), QStringLiteral("Anzahl"), BisRechts(115.8, y, 20.0), Maske::Zahl,
                                     std::nullopt, Qt::AlignRight);
    bez->setFluss(report::Textfluss::Abschneiden);
    bez->setNachbarn(nr, menge);
    zeile.feld(QStringLiteral("einheit"), QStringLiteral("einheit"), Box(118.0, y, 36.0), Maske::Text);
    zeile.feld(QStringLiteral("gesamt"), QStringLiteral("gesamt"), QRectF(155.3, y, 183.1 - 155.3, 0), Maske::Waehrung,
               std::nullopt, Qt::AlignRight);


    report::Band& fuss = g.fuss;
    fuss.setName(QStringLiteral("QRBand2"));
    fuss.setHoehe(28.3);
    fuss.setRahmenOben(report::Strich::Doppelt);
    QRLabelGesamtumsatz =
        fuss.label(QStringLiteral("QRLabelGesamtumsatz"), QStringLiteral("Gesamtumsatz:"), kBoxGesamtumsatz);
    LabelNetto = fuss.label(QStringLiteral("LabelNetto"), QString(), kBoxNetto, Schrift(12),
                            Qt::AlignRight);
    fuss.linie(QStringLiteral("QRShapeSumme1"), 162.4, 11.9, 183.8 - 162.4);
    fuss.linie(QStringLiteral("QRShapeSumme2"), 162.4, 13.0, 183.8 - 162.4);
    fuss.vorDemDruck = [this](report::Band& b, bool& d) { QRBand2BeforePrint(b, d); };
}

void TRepAdressenauswertung::Binden() { setDataset(App().DMOrdavo->ADO_Auswertung_Adressen); }

void TRepAdressenauswertung::PageHeaderBand1BeforePrint(report::Band&, bool&)
{
    KopfAusfuellen();
    data::Dataset* adr = App().DMOrdavo->ADO_t_adressen;
    const bool da = adr->Active() && !adr->IsEmpty();
    m_firma->setText(da ? adr->FieldByName(QStringLiteral("adr_firma")).asString() : QString());
    m_plz->setText(da ? adr->FieldByName(QStringLiteral("adr_plz")).asString() : QString());
    m_ort->setText(da ? adr->FieldByName(QStringLiteral("adr_ort")).asString() : QString());
}

void TRepAdressenauswertung::QRBand2BeforePrint(report::Band&, bool&)
{
    // Every item of the customer's notes in the period, also those the rows leave out.
    TDMOrdavo* dm = App().DMOrdavo;
    data::AbfrageLesen(
        dm->ADOQuery,
        QStringLiteral(
            "SELECT Sum([la_preis]*[la_anzahl]) AS gesamt FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
            " WHERE (((t_lieferschein.lief_adresse_id)=:id)) and ( lief_datum between :von and :bis)"),
        {{QStringLiteral("von"), von()}, {QStringLiteral("bis"), bis()},
         {QStringLiteral("id"), dm->ADO_t_adressen->FieldByName(QStringLiteral("id")).asInteger()}},
        [this](data::Dataset& q) { LabelNetto->setText(stats::Betrag(q.FieldByName(QStringLiteral("gesamt")))); });
    stats::VorDemBetrag(QRLabelGesamtumsatz, kBoxGesamtumsatz, LabelNetto);
}
