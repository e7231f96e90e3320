// The company master data: first opening, change, Abbrechen, print flags and texts.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "app/ordavo.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Stammdaten_.h"
#include "ui/Anwendung.h"

#include <QCheckBox>
#include <QTimer>
#include <QtTest/QtTest>

using namespace bedienen;
using data::Dataset;

class TstStammdaten : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Fenster() { return App().Stammdaten; }
    // The main window's button "Stammdaten" opens the window.
    void Oeffnen(std::function<void(QWidget*)> schritte)
    {
        test::BeimNaechstenDialog([schritte](QWidget* w) { QTimer::singleShot(0, w, [w, schritte] { schritte(w); }); });
        Teil<QPushButton>(App().Ordavo, "BitBtn7")->click();
        QTRY_VERIFY(!Fenster()->isVisible());
    }

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void fenster()
    {
        test::ProgrammErzeugen();
        QCOMPARE(Fenster()->windowTitle(), QString("Stammdaten"));
        QCOMPARE(Teil<QPushButton>(Fenster(), "BitBtn1")->text(), QString("  OK           "));
        QCOMPARE(Teil<QPushButton>(Fenster(), "BitBtn2")->text(), QString("  Abbrechen"));
        QVERIFY(Teil<QPushButton>(Fenster(), "BitBtn1")->isDefault());
        QCOMPARE(Tabfolge(Teil(Fenster(), "DBEdit1"), 25),
                 (QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit9",
                              "DBEdit10", "DBCheckBox2", "DBCheckBox3", "DBCheckBox4", "DBCheckBox5", "DBCheckBox7", "DBCheckBox8",
                              "DBCheckBox9", "DBCheckBox10", "DBCheckBox11", "BitBtn1", "BitBtn2", "DBMemo1", "DBMemo3", "DBMemo4",
                              "DBMemo2"}));
    }

    // First opening: a new row with stammd_drucken 0; every field shows a
    // blank, but what the user did not touch is stored without value.
    void ersteOeffnung()
    {
        test::ProgrammErzeugen();
        QStringList angezeigt;
        Dataset::Zustand zustand = Dataset::Zustand::Inaktiv;
        Oeffnen([&](QWidget* w) {
            zustand = App().DMOrdavo->ADO_Stammdaten->State();
            for (const char* e : {"DBEdit1", "DBEdit5", "DBEdit10"}) angezeigt << Teil<QLineEdit>(w, e)->text();
            for (const char* m : {"DBMemo1", "DBMemo2"}) angezeigt << Teil<QPlainTextEdit>(w, m)->toPlainText();
            Tippe(w, "DBEdit1", "Torsil Handel");
            TippeText(w, "DBMemo1", "14 Tage\nnetto");
            Klick(w, "DBCheckBox2");
            Klick(w, "DBCheckBox5");
            Klick(w, "BitBtn1");
        });
        QCOMPARE(zustand, Dataset::Zustand::Insert);
        QCOMPARE(angezeigt, QStringList(5, " "));
        QCOMPARE(test::Zeilen("SELECT stammd_firma, stammd_firma_d, stammd_plz_d, stammd_drucken, Zahlungsbedingungen, "
                              "stammd_ort, stammd_tel_d, Mahnungstext FROM t_stammdaten"),
                 (QList<QList<QVariant>>{{"Torsil Handel", -1, -1, 0.0, "14 Tage\r\nnetto", QVariant(), QVariant(), QVariant()}}));
        QCOMPARE(App().DMOrdavo->ADO_Stammdaten->State(), Dataset::Zustand::Browse);
        QCOMPARE(App().DMOrdavo->LeseZahlungsbedingungen(), QString("14 Tage\r\nnetto"));
    }

    // Abbrechen and the close box discard everything, also on the first opening.
    void verwerfen_data()
    {
        QTest::addColumn<bool>("vorhanden");
        QTest::addColumn<bool>("schliessfeld");
        QTest::newRow("erste Öffnung, Abbrechen") << false << false;
        QTest::newRow("erste Öffnung, Schließfeld") << false << true;
        QTest::newRow("Änderung, Abbrechen") << true << false;
        QTest::newRow("Änderung, Schließfeld") << true << true;
    }
    void verwerfen()
    {
        QFETCH(bool, vorhanden);
        QFETCH(bool, schliessfeld);
        if (vorhanden) test::Sql("INSERT INTO t_stammdaten (stammd_firma, stammd_drucken) VALUES ('Alt', 0)");
        test::ProgrammErzeugen();
        Oeffnen([&](QWidget* w) {
            Tippe(w, "DBEdit1", "Neu");
            Klick(w, "DBCheckBox11");
            if (schliessfeld) w->close();
            else Klick(w, "BitBtn2");
        });
        QCOMPARE(test::Zeilen("SELECT stammd_firma, stammd_uidnr_d FROM t_stammdaten"),
                 vorhanden ? (QList<QList<QVariant>>{{"Alt", QVariant()}}) : QList<QList<QVariant>>());
        QCOMPARE(App().DMOrdavo->ADO_Stammdaten->State(), Dataset::Zustand::Browse);
    }

    // What is typed into a field that shows only the rule's blank replaces
    // the blank, wherever the caret stood (a click behind it, Home, End).
    void getipptesErsetztDasLeerzeichen_data()
    {
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("spalte");
        QTest::addColumn<QString>("caret");
        for (const char* caret : {"Klick", "Pos1", "Ende"}) {
            QTest::newRow(qPrintable(QStringLiteral("Feld, %1").arg(caret))) << "DBEdit1" << "stammd_firma" << caret;
            QTest::newRow(qPrintable(QStringLiteral("Text, %1").arg(caret))) << "DBMemo1" << "Zahlungsbedingungen" << caret;
        }
    }
    void getipptesErsetztDasLeerzeichen()
    {
        QFETCH(QString, feld);
        QFETCH(QString, spalte);
        QFETCH(QString, caret);
        test::ProgrammErzeugen();
        QString vorher, gezeigt;
        Oeffnen([&](QWidget* w) {
            QWidget* c = Teil(w, qPrintable(feld));
            auto* memo = qobject_cast<QPlainTextEdit*>(c);
            vorher = memo ? memo->toPlainText() : static_cast<QLineEdit*>(c)->text();
            if (caret == "Klick") {
                // Right of the blank, in the first line.
                QWidget* flaeche = memo ? memo->viewport() : c;
                QTest::mouseClick(flaeche, Qt::LeftButton, {}, QPoint(flaeche->width() - 8, c->fontMetrics().height() / 2 + 4));
            } else {
                c->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(c, caret == "Pos1" ? Qt::Key_Home : Qt::Key_End);
            }
            Tasten(c, "Hotel Seeblick KG");
            gezeigt = memo ? memo->toPlainText() : static_cast<QLineEdit*>(c)->text();
            Klick(w, "BitBtn1");
        });
        QCOMPARE(vorher, QString(" "));
        QCOMPARE(gezeigt, QString("Hotel Seeblick KG"));
        QCOMPARE(test::Wert(QStringLiteral("SELECT %1 FROM t_stammdaten").arg(spalte)).toString(), QString("Hotel Seeblick KG"));
    }

    // Later openings edit the one row: an emptied field is one blank, untouched ones keep their values.
    void aendern()
    {
        test::Sql("INSERT INTO t_stammdaten (stammd_firma, stammd_ort, stammd_plz_d, stammd_drucken, Zusatztext) "
                  "VALUES ('Alt', 'Graz', -1, 0, 'Danke')");
        test::ProgrammErzeugen();
        QStringList angezeigt;
        bool plzGedruckt = false;
        Oeffnen([&](QWidget* w) {
            plzGedruckt = Teil<QCheckBox>(w, "DBCheckBox5")->isChecked();
            Tippe(w, "DBEdit1", "");
            angezeigt << Teil<QLineEdit>(w, "DBEdit1")->text() << Teil<QLineEdit>(w, "DBEdit5")->text()
                      << Teil<QPlainTextEdit>(w, "DBMemo4")->toPlainText();
            Klick(w, "DBCheckBox5");
            TippeText(w, "DBMemo2", "Bitte zahlen");
            Klick(w, "BitBtn1");
        });
        QVERIFY(plzGedruckt);
        QCOMPARE(angezeigt, (QStringList{" ", "Graz", "Danke"}));
        QCOMPARE(test::Zeilen("SELECT stammd_firma, stammd_ort, stammd_plz_d, Zusatztext, Mahnungstext FROM t_stammdaten"),
                 (QList<QList<QVariant>>{{" ", "Graz", 0, "Danke", "Bitte zahlen"}}));
    }
};

QTEST_MAIN(TstStammdaten)
#include "tst_stammdaten.moc"
