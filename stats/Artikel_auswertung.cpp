#include "stats/Artikel_auswertung.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"
#include "ui/Anwendung.h"
#include "ui/Meldungen.h"
#include "ui/Sanduhr.h"
#include "stats/Statistikfenster.h"

TArtikelauswertung::TArtikelauswertung(QWidget* parent) : stats::Zeitraumfenster(parent)
{
    ui.setupUi(this);
    Einrichten({false, true, Zuruecksetzen::BeimZeigen});
}

void TArtikelauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    ui::Sanduhr sanduhr;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* summen = dm->ADO_Auswertung_Artikel_summen;
    data::Dataset* artikel = dm->ADO_Auswertung_Artikel;
    stats::Schliessen schliessen{artikel, summen};

    // One pass over the period's items gives the rows and the totals.
    const bool summiert = stats::Summieren(*dm->ADO_ordavo, stats::Schluessel::Artikel, von, bis);

    summen->Close();
    if (summiert && summen->sql() != stats::SqlAuswertungArtikelSummen()) summen->setSql(stats::SqlAuswertungArtikelSummen());
    stats::SetzeZeitraum(summen, von, bis);
    summen->Open();

    artikel->Close();
    if (summiert && artikel->sql() != stats::SqlAuswertungArtikel()) artikel->setSql(stats::SqlAuswertungArtikel());
    stats::SetzeZeitraum(artikel, von, bis);
    artikel->Open();

    sanduhr.Ende();
    if (artikel->RecordCount() <= 0) {
        ui::Hinweis(QStringLiteral("Für den ausgewählten Zeitraum sind keine Umsätze vorhanden"), this);
        return;
    }
    TRepArtikelauswertung* bericht = Statistik().RepArtikelauswertung;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
