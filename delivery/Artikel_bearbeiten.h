#pragma once
// Changes the unit price and the quantity of the current item. The caller
// has put ADO_Lieferschein_Artikel into edit and posts or cancels it.
#include "ui/Formular.h"
#include "ui_Artikel_bearbeiten.h"

#include <memory>

class TArtikelbearbeiten : public ui::Formular {
    Q_OBJECT
public:
    explicit TArtikelbearbeiten(QWidget* parent = nullptr);
    ~TArtikelbearbeiten() override;

    void Binden() override;

    void SchalterArtikelbearbeitenOKClick();

protected:
    void FormShow() override;

private:
    Ui::TArtikelbearbeiten ui;
};
