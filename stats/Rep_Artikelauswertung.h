#pragma once
// The article statistics: per article quantity, sales, share of the period's
// sales, purchase cost, margin and markup; the period's totals at the end.
// Driven by ADO_Auswertung_Artikel; the totals and the share come from
// ADO_Auswertung_Artikel_summen (both open while it is laid out).
#include "stats/Statistikbericht.h"

class TRepArtikelauswertung : public stats::Statistikbericht {
    Q_OBJECT
public:
    explicit TRepArtikelauswertung(QObject* parent = nullptr);
    void Binden();

    void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken);
    void QRBand1BeforePrint(report::Band& band, bool& drucken);
    void QRBand2BeforePrint(report::Band& band, bool& drucken);

    // The share of `umsatz` in `gesamtumsatz` and the markup of a margin over
    // its purchase cost, as the columns print them ("–" where there is none).
    static QString Umsatzanteil(const QVariant& umsatz, const QVariant& gesamtumsatz);
    static QString Aufschlag(const QVariant& spanne, const QVariant& einkauf);

private:
    report::Text* label_gesamt_pro = nullptr;
    report::Text* Label_spanne_pro = nullptr;
    report::Text* m_einkauf = nullptr;
    report::Text* LabelVerkauf = nullptr;
    report::Text* LabelEinkauf = nullptr;
    report::Text* LabelSpanne = nullptr;
    report::Text* QRLabelGesamtumsatz = nullptr;
    QVariant m_gesamtumsatz;
};
