#include "masterdata/PLUZuordnen_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"

#include <QHeaderView>
#include <QIntValidator>
#include <QPushButton>
#include <limits>

using data::Dataset;

using ui::Spalte;

TPLUZuordnen::TPLUZuordnen(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    // The code is a 32-bit whole number.
    ui.DBEdit_PLU->setValidator(
        new QIntValidator(std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), ui.DBEdit_PLU));
    ui::Verbinde(ui.DBGrid1, &ui::DBGrid::doppelklick, this, &TPLUZuordnen::DBGrid1DblClick);
    ui::Verbinde(ui.SchalterOK, &QPushButton::clicked, this, &TPLUZuordnen::SchalterOKClick);
    SetzeModalErgebnis(ui.SchalterCancel, false);
}

TPLUZuordnen::~TPLUZuordnen() = default;

void TPLUZuordnen::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    ui.DBEdit_PLU->setDataSource(dm->DataTablePlu, QStringLiteral("PLU"));
    ui.DBGrid1->setDataSource(dm->Data_artikel);
    ui.DBGrid1->setSpalten({Spalte("artikel_nr", "Artikel Nr.", 90, true), Spalte("artikel_bez", "Artikel Bezeichnung", 300, false)});
    ui.DBGrid1->horizontalHeader()->setStretchLastSection(true);
}

void TPLUZuordnen::FormShow() { FormActivate(); }

void TPLUZuordnen::FormActivate()
{
    ui.DBEdit_PLU->setFocus();
    ui.DBEdit_PLU->selectAll();
    TDMOrdavo* dm = App().DMOrdavo;
    // The number of the article the row stands for; empty for a new row, for
    // a code without article and for an article that is gone.
    const QVariant artikelId = dm->Table_PLU->FieldByName(QStringLiteral("Artikel_id")).value();
    ui.Label_Anr->clear();
    if (artikelId.isNull()) return;
    Dataset* q = dm->ADOQuery;
    q->Close();
    q->setSql(QStringLiteral("select Artikel_nr from t_artikel\r\nwhere id = :a_id ;"));
    q->clearParameters();
    q->setParameter(QStringLiteral("a_id"), artikelId);
    q->Open();
    const bool gefunden = !q->IsEmpty();
    if (gefunden) ui.Label_Anr->setText(q->FieldByName(QStringLiteral("Artikel_nr")).asString());
    q->Close();
    // The article grid shows it selected.
    if (gefunden) dm->ADO_artikel->Locate(QStringLiteral("id"), artikelId);
}

void TPLUZuordnen::DBGrid1DblClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* artikel = dm->ADO_artikel;
    if (artikel->IsEmpty()) return;
    dm->Table_PLU->FieldByName(QStringLiteral("Artikel_id")).setValue(artikel->FieldByName(QStringLiteral("id")).value());
    ui.Label_Anr->setText(artikel->FieldByName(QStringLiteral("artikel_nr")).asString());
}

void TPLUZuordnen::SchalterOKClick()
{
    // A code the data layer cannot read is refused here; the dialog stays open.
    ui.DBEdit_PLU->Uebernehmen();
    SchliesseMitOk();
}
