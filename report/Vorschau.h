#pragma once
// The modal report preview: maximised, zoomed to fit the page, with printing
// through the system's print dialog and "Als PDF speichern …".
//
// A long report shows its first page at once; the rest is laid out while the
// preview is open ("Seite 1 von 12 …" until the count is final). Printing and
// saving wait for the whole document.
//
// Object names, for tests: the dialog "Vorschau"; its actions "AktionDrucken",
// "AktionPdfSpeichern", "AktionErsteSeite", "AktionVorherigeSeite",
// "AktionNaechsteSeite", "AktionLetzteSeite", "AktionGanzeSeite",
// "AktionSeitenbreite", "AktionVergroessern", "AktionVerkleinern",
// "AktionSchliessen"; the page label "LabelSeite"; the print dialog
// "DruckDialog" and the file dialog "PdfSpeichernDialog".
#include "report/Bericht.h"

class QWidget;

namespace report {

// Lays out `bericht` and shows it modally; returns when the preview closes.
// Exceptions while laying out (also those in the background) pass to the
// caller once the preview is closed.
void Vorschau(Bericht& bericht, QWidget* parent = nullptr);
void Vorschau(const Seiten& seiten, const QString& titel, QWidget* parent = nullptr);

}  // namespace report
