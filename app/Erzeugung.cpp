#include "app/Erzeugung.h"

#include "app/Programmfenster.h"
#include "app/info.h"
#include "app/ordavo.h"
#include "delivery/Lieferfenster.h"
#include "einvoice/ERechnung_speichern.h"
#include "masterdata/Stammdatenfenster.h"
#include "print/Druckfenster.h"
#include "print/Rep_Rechnung.h"
#include "stats/Statistikfenster.h"
#include "ui/Erzeugung.h"

namespace app {

void AlleErzeugen()
{
    // The main window comes first and binds once the data module exists;
    // a failure of the data module ends the start-up.
    ui::Erzeuge(Programm().Ordavo);
    ui::DatenmodulErzeugen();
    masterdata::FensterErzeugen();
    delivery::FensterErzeugen();
    print::FensterErzeugen();
    if (Druck().RepRechnung) einvoice::AlsERechnungAnbieten(Druck().RepRechnung->bericht());
    stats::FensterErzeugen();
    ui::Erzeuge(Programm().AboutBox);
}

void AlleZerstoeren() { ui::AlleZerstoeren(); }

}  // namespace app
