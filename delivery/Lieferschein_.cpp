#include "delivery/Lieferschein_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "delivery/Artikel_bearbeiten.h"
#include "delivery/Artikelauswahl_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/Lieferschein_suchen.h"
#include "delivery/PLU_ArtikelEingabe.h"
#include "delivery/Rechnungsdaten_.h"
#include "print/Rep_Lieferschein.h"
#include "print/Rep_Rechnung.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QKeyEvent>
#include <QScreen>

using data::Dataset;

namespace {

QString Geld(const QVariant& v)
{
    return v.isNull() ? QString() : data::Waehrung(v.toDouble());
}

// The digit of a key of the main keyboard or of the numeric keypad (which Qt
// reports as the same keys with the keypad modifier), whatever Shift, Ctrl or
// Alt say; -1 for any other key.
int Ziffer(const QKeyEvent* k)
{
    const int taste = k->key();
    if (taste >= Qt::Key_0 && taste <= Qt::Key_9) return taste - Qt::Key_0;
    // With Shift, Qt reports the symbol the layout puts on the digit key
    // ("!" for 1 on German and US keyboards, "/" or "&" for 7): the key itself
    // tells the digit, whatever the layout.
#if defined(Q_OS_WIN)
    const quint32 vk = k->nativeVirtualKey();  // VK_0 ... VK_9, the same on every layout
    if (vk >= 0x30 && vk <= 0x39) return int(vk - 0x30);
#elif defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const quint32 code = k->nativeScanCode();  // XKB key codes (X11, Wayland): 10 ... 19 are 1 ... 9, 0
    if (code >= 10 && code <= 19) return int(code - 9) % 10;
#endif
    return -1;
}

void DruckfilterAus(Dataset* druck)
{
    druck->setFilter(QString());
    druck->setFiltered(false);
}

}  // namespace

TLieferschein::TLieferschein(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TLieferschein"));
    setKeyPreview(true);

    ui.DBNavigator2->setSichtbareKnoepfe(
        {ui::DBNavigator::First, ui::DBNavigator::Prior, ui::DBNavigator::Next, ui::DBNavigator::Last});
    ui.DBNavigator1->setVisible(false);

    ui::Verbinde(ui.Schalterliefaendern, &QPushButton::clicked, this, &TLieferschein::SchalterliefaendernClick);
    ui::Verbinde(ui.Schalterliefloeschen, &QPushButton::clicked, this, &TLieferschein::SchalterliefloeschenClick);
    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &TLieferschein::BitBtn2Click);
    ui::Verbinde(ui.Schalterartikelhinzuf, &QPushButton::clicked, this, &TLieferschein::SchalterartikelhinzufClick);
    ui::Verbinde(ui.Schalterartikelaendern, &QPushButton::clicked, this, &TLieferschein::SchalterartikelaendernClick);
    ui::Verbinde(ui.Schalterartikelloeschen, &QPushButton::clicked, this, &TLieferschein::SchalterartikelloeschenClick);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TLieferschein::BitBtn1Click);
    ui::Verbinde(ui.BitBtn3, &QPushButton::clicked, this, &TLieferschein::BitBtn3Click);
    ui::Verbinde(ui.Schalterliefschliessen, &QPushButton::clicked, this, &TLieferschein::SchalterliefschliessenClick);

    const QString null = data::Waehrung(0);
    ui.LabelNetto->setText(null);
    ui.LabelMw->setText(null);
    ui.LabelGesamt->setText(null);
}

TLieferschein::~TLieferschein() = default;

