#pragma once
// The invoice: the business document titled "Rechnung", always addressed to
// the customer's main address, with the note's closing texts at the end.
#include "print/Geschaeftsdokument.h"

class QWidget;

class TRepRechnung : public print::Geschaeftsdokument {
    Q_OBJECT
public:
    explicit TRepRechnung(QWidget* parent = nullptr);
};
