#pragma once
// Payment date and amount of the current delivery note (ADO_Lieferschein in
// edit state). Shows the invoice amount; a double-click on it copies the
// amount into the amount paid. OK and Abbrechen only close; the caller posts
// or cancels.
#include "ui/Formular.h"
#include "ui_Zahlungsdatum_.h"

#include <memory>

class TZahlungsdatum : public ui::Formular {
    Q_OBJECT
public:
    explicit TZahlungsdatum(QWidget* parent = nullptr);
    ~TZahlungsdatum() override;

    void Binden() override;

    void ZahlungsdatumPickerChange();
    void LabelBruttoDblClick();
    void BitBtn1Click();  // OK

protected:
    void FormShow() override;
    void FormActivate() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    double Brutto() const;

    Ui::TZahlungsdatum ui;
    bool m_neuGezeigt = false;
};
