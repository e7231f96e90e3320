#pragma once
// The about box: product, version, maker and the maker's three addresses.
#include "ui/Formular.h"

#include "ui_info.h"

class TAboutBox : public ui::Formular {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static const char* const Webadresse;
    static const char* const Downloadseite;
    static const char* const Emailadresse;

    void OKButtonClick();
    void Image_TorsilClick();
    void Label4Click();
    void Label6Click();

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    Ui::TAboutBox ui;
};
