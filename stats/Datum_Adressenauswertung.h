#pragma once
// The period window of the customer statistics for the current address of
// the address list; modal. Each activation (also after the preview) shows
// the current year and today again.
#include "stats/Zeitraumfenster.h"
#include "ui_Datum_Adressenauswertung.h"

class TAdressenauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TAdressenauswertung(QWidget* parent = nullptr);

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TAdressenauswertung ui;
};
