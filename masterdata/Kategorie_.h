#pragma once
// The list of categories: the unit list on the category table.
#include "masterdata/Einheit_.h"

namespace Ui {
class TKategorie;
}

class TKategorie : public Teinheit {
    Q_OBJECT
public:
    explicit TKategorie(QWidget* parent = nullptr);
    ~TKategorie() override;

protected:
    data::DataSource* Quelle() const override;
    ui::Formular* Editor() const override;

private:
    std::unique_ptr<Ui::TKategorie> ui;
};
