#include "masterdata/Einheit_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Einheit_editieren.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QHeaderView>
#include <QPushButton>

using data::Dataset;

using ui::Spalte;

Teinheit::Teinheit(QWidget* parent)
    : Teinheit(Art{QStringLiteral("einheit"), QStringLiteral("Wollen Sie die aktuelle Einheit wirklich löschen?"),
                   QStringLiteral("SELECT Count(artikel_einheit_id) AS [Anzahl] FROM t_artikel WHERE artikel_einheit_id=:id;"),
                   QStringLiteral("Die Einheit wird bereits verwendet und kann nicht gelöscht werden.")},
               parent)
{
    ui.setupUi(this);
    Einrichten();
}

Teinheit::Teinheit(const Art& art, QWidget* parent) : ui::Formular(parent), m_art(art) {}

Teinheit::~Teinheit() = default;

void Teinheit::Einrichten()
{
    m_grid = findChild<ui::DBGrid*>(QStringLiteral("DBGrid1"));
    auto knopf = [this](const char* name) { return findChild<QPushButton*>(QLatin1String(name)); };
    ui::Verbinde(knopf("SchalterEinheitNeu"), &QPushButton::clicked, this, &Teinheit::SchalterEinheitNeuClick);
    ui::Verbinde(knopf("SchalterEinheitAendern"), &QPushButton::clicked, this, &Teinheit::SchalterEinheitAendernClick);
    ui::Verbinde(knopf("SchalterEinheitLoeschen"), &QPushButton::clicked, this, &Teinheit::SchalterEinheitLoeschenClick);
    ui::Verbinde(knopf("SchalterEinheitSchliessen"), &QPushButton::clicked, this, &Teinheit::SchalterEinheitSchliessenClick);
}

data::DataSource* Teinheit::Quelle() const { return App().DMOrdavo->Data_t_Einheit; }

ui::Formular* Teinheit::Editor() const { return App().einheit_bearbeiten; }

Dataset* Teinheit::Datenmenge() const { return Quelle()->DataSet(); }

void Teinheit::Binden()
{
    m_grid->setDataSource(Quelle());
    // Headed by the column's own name.
    m_grid->setSpalten({Spalte(m_art.spalte, m_art.spalte, 220)});
    m_grid->horizontalHeader()->setStretchLastSection(true);
}

void Teinheit::SchalterEinheitNeuClick()
{
    Dataset* ds = Datenmenge();
    ds->Insert();
    if (Editor()->ZeigeModal()) ds->Post();
    else ds->Cancel();
}

void Teinheit::SchalterEinheitAendernClick()
{
    Dataset* ds = Datenmenge();
    ds->Edit();  // on an empty list this starts a new row
    if (Editor()->ZeigeModal()) {
        ds->Post();
        const QVariant id = ds->FieldByName(QStringLiteral("id")).value();
        ds->Requery();
        ds->Locate(QStringLiteral("id"), id);
    } else {
        ds->Cancel();
    }
}

void Teinheit::SchalterEinheitLoeschenClick()
{
    Dataset* ds = Datenmenge();
    if (ds->IsEmpty()) return;
    if (!ui::Bestaetigen(m_art.frageLoeschen, this)) return;
    Dataset* q = App().DMOrdavo->ADOQuery;
    q->Close();
    q->setSql(m_art.sqlVerwendung);
    q->clearParameters();
    q->setParameter(QStringLiteral("id"), ds->FieldByName(QStringLiteral("id")).value());
    q->Open();
    const qint64 anzahl = q->FieldByName(QStringLiteral("anzahl")).asInteger();
    q->Close();
    if (anzahl == 0) ds->Delete();
    else ui::Hinweis(m_art.hinweisVerwendet, this);
}

void Teinheit::SchalterEinheitSchliessenClick() { close(); }
