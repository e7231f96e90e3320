#include "stats/Datum_Adressenauswertung.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Adressenauswertung.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"
#include "ui/Anwendung.h"
#include "ui/Sanduhr.h"
#include "stats/Statistikfenster.h"

TAdressenauswertung::TAdressenauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent)
{
    ui.setupUi(this);
    Einrichten({true, true, Zuruecksetzen::BeimAktivieren});
}

void TAdressenauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    ui::Sanduhr sanduhr;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* artikel = dm->ADO_Auswertung_Adressen;
    stats::Schliessen schliessen{artikel};

    // The customer's id is passed as text, as the catalogue query takes it.
    const QString kunde = QString::number(dm->ADO_t_adressen->FieldByName(QStringLiteral("id")).asInteger());
    const bool summiert = stats::Summieren(*dm->ADO_ordavo, stats::Schluessel::Artikel, von, bis, kunde);
    artikel->Close();
    if (summiert && artikel->sql() != stats::SqlAuswertungAdressen()) artikel->setSql(stats::SqlAuswertungAdressen());
    stats::SetzeZeitraum(artikel, von, bis);
    artikel->setParameter(QStringLiteral("id"), kunde);
    artikel->Open();

    // Also a period without sales is previewed: it shows the customer.
    TRepAdressenauswertung* bericht = Statistik().RepAdressenauswertung;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    sanduhr.Ende();
    report::Vorschau(*bericht, this);
}
