// Start-up and the main window's shell behaviour: hand-over of a supplied
// database, the update program, the settings flag and desktop entry, the
// reminder, and the backup tool on close.
#include "TestUmgebung.h"

#include "app/Erzeugung.h"
#include "app/Programmfenster.h"
#include "app/Start.h"
#include "app/ordavo.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferfenster.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Stammdatenfenster.h"
#include "masterdata/adressen_.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/nochnichtbezahlt_.h"
#include "ui/Anwendung.h"
#include "ui/DatumPicker.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QtTest/QtTest>

namespace {

using test::Lies;
using test::Schreibe;

// A stand-in program that records that it ran, after a pause (to see waiting).
void StandIn(const QString& pfad, const QString& merker, double sekunden = 0)
{
    Schreibe(pfad, QStringLiteral("#!/bin/sh\nsleep %1\necho lief > '%2'\n").arg(sekunden).arg(merker).toUtf8());
    QFile::setPermissions(pfad, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

class TstStart : public QObject {
    Q_OBJECT

private slots:
    void uebergabe_data()
    {
        QTest::addColumn<bool>("tab");
        QTest::addColumn<bool>("neu");
        QTest::addColumn<bool>("update");
        QTest::addColumn<bool>("tabDanach");
        QTest::addColumn<bool>("neuDanach");
        QTest::addColumn<bool>("updateLief");
        QTest::newRow("nur neue Datei") << false << true << true << true << false << false;
        QTest::newRow("beide Dateien") << true << true << true << true << true << true;
        QTest::newRow("nur Datenbank") << true << false << true << true << false << false;
        QTest::newRow("keine") << false << false << true << false << false << false;
        QTest::newRow("Update-Programm fehlt") << true << true << false << true << true << false;
    }
    void uebergabe()
    {
        QFETCH(bool, tab);
        QFETCH(bool, neu);
        QFETCH(bool, update);
        QFETCH(bool, tabDanach);
        QFETCH(bool, neuDanach);
        QFETCH(bool, updateLief);
        test::Programmordner ordner(false);
        if (tab) Schreibe(ordner.datei("ordavo_tab.mdb"), "alt");
        if (neu) Schreibe(ordner.datei("ordavo_neu.mdb"), "neu");
        const QString merker = ordner.datei("update.lief");
        if (update) StandIn(ordner.datei("check_update"), merker, 0.3);
        app::UebergabeUndUpdate(ordner.pfad() + "/");
        QCOMPARE(QFile::exists(ordner.datei("ordavo_tab.mdb")), tabDanach);
        QCOMPARE(QFile::exists(ordner.datei("ordavo_neu.mdb")), neuDanach);
        // Waited for: the stand-in writes its mark only at its end.
        QCOMPARE(QFile::exists(merker), updateLief);
        if (tab) QCOMPARE(Lies(ordner.datei("ordavo_tab.mdb")), QByteArray("alt"));
        else if (neu) QCOMPARE(Lies(ordner.datei("ordavo_tab.mdb")), QByteArray("neu"));
    }

    void ohneDatenbankKeinHauptfenster()
    {
        test::Programmordner ordner(false);
        try {
            test::ProgrammErzeugen();
            QFAIL("ohne Datenbank gestartet");
        } catch (const data::Fehler& f) {
            QVERIFY(f.text().contains("ordavo_tab.mdb"));
        }
        test::ProgrammBeenden();
        QVERIFY(!Programm().Ordavo);
    }

    void desktopIconFlag_data()
    {
        QTest::addColumn<QByteArray>("vorher");
        QTest::addColumn<bool>("eintrag");
        QTest::addColumn<QByteArray>("nachher");
        QTest::newRow("keine Datei") << QByteArray() << true << QByteArray("[Einstellungen]\nDesktopIcon=true\n");
        QTest::newRow("false") << QByteArray("[Einstellungen]\r\nDesktopIcon=false\r\n") << true
                               << QByteArray("[Einstellungen]\r\nDesktopIcon=true\r\n");
        QTest::newRow("False zählt als erledigt") << QByteArray("[Einstellungen]\nDesktopIcon=False\n") << false
                                                  << QByteArray("[Einstellungen]\nDesktopIcon=False\n");
        QTest::newRow("true") << QByteArray("[Einstellungen]\nDesktopIcon=true\n") << false
                              << QByteArray("[Einstellungen]\nDesktopIcon=true\n");
        QTest::newRow("andere Abschnitte bleiben")
            << QByteArray("; Kommentar\n[Datensicherung]\nZiel=C:\\Sicherung\\\n\n[Einstellungen]\nAnderes=1\n")
            << true << QByteArray("; Kommentar\n[Datensicherung]\nZiel=C:\\Sicherung\\\n\n[Einstellungen]\nAnderes=1\nDesktopIcon=true\n");
    }
    void desktopIconFlag()
    {
        QFETCH(QByteArray, vorher);
        QFETCH(bool, eintrag);
        QFETCH(QByteArray, nachher);
        test::Programmordner ordner;
        if (!vorher.isNull()) Schreibe(ordner.datei("Ordavo.ini"), vorher);
        test::ProgrammErzeugen();
        QCOMPARE(QFile::exists(ordner.datei("home/Desktop/Ordavo.desktop")), eintrag);
        QCOMPARE(Lies(ordner.datei("Ordavo.ini")), nachher);
        test::ProgrammBeenden();
        // A later start makes no entry, even if the user deleted it.
        QFile::remove(ordner.datei("home/Desktop/Ordavo.desktop"));
        test::ProgrammErzeugen();
        QVERIFY(!QFile::exists(ordner.datei("home/Desktop/Ordavo.desktop")));
        test::ProgrammBeenden();
    }

    void einstellungsdateiNichtSchreibbar()
    {
        test::Programmordner ordner;
        QDir().mkpath(ordner.datei("Ordavo.ini"));  // a folder in its place: never writable
        test::AntworteMeldung();
        test::ProgrammErzeugen();
        const QStringList m = test::Meldungen();
        QCOMPARE(m.size(), 1);
        QVERIFY2(m.first().startsWith("In ") && m.first().endsWith("Ordavo.ini kann nicht geschrieben werden"), qPrintable(m.first()));
        QVERIFY(QFile::exists(ordner.datei("home/Desktop/Ordavo.desktop")));
        test::ProgrammBeenden();
    }

    void icon_erstellen_fragt_und_laesst_ini()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        const QByteArray ini = Lies(ordner.datei("Ordavo.ini"));
        QFile::remove(ordner.datei("home/Desktop/Ordavo.desktop"));
        auto* aktion = Programm().Ordavo->findChild<QAction*>("IconErstellen1");
        test::AntworteMeldung("Abbrechen");
        aktion->trigger();
        QVERIFY(!QFile::exists(ordner.datei("home/Desktop/Ordavo.desktop")));
        for (int i = 0; i < 2; ++i) {
            test::AntworteMeldung("OK");
            aktion->trigger();
            QVERIFY(QFile::exists(ordner.datei("home/Desktop/Ordavo.desktop")));
        }
        QCOMPARE(test::Meldungen(), QStringList(3, "Wollen sie einen Icon auf dem Desktop erstellen?"));
        QCOMPARE(Lies(ordner.datei("Ordavo.ini")), ini);
        const QByteArray eintrag = Lies(ordner.datei("home/Desktop/Ordavo.desktop"));
        QVERIFY(eintrag.contains("Name=Ordavo"));
        QVERIFY(eintrag.contains("Path="));
        test::ProgrammBeenden();
    }

    void erinnerungEinmal_data()
    {
        QTest::addColumn<bool>("stammdaten");
        QTest::newRow("ohne Stammdaten") << false;
        QTest::newRow("mit Stammdaten") << true;
    }
    void erinnerungEinmal()
    {
        QFETCH(bool, stammdaten);
        test::Programmordner ordner;
        if (stammdaten) test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::ProgrammErzeugen();
        if (!stammdaten) test::AntworteMeldung();
        Programm().Ordavo->show();
        auto* timer = Programm().Ordavo->findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer);
        // The reminder's one tick has come and its box, if any, is answered.
        QTRY_VERIFY(!timer->isActive() && test::OffeneDialoge() == 0 && !QApplication::activeModalWidget());
        Programm().Ordavo->hide();
        Programm().Ordavo->show();
        QVERIFY(!timer->isActive());  // showing again reminds no one
        QCOMPARE(test::Meldungen(), stammdaten ? QStringList() : QStringList{"Sie müssen noch die Stammdaten eintragen"});
        QCOMPARE(test::OffeneDialoge(), 0);
        test::ProgrammBeenden();
    }

    void schliessenStartetDatensicherung_data()
    {
        QTest::addColumn<bool>("vorhanden");
        QTest::newRow("vorhanden") << true;
        QTest::newRow("fehlt") << false;
    }
    void schliessenStartetDatensicherung()
    {
        QFETCH(bool, vorhanden);
        test::Programmordner ordner;
        // The backup tool is looked for beside the database, in the working directory.
        const QString merker = ordner.datei("sicherung.lief");
        if (vorhanden) StandIn(ordner.datei("datensicherung"), merker);
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::ProgrammErzeugen();
        Programm().Ordavo->show();
        Programm().Ordavo->findChild<QPushButton*>("BitBtn5")->click();
        QVERIFY(!Programm().Ordavo->isVisible());
        if (vorhanden) QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(merker), 5000);
        else QVERIFY(!QFile::exists(merker));
        test::ProgrammBeenden();
    }

