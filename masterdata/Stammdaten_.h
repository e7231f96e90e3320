#pragma once
// The company's own master data: name and contact data, one print flag per
// letterhead line, and the default texts of new delivery notes and dunning
// letters. Edits the one row of t_stammdaten.
#include "ui/Formular.h"
#include "ui_Stammdaten_.h"

#include <memory>

class TStammdaten : public ui::Formular {
    Q_OBJECT
public:
    explicit TStammdaten(QWidget* parent = nullptr);
    ~TStammdaten() override;
    void Binden() override;

    // Edits the row (or starts it when the table is empty), shows the window
    // modally, and posts after OK or cancels otherwise.
    void Bearbeiten();

private:
    Ui::TStammdaten ui;
};
