#pragma once
// The open invoices (invoice date set, no payment date): records a payment
// ("Hat bezahlt") or sends a dunning letter ("Mahnung senden"). Modeless;
// closing it closes ADO_Nochnichtbezahlt, so each showing reads it afresh.
#include "ui/Formular.h"
#include "ui_nochnichtbezahlt_.h"

#include <memory>

class Tnochnichtbezahlt : public ui::Formular {
    Q_OBJECT
public:
    explicit Tnochnichtbezahlt(QWidget* parent = nullptr);
    ~Tnochnichtbezahlt() override;

    void Binden() override;

    void BitBtn1Click();  // Hat bezahlt
    void BitBtn2Click();  // Mahnung senden
    void BitBtn3Click();  // Schließen

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // Moves ADO_Lieferschein to the selected open invoice; false (with a
    // message) when the list is empty or the invoice is not there.
    bool RechnungAuswaehlen(int& id);

    Ui::Tnochnichtbezahlt ui;
};
