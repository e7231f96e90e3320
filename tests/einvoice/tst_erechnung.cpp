// E-invoices exported from the invoice preview the way a user does it, then
// checked from outside: the official rules (pruefen), qpdf, pdffonts.
#include "TestUmgebung.h"

#include "app/Programmfenster.h"
#include "app/ordavo.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "einvoice/Cii.h"
#include "einvoice/Einheiten.h"
#include "einvoice/Erfassen.h"
#include "einvoice/Pruefung.h"
#include "print/Druckfenster.h"
#include "print/Rep_Lieferschein.h"
#include "print/Rep_Rechnung.h"
#include "ui/Anwendung.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest/QtTest>

namespace {

QString Kit()
{
    return QDir(qEnvironmentVariable("ORDAVO_SOURCE_DIR")).absoluteFilePath(QStringLiteral("../shared/einvoice/pruefen"));
}

struct Lauf {
    int rc = -1;
    QByteArray aus;
};

Lauf Starte(const QString& programm, const QStringList& argumente)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programm, argumente);
    if (!p.waitForStarted()) return {-2, "nicht gestartet: " + programm.toUtf8()};
    p.waitForFinished(300000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -3, p.readAll()};
}

#define PRUEFEN(datei, nurEn)                                                                              \
    do {                                                                                                   \
        const Lauf l = nurEn ? Starte(Kit(), {QStringLiteral("--nur-en16931"), datei}) : Starte(Kit(), {datei}); \
        if (l.rc != 0) qWarning("%s", l.aus.constData());                                                  \
        QVERIFY2(l.rc == 0, qPrintable(QStringLiteral("%1 ungültig: %2").arg(datei, QString::fromUtf8(l.aus)))); \
    } while (false)

template <typename T> T* In(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("%s nicht gefunden in %s", name, qPrintable(w->objectName()));
    return c;
}

}  // namespace

