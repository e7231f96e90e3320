#include "masterdata/Kategorie_.h"

#include "data/dm_ordavo.h"
#include "masterdata/Kategorie_editieren.h"
#include "ui/Anwendung.h"

TKategorie::TKategorie(QWidget* parent)
    : Teinheit(Art{QStringLiteral("kategorie"), QStringLiteral("Wollen Sie die aktuelle Kategorie wirklich löschen?"),
                   QStringLiteral("SELECT Count(artikel_kategorie_id) AS [Anzahl] FROM t_artikel WHERE artikel_kategorie_id=:id;"),
                   QStringLiteral("Die Kategorie wird bereits verwendet und kann nicht gelöscht werden.")},
               parent)
{
    ui.setupUi(this);
    Einrichten();
}

TKategorie::~TKategorie() = default;

data::DataSource* TKategorie::Quelle() const { return App().DMOrdavo->Data_t_Kategorie; }

ui::Formular* TKategorie::Editor() const { return App().Kategorie_bearbeiten; }
