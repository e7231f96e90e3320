#include "delivery/Rechnungsdaten_.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"

#include <QApplication>
#include <QScreen>

using data::Dataset;

namespace {

bool RechnungInBearbeitung(Dataset* ds)
{
    return ds->State() == Dataset::Zustand::Edit || ds->State() == Dataset::Zustand::Insert;
}

}  // namespace

TRechnungsdaten::TRechnungsdaten(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TRechnungsdaten"));
    ui.Rechnungsdatum->setVisible(false);
    ui.RechnungsdatumPicker->setDate(QDate::currentDate());
    ui::Verbinde(ui.RechnungsdatumPicker, &QDateEdit::dateChanged, this, &TRechnungsdaten::RechnungsdatumPickerChange);
    SetzeModalErgebnis(ui.BitBtn1, true);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TRechnungsdaten::~TRechnungsdaten() = default;

void TRechnungsdaten::Binden()
{
    data::DataSource* lief = App().DMOrdavo->Data_Lieferschein;
    ui.Rechnungsdatum->setDataSource(lief, QStringLiteral("lief_rechnungsdatum"));
    ui.DBText1->setDataSource(lief, QStringLiteral("lief_zahldatum"));
}

void TRechnungsdaten::FormShow()
{
    AufHauptfensterZentrieren();
    FormActivate();
}

void TRechnungsdaten::FormActivate()
{
    Dataset* ls = App().DMOrdavo->ADO_Lieferschein;
    data::Field datum = ls->FieldByName(QStringLiteral("lief_rechnungsdatum"));
    // A first invoice is dated today; an invoice keeps its date unless the
    // user picks another.
    if (datum.isNull() && RechnungInBearbeitung(ls)) datum.setValue(QDate::currentDate());
    m_setzt = true;
    if (!datum.isNull()) ui.RechnungsdatumPicker->setDate(datum.asDate());
    m_setzt = false;
}

void TRechnungsdaten::RechnungsdatumPickerChange()
{
    Dataset* ls = App().DMOrdavo->ADO_Lieferschein;
    if (m_setzt || !RechnungInBearbeitung(ls)) return;
    ls->FieldByName(QStringLiteral("lief_rechnungsdatum")).setValue(ui.RechnungsdatumPicker->date());
}
