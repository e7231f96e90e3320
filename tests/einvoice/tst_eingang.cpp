// Received e-invoices as the user opens them: every official example reads
// with the values its XML holds (taken with xmllint, not with the program's
// reader) and adds up; a ZUGFeRD PDF shows the invoice it carries; bad files
// are refused with their message and nothing opens; the menu of the main
// window leads to the preview, and the document prints to a readable PDF.
#include "TestUmgebung.h"

#include "data/Fehler.h"
#include "einvoice/Anzeige.h"
#include "einvoice/Cii.h"
#include "einvoice/Lesen.h"
#include "einvoice/Nachrechnen.h"
#include "einvoice/Zugferd.h"
#include "report/Ausgabe.h"
#include "app/Programmfenster.h"
#include "app/ordavo.h"
#include "ui/Anwendung.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>

namespace {

using test::Lies;
using test::Schreibe;

QString Beispiele()
{
    return QDir(qEnvironmentVariable("ORDAVO_SOURCE_DIR")).filePath(QStringLiteral("../shared/einvoice/beispiele"));
}

QString Aufruf(const QString& programm, const QStringList& argumente, bool* ok = nullptr)
{
    QProcess p;
    p.start(programm, argumente);
    const bool fertig = p.waitForFinished(60000);
    if (ok) *ok = fertig && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One value of the file, by XPath over local names.
QString XPath(const QString& datei, const QString& ausdruck)
{
    bool ok = false;
    const QString wert = Aufruf(QStringLiteral("xmllint"), {QStringLiteral("--xpath"), ausdruck, datei}, &ok);
    if (!ok) qWarning() << "xmllint" << ausdruck << datei;
    return wert.trimmed();
}

QString E(const char* lokal) { return QStringLiteral("*[local-name()='%1']").arg(QLatin1String(lokal)); }

std::vector<const report::TextPrimitiv*> Texte(const report::Seiten& seiten, const QString& name)
{
    std::vector<const report::TextPrimitiv*> r;
    for (const report::Seite& s : seiten)
        for (const report::TextPrimitiv* t : s.alleTexte(name)) r.push_back(t);
    return r;
}

// A wrapped text read back as one line.
QString Einzeilig(const report::Seiten& seiten, const QString& name)
{
    const auto t = Texte(seiten, name);
    return t.empty() ? QString() : t.front()->text.simplified().remove(QLatin1Char(' '));
}

// A one-page PDF without attachments, as any office program makes it.
void EinfachesPdf(const QString& pfad)
{
    QPdfWriter pdf(pfad);
    QPainter p(&pdf);
    p.drawText(QPointF(100, 100), QStringLiteral("Rechnung"));
}

// The PDF with `xml` attached under `name`, made with the qpdf tool.
bool MitAnhang(const QString& pdf, const QString& xml, const QString& name, const QString& ziel)
{
    bool ok = false;
    Aufruf(QStringLiteral("qpdf"), {pdf, QStringLiteral("--add-attachment"), xml, QStringLiteral("--key=") + name,
                                    QStringLiteral("--filename=") + name, QStringLiteral("--mimetype=text/xml"),
                                    QStringLiteral("--"), ziel},
           &ok);
    return ok;
}

QString Fehlertext(const QString& pfad)
{
    try {
        einvoice::LiesEingang(pfad);
    } catch (const data::Fehler& f) {
        return f.text();
    }
    return QStringLiteral("(keine Meldung)");
}

const char* kDoctype =
    "<?xml version=\"1.0\"?>\n<!DOCTYPE Invoice [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
    "<Invoice xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:Invoice-2\"><ID>&x;</ID></Invoice>\n";

}  // namespace

class TstEingang : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::Einrichten(); }

    void beispiele_data()
    {
        QTest::addColumn<QString>("datei");
        QDirIterator it(Beispiele(), {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList dateien;
        while (it.hasNext()) dateien << it.next();
        dateien.sort();
        QVERIFY2(dateien.size() >= 30, qPrintable(Beispiele()));
        for (const QString& d : dateien)
            QTest::newRow(qPrintable(QFileInfo(d).dir().dirName() + QLatin1Char('/') + QFileInfo(d).fileName())) << d;
    }

    // What the document shows equals what the file holds, and it adds up.
    void beispiele()
    {
        QFETCH(QString, datei);
        const bool cii = XPath(datei, QStringLiteral("local-name(/*)")) == QLatin1String("CrossIndustryInvoice");
        QString nummer, datum, verkaeufer, zeilen, faellig, waehrung;
        if (cii) {
            const QString dok = QStringLiteral("/*/") + E("ExchangedDocument");
            const QString tx = QStringLiteral("/*/") + E("SupplyChainTradeTransaction");
            nummer = XPath(datei, QStringLiteral("string(%1/%2)").arg(dok, E("ID")));
            datum = XPath(datei, QStringLiteral("string(%1/%2/%3)").arg(dok, E("IssueDateTime"), E("DateTimeString")));
            verkaeufer = XPath(datei, QStringLiteral("string(%1/%2/%3/%4)")
                                          .arg(tx, E("ApplicableHeaderTradeAgreement"), E("SellerTradeParty"), E("Name")));
            zeilen = XPath(datei, QStringLiteral("count(%1/%2)").arg(tx, E("IncludedSupplyChainTradeLineItem")));
            const QString ab = tx + QLatin1Char('/') + E("ApplicableHeaderTradeSettlement");
            faellig = XPath(datei, QStringLiteral("string(%1/%2/%3)")
                                       .arg(ab, E("SpecifiedTradeSettlementHeaderMonetarySummation"), E("DuePayableAmount")));
            waehrung = XPath(datei, QStringLiteral("string(%1/%2)").arg(ab, E("InvoiceCurrencyCode")));
            datum = QDate::fromString(datum, QStringLiteral("yyyyMMdd")).toString(QStringLiteral("dd.MM.yyyy"));
        } else {
            nummer = XPath(datei, QStringLiteral("string(/*/%1)").arg(E("ID")));
            datum = XPath(datei, QStringLiteral("string(/*/%1)").arg(E("IssueDate")));
            verkaeufer = XPath(datei, QStringLiteral("string(/*/%1/%2/%3/%4)")
                                          .arg(E("AccountingSupplierParty"), E("Party"), E("PartyLegalEntity"),
                                               E("RegistrationName")));
            zeilen = XPath(datei, QStringLiteral("count(/*/*[local-name()='InvoiceLine' or local-name()='CreditNoteLine'])"));
            faellig = XPath(datei, QStringLiteral("string(/*/%1/%2)").arg(E("LegalMonetaryTotal"), E("PayableAmount")));
            waehrung = XPath(datei, QStringLiteral("string(/*/%1)").arg(E("DocumentCurrencyCode")));
            datum = QDate::fromString(datum, Qt::ISODate).toString(QStringLiteral("dd.MM.yyyy"));
        }
        QVERIFY(!nummer.isEmpty() && !datum.isEmpty() && !verkaeufer.isEmpty() && zeilen.toInt() > 0);

        const einvoice::Eingang e = einvoice::LiesEingang(datei);
        const report::Seiten seiten = einvoice::EingangSeiten(e);
        auto ohneLeer = [](QString s) { return s.simplified().remove(QLatin1Char(' ')); };
        QCOMPARE(Einzeilig(seiten, "Rechnungsnummer"), ohneLeer(nummer));
        QCOMPARE(Einzeilig(seiten, "Rechnungsdatum"), datum);
        QCOMPARE(Einzeilig(seiten, "Verkaeufer"), ohneLeer(verkaeufer));
        QCOMPARE(int(Texte(seiten, "PositionBetrag").size()), zeilen.toInt());
        QCOMPARE(int(Texte(seiten, "PositionNr").size()), zeilen.toInt());
        const QString zahlbetrag =
            QLocale(QLocale::German, QLocale::Germany).toString(faellig.toDouble(), 'f', 2) + QLatin1Char(' ') + waehrung;
        QCOMPARE(Einzeilig(seiten, "Zahlbetrag"), ohneLeer(zahlbetrag));

        // The official examples are valid: nothing is missing, everything adds up.
        QCOMPARE(einvoice::Rechendifferenzen(e.rechnung), QStringList());
        QCOMPARE(e.fehlend, QStringList());
        QVERIFY2(Einzeilig(seiten, "Pruefung").startsWith(ohneLeer(QStringLiteral("Prüfung beim Öffnen: Die Beträge gehen "
                                                                                   "auf den Cent genau auf, und alle"))),
                 qPrintable(Texte(seiten, "Pruefung").front()->text));
        QVERIFY(Texte(seiten, "PruefungDifferenz").empty());
        // Every page carries its number, all of them below the body.
        const auto zahlen = Texte(seiten, "Seitenzahl");
        QCOMPARE(zahlen.size(), seiten.size());
        QCOMPARE(zahlen.back()->text, QStringLiteral("Seite %1 von %1").arg(seiten.size()));
    }

    // The type of the document is named as a trader names it.
    void rechnungsart_data()
    {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("art");
        QTest::newRow("UBL-Gutschrift") << "ubl/ubl-tc434-creditnote1.xml" << "Gutschrift";
        QTest::newRow("CII-Rechnung") << "cii/xrechnung-01.01a.xml" << "Rechnung";
    }
    void rechnungsart()
    {
        QFETCH(QString, datei);
        QFETCH(QString, art);
        const report::Seiten seiten = einvoice::EingangSeiten(einvoice::LiesEingang(Beispiele() + QLatin1Char('/') + datei));
        QCOMPARE(Texte(seiten, "Rechnungsart").front()->text, art);
    }

    // Amounts that do not add up and mandatory terms that are missing are named above the document.
    void abweichungenWerdenGenannt()
    {
        QByteArray xml = Lies(Beispiele() + QStringLiteral("/cii/xrechnung-01.05a.xml"));
        QVERIFY(xml.contains("<ram:LineTotalAmount>6700</ram:LineTotalAmount>"));
        xml.replace("<ram:LineTotalAmount>6700</ram:LineTotalAmount>", "<ram:LineTotalAmount>6600</ram:LineTotalAmount>");
        const int von = xml.indexOf("<ram:ID>PRG1502112</ram:ID>");
        QVERIFY(von > 0);
        xml.remove(von, int(qstrlen("<ram:ID>PRG1502112</ram:ID>")));
        const einvoice::Eingang e = einvoice::LiesEingangXml(xml);
        const report::Seiten seiten = einvoice::EingangSeiten(e);
        const QString kopf = Texte(seiten, "Pruefung").front()->text.simplified();
        QVERIFY2(kopf.contains(QStringLiteral("NICHT auf")) && kopf.contains(QStringLiteral("fehlen Pflichtangaben")),
                 qPrintable(kopf));
        QString differenzen;
        for (const auto* t : Texte(seiten, "PruefungDifferenz")) differenzen += t->text.simplified() + QLatin1Char('|');
        QVERIFY2(differenzen.contains(QStringLiteral("Summe der Positionen ist 8.870,00, die Summe der Positionsbeträge "
                                                     "ergibt 8.770,00")),
                 qPrintable(differenzen));
        QVERIFY2(differenzen.contains(QStringLiteral("steuerpflichtige Betrag zu S 19 %")), qPrintable(differenzen));
        QVERIFY2(Texte(seiten, "PruefungFehlend").front()->text.simplified().contains(QStringLiteral("BT-1 Rechnungsnummer")),
                 qPrintable(Texte(seiten, "PruefungFehlend").front()->text));
        QCOMPARE(Texte(seiten, "Rechnungsnummer").front()->text, QStringLiteral("(fehlt)"));
    }

    // A PDF carrying the XML under each of the usual names shows that invoice.
    void pdfMitEingebetteterRechnung_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Factur-X") << "factur-x.xml";
        QTest::newRow("ZUGFeRD 2") << "zugferd-invoice.xml";
        QTest::newRow("XRechnung") << "xrechnung.xml";
    }
    void pdfMitEingebetteterRechnung()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString xml = Beispiele() + QStringLiteral("/cii/CII_example4.xml");
        EinfachesPdf(dir.filePath("leer.pdf"));
        QVERIFY(MitAnhang(dir.filePath("leer.pdf"), xml, name, dir.filePath("zugferd.pdf")));

        const einvoice::Eingang ausPdf = einvoice::LiesEingang(dir.filePath("zugferd.pdf"));
        const einvoice::Eingang ausXml = einvoice::LiesEingang(xml);
        QCOMPARE(ausPdf.quelle, QStringLiteral("PDF-Datei mit eingebetteter ") + name);
        QCOMPARE(ausPdf.rechnung.nummer, ausXml.rechnung.nummer);
        QCOMPARE(ausPdf.rechnung.positionen.size(), ausXml.rechnung.positionen.size());
        const report::Seiten a = einvoice::EingangSeiten(ausPdf);
        const report::Seiten b = einvoice::EingangSeiten(ausXml);
        QCOMPARE(Einzeilig(a, "Zahlbetrag"), Einzeilig(b, "Zahlbetrag"));
        QCOMPARE(Einzeilig(a, "Verkaeufer"), Einzeilig(b, "Verkaeufer"));
    }

    // A ZUGFeRD file as the program's own export writes it (CII writer and
    // PDF/A-3 container) opens and shows the invoice it was made from.
    void eigeneZugferdDatei()
    {
        QTemporaryDir dir;
        const einvoice::Eingang quelle = einvoice::LiesEingang(Beispiele() + QStringLiteral("/cii/xrechnung-01.01a.xml"));
        const report::Seiten vorher = einvoice::EingangSeiten(quelle);
        const QString pdf = dir.filePath("Rechnung.pdf");
        Schreibe(pdf, einvoice::ZugferdPdf(vorher, QStringLiteral("Rechnung"), einvoice::SchreibeCii(quelle.rechnung)));

        const einvoice::Eingang e = einvoice::LiesEingang(pdf);
        QCOMPARE(e.quelle, QStringLiteral("PDF-Datei mit eingebetteter factur-x.xml"));
        QCOMPARE(e.fehlend, QStringList());
        QCOMPARE(einvoice::Rechendifferenzen(e.rechnung), QStringList());
        const report::Seiten nachher = einvoice::EingangSeiten(e);
        for (const char* name : {"Rechnungsart", "Rechnungsnummer", "Rechnungsdatum", "Verkaeufer", "Kaeufer",
                                 "Zahlbetrag", "Pruefung"})
            QCOMPARE(Einzeilig(nachher, name), Einzeilig(vorher, name));
        QStringList a, b;
        for (const auto* t : Texte(vorher, "PositionBetrag")) a << t->text;
        for (const auto* t : Texte(nachher, "PositionBetrag")) b << t->text;
        QCOMPARE(b, a);
    }

    void schlechteDateien_data()
    {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Text") << "text" << "Die Datei ist weder eine XML-Datei noch eine PDF-Datei";
        QTest::newRow("abgebrochenes XML") << "abgebrochen" << "Die XML-Datei ist beschädigt (Zeile ";
        QTest::newRow("andere XML-Art") << "bestellung" << "Die XML-Datei ist keine E-Rechnung";
        QTest::newRow("DOCTYPE mit Entität") << "doctype" << "Dokumenttyp-Deklaration (DOCTYPE)";
        QTest::newRow("DOCTYPE in UTF-16") << "doctype16" << "Dokumenttyp-Deklaration (DOCTYPE)";
        QTest::newRow("PDF ohne Rechnung") << "pdf" << "Die PDF-Datei enthält keine E-Rechnung";
        QTest::newRow("PDF mit anderem Anhang") << "pdfanhang" << "Die PDF-Datei enthält keine E-Rechnung";
        QTest::newRow("beschädigtes PDF") << "pdfkaputt" << "Die PDF-Datei ist beschädigt";
        QTest::newRow("PDF mit Kennwort") << "kennwort" << "Die PDF-Datei ist mit einem Kennwort geschützt";
        QTest::newRow("100 MB") << "gross" << "ist 100,0 MB groß. E-Rechnungen werden nur bis 20,0 MB geöffnet.";
        QTest::newRow("leer") << "leer" << "ist leer";
    }

    // Each bad file is refused with its own message.
    void schlechteDateien()
    {
        QFETCH(QString, art);
        QFETCH(QString, meldung);
        QTemporaryDir dir;
        const QString datei = dir.filePath("rechnung." + QString(art.startsWith("pdf") || art == "kennwort" ? "pdf" : "xml"));
        const QString xml = Beispiele() + QStringLiteral("/ubl/ubl-tc434-example4.xml");
        if (art == "text") Schreibe(datei, "Sehr geehrte Damen und Herren,\nanbei die Rechnung.\n");
        if (art == "abgebrochen") Schreibe(datei, Lies(xml).left(200));
        if (art == "bestellung")
            Schreibe(datei, "<Order xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:Order-2\"><ID>1</ID></Order>");
        if (art == "doctype") Schreibe(datei, kDoctype);
        if (art == "doctype16") {
            const QString t = QString::fromLatin1(kDoctype).replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-16\"");
            QByteArray b("\xFF\xFE");
            b.append(reinterpret_cast<const char*>(t.utf16()), t.size() * 2);
            Schreibe(datei, b);
        }
        if (art == "pdf") EinfachesPdf(datei);
        if (art == "pdfanhang") {
            EinfachesPdf(dir.filePath("leer.pdf"));
            QVERIFY(MitAnhang(dir.filePath("leer.pdf"), xml, "lieferschein.xml", datei));
        }
        if (art == "pdfkaputt") {
            EinfachesPdf(dir.filePath("leer.pdf"));
            QByteArray b = Lies(dir.filePath("leer.pdf"));
            Schreibe(datei, b.left(20) + QByteArray(200, 'x'));
        }
        if (art == "kennwort") {
            EinfachesPdf(dir.filePath("leer.pdf"));
            QVERIFY(MitAnhang(dir.filePath("leer.pdf"), xml, "factur-x.xml", dir.filePath("mit.pdf")));
            bool ok = false;
            Aufruf("qpdf", {"--encrypt", "geheim", "geheim", "256", "--", dir.filePath("mit.pdf"), datei}, &ok);
            QVERIFY(ok);
        }
        if (art == "gross") {
            QFile f(datei);  // sparse: 100 MB that take no disk space
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(100LL * 1024 * 1024));
        }
        if (art == "leer") Schreibe(datei, QByteArray());
        const QString text = Fehlertext(datei);
        QVERIFY2(text.contains(meldung), qPrintable(text));
    }

    // The menu "Datei" leads to the preview; a bad file gives its message and no preview.
    void menueOeffnetVorschau()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        QAction* aktion = Programm().Ordavo->findChild<QAction*>(QStringLiteral("ERechnungAnzeigen1"));
        QVERIFY(aktion);
        QCOMPARE(aktion->text(), QStringLiteral("E-Rechnung anzeigen …"));
        QVERIFY(Programm().Ordavo->findChild<QMenu*>(QStringLiteral("Datei1"))->actions().contains(aktion));

        // Failures are noted and checked after the dialog is closed, so that no check leaves it open.
        QString befund;
        auto waehle = [&befund](const QString& pfad) {
            return [pfad, &befund](QWidget* w) {
                auto* dlg = qobject_cast<QFileDialog*>(w);
                if (!dlg) {
                    befund = QStringLiteral("kein Dateidialog: ") + w->objectName();
                    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
                    return;
                }
                befund = dlg->objectName() + QLatin1Char('|') + dlg->nameFilters().first();
                dlg->setDirectory(QFileInfo(pfad).absolutePath());
                if (auto* name = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(QFileInfo(pfad).fileName());
                static_cast<QDialog*>(dlg)->accept();
            };
        };
        // One file of each syntax; with ORDAVO_BILDSCHIRMFOTO set (a folder), the screen
        // is photographed while the preview is open, for looking at it under Xvfb.
        const QList<QPair<QString, QString>> dateien = {
            {QStringLiteral("ubl/ubl-tc434-creditnote1.xml"), QStringLiteral("Vorschau – Gutschrift 018304 / 28865")},
            {QStringLiteral("cii/xrechnung-01.01a.xml"), QStringLiteral("Vorschau – Rechnung 123456XX")}};
        for (const auto& [datei, erwartet] : dateien) {
            QString titel;
            test::BeimNaechstenDialog(waehle(Beispiele() + QLatin1Char('/') + datei));
            test::BeimNaechstenDialog([&titel, datei = datei](QWidget* w) {
                titel = w->objectName() + QLatin1Char(':') + w->windowTitle();
                const QString foto = qEnvironmentVariable("ORDAVO_BILDSCHIRMFOTO");
                if (!foto.isEmpty()) {
                    QTest::qWait(1500);
                    Aufruf(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                      QDir(foto).filePath(QFileInfo(datei).baseName() + ".png")});
                }
                static_cast<QDialog*>(w)->reject();
            });
            aktion->trigger();
            QCOMPARE(test::OffeneDialoge(), 0);
            QCOMPARE(befund, QStringLiteral("ERechnungOeffnenDialog|E-Rechnungen (*.xml *.pdf *.XML *.PDF)"));
            QCOMPARE(titel, QStringLiteral("Vorschau:") + erwartet);
        }

        Schreibe(ordner.datei("kaputt.xml"), kDoctype);
        test::BeimNaechstenDialog(waehle(ordner.datei("kaputt.xml")));
        test::AntworteMeldung();
        aktion->trigger();
        QCOMPARE(test::OffeneDialoge(), 0);
        const QStringList m = test::Meldungen();
        QCOMPARE(m.size(), 1);
        QVERIFY2(m.first().contains(QStringLiteral("DOCTYPE")), qPrintable(m.first()));
        test::ProgrammBeenden();
    }

    // The document as the user prints it: a PDF whose text holds the invoice's data.
    void alsPdf()
    {
        QTemporaryDir dir;
        const einvoice::Eingang e = einvoice::LiesEingang(Beispiele() + QStringLiteral("/cii/CII_example1.xml"));
        const report::Seiten seiten = einvoice::EingangSeiten(e);
        const QString pdf = dir.filePath("rechnung.pdf");
        report::SchreibePdf(seiten, pdf, QStringLiteral("Rechnung"));
        bool ok = false;
        const QString text = Aufruf(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        for (const QString& s : {e.rechnung.nummer, e.rechnung.verkaeufer.name, e.rechnung.kaeufer.name,
                                 QStringLiteral("Zahlbetrag"), QStringLiteral("Umsatzsteuer"),
                                 QStringLiteral("Seite 1 von %1").arg(seiten.size())})
            QVERIFY2(text.contains(s), qPrintable(s));
        if (qEnvironmentVariableIsSet("ORDAVO_PDF_BEHALTEN")) QFile::copy(pdf, qEnvironmentVariable("ORDAVO_PDF_BEHALTEN"));
    }
};

QTEST_MAIN(TstEingang)
#include "tst_eingang.moc"
