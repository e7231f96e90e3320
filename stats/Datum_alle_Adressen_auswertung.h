#pragma once
// The period window of the all-customer statistics; modal. The calendars
// are independent: a start day after the end day gives an empty listing.
#include "stats/Zeitraumfenster.h"

namespace Ui {
class TDatum_alle_Adressenauswertung;
}

class TDatum_alle_Adressenauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TDatum_alle_Adressenauswertung(QWidget* parent = nullptr);
    ~TDatum_alle_Adressenauswertung() override;

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TDatum_alle_Adressenauswertung* ui;
};
