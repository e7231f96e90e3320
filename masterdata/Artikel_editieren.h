#pragma once
// The modal editor of one article: number, texts, prices with the markup of
// both selling prices over the purchase price, VAT rate, unit and category.
// The unit and category lists open on top of it and can be used while it
// stays open. The caller posts or cancels.
#include "ui/Formular.h"
#include "ui_Artikel_editieren.h"

#include <QVariant>
#include <memory>

class TArtikeleditieren : public ui::Formular {
    Q_OBJECT
public:
    explicit TArtikeleditieren(QWidget* parent = nullptr);
    ~TArtikeleditieren() override;
    void Binden() override;

    // Writes the markups of the row's prices into Label_preis1Pro and Label_preis2Pro.
    void ZeigeSpannePro();
    // 100 / purchase price * price - 100, as "50,00 %".
    static QString SpanneText(double einkauf, double preis);

protected:
    void FormShow() override;
    void FormActivate() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

    void SchalterneueEinheitClick();
    void SchalterneueKategorieClick();
    void SchaleterArtikeleditOKClick();

private:
    void UeberDemEditorZeigen(ui::Formular* liste);

    Ui::TArtikeleditieren ui;
    // The article number this opening proposed; a number the user typed instead is kept.
    QVariant m_vorschlagNr;
};
