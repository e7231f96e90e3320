#include "delivery/nochnichtbezahlt_.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Mahnung_.h"
#include "delivery/Zahlungsdatum_.h"
#include "print/RepMahnung_.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QScreen>

namespace {

const char* const kKeineOffenen = "Keine Offenen Rechnungen vorhanden.";

}  // namespace

Tnochnichtbezahlt::Tnochnichtbezahlt(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("Tnochnichtbezahlt"));

    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &Tnochnichtbezahlt::BitBtn1Click);
    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &Tnochnichtbezahlt::BitBtn2Click);
    ui::Verbinde(ui.BitBtn3, &QPushButton::clicked, this, &Tnochnichtbezahlt::BitBtn3Click);
}

Tnochnichtbezahlt::~Tnochnichtbezahlt() = default;

void Tnochnichtbezahlt::Binden()
{
    ui.DBGrid1->setDataSource(App().DMOrdavo->Data_Nochnichtbezahlt);
    ui.DBGrid1->setSpalten({{QStringLiteral("lief_nr"), QStringLiteral("Lief-Nr"), 70, {}},
                             {QStringLiteral("lief_datum"), QStringLiteral("Lieferscheindatum"), 120, {}},
                             {QStringLiteral("adr_firma"), QStringLiteral("Firma"), ui.DBGrid1->Spaltenbreite(ui::muster::Firma, 150), {}},
                             {QStringLiteral("adr_ganzername"), QStringLiteral("Name"), 130, {}},
                             {QStringLiteral("adr_ort"), QStringLiteral("Ort"), 100, {}},
                             {QStringLiteral("lief_rechnungsdatum"), QStringLiteral("Rechnungsdatum"), 110, {}}});
}

void Tnochnichtbezahlt::FormShow()
{
    AufHauptfensterZentrieren();
    // Whoever shows the list gets the open invoices, read afresh: also the
    // first time, when the list is still open from the start.
    data::Dataset* offen = App().DMOrdavo->ADO_Nochnichtbezahlt;
    if (offen->Active()) offen->Requery();
    else offen->Open();
}

void Tnochnichtbezahlt::FormClose()
{
    App().DMOrdavo->ADO_Nochnichtbezahlt->Close();
}

bool Tnochnichtbezahlt::RechnungAuswaehlen(int& id)
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* offen = dm->ADO_Nochnichtbezahlt;
    if (!offen->Active() || offen->IsEmpty()) {
        ui::Hinweis(QString::fromUtf8(kKeineOffenen), this);
        return false;
    }
    id = int(offen->FieldByName(QStringLiteral("id")).asInteger());
    data::Dataset* lief = dm->ADO_Lieferschein;
    if (!lief->Active()) lief->Open();
    // A failed lookup must not leave the current row on another note, where
    // the payment or the dunning text would end up.
    if (!lief->Locate(QStringLiteral("t_lieferschein.id"), id)) {
        ui::Hinweis(QStringLiteral("Die Rechnung Nr. %1 wurde nicht gefunden. Es wurde nichts gespeichert.")
                        .arg(offen->FieldByName(QStringLiteral("lief_nr")).asString()),
                    this);
        return false;
    }
    return true;
}

void Tnochnichtbezahlt::BitBtn1Click()
{
    int id = 0;
    if (!RechnungAuswaehlen(id)) return;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* lief = dm->ADO_Lieferschein;
    lief->Edit();
    if (App().Zahlungsdatum->ZeigeModal()) {
        lief->Post();
        dm->ADO_Nochnichtbezahlt->Requery();
    } else {
        lief->Cancel();
    }
}

void Tnochnichtbezahlt::BitBtn2Click()
{
    int id = 0;
    if (!RechnungAuswaehlen(id)) return;
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* lief = dm->ADO_Lieferschein;
    lief->Edit();
    if (App().Mahnung->ZeigeModal()) {
        // The text is stored before printing, so a failed printout keeps it.
        lief->Post();
        data::Dataset* druck = dm->ADO_Druck_Lief;
        auto filterAus = [druck] {
            druck->setFilter(QString());
            druck->setFiltered(false);
        };
        try {
            druck->Close();
            druck->setFilter(QStringLiteral("la_lieferschein_id = ") + QString::number(id));
            druck->setFiltered(true);
            druck->Open();
            App().RepMahnung->Preview();
        } catch (...) {
            // The print set must never stay narrowed to this note.
            filterAus();
            throw;
        }
        filterAus();
    } else {
        lief->Cancel();
    }
    lief->Requery();
}

void Tnochnichtbezahlt::BitBtn3Click()
{
    close();
}
