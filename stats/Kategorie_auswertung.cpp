#include "stats/Kategorie_auswertung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Artikelauswertung_Kategorie.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"
#include "ui/Meldungen.h"
#include "ui_Kategorie_auswertung.h"
#include "stats/Statistikfenster.h"

TKategorieauswertung::TKategorieauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent), ui(new Ui::TKategorieauswertung)
{
    ui->setupUi(this);
    Einrichten({false, true, Zuruecksetzen::BeimZeigen});
}

TKategorieauswertung::~TKategorieauswertung() { delete ui; }

void TKategorieauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    data::Dataset* kategorien = App().DMOrdavo->ADO_Auswertung_ArtikelKategorie_summen;
    struct Schliessen {
        data::Dataset* ds;
        ~Schliessen() { ds->Close(); }
    } schliessen{kategorien};

    kategorien->Close();
    if (kategorien->sql() != stats::SqlAuswertungKategorie()) kategorien->setSql(stats::SqlAuswertungKategorie());
    stats::SetzeZeitraum(kategorien, von, bis);
    kategorien->Open();

    if (kategorien->RecordCount() <= 0) {
        ui::Hinweis(QStringLiteral("Für den ausgewählten Zeitraum sind keine Umsätze vorhanden"), this);
        return;
    }
    TKategoriestatistik* bericht = Statistik().Kategoriestatistik;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
