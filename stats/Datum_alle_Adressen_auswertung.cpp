#include "stats/Datum_alle_Adressen_auswertung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_alle_Adressenauswertung.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"
#include "ui_Datum_alle_Adressen_auswertung.h"
#include "stats/Statistikfenster.h"

TDatum_alle_Adressenauswertung::TDatum_alle_Adressenauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent), ui(new Ui::TDatum_alle_Adressenauswertung)
{
    ui->setupUi(this);
    Einrichten({true, false, Zuruecksetzen::BeimAktivieren});
}

TDatum_alle_Adressenauswertung::~TDatum_alle_Adressenauswertung() { delete ui; }

void TDatum_alle_Adressenauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    data::Dataset* kunden = App().DMOrdavo->ADO_Auswertung_alle_Adressen;
    struct Schliessen {
        data::Dataset* ds;
        ~Schliessen() { ds->Close(); }
    } schliessen{kunden};

    kunden->Close();
    if (kunden->sql() != stats::SqlAuswertungAlleAdressen()) kunden->setSql(stats::SqlAuswertungAlleAdressen());
    stats::SetzeZeitraum(kunden, von, bis);
    kunden->Open();

    TRepalleAdressenauswertungen* bericht = Statistik().RepalleAdressenauswertungen;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
