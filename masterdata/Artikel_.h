#pragma once
// The article list in article-number order: new, change and delete through
// the modal article editor (an article that items use is not deleted), and
// the article and category statistics.
#include "ui/Formular.h"
#include "ui_Artikel_.h"

#include <memory>

class TArtikel : public ui::Formular {
    Q_OBJECT
public:
    explicit TArtikel(QWidget* parent = nullptr);
    ~TArtikel() override;
    void Binden() override;

protected:
    void FormClose() override;

    void BitBtn1Click();
    void SchalteralleArtikelaendernClick();
    void SchalteralleArtikelLoeschenClick();
    void BitBtn2Click();
    void BitBtn3Click();
    void SchalteralleArtikelSchliessenClick();

private:
    // Shows the editor on the row in insert or edit state; after OK the row
    // is posted and current again in its place by article number.
    void Bearbeiten();

    Ui::TArtikel ui;
};
