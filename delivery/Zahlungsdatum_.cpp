#include "delivery/Zahlungsdatum_.h"

#include "data/Dataset.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <cmath>

namespace {

bool Bearbeitbar(data::Dataset* ds)
{
    return ds->State() == data::Dataset::Zustand::Edit || ds->State() == data::Dataset::Zustand::Insert;
}

}  // namespace

TZahlungsdatum::TZahlungsdatum(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TZahlungsdatum"));
    ui.Zahlungsdatum->hide();
    ui.LabelBrutto->installEventFilter(this);

    ui::Verbinde(ui.ZahlungsdatumPicker, &QDateEdit::dateChanged, this, &TZahlungsdatum::ZahlungsdatumPickerChange);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TZahlungsdatum::BitBtn1Click);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TZahlungsdatum::~TZahlungsdatum() = default;

void TZahlungsdatum::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    ui.Zahlungsdatum->setDataSource(dm->Data_Lieferschein, QStringLiteral("lief_zahldatum"));
    ui.DBEdit2->setDataSource(dm->Data_Lieferschein, QStringLiteral("lief_zahlbetrag"));
    ui.DBEdit2->setLeerzeichenRegel(true);
}

void TZahlungsdatum::FormShow()
{
    AufHauptfensterZentrieren();
    // The values are there before the first key, whenever the platform
    // delivers the activation.
    m_neuGezeigt = true;
    FormActivate();
}

double TZahlungsdatum::Brutto() const
{
    TDMOrdavo* dm = App().DMOrdavo;
    double netto = 0, steuer = 0;
    const int id = int(dm->ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger());
    dm->LieferscheinSummen(id, netto, steuer);
    return netto + steuer;
}

void TZahlungsdatum::FormActivate()
{
    ui.LabelBrutto->setText(data::Waehrung(Brutto()));
    // The date is offered once per showing: an activation after a message box
    // of this window (a refused amount) must not undo the date the user picked.
    if (!m_neuGezeigt) return;
    m_neuGezeigt = false;
    const QDate heute = QDate::currentDate();
    data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
    if (Bearbeitbar(lief)) lief->FieldByName(QStringLiteral("lief_zahldatum")).setValue(heute);
    const QSignalBlocker stumm(ui.ZahlungsdatumPicker);
    ui.ZahlungsdatumPicker->setDate(heute);
}

void TZahlungsdatum::ZahlungsdatumPickerChange()
{
    data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
    if (Bearbeitbar(lief)) lief->FieldByName(QStringLiteral("lief_zahldatum")).setValue(ui.ZahlungsdatumPicker->date());
}

void TZahlungsdatum::LabelBruttoDblClick()
{
    // Cents, halves to the even neighbour (the default rounding mode).
    const double gerundet = std::nearbyint(Brutto() / 0.01) * 0.01;
    data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
    if (Bearbeitbar(lief))
        lief->FieldByName(QStringLiteral("lief_zahlbetrag")).setAsString(data::AllgemeineZahl(gerundet));
}

void TZahlungsdatum::BitBtn1Click()
{
    // A refused amount is reported here and the window stays open with the
    // text, before the caller posts anything.
    ui.DBEdit2->Uebernehmen();
    ui.Zahlungsdatum->Uebernehmen();
    SchliesseMitOk();
}

bool TZahlungsdatum::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == ui.LabelBrutto && e->type() == QEvent::MouseButtonDblClick) {
        ui::Geschuetzt([this] { LabelBruttoDblClick(); });
        return true;
    }
    return ui::Formular::eventFilter(obj, e);
}