void TLieferschein::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::DataSource* lief = dm->Data_Lieferschein;
    ui.DBText1->setDataSource(lief, QStringLiteral("lief_nr"));
    ui.DBText2->setDataSource(lief, QStringLiteral("lief_datum"));
    ui.DBText3->setDataSource(lief, QStringLiteral("adr_firma"));
    ui.DBText4->setDataSource(lief, QStringLiteral("adr_ganzername"));
    ui.DBText5->setDataSource(lief, QStringLiteral("adr_ort"));
    ui.DBText6->setDataSource(lief, QStringLiteral("lief_rechnungsdatum"));
    ui.DBText7->setDataSource(lief, QStringLiteral("lief_zahldatum"));
    ui.DBText8->setDataSource(lief, QStringLiteral("lief_zahlbetrag"));
    ui.DBNavigator2->setDataSource(lief);

    // The totals follow the items, which follow the current note: a new set
    // of items (another note, an item added or removed, a re-query) and a
    // stored or dropped change of an item show new totals at once.
    data::DataSource* positionen = dm->Data_Lieferschein_Artikel;
    connect(positionen, &data::DataSource::zeilenGeaendert, this, &TLieferschein::SummenAktualisieren);
    connect(positionen, &data::DataSource::dataSetGewechselt, this, &TLieferschein::SummenAktualisieren);
    connect(positionen, &data::DataSource::zustandGeaendert, this, [this, positionen] {
        if (positionen->DataSet() && positionen->DataSet()->State() == Dataset::Zustand::Browse) SummenAktualisieren();
    });
    SummenAktualisieren();

    ui.DBNavigator1->setDataSource(dm->Data_Lieferschein_Artikel);
    ui.DBGrid1->setDataSource(dm->Data_Lieferschein_Artikel);
    const Qt::Alignment links = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment rechts = Qt::AlignRight | Qt::AlignVCenter;
    ui.DBGrid1->setSpalten({
        {QStringLiteral("artikel_nr"), QStringLiteral("Artikel-Nr."), 80, {}, rechts},
        {QStringLiteral("artikel_bez"), QStringLiteral("Artikelbezeichnung"), 260, {}, links},
        {QStringLiteral("la_anzahl"), QStringLiteral("Menge"), 60, {}, rechts},
        {QStringLiteral("einheit"), QStringLiteral("Einheit"), ui.DBGrid1->Spaltenbreite(ui::muster::Einheit, 70), {}, links},
        {QStringLiteral("la_preis"), QStringLiteral("Einzelpreis"), 100, Geld, rechts},
        {QStringLiteral("gesamt"), QStringLiteral("Gesamtpreis"), 110, Geld, rechts},
    });
}

void TLieferschein::FormShow()
{
    AufBildschirmZentrieren();
}

void TLieferschein::FormActivate()
{
    // Also what changed outside the items, e.g. an article's VAT rate.
    SummenAktualisieren();
}

void TLieferschein::SummenAktualisieren()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (!dm) return;
    double netto = 0;
    double steuer = 0;
    Dataset* pos = dm->ADO_Lieferschein_Artikel;
    Dataset* ls = dm->ADO_Lieferschein;
    // Runs from the datasets' signals: never throws, also while they close.
    if (pos->Active() && !pos->IsEmpty() && ls->Active() && !ls->IsEmpty()) {
        const data::Field id = ls->FindField(QStringLiteral("t_lieferschein.id"));
        if (id.gueltig()) dm->LieferscheinSummen(int(id.asInteger()), netto, steuer);
    }
    ui.LabelNetto->setText(data::Waehrung(netto));
    ui.LabelMw->setText(data::Waehrung(steuer));
    ui.LabelGesamt->setText(data::Waehrung(netto + steuer));
}

bool TLieferschein::LieferscheinBereit()
{
    if (App().Lieferscheinkopf && App().Lieferscheinkopf->UngespeichertenNachVorne()) return false;
    Dataset* ls = App().DMOrdavo->ADO_Lieferschein;
    return ls->Active() && !ls->IsEmpty() && ls->State() == Dataset::Zustand::Browse;
}

void TLieferschein::SchalterliefaendernClick()
{
    // An unsaved new note in the header window is finished there first.
    if (App().Lieferscheinkopf->UngespeichertenNachVorne()) return;
    // On an empty list this starts a new note: the header opens for it.
    App().DMOrdavo->ADO_Lieferschein->Edit();
    App().Lieferscheinkopf->ZeigeModal();
}

void TLieferschein::SchalterliefloeschenClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (!LieferscheinBereit()) return;
    if (!ui::Bestaetigen(QStringLiteral("Wollen Sie den aktuellen Lieferschein wirklich löschen?"), this)) return;
    const qint64 id = dm->ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
    // The items go with the note (the database cascades the delete).
    dm->ADOQuery->Close();
    dm->ADOQuery->clearParameters();
    dm->ADOQuery->setSql(QStringLiteral("delete from t_lieferschein where id = :id"));
    dm->ADOQuery->setParameter(QStringLiteral("id"), id);
    dm->ADOQuery->ExecSQL();
    dm->ADOQuery->Close();
    dm->ADO_Lieferschein->Requery();
    dm->ADO_Lieferschein_Artikel->Requery();
}

