#pragma once
// The delivery note: the business document titled "Lieferschein", addressed
// to the customer's delivery address when there is one, with the note's
// payment terms, bank details and additional text at the end.
#include "print/Geschaeftsdokument.h"

class QWidget;

class TRepLieferschein : public print::Geschaeftsdokument {
    Q_OBJECT
public:
    explicit TRepLieferschein(QWidget* parent = nullptr);

protected:
    void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken) override;

private:
    report::Text* LabelLief_Firma = nullptr;
    report::Text* LabelLief_Name = nullptr;
    report::Text* LabelLief_Adresse = nullptr;
};
