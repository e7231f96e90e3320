#include "einvoice/Zugferd.h"

#include "data/Fehler.h"
#include "report/Ausgabe.h"

#include <QBuffer>
#include <QDateTime>
#include <QPdfWriter>
#include <QRegularExpression>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>
#include <stdexcept>

namespace einvoice {

namespace {

// The extension schema PDF/A demands for properties outside its own set, and
// the Factur-X properties themselves.
const char kFacturXXmp[] = R"(<rdf:Description rdf:about="" xmlns:pdfaExtension="http://www.aiim.org/pdfa/ns/extension/" xmlns:pdfaSchema="http://www.aiim.org/pdfa/ns/schema#" xmlns:pdfaProperty="http://www.aiim.org/pdfa/ns/property#">
<pdfaExtension:schemas><rdf:Bag><rdf:li rdf:parseType="Resource">
<pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>
<pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>
<pdfaSchema:prefix>fx</pdfaSchema:prefix>
<pdfaSchema:property><rdf:Seq>
<rdf:li rdf:parseType="Resource"><pdfaProperty:name>DocumentFileName</pdfaProperty:name><pdfaProperty:valueType>Text</pdfaProperty:valueType><pdfaProperty:category>external</pdfaProperty:category><pdfaProperty:description>The name of the embedded XML document</pdfaProperty:description></rdf:li>
<rdf:li rdf:parseType="Resource"><pdfaProperty:name>DocumentType</pdfaProperty:name><pdfaProperty:valueType>Text</pdfaProperty:valueType><pdfaProperty:category>external</pdfaProperty:category><pdfaProperty:description>The type of the hybrid document in capital letters, e.g. INVOICE or ORDER</pdfaProperty:description></rdf:li>
<rdf:li rdf:parseType="Resource"><pdfaProperty:name>Version</pdfaProperty:name><pdfaProperty:valueType>Text</pdfaProperty:valueType><pdfaProperty:category>external</pdfaProperty:category><pdfaProperty:description>The actual version of the standard applying to the embedded XML document</pdfaProperty:description></rdf:li>
<rdf:li rdf:parseType="Resource"><pdfaProperty:name>ConformanceLevel</pdfaProperty:name><pdfaProperty:valueType>Text</pdfaProperty:valueType><pdfaProperty:category>external</pdfaProperty:category><pdfaProperty:description>The conformance level of the embedded XML document</pdfaProperty:description></rdf:li>
</rdf:Seq></pdfaSchema:property>
</rdf:li></rdf:Bag></pdfaExtension:schemas>
</rdf:Description>
<rdf:Description rdf:about="" xmlns:fx="urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#">
<fx:DocumentType>INVOICE</fx:DocumentType>
<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>
<fx:Version>1.0</fx:Version>
<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>
</rdf:Description>
)";

// Qt writes the printout as PDF/A-1b: fonts embedded, sRGB output intent,
// XMP metadata that agrees with the document information. What PDF/A-3 adds
// is the part number and the Factur-X description in that XMP.
QByteArray XmpFuerPdfA3(const QByteArray& xmp)
{
    QString text = QString::fromUtf8(xmp);
    static const QRegularExpression kennung(
        QStringLiteral("<rdf:Description[^>]*xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\"[^>]*(/>|>.*?</rdf:Description>)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch treffer = kennung.match(text);
    const int ende = text.lastIndexOf(QLatin1String("</rdf:RDF>"));
    if (!treffer.hasMatch() || ende < treffer.capturedEnd())
        throw data::Fehler(QStringLiteral("Die PDF-Metadaten haben nicht die erwartete Form."));
    text.insert(ende, QString::fromUtf8(kFacturXXmp));
    text.replace(treffer.capturedStart(), treffer.capturedLength(),
                 QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
                                "<pdfaid:part>3</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n"
                                "</rdf:Description>"));
    return text.toUtf8();
}

QByteArray Druck(const report::Seiten& seiten, const QString& titel)
{
    QByteArray pdf;
    QBuffer puffer(&pdf);
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter w(&puffer);
        w.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        w.setResolution(1200);
        w.setTitle(titel);
        w.setCreator(QStringLiteral("Ordavo"));
        report::Drucke(seiten, w);
    }
    return pdf;
}

}  // namespace

QByteArray ZugferdPdf(const report::Seiten& seiten, const QString& titel, const QByteArray& xml)
{
    if (seiten.empty()) throw data::Fehler(QStringLiteral("Die Rechnung hat keine Seiten."));
    const QByteArray druck = Druck(seiten, titel);
    try {
        QPDF q;
        q.processMemoryFile("Rechnung", druck.constData(), size_t(druck.size()));
        QPDFObjectHandle katalog = q.getRoot();

        QPDFObjectHandle metadaten = katalog.getKey("/Metadata");
        if (!metadaten.isStream()) throw data::Fehler(QStringLiteral("Die PDF-Datei hat keine Metadaten."));
        const std::shared_ptr<Buffer> alt = metadaten.getStreamData();
        const QByteArray neu =
            XmpFuerPdfA3(QByteArray(reinterpret_cast<const char*>(alt->getBuffer()), int(alt->getSize())));
        metadaten.replaceStreamData(neu.toStdString(), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());

        const std::string jetzt = QUtil::qpdf_time_to_pdf_time(QUtil::get_current_qpdf_time());
        QPDFEFStreamObjectHelper datei = QPDFEFStreamObjectHelper::createEFStream(q, xml.toStdString());
        datei.setSubtype("text/xml").setCreationDate(jetzt).setModDate(jetzt);
        QPDFFileSpecObjectHelper spez = QPDFFileSpecObjectHelper::createFileSpec(q, kFacturXName, datei);
        spez.setDescription("Rechnung (Factur-X / ZUGFeRD, EN 16931)");
        spez.getObjectHandle().replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
        QPDFEmbeddedFileDocumentHelper(q).replaceEmbeddedFile(kFacturXName, spez);
        katalog.replaceKey("/AF", QPDFObjectHandle::newArray({spez.getObjectHandle()}));

        QPDFWriter w(q);
        w.setOutputMemory();
        w.setMinimumPDFVersion("1.7");
        w.write();
        const std::shared_ptr<Buffer> aus = w.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(aus->getBuffer()), int(aus->getSize()));
    } catch (const data::Fehler&) {
        throw;
    } catch (const std::exception& e) {
        throw data::Fehler(QStringLiteral("Die ZUGFeRD-Datei konnte nicht erstellt werden: %1")
                               .arg(QString::fromLocal8Bit(e.what())));
    }
}

}  // namespace einvoice
