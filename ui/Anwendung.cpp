#include "ui/Anwendung.h"

Anwendung& App()
{
    static Anwendung app;
    return app;
}
