#include "print/Druckfenster.h"

#include "print/Rep_Lieferschein.h"
#include "print/Rep_Rechnung.h"
#include "print/RepMahnung_.h"
#include "ui/Erzeugung.h"

Druckfenster& Druck()
{
    static Druckfenster fenster;
    return fenster;
}

namespace print {

void FensterErzeugen()
{
    Druckfenster& f = Druck();
    ui::Erzeuge(f.RepLieferschein);
    ui::Erzeuge(f.RepRechnung);
    ui::Erzeuge(f.RepMahnung);
}

}  // namespace print
