#pragma once
// The modal report preview: maximised, zoomed to fit the page, with printing
// through the system's print dialog and "Als PDF speichern …".
//
// Object names, for tests: the dialog "Vorschau" (a QPrintPreviewDialog), its
// action "AktionPdfSpeichern", and the file dialog "PdfSpeichernDialog".
#include "report/Bericht.h"

class QWidget;

namespace report {

// Lays out `bericht` once and shows the pages modally; returns when the
// preview closes. Exceptions while laying out pass to the caller.
void Vorschau(Bericht& bericht, QWidget* parent = nullptr);
void Vorschau(const Seiten& seiten, const QString& titel, QWidget* parent = nullptr);

}  // namespace report
