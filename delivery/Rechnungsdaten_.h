#pragma once
// Asks for the invoice date when a delivery note is invoiced. The caller has
// put the note into edit and posts (OK) or cancels (Abbrechen) afterwards.
#include "ui/Formular.h"
#include "ui_Rechnungsdaten_.h"

#include <memory>

class TRechnungsdaten : public ui::Formular {
    Q_OBJECT
public:
    explicit TRechnungsdaten(QWidget* parent = nullptr);
    ~TRechnungsdaten() override;

    void Binden() override;

    void RechnungsdatumPickerChange();

protected:
    void FormShow() override;
    void FormActivate() override;

private:
    Ui::TRechnungsdaten ui;
    bool m_setzt = false;
};