void TLieferschein::BitBtn2Click()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (App().Lieferscheinkopf->UngespeichertenNachVorne()) return;
    dm->ADO_suchen_Lieferschein->Open();
    dm->ADO_suchen_Adressen->Open();
    App().Lieferscheinsuche->ZeigeModal();
    dm->ADO_suchen_Adressen->Close();
    dm->ADO_suchen_Lieferschein->Close();
}

void TLieferschein::SchalterartikelhinzufClick()
{
    if (!LieferscheinBereit()) return;
    App().Artikelauswahl->ZeigeModal();
}

void TLieferschein::SchalterartikelaendernClick()
{
    Dataset* pos = App().DMOrdavo->ADO_Lieferschein_Artikel;
    if (!LieferscheinBereit() || !pos->Active() || pos->IsEmpty()) return;
    pos->Edit();
    if (!App().Artikelbearbeiten->ZeigeModal()) {
        pos->Cancel();
        return;
    }
    try {
        pos->Post();
    } catch (...) {
        // The editor is closed: nothing may stay half-edited behind it.
        pos->Cancel();
        throw;
    }
    const qint64 id = pos->FieldByName(QStringLiteral("t_lieferschein_artikel.id")).asInteger();
    pos->Requery();
    pos->Locate(QStringLiteral("t_lieferschein_artikel.id"), id);
}

void TLieferschein::SchalterartikelloeschenClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* pos = dm->ADO_Lieferschein_Artikel;
    if (!LieferscheinBereit() || !pos->Active() || pos->IsEmpty()) return;
    const qint64 id = pos->FieldByName(QStringLiteral("t_lieferschein_artikel.id")).asInteger();
    dm->ADOQuery->Close();
    dm->ADOQuery->clearParameters();
    dm->ADOQuery->setSql(QStringLiteral("delete from t_lieferschein_artikel where id = :id;"));
    dm->ADOQuery->setParameter(QStringLiteral("id"), id);
    dm->ADOQuery->ExecSQL();
    dm->ADOQuery->Close();
    pos->Requery();
}

void TLieferschein::Drucken(print::Geschaeftsdokument* dokument)
{
    Dataset* druck = App().DMOrdavo->ADO_Druck_Lief;
    const qint64 id = App().DMOrdavo->ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
    try {
        druck->Close();
        druck->setFilter(QStringLiteral("la_lieferschein_id = %1").arg(id));
        druck->setFiltered(true);
        druck->Open();
        if (dokument) dokument->Preview();
    } catch (...) {
        // Other users of the print set must see it unfiltered.
        DruckfilterAus(druck);
        throw;
    }
    DruckfilterAus(druck);
}

void TLieferschein::BitBtn1Click()
{
    if (!LieferscheinBereit()) return;
    Drucken(App().RepLieferschein);
}

void TLieferschein::BitBtn3Click()
{
    Dataset* ls = App().DMOrdavo->ADO_Lieferschein;
    if (!LieferscheinBereit()) return;
    ls->Edit();
    if (!App().Rechnungsdaten->ZeigeModal()) {
        ls->Cancel();
        return;
    }
    // The invoice date is stored before printing: a failed printout still
    // leaves the note an invoice, to be printed again with this button.
    ls->Post();
    Drucken(App().RepRechnung);
}

void TLieferschein::SchalterliefschliessenClick()
{
    close();
}

bool TLieferschein::FormKeyDown(QKeyEvent* ereignis)
{
    const int ziffer = Ziffer(ereignis);
    if (ziffer < 0) return false;
    if (LieferscheinBereit()) {
        App().PLUArtikelEingabe->Vorbelegen(QString(QChar(u'0' + ziffer)), QStringLiteral("1"));
        App().PLUArtikelEingabe->ZeigeModal();
    }
    // Kept from the focused control: the item grid would otherwise jump to an
    // item whose number starts with the digit.
    return true;
}