class TstERechnung : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    // The invoice of note `id` in the preview, as the delivery-note window
    // prepares it; "Als E-Rechnung speichern …" with the format, then the file
    // dialog (when a file is expected) or the box naming what is missing.
    QString Exportieren(int id, bool zugferd, const QString& datei, const QString& land = QString())
    {
        QString meldung;
        test::BeimNaechstenDialog([](QWidget* vorschau) {
            In<QAction>(vorschau, "AktionERechnung")->trigger();
            In<QAction>(vorschau, "AktionSchliessen")->trigger();
        });
        test::BeimNaechstenDialog([zugferd, land](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TERechnungSpeichern"));
            In<QRadioButton>(w, zugferd ? "RadioZugferd" : "RadioXRechnung")->setChecked(true);
            if (!land.isNull()) In<QLineEdit>(w, "EditLand")->setText(land);
            test::Klicke(w, "BitBtn1");
        });
        test::BeimNaechstenDialog([&meldung, datei](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                meldung = box->text();
                (box->escapeButton() ? box->escapeButton() : box->buttons().constFirst())->click();
                return;
            }
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->objectName(), QString("ERechnungDateiDialog"));
            meldung = QStringLiteral("<%1>").arg(QFileInfo(d->selectedFiles().value(0)).fileName());
            In<QLineEdit>(d, "fileNameEdit")->setText(datei);  // typed as a user would
            static_cast<QDialog*>(d)->accept();
        });
        Vorschau(id);
        return meldung;
    }

    // The invoice preview of note `id`, prepared as the delivery-note window does.
    void Vorschau(int id)
    {
        TDMOrdavo* dm = App().DMOrdavo;
        dm->ADO_Lieferschein->Requery();
        if (!dm->ADO_Lieferschein->Locate(QStringLiteral("t_lieferschein.id"), id)) qFatal("Lieferschein %d fehlt", id);
        dm->ADO_Druck_Lief->Close();
        dm->ADO_Druck_Lief->setFilter(QStringLiteral("la_lieferschein_id = %1").arg(id));
        dm->ADO_Druck_Lief->setFiltered(true);
        dm->ADO_Druck_Lief->Open();
        Druck().RepRechnung->Preview();
        dm->ADO_Druck_Lief->setFilter(QString());
        dm->ADO_Druck_Lief->setFiltered(false);
        if (test::OffeneDialoge() != 0) qFatal("nicht alle Dialoge erschienen");
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_stammdaten (stammd_firma, stammd_ganzername, stammd_adresse, stammd_plz, stammd_ort, "
                  "stammd_tel, stammd_email, stammd_uidnr, stammd_firma_d, stammd_ganzername_d, stammd_adresse_d, "
                  "stammd_plz_d, stammd_tel_d, stammd_email_d, stammd_uidnr_d, stammd_drucken, Bankverbindungen) "
                  "VALUES ('Müller & Söhne GmbH', 'Max Müller', 'Hauptstraße 1', '12345', 'Musterstadt', '0123 456', "
                  "'rechnung@mueller.example', 'DE 123456789', -1, -1, -1, -1, -1, -1, -1, 0, "
                  "'Sparkasse Musterstadt, IBAN DE89 3704 0044 0532 0130 00, BIC COBADEFFXXX')");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stück'), (2, 'kg'), (3, 'Std.'), (4, 'Gebinde')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, "
                  "artikel_kategorie_id) VALUES (1, 100, 'Schraube', 10, 19, 1, 1), (2, 200, 'Fachbuch', 20, 7, 1, 1), "
                  "(3, 300, 'Porto', 4, 0, 4, 1), (4, 400, 'Kabel <rot> & \"blau\" für Größen', 1, 19, 2, 1), "
                  "(5, 500, 'Montage', 45, 19, 3, 1)");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_email, "
                  "adr_uidnr, adr_kunde, adr_hatlieferadr, adr_lief_firma, adr_lief_adresse, adr_lief_plz, adr_lief_ort) "
                  "VALUES (1, 'Alpha AG', 'Anna Alpha', 'Alphaweg 1', '11111', 'Alphastadt', 'einkauf@alpha.example', "
                  "'DE999999999', -1, 0, NULL, NULL, NULL, NULL), "
                  "(2, ' ', 'Bernd Beta', 'Betaweg 2', '22222', 'Betadorf', 'bernd@beta.example', NULL, -1, -1, "
                  "'Beta Lager', 'Lagerweg 9', '33333', 'Lagerstadt'), "
                  "(3, 'Gänse & <Co> \"Übel\"', 'Jörg Ärger', 'Straße 3 & 4', '44444', 'Öhringen', 'j@gaense.example', "
                  "NULL, -1, 0, NULL, NULL, NULL, NULL)");
        const char* bed = "'Zahlbar innerhalb von 14 Tagen ohne Abzug.'";
        test::Sql(QStringLiteral(
                      "INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, "
                      "lief_zahldatum, lief_zahlbetrag, lief_zahlungsbed, lief_Zusatztext) VALUES "
                      "(1, 17, '2024-03-05', 1, '2024-03-20', NULL, NULL, %1, 'kein Angegeben'), "
                      "(2, 18, '2024-03-05', 1, '2024-03-20', NULL, NULL, %1, ' '), "
                      "(3, 19, '2024-03-05', 1, '2024-03-20', NULL, NULL, %1, NULL), "
                      "(4, 20, '2024-03-05', 1, '2024-03-20', NULL, NULL, %1, NULL), "
                      "(5, 21, '2024-03-05', 1, '2024-03-20', '2024-03-25', 24.99, %1, NULL), "
                      "(6, 22, '2024-03-05', 2, '2024-03-20', NULL, NULL, %1, NULL), "
                      "(7, 23, '2024-03-05', 3, '2024-03-20', NULL, NULL, 'Zahlbar sofort & ohne <Abzug>', "
                      "'Danke für Ihren Auftrag! \"Grüße\" & <Tschüss>'), "
                      "(8, 24, '2024-03-05', 1, '2024-03-20', NULL, NULL, %1, NULL)")
                      .arg(QLatin1String(bed)));
        test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, "
                  "la_artikel_einkauf) VALUES "
                  "(1, 1, 1, 2, 10, 0), "
                  "(2, 2, 1, 3, 12.34, 0), (3, 2, 2, 2, 9.99, 0), (4, 2, 5, 1.5, 45, 0), "
                  "(5, 3, 3, 1, 4.5, 0), (6, 3, 1, 1, 10, 0), "
                  // 0.125, 3.495, 1.005, 2.675: every line rounds at half a cent
                  "(7, 4, 4, 0.5, 0.25, 0), (8, 4, 2, 1.5, 2.33, 0), (9, 4, 2, 3, 0.335, 0), (10, 4, 4, 1, 2.675, 0), "
                  "(11, 5, 1, 2.1, 10, 0), "
                  "(12, 6, 1, 1, 10, 0), "
                  "(13, 7, 4, 3, 1.1, 0)");
        test::Sql("WITH RECURSIVE z(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM z WHERE i < 200) "
                  "INSERT INTO t_lieferschein_artikel SELECT 1000 + i, 8, 1 + i % 5, i % 7 + 0.5, i * 0.37, 0 FROM z");
        test::ProgrammErzeugen();
    }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void gueltigeRechnungen_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("netto");
        QTest::addColumn<QString>("faellig");
        QTest::newRow("ein Steuersatz") << 1 << "20.00" << "23.80";
        QTest::newRow("19 % und 7 %") << 2 << "124.50" << "145.76";
        QTest::newRow("0 %") << 3 << "14.50" << "16.40";
        QTest::newRow("halbe Cent") << 4 << "7.32" << "8.17";
        QTest::newRow("bezahlt") << 5 << "21.00" << "0.00";
        QTest::newRow("Lieferadresse") << 6 << "10.00" << "11.90";
        QTest::newRow("Sonderzeichen") << 7 << "3.30" << "3.93";
        QTest::newRow("200 Positionen") << 8 << "" << "";
    }
    void gueltigeRechnungen()
    {
        QFETCH(int, id);
        QFETCH(QString, netto);
        QFETCH(QString, faellig);
        const QString xml = m_ordner->datei(QStringLiteral("x.xml"));
        const QString pdf = m_ordner->datei(QStringLiteral("z.pdf"));
        const QString nr = QString::number(16 + id);
        QCOMPARE(Exportieren(id, false, xml), QStringLiteral("<Rechnung Nr. %1.xml>").arg(nr));
        QCOMPARE(Exportieren(id, true, pdf), QStringLiteral("<Rechnung Nr. %1.pdf>").arg(nr));

        // Read back from the file: number, totals, lines in item order.
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains(QStringLiteral("<ram:ID>%1</ram:ID>").arg(nr)));
        QVERIFY(text.contains(QStringLiteral("urn:xeinkauf.de:kosit:xrechnung_3.0")));
        if (!netto.isEmpty()) {
            QVERIFY2(text.contains(QStringLiteral("<ram:TaxBasisTotalAmount>%1<").arg(netto)), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("<ram:DuePayableAmount>%1<").arg(faellig)), qPrintable(text));
        }
        const int zeilen = int(test::Wert("SELECT count(*) FROM t_lieferschein_artikel WHERE la_lieferschein_id = ?", {id}).toInt());
        QCOMPARE(int(text.count(QStringLiteral("<ram:IncludedSupplyChainTradeLineItem>"))), zeilen);

        // The XML inside the PDF, as qpdf extracts it.
        const Lauf anhang = Starte(QStringLiteral("qpdf"), {QStringLiteral("--show-attachment=factur-x.xml"), pdf});
        QCOMPARE(anhang.rc, 0);
        const QString eingebettet = m_ordner->datei(QStringLiteral("factur-x.xml"));
        QFile e(eingebettet);
        QVERIFY(e.open(QIODevice::WriteOnly));
        e.write(anhang.aus);
        e.close();
        QVERIFY(anhang.aus.contains("<ram:ID>urn:cen.eu:en16931:2017</ram:ID>"));

        PRUEFEN(xml, false);
        PRUEFEN(eingebettet, true);
    }

    // The PDF: sound structure, XML byte-equal to the writer's, PDF/A-3 and
    // Factur-X metadata, every font embedded, and the invoice's text.
    void zugferdDatei()
    {
        const QString pdf = m_ordner->datei(QStringLiteral("Rechnung.pdf"));
        QCOMPARE(Exportieren(7, true, pdf), QString("<Rechnung Nr. 23.pdf>"));
        QCOMPARE(Starte(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}).rc, 0);

        QStringList maengel;
        data::Verbindung& db = *App().DMOrdavo->ADO_ordavo;
        const QByteArray allein =
            einvoice::SchreibeCii(einvoice::AusLieferschein(db, 7, einvoice::Profil::EN16931, &maengel));
        QVERIFY(maengel.isEmpty());
        QCOMPARE(Starte(QStringLiteral("qpdf"), {QStringLiteral("--show-attachment=factur-x.xml"), pdf}).aus, allein);

        const QString offen = m_ordner->datei(QStringLiteral("offen.pdf"));
        QCOMPARE(Starte(QStringLiteral("qpdf"), {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), pdf, offen}).rc, 0);
        QFile f(offen);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray roh = f.readAll();
        for (const char* muss : {"<pdfaid:part>3</pdfaid:part>", "<pdfaid:conformance>B</pdfaid:conformance>",
                                 "<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>",
                                 "<fx:DocumentType>INVOICE</fx:DocumentType>", "<fx:Version>1.0</fx:Version>",
                                 "<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>",
                                 "urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#", "/AFRelationship /Alternative",
                                 "/Subtype /text#2fxml", "/OutputIntents", "/GTS_PDFA1", "%PDF-1.7"})
            QVERIFY2(roh.contains(muss), muss);
        QVERIFY(roh.contains("/AF ["));

        const Lauf fonts = Starte(QStringLiteral("pdffonts"), {pdf});
        QCOMPARE(fonts.rc, 0);
        const QList<QByteArray> zeilen = fonts.aus.split('\n');
        int schriften = 0;
        for (int i = 2; i < zeilen.size(); ++i) {
            // name type encoding emb sub uni object ID: "emb" is the fifth field from the end
            const QList<QByteArray> felder = zeilen.at(i).simplified().split(' ');
            if (felder.size() < 7) continue;
            ++schriften;
            QVERIFY2(felder.at(felder.size() - 5) == "yes", zeilen.at(i).constData());
        }
        QVERIFY(schriften > 0);

        const Lauf text = Starte(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.aus.contains("Rechnung"));
        QVERIFY(QString::fromUtf8(text.aus).contains(QStringLiteral("Kabel <rot> & \"blau\"")));
    }

    void fehlendeAngaben_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("zugferd");
        QTest::addColumn<QString>("land");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("keine IBAN") << "UPDATE t_stammdaten SET Bankverbindungen = 'bar bei Lieferung'" << false
                                    << QString() << "Die IBAN der eigenen Firma fehlt";
        QTest::newRow("IBAN Prüfziffer falsch")
            << "INSERT INTO t_erechnung_firma (id, er_land, er_iban) VALUES (1, 'DE', 'DE88370400440532013000')" << true
            << QString() << "Die IBAN \"DE88370400440532013000\" ist ungültig";
        QTest::newRow("keine E-Mail des Kunden") << "UPDATE t_adressen SET adr_email = ' ' WHERE id = 1" << false
                                                 << QString() << "Die E-Mail-Adresse des Kunden fehlt";
        QTest::newRow("keine E-Mail der Firma") << "UPDATE t_stammdaten SET stammd_email = NULL" << false << QString()
                                                << "Die E-Mail-Adresse der eigenen Firma fehlt";
        QTest::newRow("kein Land der Firma")
            << "INSERT INTO t_erechnung_firma (id, er_land, er_iban) VALUES (1, NULL, 'DE89370400440532013000');"
               "INSERT INTO t_erechnung_kunde VALUES (1, 'DE', 'K1')" << true
            << QString() << "Das Land der eigenen Firma fehlt";
        QTest::newRow("kein Land des Kunden") << "" << false << "" << "Das Land des Kunden muss";
    }
    void fehlendeAngaben()
    {
        QFETCH(QString, sql);
        QFETCH(bool, zugferd);
        QFETCH(QString, land);
        QFETCH(QString, erwartet);
        for (const QString& anweisung : sql.split(';', Qt::SkipEmptyParts)) test::Sql(anweisung);
        const QString datei = m_ordner->datei(QStringLiteral("nein.xml"));
        if (land.isNull()) {
            const QString meldung = Exportieren(1, zugferd, datei);
            QVERIFY2(meldung.contains(erwartet), qPrintable(meldung));
            QVERIFY(meldung.contains(QStringLiteral("keine Datei")));
        } else {
            // The export dialog refuses an empty country and stays open.
            test::BeimNaechstenDialog([](QWidget* vorschau) {
                In<QAction>(vorschau, "AktionERechnung")->trigger();
                In<QAction>(vorschau, "AktionSchliessen")->trigger();
            });
            test::BeimNaechstenDialog([land](QWidget* w) {
                In<QLineEdit>(w, "EditLand")->setText(land);
                test::AntworteMeldung();
                test::Klicke(w, "BitBtn1");
                QVERIFY(w->isVisible());
                test::Klicke(w, "BitBtn2");
            });
            Vorschau(1);
            QVERIFY(test::Meldungen().join(' ').contains(erwartet));
        }
        QVERIFY(!QFileInfo::exists(datei));
        QCOMPARE(QDir(m_ordner->pfad()).entryList({QStringLiteral("*.xml"), QStringLiteral("*.pdf")}, QDir::Files).size(), 0);
    }

    // Company data and unit codes: proposed, checked, stored; the customer's
    // country and reference stored by the export dialog.
    void einrichten()
    {
        QStringList gesehen;
        test::BeimNaechstenDialog([&gesehen](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TERechnungEinrichten"));
            QCOMPARE(In<QLineEdit>(w, "EditLand")->text(), QString("DE"));
            QCOMPARE(In<QLineEdit>(w, "EditIban")->text(), QString("DE89370400440532013000"));
            QCOMPARE(In<QLineEdit>(w, "EditBefreiungsgrund")->text(), QString("Umsatzsteuerfrei"));
            auto* t = In<QTableWidget>(w, "TabelleEinheiten");
            for (int i = 0; i < t->rowCount(); ++i) gesehen << t->item(i, 0)->text() + "=" + t->item(i, 1)->text();
            In<QLineEdit>(w, "EditIban")->setText("DE89 3704 0044 0532 0130 01");
            test::AntworteMeldung();  // the wrong IBAN is named, the window stays open
            test::Klicke(w, "BitBtn1");
            QVERIFY(w->isVisible());
            In<QLineEdit>(w, "EditIban")->setText("de89 3704 0044 0532 0130 00");
            In<QLineEdit>(w, "EditSteuernummer")->setText("123/456/78901");
            In<QLineEdit>(w, "EditLand")->setText("at");
            for (int i = 0; i < t->rowCount(); ++i)
                if (t->item(i, 0)->text() == "Gebinde") t->item(i, 1)->setText("ca");
            test::Klicke(w, "BitBtn1");
        });
        In<QAction>(Programm().Ordavo, "ERechnungEinrichten1")->trigger();
        QCOMPARE(gesehen, QStringList({"Gebinde=C62", "kg=KGM", "Std.=HUR", "Stück=H87"}));
        QVERIFY(test::Meldungen().value(0).contains("ist ungültig"));
        QCOMPARE(test::Zeilen("SELECT er_land, er_steuernummer, er_iban, er_befreiungsgrund FROM t_erechnung_firma"),
                 (QList<QList<QVariant>>{{"AT", "123/456/78901", "DE89370400440532013000", "Umsatzsteuerfrei"}}));
        QCOMPARE(test::Zeilen("SELECT einheit_id, er_code FROM t_erechnung_einheit ORDER BY einheit_id"),
                 (QList<QList<QVariant>>{{1, "H87"}, {2, "KGM"}, {3, "HUR"}, {4, "CA"}}));

        // The customer's country defaults to the company's; the reference to the customer's number.
        test::BeimNaechstenDialog([](QWidget* vorschau) {
            In<QAction>(vorschau, "AktionERechnung")->trigger();
            In<QAction>(vorschau, "AktionSchliessen")->trigger();
        });
        QString land, referenz;
        test::BeimNaechstenDialog([&](QWidget* w) {
            land = In<QLineEdit>(w, "EditLand")->text();
            referenz = In<QLineEdit>(w, "EditReferenz")->text();
            In<QLineEdit>(w, "EditReferenz")->setText("04011000-12345-67");
            test::Klicke(w, "BitBtn1");
        });
        test::BeimNaechstenDialog([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        Vorschau(6);
        QCOMPARE(land, QString("AT"));
        QCOMPARE(referenz, QString("2"));
        QCOMPARE(test::Zeilen("SELECT adresse_id, er_land, er_kaeuferreferenz FROM t_erechnung_kunde"),
                 (QList<QList<QVariant>>{{2, "AT", "04011000-12345-67"}}));
    }

    // Only the invoice's preview offers the e-invoice.
    void nurDieRechnung()
    {
        bool angeboten = true;
        test::BeimNaechstenDialog([&angeboten](QWidget* vorschau) {
            angeboten = vorschau->findChild<QAction*>(QStringLiteral("AktionERechnung")) != nullptr;
            In<QAction>(vorschau, "AktionSchliessen")->trigger();
        });
        TDMOrdavo* dm = App().DMOrdavo;
        dm->ADO_Lieferschein->Requery();
        QVERIFY(dm->ADO_Lieferschein->Locate(QStringLiteral("t_lieferschein.id"), 1));
        dm->ADO_Druck_Lief->Close();
        dm->ADO_Druck_Lief->setFilter(QStringLiteral("la_lieferschein_id = 1"));
        dm->ADO_Druck_Lief->setFiltered(true);
        dm->ADO_Druck_Lief->Open();
        Druck().RepLieferschein->Preview();
        QCOMPARE(test::OffeneDialoge(), 0);
        QVERIFY(!angeboten);
    }

    void ibanUndEinheiten()
    {
        using namespace einvoice;
        QCOMPARE(IbanFinden("Sparkasse, IBAN: DE89 3704 0044 0532 0130 00 BIC COBADEFFXXX"), QString("DE89370400440532013000"));
        QCOMPARE(IbanFinden("AT61 1904 3002 3457 3201"), QString("AT611904300234573201"));
        QCOMPARE(IbanFinden("Konto DE88 3704 0044 0532 0130 00"), QString());
        QCOMPARE(IbanFinden("Kto 123456, BLZ 37040044"), QString());
        QVERIFY(!IbanGueltig("XX89370400440532013000"));
        QVERIFY(BicGueltig("COBADEFFXXX") && BicGueltig("COBADEFF") && !BicGueltig("COBADEF"));
        QVERIFY(LandGueltig("DE") && LandGueltig("AT") && !LandGueltig("XY") && !LandGueltig("de"));
        const QList<QPair<QString, QString>> faelle{{"Stück", "H87"}, {"Stk.", "H87"}, {"St", "H87"}, {"KG", "KGM"},
                                                    {"g", "GRM"},     {"Liter", "LTR"}, {"l", "LTR"}, {"m", "MTR"},
                                                    {"m²", "MTK"},    {"m³", "MTQ"},   {"Stunde", "HUR"},
                                                    {"Paar", "PR"},   {"Karton", "CT"}, {"Satz", "SET"},
                                                    {"Packung", "PK"}, {"Rolle", "RO"}, {"Kanister", "CA"},
                                                    {"Pauschal", "LS"}, {"Gebinde", "C62"}, {"", "C62"}};
        for (const auto& f : faelle) QCOMPARE(Rec20Vorschlag(f.first), f.second);
        QCOMPARE(AufCent(2.675), 2.68);
        QCOMPARE(AufCent(1.005), 1.01);
        QCOMPARE(AufCent(-0.125), -0.13);
    }
};

QTEST_MAIN(TstERechnung)
#include "tst_erechnung.moc"
