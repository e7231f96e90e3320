#pragma once
// A received e-invoice shown as a readable A4 document in the report preview,
// with the result of recalculating it at the top of the first page.
//
// Object names, for tests: the file dialog "ERechnungOeffnenDialog"; on the
// laid-out pages the texts "Pruefung" (the check's first line),
// "Rechnungsart", "Rechnungsnummer", "Rechnungsdatum", "Verkaeufer" (the
// seller's name), "Kaeufer", "PositionNr" and "PositionBetrag" (one per
// line), "Zahlbetrag".
#include "einvoice/Lesen.h"
#include "report/Bericht.h"

class QWidget;

namespace einvoice {

// German name of a UN/ECE Recommendation 20 unit code; empty when unknown.
QString Rec20Name(const QString& code);

// The document of an invoice read from a file.
report::Seiten EingangSeiten(const Eingang& e);

// Asks for a file and shows it; a file that cannot be read gives its message.
void ERechnungAnzeigen(QWidget* parent = nullptr);
// Reads and shows one file (throws data::Fehler when it cannot be read).
void ERechnungDateiAnzeigen(const QString& pfad, QWidget* parent = nullptr);

}  // namespace einvoice
