#include "print/RepMahnung_.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"

#include <QWidget>

TRepMahnung::TRepMahnung(QWidget* parent) : print::Geschaeftsdokument(Art::Mahnung, parent)
{
    setObjectName(QStringLiteral("TRepMahnung"));
}

QString TRepMahnung::Nummer()
{
    // The number of the invoice selected in the open-invoice list.
    return Wert(App().DMOrdavo->ADO_Nochnichtbezahlt, QStringLiteral("lief_nr"));
}
