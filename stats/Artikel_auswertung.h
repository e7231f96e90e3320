#pragma once
// The period window of the article statistics; opened modelessly from the
// article list, it stays open for one period after the other.
#include "stats/Zeitraumfenster.h"
#include "ui_Artikel_auswertung.h"

class TArtikelauswertung : public stats::Zeitraumfenster {
    Q_OBJECT
public:
    explicit TArtikelauswertung(QWidget* parent = nullptr);

    void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) override;

private:
    Ui::TArtikelauswertung ui;
};
