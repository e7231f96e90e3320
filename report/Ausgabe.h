#pragma once
// Painting laid-out pages on a paged device: the preview's printer, a real
// printer, a PDF file. Painting is scaled by the device's own resolution (never
// the screen's) and places every primitive from the sheet's top-left corner.
#include "report/Bericht.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace report {

// Paints one page on an active painter whose origin is the sheet's top-left
// corner, `dotsProMmX/Y` device pixels to the mm (a printer's resolution, or
// a zoom on screen). Font sizes are corrected by the device's own resolution.
void ZeichneSeite(QPainter& p, const Seite& seite, double dotsProMmX, double dotsProMmY);

// Paints pages `von` to `bis` (1-based; 0 = to the last) on `geraet` (A4
// portrait, no margins; a QPrinter is set to full page), one sheet each.
// Nothing is painted for no pages.
void Drucke(const Seiten& seiten, QPagedPaintDevice& geraet, int von = 1, int bis = 0);

// Writes the pages to a PDF file, replacing it. Throws data::Fehler with a
// German message when the file cannot be written.
void SchreibePdf(const Seiten& seiten, const QString& pfad, const QString& titel = QString());
// Lays out `bericht` and writes it.
void SchreibePdf(Bericht& bericht, const QString& pfad);

}  // namespace report
