#pragma once
// Lists all articles; the chosen one is added with a quantity as one new item
// of the current delivery note. PositionAnlegen is the one item insertion,
// shared with the PLU quick entry.
#include "ui/Formular.h"
#include "ui_Artikelauswahl_.h"

#include <memory>

class TArtikelauswahl : public ui::Formular {
    Q_OBJECT
public:
    explicit TArtikelauswahl(QWidget* parent = nullptr);
    ~TArtikelauswahl() override;

    void Binden() override;

    // One new item of the current delivery note with the article's price and
    // purchase price; afterwards it is the current item. A quantity the
    // regional settings cannot read as a number is refused before anything
    // is written.
    void PositionAnlegen(int artikelId, double preis, double einkauf, const QString& menge);

    void SchalterArtikelauswahlOKClick();
    void UpDown1Click(int schritt);

protected:
    void FormShow() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    Ui::TArtikelauswahl ui;
};
