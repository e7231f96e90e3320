#pragma once
// Finds a delivery note through its customer: each key released in one of
// the five search fields narrows the address list by that field alone; the
// notes of the selected address are listed below; "Gehe zu" makes the chosen
// note the current one of the delivery-note window.
#include "ui/Formular.h"
#include "ui_Lieferschein_suchen.h"

#include <memory>

class QLineEdit;

class TLieferscheinsuche : public ui::Formular {
    Q_OBJECT
public:
    explicit TLieferscheinsuche(QWidget* parent = nullptr);
    ~TLieferscheinsuche() override;

    void Binden() override;

    void sucheFirmaKeyUp();
    void sucheNameKeyUp();
    void sucheAdresseKeyUp();
    void suchePLZKeyUp();
    void sucheOrtKeyUp();
    void SchalterLiefsucheOKClick();

protected:
    void FormShow() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    // Replaces the address list by the addresses whose column starts with
    // the field's text (all addresses for an empty text).
    void Suchen(QLineEdit* feld, const QString& spalte);

    Ui::TLieferscheinsuche ui;
};
