#pragma once
// The modal dialog in which one PLU code is typed and its article chosen by
// double-click in the article list. The overview posts or cancels.
#include "ui/Formular.h"
#include "ui_PLUZuordnen_.h"

#include <memory>

class TPLUZuordnen : public ui::Formular {
    Q_OBJECT
public:
    explicit TPLUZuordnen(QWidget* parent = nullptr);
    ~TPLUZuordnen() override;
    void Binden() override;

protected:
    void FormShow() override;
    void FormActivate() override;

    void DBGrid1DblClick();
    void SchalterOKClick();

private:
    Ui::TPLUZuordnen ui;
};
