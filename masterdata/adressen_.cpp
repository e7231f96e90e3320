#include "masterdata/adressen_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/adressen_edit.h"
#include "stats/Datum_Adressenauswertung.h"
#include "stats/Datum_alle_Adressen_auswertung.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/DatenControls.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QHeaderView>
#include <QPushButton>

using data::Dataset;

using ui::Spalte;

TAdressen::TAdressen(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    // Empty values keep their line, so both panels stay aligned.
    for (ui::DBText* t : findChildren<ui::DBText*>()) t->setMinimumHeight(t->fontMetrics().height());
    // Shown only: the flags are changed in the editor.
    for (QWidget* w : {static_cast<QWidget*>(ui.DBCheckBox1), static_cast<QWidget*>(ui.DBCheckBox2)})
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::Verbinde(ui.SchalterAdressenstammNeu, &QPushButton::clicked, this, &TAdressen::SchalterAdressenstammNeuClick);
    ui::Verbinde(ui.SchalterAendern, &QPushButton::clicked, this, &TAdressen::SchalterAendernClick);
    ui::Verbinde(ui.SchalterLoeschen, &QPushButton::clicked, this, &TAdressen::SchalterLoeschenClick);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TAdressen::BitBtn1Click);
    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &TAdressen::BitBtn2Click);
    ui::Verbinde(ui.SchalterSchliessen, &QPushButton::clicked, this, &TAdressen::SchalterSchliessenClick);
}

TAdressen::~TAdressen() = default;

void TAdressen::Binden()
{
    data::DataSource* q = App().DMOrdavo->Data_t_adressen;
    ui.DBGrid1->setDataSource(q);
    ui.DBGrid1->setSpalten({Spalte("adr_firma", "Firma", ui.DBGrid1->Spaltenbreite(ui::muster::Firma, 180)), Spalte("adr_ganzername", "Name", 140),
                             Spalte("adr_adresse", "Adresse", 150), Spalte("adr_plz", "PLZ", 55), Spalte("adr_ort", "Ort", 120)});
    ui.DBGrid1->horizontalHeader()->setStretchLastSection(true);
    const struct {
        ui::DBText* text;
        const char* spalte;
    } felder[] = {
        {ui.DBText1, "adr_firma"},        {ui.DBText2, "adr_ganzername"},       {ui.DBText3, "adr_adresse"},
        {ui.DBText4, "adr_plz"},          {ui.DBText5, "adr_ort"},              {ui.DBText6, "adr_tel"},
        {ui.DBText7, "adr_fax"},          {ui.DBText8, "adr_mobil"},            {ui.DBText9, "adr_email"},
        {ui.DBText10, "adr_uidnr"},       {ui.DBText11, "adr_lief_firma"},      {ui.DBText12, "adr_lief_ganzername"},
        {ui.DBText13, "adr_lief_adresse"}, {ui.DBText14, "adr_lief_plz"},       {ui.DBText15, "adr_lief_ort"},
        {ui.DBText16, "adr_lief_tel"},    {ui.DBText17, "adr_lief_fax"},        {ui.DBText18, "adr_lief_mobil"},
        {ui.DBText19, "adr_lief_email"},
    };
    for (const auto& f : felder) f.text->setDataSource(q, QLatin1String(f.spalte));
    ui.DBCheckBox1->setDataSource(q, QStringLiteral("adr_kunde"));
    ui.DBCheckBox2->setDataSource(q, QStringLiteral("adr_lieferant"));
}

void TAdressen::SchalterAdressenstammNeuClick()
{
    Dataset* ds = App().DMOrdavo->ADO_t_adressen;
    ds->Insert();
    for (const char* spalte : {"adr_kunde", "adr_lieferant", "adr_hatlieferadr"})
        ds->FieldByName(QLatin1String(spalte)).setValue(qint64(0));
    if (App().Adressen_bearbeiten->ZeigeModal()) ds->Post();
    else ds->Cancel();
}

void TAdressen::SchalterAendernClick()
{
    Dataset* ds = App().DMOrdavo->ADO_t_adressen;
    ds->Edit();  // with no address this starts a new one
    if (App().Adressen_bearbeiten->ZeigeModal()) ds->Post();
    else ds->Cancel();
}

void TAdressen::SchalterLoeschenClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ds = dm->ADO_t_adressen;
    if (ds->IsEmpty()) return;
    if (!ui::Bestaetigen(QStringLiteral("Wollen Sie die aktuelle Adresse wirklich löschen?"), this)) return;
    Dataset* q = dm->ADOQuery;
    q->Close();
    q->setSql(QStringLiteral("SELECT Count(lief_adresse_id) AS [Anzahl] FROM t_lieferschein WHERE lief_adresse_id=:id;"));
    q->clearParameters();
    q->setParameter(QStringLiteral("id"), ds->FieldByName(QStringLiteral("id")).value());
    q->Open();
    const qint64 anzahl = q->FieldByName(QStringLiteral("anzahl")).asInteger();
    q->Close();
    if (anzahl == 0) {
        ds->Delete();
        return;
    }
    ui::Hinweis(QStringLiteral("Die Adresse wird bereits verwendet und kann nicht gelöscht werden."), this);
    if (!ui::Bestaetigen(QStringLiteral("Wollen sie die Adresse incl. aller Lieferscheine etc. wirklich löschen?"), this)) return;
    // The database deletes the address's delivery notes and their items with it.
    ds->Delete();
    dm->ADO_Lieferschein->Requery();
    // Its open invoices are gone too.
    if (dm->ADO_Nochnichtbezahlt->Active()) dm->ADO_Nochnichtbezahlt->Requery();
}

void TAdressen::BitBtn1Click()
{
    // The statistics of the current customer, modally.
    if (App().Adressenauswertung) static_cast<ui::Formular*>(App().Adressenauswertung)->ZeigeModal();
}

void TAdressen::BitBtn2Click()
{
    // The statistics of all customers, modally.
    if (App().Datum_alle_Adressenauswertung) static_cast<ui::Formular*>(App().Datum_alle_Adressenauswertung)->ZeigeModal();
}

void TAdressen::SchalterSchliessenClick() { close(); }

void TAdressen::FormClose() { App().DMOrdavo->ADO_t_adressen->Requery(); }
