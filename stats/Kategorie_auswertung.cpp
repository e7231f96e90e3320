#include "stats/Kategorie_auswertung.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Artikelauswertung_Kategorie.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"
#include "ui/Anwendung.h"
#include "ui/Meldungen.h"
#include "ui/Sanduhr.h"
#include "stats/Statistikfenster.h"

TKategorieauswertung::TKategorieauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent)
{
    ui.setupUi(this);
    Einrichten({false, true, Zuruecksetzen::BeimZeigen});
}

void TKategorieauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    ui::Sanduhr sanduhr;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* kategorien = dm->ADO_Auswertung_ArtikelKategorie_summen;
    stats::Schliessen schliessen{kategorien};

    const bool summiert = stats::Summieren(*dm->ADO_ordavo, stats::Schluessel::Artikel, von, bis);
    kategorien->Close();
    if (summiert && kategorien->sql() != stats::SqlAuswertungKategorie()) kategorien->setSql(stats::SqlAuswertungKategorie());
    stats::SetzeZeitraum(kategorien, von, bis);
    kategorien->Open();

    sanduhr.Ende();
    if (kategorien->RecordCount() <= 0) {
        ui::Hinweis(QStringLiteral("Für den ausgewählten Zeitraum sind keine Umsätze vorhanden"), this);
        return;
    }
    TKategoriestatistik* bericht = Statistik().Kategoriestatistik;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
