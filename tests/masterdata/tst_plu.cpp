// PLU codes: the overview and the assignment dialog.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/PLUUebersicht_.h"
#include "masterdata/PLUZuordnen_.h"
#include "masterdata/Stammdatenfenster.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"

#include <QLabel>
#include <QTimer>
#include <QtTest/QtTest>

using namespace bedienen;
using data::Dataset;
using Zeilen = QList<QList<QVariant>>;

class TstPLU : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Uebersicht() { return Stamm().PLUUebersicht; }
    QWidget* Dialog() { return Stamm().PLUZuordnen; }
    Dataset* PLU() { return App().DMOrdavo->ADO_PLU; }

    void ImDialog(std::function<void(QWidget*)> schritte)
    {
        test::BeimNaechstenDialog([schritte](QWidget* w) { QTimer::singleShot(0, w, [w, schritte] { schritte(w); }); });
    }
    static void DoppelklickAufZeile(QWidget* fenster, int zeile)
    {
        auto* grid = Teil<ui::DBGrid>(fenster, "DBGrid1");
        const QRect r = grid->visualRect(grid->model()->index(zeile, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    static Zeilen Codes() { return test::Zeilen("SELECT PLU, Artikel_id FROM t_PLU ORDER BY PLU"); }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (1, 100, 'Schraube'), (2, 200, 'Mutter'), (3, 300, 'Dübel')");
        // 20 stands for an article that is gone.
        test::Sql("INSERT INTO t_PLU VALUES (10, 1), (20, 99)");
    }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void uebersicht()
    {
        test::ProgrammErzeugen();
        auto* grid = Teil<ui::DBGrid>(Uebersicht(), "DBGrid1");
        QCOMPARE(Uebersicht()->windowTitle(), QString("PLU Übersicht"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("Artikel Nr."));
        QCOMPARE(grid->model()->index(0, 2).data().toString(), QString("Schraube"));
        // A code without article is listed with empty article columns.
        QCOMPARE(grid->model()->index(1, 0).data().toString(), QString("20"));
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QString());
        QCOMPARE(Dialog()->windowTitle(), QString("PLU Zuordnen"));
        QCOMPARE(Teil<QLabel>(Dialog(), "Label_Titel")->text(), QString("PLU zuordnen"));
    }

    void neu_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("artikelzeile");  // -1: no article double-clicked
        QTest::addColumn<QByteArray>("knopf");
        QTest::addColumn<Zeilen>("gespeichert");
        QTest::addColumn<bool>("fehler");
        const Zeilen vorher{{10, 1}, {20, 99}};
        QTest::newRow("Code und Artikel") << "30" << 1 << QByteArray("SchalterOK") << Zeilen{{10, 1}, {20, 99}, {30, 2}} << false;
        QTest::newRow("Code ohne Artikel") << "30" << -1 << QByteArray("SchalterOK") << vorher << false;
        QTest::newRow("Artikel ohne Code") << "" << 1 << QByteArray("SchalterOK") << vorher << false;
        QTest::newRow("Abbrechen") << "30" << 1 << QByteArray("SchalterCancel") << vorher << false;
        QTest::newRow("vergebener Code") << "10" << 2 << QByteArray("SchalterOK") << vorher << true;
    }
    void neu()
    {
        QFETCH(QString, code);
        QFETCH(int, artikelzeile);
        QFETCH(QByteArray, knopf);
        QFETCH(bool, fehler);
        test::ProgrammErzeugen();
        Stamm().PLUUebersicht->Zeige();
        QString anrVorher, anrNachher, codeNachFehler;
        ImDialog([&](QWidget* w) {
            anrVorher = Teil<QLabel>(w, "Label_Anr")->text();
            QVERIFY(Teil(w, "DBEdit_PLU")->hasFocus());
            if (!code.isEmpty()) QTest::keyClicks(Teil(w, "DBEdit_PLU"), code);
            if (artikelzeile >= 0) DoppelklickAufZeile(w, artikelzeile);
            anrNachher = Teil<QLabel>(w, "Label_Anr")->text();
            if (fehler) {
                // After the message the editor opens again with what was typed; Abbrechen drops it.
                test::AntworteMeldung("OK");
                ImDialog([&](QWidget* nochmal) {
                    codeNachFehler = Teil<QLineEdit>(nochmal, "DBEdit_PLU")->text();
                    Klick(nochmal, "SchalterCancel");
                });
            }
            Klick(w, knopf.constData());
        });
        Klick(Uebersicht(), "SchalterNeu");
        QTRY_VERIFY(!Dialog()->isVisible());
        QTRY_COMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(anrVorher, QString());
        QCOMPARE(anrNachher, artikelzeile < 0 ? QString() : QString::number((artikelzeile + 1) * 100));
        QTEST(Codes(), "gespeichert");
        const QStringList meldungen = test::Meldungen();
        QCOMPARE(meldungen.size(), fehler ? 1 : 0);
        if (fehler) {
            QCOMPARE(meldungen.first(), QString("Der PLU-Code 10 ist schon vergeben.\nUNIQUE constraint failed: t_PLU.PLU"));
            QCOMPARE(codeNachFehler, code);
        }
        QCOMPARE(App().DMOrdavo->Table_PLU->State(), Dataset::Zustand::Browse);
        if (code == "30" && knopf == "SchalterOK" && artikelzeile >= 0) QCOMPARE(PLU()->FieldByName("PLU").asInteger(), 30);
    }

    // A changed code: re-read, shown under its new code and current.
    void codeAendern()
    {
        test::ProgrammErzeugen();
        Stamm().PLUUebersicht->Zeige();
        QString anr;
        int artikelAusgewaehlt = 0;
        ImDialog([&](QWidget* w) {
            anr = Teil<QLabel>(w, "Label_Anr")->text();
            artikelAusgewaehlt = int(App().DMOrdavo->ADO_artikel->FieldByName("id").asInteger());
            Tippe(w, "DBEdit_PLU", "25");
            Klick(w, "SchalterOK");
        });
        Klick(Uebersicht(), "SchalterAendern");
        QTRY_VERIFY(!Dialog()->isVisible());
        QCOMPARE(anr, QString("100"));
        QCOMPARE(artikelAusgewaehlt, 1);
        QCOMPARE(Codes(), (Zeilen{{20, 99}, {25, 1}}));
        QCOMPARE(PLU()->RecNo(), 1);
        QCOMPARE(PLU()->FieldByName("PLU").asInteger(), 25);
    }

    // The code of a deleted article: no number shown; a double-click assigns another.
    void geloeschterArtikel()
    {
        test::ProgrammErzeugen();
        Stamm().PLUUebersicht->Zeige();
        QString anr, anrNeu;
        ImDialog([&](QWidget* w) {
            anr = Teil<QLabel>(w, "Label_Anr")->text();
            DoppelklickAufZeile(w, 2);
            anrNeu = Teil<QLabel>(w, "Label_Anr")->text();
            Klick(w, "SchalterOK");
        });
        DoppelklickAufZeile(Uebersicht(), 1);
        QTRY_VERIFY(!Dialog()->isVisible());
        QCOMPARE(anr, QString());
        QCOMPARE(anrNeu, QString("300"));
        QCOMPARE(Codes(), (Zeilen{{10, 1}, {20, 3}}));
        QCOMPARE(PLU()->FieldByName("artikel_bez").asString(), QString("Dübel"));
    }

    // Deleted at once without a question, the overview on its first row. A
    // code deleted and given anew is then changed in its new row.
    void loeschen()
    {
        test::ProgrammErzeugen();
        Stamm().PLUUebersicht->Zeige();
        PLU()->Locate("PLU", 20);
        ImDialog([](QWidget* w) { Klick(w, "SchalterCancel"); });
        Klick(Uebersicht(), "SchalterAendern");
        QTRY_VERIFY(!Dialog()->isVisible());
        PLU()->Locate("PLU", 10);
        Klick(Uebersicht(), "SchalterLoeschen");
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(Codes(), (Zeilen{{20, 99}}));
        QCOMPARE(PLU()->RecNo(), 0);

        ImDialog([](QWidget* w) {
            QTest::keyClicks(Teil(w, "DBEdit_PLU"), "10");
            DoppelklickAufZeile(w, 1);
            Klick(w, "SchalterOK");
        });
        Klick(Uebersicht(), "SchalterNeu");
        QTRY_VERIFY(!Dialog()->isVisible());
        QCOMPARE(PLU()->FieldByName("PLU").asInteger(), 10);
        ImDialog([](QWidget* w) {
            Tippe(w, "DBEdit_PLU", "11");
            Klick(w, "SchalterOK");
        });
        Klick(Uebersicht(), "SchalterAendern");
        QTRY_VERIFY(!Dialog()->isVisible());
        QCOMPARE(Codes(), (Zeilen{{11, 2}, {20, 99}}));
    }

    void leereUebersichtUndEnter()
    {
        test::Sql("DELETE FROM t_PLU");
        test::ProgrammErzeugen();
        Stamm().PLUUebersicht->Zeige();
        Klick(Uebersicht(), "SchalterAendern");
        Klick(Uebersicht(), "SchalterLoeschen");
        QCOMPARE(test::Meldungen(), QStringList());
        QVERIFY(!Dialog()->isVisible());
        ImDialog([](QWidget* w) {
            QTest::keyClicks(Teil(w, "DBEdit_PLU"), "5");
            DoppelklickAufZeile(w, 0);
            Klick(w, "SchalterOK");
        });
        QTest::keyClick(Teil(Uebersicht(), "DBGrid1"), Qt::Key_Return);
        QTRY_VERIFY(!Dialog()->isVisible());
        QCOMPARE(Codes(), (Zeilen{{5, 1}}));
    }
};

QTEST_MAIN(TstPLU)
#include "tst_plu.moc"
