// The whole program's windows, for tests that link the program itself.
#include "TestUmgebung.h"

#include "app/Erzeugung.h"

void test::ProgrammErzeugen()
{
    Einrichten();
    app::AlleErzeugen();
}
