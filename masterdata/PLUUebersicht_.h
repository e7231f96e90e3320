#pragma once
// The overview of all PLU codes: new and change through the assignment
// dialog (a code is stored only together with an article), delete at once.
#include "ui/Formular.h"
#include "ui_PLUUebersicht_.h"

#include <memory>

class TPLUUebersicht : public ui::Formular {
    Q_OBJECT
public:
    explicit TPLUUebersicht(QWidget* parent = nullptr);
    ~TPLUUebersicht() override;
    void Binden() override;

protected:
    void SchalterNeuClick();
    void DBGrid1DblClick();
    void SchalterLoeschenClick();
    void SchalterSchliessenClick();

private:
    // After the dialog: posts a row that has code and article, drops any other.
    void Abschliessen(bool ok);

    Ui::TPLUUebersicht ui;
};
