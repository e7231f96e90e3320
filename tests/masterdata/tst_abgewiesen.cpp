// A save the database refuses loses nothing typed: after the message the
// editor is still open with the text, and OK again stores it.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "masterdata/Stammdatenfenster.h"
#include "masterdata/adressen_.h"
#include "masterdata/adressen_edit.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Einheit_editieren.h"
#include "ui/Anwendung.h"

#include <QMessageBox>
#include <QTimer>
#include <QtTest/QtTest>
#include <sqlite3.h>

using namespace bedienen;

class TstAbgewiesen : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    // Another program holds the file for writing while the user clicks OK.
    void gesperrtBeimSpeichern_data()
    {
        QTest::addColumn<QString>("liste");
        QTest::addColumn<QString>("neu");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("pruefen");
        QTest::newRow("Einheit") << "einheit" << "SchalterEinheitNeu" << "DBEdit1" << "SchalterEinheiteditOK"
                                 << "SELECT einheit FROM t_einheit";
        QTest::newRow("Adresse") << "Adressen" << "SchalterAdressenstammNeu" << "DBEdit1" << "SchalterAdresseneditOK"
                                 << "SELECT adr_firma FROM t_adressen";
    }
    void gesperrtBeimSpeichern()
    {
        QFETCH(QString, liste);
        QFETCH(QString, neu);
        QFETCH(QString, edit);
        QFETCH(QString, ok);
        QFETCH(QString, pruefen);
        test::ProgrammErzeugen();
        sqlite3_busy_timeout(App().DMOrdavo->ADO_ordavo->Handle(), 50);
        ui::Formular* l = liste == "einheit" ? static_cast<ui::Formular*>(Stamm().einheit) : Stamm().Adressen;
        l->Zeige();

        sqlite3* anderes = nullptr;
        sqlite3_open(m_ordner->datenbank().toUtf8().constData(), &anderes);
        QCOMPARE(sqlite3_exec(anderes, "BEGIN IMMEDIATE; UPDATE t_kategorie SET kategorie = 'x'", nullptr, nullptr, nullptr), SQLITE_OK);

        QString meldung, danach;
        bool offenNachMeldung = false;
        test::BeimNaechstenDialog([&](QWidget* w) {
            Tippe(w, edit.toLatin1().constData(), "Hotel Seeblick");
            // The refusal's message box comes while the editor is open.
            test::BeimNaechstenDialog([&, w](QWidget* box) {
                meldung = static_cast<QMessageBox*>(box)->text();
                test::Klicke(box, "OK");
                QTimer::singleShot(0, w, [&, w] {
                    offenNachMeldung = w->isVisible();
                    danach = Teil<QLineEdit>(w, edit.toLatin1().constData())->text();
                    // The other program is done; OK again stores it.
                    sqlite3_exec(anderes, "COMMIT", nullptr, nullptr, nullptr);
                    Klick(w, ok.toLatin1().constData());
                });
            });
            Klick(w, ok.toLatin1().constData());
        });
        Klick(l, neu.toLatin1().constData());
        QTRY_COMPARE(test::OffeneDialoge(), 0);
        sqlite3_close(anderes);

        QVERIFY2(meldung.startsWith("Die Datenbank wird gerade von einem anderen Programm benutzt."), qPrintable(meldung));
        QVERIFY(offenNachMeldung);
        QCOMPARE(danach, QString("Hotel Seeblick"));
        QCOMPARE(test::Wert(pruefen).toString(), QString("Hotel Seeblick"));
    }
};

QTEST_MAIN(TstAbgewiesen)
#include "tst_abgewiesen.moc"
