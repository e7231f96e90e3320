// The windows these tests drive: the statistics windows and the master-data lists that open them.
#include "TestUmgebung.h"

#include "masterdata/Stammdatenfenster.h"
#include "stats/Statistikfenster.h"
#include "ui/Erzeugung.h"

void test::ProgrammErzeugen()
{
    Einrichten();
    ui::DatenmodulErzeugen();
    masterdata::FensterErzeugen();
    stats::FensterErzeugen();
}
