#pragma once
// The modal editor of one category: the unit editor on the category table.
#include "masterdata/Einheit_editieren.h"
#include "ui_Kategorie_editieren.h"

class TKategorie_bearbeiten : public Teinheit_bearbeiten {
    Q_OBJECT
public:
    explicit TKategorie_bearbeiten(QWidget* parent = nullptr);
    ~TKategorie_bearbeiten() override;

protected:
    data::DataSource* Quelle() const override;
    void FormActivate() override;

private:
    Ui::TKategorie_bearbeiten ui;
};
