#include "app/Programmfenster.h"

#include "app/info.h"
#include "app/ordavo.h"
#include "ui/Erzeugung.h"

Programmfenster& Programm()
{
    static Programmfenster fenster;
    return fenster;
}
