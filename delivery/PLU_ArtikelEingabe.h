#pragma once
// Quick entry of an item by PLU code and quantity from the keyboard alone:
// opened by a digit typed in the delivery-note window with that digit as the
// start of the code; Enter moves to the quantity, Enter again adds the item.
#include "ui/Formular.h"
#include "ui_PLU_ArtikelEingabe.h"

#include <memory>

class TPLUArtikelEingabe : public ui::Formular {
    Q_OBJECT
public:
    explicit TPLUArtikelEingabe(QWidget* parent = nullptr);
    ~TPLUArtikelEingabe() override;

    // The texts the window opens with: the digit typed and the quantity.
    void Vorbelegen(const QString& plu, const QString& menge);

    void BitBtn1Click();
    void BitBtn2Click();
    void Edit_PLUKeyPress();
    void Edit_MengeKeyPress();

protected:
    void FormShow() override;
    void FormActivate() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void EingabeBeginnen();

    Ui::TPLUArtikelEingabe ui;
    bool m_frischGeoeffnet = false;
};
