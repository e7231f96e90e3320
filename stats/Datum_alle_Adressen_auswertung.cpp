#include "stats/Datum_alle_Adressen_auswertung.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_alle_Adressenauswertung.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"
#include "ui/Anwendung.h"
#include "ui/Sanduhr.h"
#include "stats/Statistikfenster.h"

TDatum_alle_Adressenauswertung::TDatum_alle_Adressenauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent)
{
    ui.setupUi(this);
    Einrichten({true, false, Zuruecksetzen::BeimAktivieren});
}

void TDatum_alle_Adressenauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    ui::Sanduhr sanduhr;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* kunden = dm->ADO_Auswertung_alle_Adressen;
    stats::Schliessen schliessen{kunden};

    const bool summiert = stats::Summieren(*dm->ADO_ordavo, stats::Schluessel::Kunde, von, bis);
    kunden->Close();
    if (summiert && kunden->sql() != stats::SqlAuswertungAlleAdressen()) kunden->setSql(stats::SqlAuswertungAlleAdressen());
    stats::SetzeZeitraum(kunden, von, bis);
    kunden->Open();

    TRepalleAdressenauswertungen* bericht = Statistik().RepalleAdressenauswertungen;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    sanduhr.Ende();
    report::Vorschau(*bericht, this);
}
