#include "masterdata/PLUUebersicht_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/PLUZuordnen_.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"

#include <QHeaderView>
#include <QPushButton>

using data::Dataset;

using ui::Spalte;

TPLUUebersicht::TPLUUebersicht(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    ui::Verbinde(ui.SchalterNeu, &QPushButton::clicked, this, &TPLUUebersicht::SchalterNeuClick);
    ui::Verbinde(ui.SchalterAendern, &QPushButton::clicked, this, &TPLUUebersicht::DBGrid1DblClick);
    ui::Verbinde(ui.DBGrid1, &ui::DBGrid::doppelklick, this, &TPLUUebersicht::DBGrid1DblClick);
    ui::Verbinde(ui.SchalterLoeschen, &QPushButton::clicked, this, &TPLUUebersicht::SchalterLoeschenClick);
    ui::Verbinde(ui.SchalterSchliessen, &QPushButton::clicked, this, &TPLUUebersicht::SchalterSchliessenClick);
}

TPLUUebersicht::~TPLUUebersicht() = default;

void TPLUUebersicht::Binden()
{
    ui.DBGrid1->setDataSource(App().DMOrdavo->Data_PLU);
    ui.DBGrid1->setSpalten({Spalte("PLU", "PLU", 80, true), Spalte("artikel_nr", "Artikel Nr.", 90, true),
                             Spalte("artikel_bez", "Artikel Bezeichnung", 260, false)});
    ui.DBGrid1->horizontalHeader()->setStretchLastSection(true);
}

void TPLUUebersicht::Abschliessen(bool ok)
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* t = dm->Table_PLU;
    if (!ok || t->FieldByName(QStringLiteral("PLU")).isNull() || t->FieldByName(QStringLiteral("Artikel_id")).isNull()) {
        // A code without article or an article without code is dropped silently.
        t->Cancel();
        return;
    }
    // A code that another row has is refused by the database; the row is dropped then.
    t->Post();
    const QVariant plu = t->FieldByName(QStringLiteral("PLU")).value();
    dm->ADO_PLU->Requery();
    dm->ADO_PLU->Locate(QStringLiteral("PLU"), plu);
}

void TPLUUebersicht::SchalterNeuClick()
{
    App().DMOrdavo->Table_PLU->Insert();
    Abschliessen(App().PLUZuordnen->ZeigeModal());
}

void TPLUUebersicht::DBGrid1DblClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* uebersicht = dm->ADO_PLU;
    if (uebersicht->IsEmpty()) return;
    const QVariant plu = uebersicht->FieldByName(QStringLiteral("PLU")).value();
    // Codes are deleted by statements; the editing view is read anew first.
    Dataset* t = dm->Table_PLU;
    t->Requery();
    if (!t->Locate(QStringLiteral("PLU"), plu)) {
        // Gone meanwhile: the overview shows what is stored.
        uebersicht->Requery();
        return;
    }
    t->Edit();
    Abschliessen(App().PLUZuordnen->ZeigeModal());
}

void TPLUUebersicht::SchalterLoeschenClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (dm->ADO_PLU->IsEmpty()) return;
    Dataset* q = dm->ADOQuery;
    q->Close();
    q->setSql(QStringLiteral("delete from t_plu\r\nwhere plu = :plu ;"));
    q->clearParameters();
    q->setParameter(QStringLiteral("plu"), dm->ADO_PLU->FieldByName(QStringLiteral("PLU")).value());
    q->ExecSQL();
    q->Close();
    dm->ADO_PLU->Requery();
}

void TPLUUebersicht::SchalterSchliessenClick() { close(); }
