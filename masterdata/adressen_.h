#pragma once
// The address list (customers and suppliers) with the invoice and delivery
// address of the current row: new, change and delete through the modal
// address editor, and the two customer statistics.
#include "ui/Formular.h"
#include "ui_adressen_.h"

#include <memory>

class TAdressen : public ui::Formular {
    Q_OBJECT
public:
    explicit TAdressen(QWidget* parent = nullptr);
    ~TAdressen() override;
    void Binden() override;

protected:
    void FormClose() override;

    void SchalterAdressenstammNeuClick();
    void SchalterAendernClick();
    void SchalterLoeschenClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void SchalterSchliessenClick();

private:
    Ui::TAdressen ui;
};