    // Closing the main window ends the program also while the list windows
    // it opened are on the screen; otherwise the process keeps the database
    // open and the backup tool it has just started cannot run.
    void schliessenBeendetAuchMitOffenenFenstern()
    {
        test::Programmordner ordner;
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::ProgrammErzeugen();
        TOrdavo* h = Programm().Ordavo;
        h->show();
        for (const char* knopf : {"BitBtn1", "BitBtn3", "BitBtn6"}) h->findChild<QPushButton*>(knopf)->click();
        for (const char* aktion : {"AlleLieferscheine1", "PLUverwalten1"}) h->findChild<QAction*>(aktion)->trigger();
        QStringList offen;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != h) offen << w->objectName();
        offen.sort();
        QCOMPARE(offen, (QStringList{"TAdressen", "TArtikel", "TLieferschein", "TPLUUebersicht", "Tnochnichtbezahlt"}));

        QTimer::singleShot(0, h, [h] { h->findChild<QPushButton*>("BitBtn5")->click(); });
        // Should the event loop run on, the test ends it with another code.
        QTimer notbremse;
        notbremse.setSingleShot(true);
        connect(&notbremse, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        notbremse.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
        notbremse.stop();
        test::ProgrammBeenden();
    }

    // The titles the title bars show (the program sets no display name that
    // the platform would add to each of them).
    void fenstertitel()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        const QList<QPair<QString, QString>> erwartet = {
            {"TOrdavo", "Ordavo :: Torsil"},
            {"TAboutBox", "Info"},
            {"TAdressen", "Adressen"},
            {"TArtikel", "Artikel"},
            {"Teinheit", "einheit"},
            {"TKategorie", "Kategorie"},
            {"TPLUUebersicht", "PLU Übersicht"},
            {"TPLUZuordnen", "PLU Zuordnen"},
            {"TStammdaten", "Stammdaten"},
            {"TLieferschein", "Lieferschein"},
            {"TLieferscheinkopf", "Lieferschein Kopfdaten"},
            {"TArtikelauswahl", "Artikelauswahl"},
            {"TArtikelbearbeiten", "Artikel bearbeiten"},
            {"TPLUArtikelEingabe", "PLU - Artikeleingabe"},
            {"TLieferscheinsuche", "Lieferscheinsuche"},
            {"TRechnungsdaten", "Rechnungsdaten"},
            {"Tnochnichtbezahlt", "Offene Rechnungen"},
            {"TZahlungsdatum", "Zahlungsdaten"},
            {"TMahnung", "Mahnung"},
            {"TArtikelauswertung", "Artikelstatistik"},
            {"TKategorieauswertung", "Artikelstatistik nach Kategorie"},
            {"TAdressenauswertung", "Kundenstatistik"},
            {"TDatum_alle_Adressenauswertung", "Kundenstatistik für alle Kunden"},
        };
        QStringList falsch;
        for (const auto& [name, titel] : erwartet) {
            QWidget* fenster = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == name) fenster = w;
            if (!fenster) falsch << name + ": fehlt";
            else if (fenster->windowTitle() != titel) falsch << name + ": " + fenster->windowTitle();
        }
        QCOMPARE(falsch, QStringList());
        test::ProgrammBeenden();
    }

    // With the main window in the top left corner of a small screen, every
    // window opens inside the screen's free area; the master-data window
    // gets the size its fields need, as far as the screen allows.
    void fensterBleibenAufDemBildschirm()
    {
        test::Programmordner ordner;
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_kunde) VALUES (1, 'Kunde', -1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum) "
                  "VALUES (1, 1, '2024-01-02', 1, '2024-01-03')");
        test::ProgrammErzeugen();
        TOrdavo* h = Programm().Ordavo;
        const QRect frei = h->screen()->availableGeometry();
        QVERIFY2(frei.width() <= 1024, "kein kleiner Bildschirm");
        h->move(frei.topLeft());
        h->show();
        QVERIFY(QTest::qWaitForWindowExposed(h));

        QStringList ausserhalb;
        auto pruefen = [&](QWidget* w) {
            if (!frei.contains(w->frameGeometry()))
                ausserhalb << QStringLiteral("%1 bei (%2, %3) %4 × %5")
                                  .arg(w->objectName())
                                  .arg(w->frameGeometry().x())
                                  .arg(w->frameGeometry().y())
                                  .arg(w->width())
                                  .arg(w->height());
        };
        QSize stammdaten, stammdatenBraucht, rahmen;
        int feldBreite = 0, feldBraucht = 0;
        auto modal = [&](std::function<void()> oeffnen) {
            test::BeimNaechstenDialog([&](QWidget* w) {
                pruefen(w);
                if (w->objectName() == QLatin1String("TStammdaten")) {
                    stammdaten = w->size();
                    rahmen = w->frameGeometry().size() - w->size();
                    stammdatenBraucht = w->sizeHint();
                    auto* feld = w->findChild<QLineEdit*>("DBEdit1");
                    feldBreite = feld->width();
                    feldBraucht = feld->sizeHint().width();
                }
                static_cast<QDialog*>(w)->reject();
            });
            oeffnen();
            QCOMPARE(test::OffeneDialoge(), 0);
        };
        modal([&] { h->findChild<QPushButton*>("BitBtn7")->click(); });  // Stammdaten
        modal([&] { h->findChild<QAction*>("Info1")->trigger(); });
        // The header of a new note stays open beside the main window until it is closed.
        h->findChild<QPushButton*>("BitBtn2")->click();
        QWidget* kopf = Lieferung().Lieferscheinkopf;
        QVERIFY(kopf->isVisible());
        pruefen(kopf);
        kopf->close();
        for (const char* knopf : {"BitBtn1", "BitBtn3", "BitBtn6", "BitBtn4"}) h->findChild<QPushButton*>(knopf)->click();
        h->findChild<QAction*>("PLUverwalten1")->trigger();
        QWidget* browser = Lieferung().Lieferschein;
        modal([&] { browser->findChild<QPushButton*>("Schalterartikelhinzuf")->click(); });  // Artikelauswahl
        modal([&] { browser->findChild<QPushButton*>("BitBtn2")->click(); });  // Lieferscheinsuche
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) pruefen(w);
        QCOMPARE(ausserhalb, QStringList());
        // Not squeezed below what its content needs, except by the screen.
        QCOMPARE(stammdaten.width(), qMin(qMax(860, stammdatenBraucht.width()), frei.width() - rahmen.width()));
        QVERIFY2(feldBreite >= feldBraucht, qPrintable(QStringLiteral("%1 < %2").arg(feldBreite).arg(feldBraucht)));
        test::ProgrammBeenden();
    }

    // Every date field is the picker that is one tab stop (its behaviour:
    // the header window's test).
    void datumsfelderSindEinTabStopp()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        QStringList datumsfelder, andere;
        for (QWidget* w : QApplication::topLevelWidgets())
            for (QDateEdit* d : w->findChildren<QDateEdit*>()) {
                datumsfelder << w->objectName() + "." + d->objectName();
                if (!qobject_cast<ui::DatumPicker*>(d)) andere << w->objectName() + "." + d->objectName();
            }
        QCOMPARE(datumsfelder.size(), 4);
        QCOMPARE(andere, QStringList());
        test::ProgrammBeenden();
    }

    // Ordinary names show whole in the list columns for company, unit and category.
    void typischeNamenPassenInDieSpalten()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        const struct {
            const char* fenster;
            const char* titel;
            const char* name;
        } faelle[] = {
            {"TAdressen", "Firma", "Hausverwaltung Bergmann KG"},
            {"Tnochnichtbezahlt", "Firma", "Hausverwaltung Bergmann KG"},
            {"TLieferscheinsuche", "Firma", "Hausverwaltung Bergmann KG"},
            {"TArtikel", "Einheit", "Kartusche"},
            {"TArtikel", "Kategorie", "Elektroinstallation"},
            {"TArtikelauswahl", "Einheit", "Kartusche"},
            {"TArtikelauswahl", "Kategorie", "Molkereiprodukte"},
            {"TLieferschein", "Einheit", "Kartusche"},
        };
        QStringList abgeschnitten;
        for (const auto& f : faelle) {
            QWidget* fenster = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String(f.fenster)) fenster = w;
            QVERIFY2(fenster, f.fenster);
            auto* grid = fenster->findChild<QTableView*>("DBGrid1");
            QVERIFY2(grid, f.fenster);
            int spalte = -1;
            for (int i = 0; i < grid->model()->columnCount(); ++i)
                if (grid->model()->headerData(i, Qt::Horizontal).toString() == QLatin1String(f.titel)) spalte = i;
            QVERIFY2(spalte >= 0, f.titel);
            // The text and the cell's margins.
            const int braucht = grid->fontMetrics().horizontalAdvance(QString::fromUtf8(f.name)) + 8;
            if (grid->columnWidth(spalte) < braucht)
                abgeschnitten << QStringLiteral("%1 %2: %3 < %4").arg(f.fenster, f.titel).arg(grid->columnWidth(spalte)).arg(braucht);
        }
        QCOMPARE(abgeschnitten, QStringList());
        test::ProgrammBeenden();
    }

    void alleLieferscheineUndOffeneRechnungen()
    {
        test::Programmordner ordner;
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::ProgrammErzeugen();
        TOrdavo* h = Programm().Ordavo;
        auto* browser = static_cast<QWidget*>(Lieferung().Lieferschein);
        // No delivery notes: the button does nothing, the menu item opens the empty browser.
        h->findChild<QPushButton*>("BitBtn4")->click();
        QVERIFY(!browser->isVisible());
        h->findChild<QAction*>("AlleLieferscheine1")->trigger();
        QVERIFY(browser->isVisible());
        browser->hide();
        // The open invoices are read anew at every showing: also the first
        // one, while the list is still open from the start; again after the
        // window was closed; and when it is brought to the front.
        QVERIFY(App().DMOrdavo->ADO_Nochnichtbezahlt->Active());
        QWidget* offene = Lieferung().nochnichtbezahlt;
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'Kunde')");
        QStringList gelesen;
        for (int nr = 1; nr <= 3; ++nr) {
            test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum) "
                      "VALUES (?, ?, '2024-01-02', 1, '2024-01-03')",
                      {nr, nr});
            h->findChild<QPushButton*>("BitBtn6")->click();
            QVERIFY(offene->isVisible());
            gelesen << QString::number(App().DMOrdavo->ADO_Nochnichtbezahlt->RecordCount());
            if (nr == 2) offene->findChild<QPushButton*>("BitBtn3")->click();
        }
        QCOMPARE(gelesen, (QStringList{"1", "2", "3"}));
        test::ProgrammBeenden();
    }

    // Another workstation's new customer and article are in the lists the
    // next time they are opened or brought to the front; the current row
    // stays current. A row being changed keeps the list as it is.
    void stammlistenLesenBeimOeffnenNeu()
    {
        test::Programmordner ordner;
        test::Sql("INSERT INTO t_stammdaten (stammd_firma) VALUES ('Firma')");
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'Erste'), (2, 'Zweite')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (1, 100, 'Erster'), (2, 200, 'Zweiter')");
        test::ProgrammErzeugen();
        TOrdavo* h = Programm().Ordavo;
        TDMOrdavo* dm = App().DMOrdavo;
        const struct {
            const char* knopf;
            data::Dataset* ds;
            QWidget* fenster;
            const char* neu;
        } listen[] = {
            {"BitBtn3", dm->ADO_t_adressen, Stamm().Adressen, "INSERT INTO t_adressen (id, adr_firma) VALUES (3, 'Dritte')"},
            {"BitBtn1", dm->ADO_artikel, Stamm().Artikel, "INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (3, 300, 'Dritter')"},
        };
        for (const auto& l : listen) {
            const auto neu = [&](int id) { test::Sql(QString::fromUtf8(l.neu).replace(QLatin1String("3"), QString::number(id))); };
            h->findChild<QPushButton*>(l.knopf)->click();
            QVERIFY(l.fenster->isVisible());
            QCOMPARE(l.ds->RecordCount(), 2);
            l.fenster->close();
            neu(3);
            h->findChild<QPushButton*>(l.knopf)->click();
            QVERIFY2(l.ds->RecordCount() == 3, l.knopf);
            // Shown already, the list is read again when brought to the front.
            QVERIFY(l.ds->Locate(QStringLiteral("id"), 2));
            neu(4);
            h->findChild<QPushButton*>(l.knopf)->click();
            QCOMPARE(l.ds->RecordCount(), 4);
            QCOMPARE(l.ds->FieldByName(QStringLiteral("id")).value().toInt(), 2);
            // Not while a row is being changed.
            l.ds->Edit();
            neu(5);
            h->findChild<QPushButton*>(l.knopf)->click();
            QCOMPARE(l.ds->RecordCount(), 4);
            l.ds->Cancel();
            l.fenster->close();
        }
        test::ProgrammBeenden();
    }

    void hauptfenster()
    {
        test::Programmordner ordner;
        test::ProgrammErzeugen();
        TOrdavo* h = Programm().Ordavo;
        QCOMPARE(h->windowTitle(), QString("Ordavo :: Torsil"));
        QCOMPARE(h->findChild<QPushButton*>("BitBtn2")->text(), QString("   Neuer Lieferschein   "));
        QCOMPARE(h->findChild<QPushButton*>("BitBtn6")->text(), QString("   Offene Rechnungen"));
        QVERIFY(h->findChild<QMenuBar*>("Hauptmenue"));
        // Tab order as the buttons are meant to be walked.
        QStringList folge;
        QWidget* w = h->findChild<QPushButton*>("BitBtn2");
        for (int i = 0; i < 7; ++i) {
            folge << w->objectName();
            w = w->nextInFocusChain();
            while (!qobject_cast<QPushButton*>(w)) w = w->nextInFocusChain();
        }
        QCOMPARE(folge, (QStringList{"BitBtn2", "BitBtn4", "BitBtn1", "BitBtn3", "BitBtn6", "BitBtn5", "BitBtn7"}));
        test::ProgrammBeenden();
    }
};

QTEST_MAIN(TstStart)
#include "tst_start.moc"
