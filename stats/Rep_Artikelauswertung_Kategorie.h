#pragma once
// The category statistics: sales, purchase cost, margin and markup per
// article category, as ADO_Auswertung_ArtikelKategorie_summen returns them.
#include "stats/Statistikbericht.h"

class TKategoriestatistik : public stats::Statistikbericht {
    Q_OBJECT
public:
    explicit TKategoriestatistik(QObject* parent = nullptr);
    void Binden();

    void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken);
};
