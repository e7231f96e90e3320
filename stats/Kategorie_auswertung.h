#pragma once
// The period window of the category statistics; opened modelessly from the
// article list.
#include "stats/Zeitraumfenster.h"
#include "ui_Kategorie_auswertung.h"

class TKategorieauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TKategorieauswertung(QWidget* parent = nullptr);

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TKategorieauswertung ui;
};
