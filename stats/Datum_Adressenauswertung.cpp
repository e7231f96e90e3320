#include "stats/Datum_Adressenauswertung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "stats/Rep_Adressenauswertung.h"
#include "stats/Statistikabfragen.h"
#include "ui/Anwendung.h"
#include "ui_Datum_Adressenauswertung.h"
#include "stats/Statistikfenster.h"

TAdressenauswertung::TAdressenauswertung(QWidget* parent)
    : stats::Zeitraumfenster(parent), ui(new Ui::TAdressenauswertung)
{
    ui->setupUi(this);
    Einrichten({true, true, Zuruecksetzen::BeimAktivieren});
}

TAdressenauswertung::~TAdressenauswertung() { delete ui; }

void TAdressenauswertung::Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis)
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* artikel = dm->ADO_Auswertung_Adressen;
    struct Schliessen {
        data::Dataset* ds;
        ~Schliessen() { ds->Close(); }
    } schliessen{artikel};

    artikel->Close();
    if (artikel->sql() != stats::SqlAuswertungAdressen()) artikel->setSql(stats::SqlAuswertungAdressen());
    stats::SetzeZeitraum(artikel, von, bis);
    artikel->setParameter(QStringLiteral("id"),
                          QString::number(dm->ADO_t_adressen->FieldByName(QStringLiteral("id")).asInteger()));
    artikel->Open();

    // Also a period without sales is previewed: it shows the customer.
    TRepAdressenauswertung* bericht = Statistik().RepAdressenauswertung;
    bericht->SetzeZeitraum(von, bis, ZeitraumZeigen);
    report::Vorschau(*bericht, this);
}
