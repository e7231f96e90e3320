#pragma once
// The ZUGFeRD / Factur-X file: the printout as PDF/A-3b with the invoice's
// CII XML embedded as factur-x.xml (relationship Alternative) and the
// Factur-X fields in the XMP metadata.
#include "report/Bericht.h"

#include <QByteArray>
#include <QString>

namespace einvoice {

// The PDF as bytes. Throws data::Fehler with a German message on failure.
QByteArray ZugferdPdf(const report::Seiten& seiten, const QString& titel, const QByteArray& xml);

// Name of the embedded file and the conformance level written in the XMP.
inline constexpr const char* kFacturXName = "factur-x.xml";

}  // namespace einvoice
