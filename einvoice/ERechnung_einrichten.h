#pragma once
// "E-Rechnung einrichten": the company's additions for e-invoices (country,
// tax number, IBAN, BIC, exemption reason) and the unit codes. Reached from
// the menu "Verwalten" and from the export when data is missing. OK checks
// the entries and stores them in one transaction; wrong entries are named
// and the window stays open.
#include "ui/Formular.h"

#include <memory>
#include "ui_ERechnung_einrichten.h"

namespace data {
class Verbindung;
}

class TERechnungEinrichten : public ui::Formular {
    Q_OBJECT
public:
    explicit TERechnungEinrichten(QWidget* parent = nullptr);
    ~TERechnungEinrichten() override;

    // Shows the window modally on the program's database; true after OK.
    static bool Einrichten(QWidget* parent = nullptr);

    void BitBtn1Click();

protected:
    void FormShow() override;

private:
    data::Verbindung& Db() const;

    Ui::TERechnungEinrichten ui;
};
