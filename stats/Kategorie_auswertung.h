#pragma once
// The period window of the category statistics; opened modelessly from the
// article list.
#include "stats/Zeitraumfenster.h"

namespace Ui {
class TKategorieauswertung;
}

class TKategorieauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TKategorieauswertung(QWidget* parent = nullptr);
    ~TKategorieauswertung() override;

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TKategorieauswertung* ui;
};
