#pragma once
// The period window of the all-customer statistics; modal. The calendars
// are independent: a start day after the end day gives an empty listing.
#include "stats/Zeitraumfenster.h"
#include "ui_Datum_alle_Adressen_auswertung.h"

class TDatum_alle_Adressenauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TDatum_alle_Adressenauswertung(QWidget* parent = nullptr);

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TDatum_alle_Adressenauswertung ui;
};
