#pragma once
// The modal editor of one address: invoice address, customer and supplier
// flags and an optional delivery address. It edits the current row of the
// address dataset in place; the address list posts or cancels.
#include "ui/Formular.h"
#include "ui_adressen_edit.h"

#include <memory>

class TAdressen_bearbeiten : public ui::Formular {
    Q_OBJECT
public:
    explicit TAdressen_bearbeiten(QWidget* parent = nullptr);
    ~TAdressen_bearbeiten() override;
    void Binden() override;

    // Heights of the form without and with the delivery address.
    static constexpr int HoeheKurz = 350;
    static constexpr int HoeheLang = 584;

protected:
    void FormShow() override;
    void FormActivate() override;

    // "Hat Lieferadresse" is offered only for a customer.
    void DBCheckBox2Click();
    // The delivery panel and the tall form follow adr_hatlieferadr.
    void DBCheckBox3Click();

private:
    Ui::TAdressen_bearbeiten ui;
};
