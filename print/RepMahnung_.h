#pragma once
// The dunning letter: the business document titled "Mahnung" for the open
// invoice selected in the open-invoice list, with the dunning text below the
// totals, printed in full.
#include "print/Geschaeftsdokument.h"

class QWidget;

class TRepMahnung : public print::Geschaeftsdokument {
    Q_OBJECT
public:
    explicit TRepMahnung(QWidget* parent = nullptr);

protected:
    QString Nummer() override;
};
