#include "delivery/Mahnung_.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"

#include <QApplication>
#include <QScreen>

TMahnung::TMahnung(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TMahnung"));
    SetzeModalErgebnis(ui.BitBtn1, true);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TMahnung::~TMahnung() = default;

void TMahnung::Binden()
{
    ui.DBMemo1->setDataSource(App().DMOrdavo->Data_Lieferschein, QStringLiteral("lief_Mahnungstext"));
    // A dunning text never written opens as an empty memo; only emptying it shows the blank.
    ui.DBMemo1->setLeerzeichenRegel(true, false);
}

void TMahnung::FormShow()
{
    AufHauptfensterZentrieren();
    // The text is there before the first key, whenever the platform
    // delivers the activation.
    m_neuGezeigt = true;
    FormActivate();
}

void TMahnung::FormActivate()
{
    // Once per showing, so a later activation never overwrites what the user typed.
    if (!m_neuGezeigt) return;
    m_neuGezeigt = false;
    TDMOrdavo* dm = App().DMOrdavo;
    const data::Field text = dm->ADO_Lieferschein->FieldByName(QStringLiteral("lief_Mahnungstext"));
    // Only the empty string asks for the default; a text never written (NULL)
    // stays empty, and any other text is the one sent last time.
    if (!text.isNull() && text.asString().isEmpty()) {
        QString vorgabe = dm->LeseMahnungstext();
        vorgabe.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        ui.DBMemo1->setText(vorgabe);
    }
}
