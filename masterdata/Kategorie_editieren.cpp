#include "masterdata/Kategorie_editieren.h"

#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"

TKategorie_bearbeiten::TKategorie_bearbeiten(QWidget* parent)
    : Teinheit_bearbeiten(Art{QStringLiteral("t_kategorie"), QStringLiteral("kategorie"), QStringLiteral("Neue Kategorie"),
                              QStringLiteral("Kategorie bearbeiten")},
                          parent)
{
    ui.setupUi(this);
    // DBEdit1 and Label4 of the unit editor have no role here.
    Einrichten(QStringLiteral("DBEdit2"), QStringLiteral("Label3"), QStringLiteral("Label2"));
}

TKategorie_bearbeiten::~TKategorie_bearbeiten() = default;

data::DataSource* TKategorie_bearbeiten::Quelle() const { return App().DMOrdavo->Data_t_Kategorie; }

void TKategorie_bearbeiten::FormActivate()
{
    ui.DBEdit2->setFocus();
    ui.DBEdit2->selectAll();
}
