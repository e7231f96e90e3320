#include "stats/Statistikfenster.h"

#include "stats/Artikel_auswertung.h"
#include "stats/Datum_Adressenauswertung.h"
#include "stats/Datum_alle_Adressen_auswertung.h"
#include "stats/Kategorie_auswertung.h"
#include "stats/Rep_Adressenauswertung.h"
#include "stats/Rep_alle_Adressenauswertung.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Rep_Artikelauswertung_Kategorie.h"
#include "ui/Erzeugung.h"

Statistikfenster& Statistik()
{
    static Statistikfenster fenster;
    return fenster;
}

namespace stats {

void FensterErzeugen()
{
    Statistikfenster& f = Statistik();
    ui::Erzeuge(f.RepArtikelauswertung);
    ui::Erzeuge(f.RepAdressenauswertung);
    ui::Erzeuge(f.RepalleAdressenauswertungen);
    ui::Erzeuge(f.Kategorieauswertung);
    ui::Erzeuge(f.Adressenauswertung);
    ui::Erzeuge(f.Datum_alle_Adressenauswertung);
    ui::Erzeuge(f.Artikelauswertung);
    ui::Erzeuge(f.Kategoriestatistik);
}

}  // namespace stats
