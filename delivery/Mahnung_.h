#pragma once
// The dunning text of the current delivery note (ADO_Lieferschein in edit
// state); an empty stored text is replaced by the master data's default.
// OK and Abbrechen only close; the caller posts or cancels.
#include "ui/Formular.h"
#include "ui_Mahnung_.h"

#include <memory>

class TMahnung : public ui::Formular {
    Q_OBJECT
public:
    explicit TMahnung(QWidget* parent = nullptr);
    ~TMahnung() override;

    void Binden() override;

protected:
    void FormShow() override;
    void FormActivate() override;

private:
    Ui::TMahnung ui;
    bool m_neuGezeigt = false;
};
