// The windows these tests drive: the master-data windows and the statistics windows they open.
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
