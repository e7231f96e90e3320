// The windows these tests drive: the delivery-note windows and the printouts they start.
#include "TestUmgebung.h"

#include "delivery/Lieferfenster.h"
#include "print/Druckfenster.h"
#include "ui/Erzeugung.h"

void test::ProgrammErzeugen()
{
    Einrichten();
    ui::DatenmodulErzeugen();
    delivery::FensterErzeugen();
    print::FensterErzeugen();
}
