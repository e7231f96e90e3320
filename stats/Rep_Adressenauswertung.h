#pragma once
// The customer statistics: the articles one customer bought in the period,
// largest sales first, and the customer's total sales. Driven by
// ADO_Auswertung_Adressen; the customer is the current row of ADO_t_adressen.
#include "stats/Statistikbericht.h"

class TRepAdressenauswertung : public stats::Statistikbericht {
    Q_OBJECT
public:
    explicit TRepAdressenauswertung(QObject* parent = nullptr);
    void Binden();

    void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken);
    void QRBand2BeforePrint(report::Band& band, bool& drucken);

private:
    report::Text* m_firma = nullptr;
    report::Text* m_plz = nullptr;
    report::Text* m_ort = nullptr;
    report::Text* LabelNetto = nullptr;
    report::Text* QRLabelGesamtumsatz = nullptr;
};
