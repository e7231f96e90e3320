#include "delivery/Lieferfenster.h"

#include "delivery/Artikel_bearbeiten.h"
#include "delivery/Artikelauswahl_.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/Lieferschein_suchen.h"
#include "delivery/Mahnung_.h"
#include "delivery/nochnichtbezahlt_.h"
#include "delivery/PLU_ArtikelEingabe.h"
#include "delivery/Rechnungsdaten_.h"
#include "delivery/Zahlungsdatum_.h"
#include "ui/Erzeugung.h"

Lieferfenster& Lieferung()
{
    static Lieferfenster fenster;
    return fenster;
}

namespace delivery {

void FensterErzeugen()
{
    Lieferfenster& f = Lieferung();
    ui::Erzeuge(f.Lieferscheinkopf);
    ui::Erzeuge(f.Lieferschein);
    ui::Erzeuge(f.Artikelauswahl);
    ui::Erzeuge(f.Artikelbearbeiten);
    ui::Erzeuge(f.Lieferscheinsuche);
    ui::Erzeuge(f.Rechnungsdaten);
    ui::Erzeuge(f.nochnichtbezahlt);
    ui::Erzeuge(f.Zahlungsdatum);
    ui::Erzeuge(f.Mahnung);
    ui::Erzeuge(f.PLUArtikelEingabe);
}

}  // namespace delivery
