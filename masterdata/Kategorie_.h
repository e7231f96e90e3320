#pragma once
// The list of categories: the unit list on the category table.
#include "masterdata/Einheit_.h"
#include "ui_Kategorie_.h"

class TKategorie : public Teinheit {
    Q_OBJECT
public:
    explicit TKategorie(QWidget* parent = nullptr);
    ~TKategorie() override;

protected:
    data::DataSource* Quelle() const override;
    ui::Formular* Editor() const override;

private:
    Ui::TKategorie ui;
};
