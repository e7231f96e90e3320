#pragma once
// Writing an invoice as UN/CEFACT Cross Industry Invoice (CII, D16B), the
// syntax of XRechnung and of the XML inside a ZUGFeRD / Factur-X PDF.
#include <QByteArray>

namespace einvoice {

struct ERechnung;

// The document as UTF-8 XML. Writes the terms the model holds, in the
// element order the CII schema demands; amounts with two decimals, prices
// and quantities with as many as they need. Does not check the content
// (see Pruefung.h).
QByteArray SchreibeCii(const ERechnung& r);

// Amount / decimal as written into the XML ("12.30", "0.125", "-3.00").
QString Betrag(double wert);
QString Dezimal(double wert, int minStellen = 0, int maxStellen = 6);

}  // namespace einvoice
