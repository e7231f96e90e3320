#pragma once
// The working window of the delivery notes: one note at a time with its
// customer, invoice and payment state, items and totals; the starting point
// for changing, deleting, searching, adding items, printing and invoicing.
// It holds no data of its own: it shows the current row of ADO_Lieferschein
// and its items.
#include "ui/Formular.h"
#include "ui_Lieferschein_.h"

#include <memory>

namespace print {
class Geschaeftsdokument;
}

class TLieferschein : public ui::Formular {
    Q_OBJECT
public:
    explicit TLieferschein(QWidget* parent = nullptr);
    ~TLieferschein() override;

    void Binden() override;

    // Net, VAT and gross of the current delivery note into the total labels;
    // run whenever the items change.
    void SummenAktualisieren();

    void SchalterliefaendernClick();
    void SchalterliefloeschenClick();
    void BitBtn2Click();
    void SchalterartikelhinzufClick();
    void SchalterartikelaendernClick();
    void SchalterartikelloeschenClick();
    void BitBtn1Click();
    void BitBtn3Click();
    void SchalterliefschliessenClick();

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* ereignis) override;

private:
    // True when there is a current delivery note to act on. While the header
    // window holds an unsaved new note, that window comes to the front
    // instead and the answer is false.
    bool LieferscheinBereit();
    // Filters the print set to the current note, shows the document and
    // resets the filter whatever happens.
    void Drucken(print::Geschaeftsdokument* dokument);

    Ui::TLieferschein ui;
};
