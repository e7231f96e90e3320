#include "print/Rep_Rechnung.h"

#include <QWidget>

TRepRechnung::TRepRechnung(QWidget* parent) : print::Geschaeftsdokument(Art::Rechnung, parent)
{
    setObjectName(QStringLiteral("TRepRechnung"));
}
