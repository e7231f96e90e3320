#include "masterdata/Artikel_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Artikel_editieren.h"
#include "stats/Artikel_auswertung.h"
#include "stats/Kategorie_auswertung.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QHeaderView>
#include <QPushButton>

using data::Dataset;

using ui::Spalte;

TArtikel::TArtikel(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TArtikel::BitBtn1Click);
    ui::Verbinde(ui.SchalteralleArtikelaendern, &QPushButton::clicked, this, &TArtikel::SchalteralleArtikelaendernClick);
    ui::Verbinde(ui.DBGrid1, &ui::DBGrid::doppelklick, this, &TArtikel::SchalteralleArtikelaendernClick);
    ui::Verbinde(ui.SchalteralleArtikelLoeschen, &QPushButton::clicked, this, &TArtikel::SchalteralleArtikelLoeschenClick);
    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &TArtikel::BitBtn2Click);
    ui::Verbinde(ui.BitBtn3, &QPushButton::clicked, this, &TArtikel::BitBtn3Click);
    ui::Verbinde(ui.SchalteralleArtikelSchliessen, &QPushButton::clicked, this, &TArtikel::SchalteralleArtikelSchliessenClick);
}

TArtikel::~TArtikel() = default;

void TArtikel::Binden()
{
    ui.DBGrid1->setDataSource(App().DMOrdavo->Data_artikel);
    ui.DBGrid1->setSpalten({Spalte("artikel_nr", "Artikel-Nr", 80, true), Spalte("artikel_bez", "Artikelbezeichnung", 220),
                             Spalte("artikel_einkauf", "Einkaufspreis", 100, true), Spalte("artikel_preis", "Einzelpreis", 100, true),
                             Spalte("einheit", "Einheit", ui.DBGrid1->Spaltenbreite(ui::muster::Einheit, 70)),
                             Spalte("kategorie", "Kategorie", ui.DBGrid1->Spaltenbreite(ui::muster::Kategorie, 110))});
    ui.DBGrid1->horizontalHeader()->setStretchLastSection(true);
}

void TArtikel::Bearbeiten()
{
    Dataset* ds = App().DMOrdavo->ADO_artikel;
    if (!App().Artikeleditieren->ZeigeModal()) {
        ds->Cancel();
        return;
    }
    ds->Post();
    const QVariant id = ds->FieldByName(QStringLiteral("id")).value();
    // The joined unit and category names and the order by number are read anew.
    ds->Requery();
    ds->Locate(QStringLiteral("id"), id);
}

void TArtikel::BitBtn1Click()
{
    App().DMOrdavo->ADO_artikel->Insert();
    Bearbeiten();
}

void TArtikel::SchalteralleArtikelaendernClick()
{
    App().DMOrdavo->ADO_artikel->Edit();  // with no article this starts a new one
    Bearbeiten();
}

void TArtikel::SchalteralleArtikelLoeschenClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ds = dm->ADO_artikel;
    if (ds->IsEmpty()) return;
    if (!ui::Bestaetigen(QStringLiteral("Wollen Sie den aktuellen Artikel wirklich löschen?"), this)) return;
    const QVariant id = ds->FieldByName(QStringLiteral("id")).value();
    Dataset* q = dm->ADOQuery;
    q->Close();
    q->setSql(QStringLiteral("SELECT Count(la_artikel_id) AS [Anzahl] FROM t_lieferschein_artikel WHERE la_artikel_id=:id;"));
    q->clearParameters();
    q->setParameter(QStringLiteral("id"), id);
    q->Open();
    const qint64 anzahl = q->FieldByName(QStringLiteral("anzahl")).asInteger();
    q->Close();
    if (anzahl != 0) {
        ui::Hinweis(QStringLiteral("Der Artikel wird bereits verwendet und kann nicht gelöscht werden."), this);
        return;
    }
    // The row goes by a statement on its table, not through the joined list.
    q->setSql(QStringLiteral("delete From t_artikel where id = :id"));
    q->clearParameters();
    q->setParameter(QStringLiteral("id"), id);
    q->ExecSQL();
    q->Close();
    ds->Requery();
}

void TArtikel::BitBtn2Click()
{
    // The article statistics, not modally.
    if (App().Artikelauswertung) static_cast<ui::Formular*>(App().Artikelauswertung)->Zeige();
}

void TArtikel::BitBtn3Click()
{
    // The category statistics, not modally.
    if (App().Kategorieauswertung) static_cast<ui::Formular*>(App().Kategorieauswertung)->Zeige();
}

void TArtikel::SchalteralleArtikelSchliessenClick() { close(); }

void TArtikel::FormClose()
{
    // Items of the current delivery note show the changed article data.
    TDMOrdavo* dm = App().DMOrdavo;
    dm->ADO_artikel->Requery();
    dm->ADO_Lieferschein_Artikel->Requery();
}
