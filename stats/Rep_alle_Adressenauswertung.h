#pragma once
// The all-customer statistics: one line per customer (addresses with equal
// columns count as one), largest sales first, and the period's total sales.
// Driven by ADO_Auswertung_alle_Adressen.
#include "stats/Statistikbericht.h"

class TRepalleAdressenauswertungen : public stats::Statistikbericht {
    Q_OBJECT
public:
    explicit TRepalleAdressenauswertungen(QObject* parent = nullptr);
    void Binden();

    void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken);
    void QRBand2BeforePrint(report::Band& band, bool& drucken);

private:
    report::Text* LabelNetto = nullptr;
    report::Text* QRLabelGesamtumsatz = nullptr;
};
