#include "masterdata/Stammdatenfenster.h"

#include "masterdata/adressen_.h"
#include "masterdata/adressen_edit.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Artikel_editieren.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Einheit_editieren.h"
#include "masterdata/Kategorie_.h"
#include "masterdata/Kategorie_editieren.h"
#include "masterdata/PLUUebersicht_.h"
#include "masterdata/PLUZuordnen_.h"
#include "masterdata/Stammdaten_.h"
#include "ui/Erzeugung.h"

Stammdatenfenster& Stamm()
{
    static Stammdatenfenster fenster;
    return fenster;
}

namespace masterdata {

void FensterErzeugen()
{
    Stammdatenfenster& f = Stamm();
    ui::Erzeuge(f.Adressen);
    ui::Erzeuge(f.Adressen_bearbeiten);
    ui::Erzeuge(f.Artikel);
    ui::Erzeuge(f.Artikeleditieren);
    ui::Erzeuge(f.einheit);
    ui::Erzeuge(f.einheit_bearbeiten);
    ui::Erzeuge(f.Kategorie);
    ui::Erzeuge(f.Kategorie_bearbeiten);
    ui::Erzeuge(f.Stammdaten);
    ui::Erzeuge(f.PLUUebersicht);
    ui::Erzeuge(f.PLUZuordnen);
}

}  // namespace masterdata
