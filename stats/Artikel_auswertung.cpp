#include "stats/Artikel_auswertung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"
#include "ui/Meldungen.h"
#include "ui_Artikel_auswertung.h"
#include "stats/Statistikfenster.h"

TArtikelauswertung::TArtikelauswertung(QWidget* parent) : stats::Zeitraumfenster(parent), ui(new Ui::TArtikelauswertung)
{
    ui->setupUi(this);
    Einrichten({false, true, Zuruecksetzen::BeimZeigen});
}

TArtikelauswertung::~TArtikelauswertung() { delete ui; }

void TArtikelauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* summen = dm->ADO_Auswertung_Artikel_summen;
    data::Dataset* artikel = dm->ADO_Auswertung_Artikel;
    // Open only while evaluating, also when a step fails.
    struct Schliessen {
        data::Dataset* a;
        data::Dataset* b;
        ~Schliessen()
        {
            a->Close();
            b->Close();
        }
    } schliessen{artikel, summen};

    summen->Close();
    stats::SetzeZeitraum(summen, von, bis);
    summen->Open();

    artikel->Close();
    if (artikel->sql() != stats::SqlAuswertungArtikel()) artikel->setSql(stats::SqlAuswertungArtikel());
    stats::SetzeZeitraum(artikel, von, bis);
    artikel->Open();

    if (artikel->RecordCount() <= 0) {
        ui::Hinweis(QStringLiteral("Für den ausgewählten Zeitraum sind keine Umsätze vorhanden"), this);
        return;
    }
    TRepArtikelauswertung* bericht = Statistik().RepArtikelauswertung;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
