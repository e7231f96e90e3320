#pragma once
// Reading a received e-invoice: UN/CEFACT CII, UBL 2.1 Invoice or CreditNote,
// or a PDF (ZUGFeRD / Factur-X) that carries such an XML as an embedded file.
// Every failure throws data::Fehler with a German message for the user.
//
// Received files are untrusted input: a file above the size limit is refused
// before it is read, an XML with a document type declaration (and so with any
// entity declaration) is refused before it is parsed, and an embedded XML is
// unpacked only up to the same limit.
#include "einvoice/ERechnung.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace einvoice {

// Files above this size are not opened (bytes).
inline constexpr qint64 kGroessteEingangsdatei = 20 * 1024 * 1024;

struct Eingang {
    ERechnung rechnung;
    QString syntax;          // "UN/CEFACT CII", "UBL Invoice", "UBL CreditNote"
    QString quelle;          // "XML-Datei" or "PDF-Datei mit eingebetteter factur-x.xml"
    // Business terms EN 16931 requires that the file lacks, as
    // "BT-1 Rechnungsnummer"; a term present but unreadable is named as well.
    QStringList fehlend;
};

// Reads a file; decides by its content whether it is a PDF or an XML.
Eingang LiesEingang(const QString& pfad);
// Reads an invoice XML held in memory.
Eingang LiesEingangXml(const QByteArray& xml);
// The invoice XML embedded in a PDF held in memory.
QByteArray EingebettetesXml(const QByteArray& pdf, QString* dateiname = nullptr);

}  // namespace einvoice
