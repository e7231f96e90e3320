#include "delivery/Artikel_bearbeiten.h"

#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"

#include <QApplication>
#include <QScreen>

TArtikelbearbeiten::TArtikelbearbeiten(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TArtikelbearbeiten"));
    ui::Verbinde(ui.SchalterArtikelbearbeitenOK, &QPushButton::clicked, this,
                 &TArtikelbearbeiten::SchalterArtikelbearbeitenOKClick);
    SetzeModalErgebnis(ui.SchalterArtikelbearbAbbrechen, false);
}

TArtikelbearbeiten::~TArtikelbearbeiten() = default;

void TArtikelbearbeiten::Binden()
{
    data::DataSource* pos = App().DMOrdavo->Data_Lieferschein_Artikel;
    ui.DBEdit1->setDataSource(pos, QStringLiteral("la_preis"));
    ui.DBEdit2->setDataSource(pos, QStringLiteral("la_anzahl"));
    ui.DBEdit1->setLeerzeichenRegel(true);
    ui.DBEdit2->setLeerzeichenRegel(true);
}

void TArtikelbearbeiten::FormShow()
{
    AufHauptfensterZentrieren();
    ui.DBEdit1->setFocus();
    ui.DBEdit1->selectAll();
}

void TArtikelbearbeiten::SchalterArtikelbearbeitenOKClick()
{
    // Price and quantity must be numbers before the window closes: the caller
    // posts after it, and the user corrects here what cannot be read.
    const struct {
        ui::DBEdit* feld;
        const char* leer;
    } felder[] = {{ui.DBEdit1, "Bitte geben Sie einen Preis an."}, {ui.DBEdit2, "Bitte geben Sie eine Menge an."}};
    for (const auto& [feld, leer] : felder) {
        try {
            if (feld->text().trimmed().isEmpty()) throw data::Fehler(QString::fromUtf8(leer));
            data::LeseZahl(feld->text());
            feld->Uebernehmen();
        } catch (...) {
            feld->setFocus();
            feld->selectAll();
            throw;
        }
    }
    SchliesseMitOk();
}
