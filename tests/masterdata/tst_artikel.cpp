// Articles: the list and the editor with its markups, the unit and category
// lists opened on top of it, and the refusal of text that is not a number.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Artikel_editieren.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Kategorie_.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/DatenControls.h"

#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest/QtTest>

using namespace bedienen;
using data::Dataset;

class TstArtikel : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Liste() { return App().Artikel; }
    QWidget* Editor() { return App().Artikeleditieren; }
    Dataset* Artikel() { return App().DMOrdavo->ADO_artikel; }

    // Runs `schritte` in the open editor outside the dialog helper, so that
    // further modal windows can open from there.
    void ImEditor(std::function<void(QWidget*)> schritte)
    {
        test::BeimNaechstenDialog([schritte](QWidget* w) { QTimer::singleShot(0, w, [w, schritte] { schritte(w); }); });
    }
    static void WaehleAus(QWidget* w, const char* name, const QString& text)
    {
        auto* box = Teil<QComboBox>(w, name);
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    static QString Text(QWidget* w, const char* name) { return Teil<QLabel>(w, name)->text(); }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk'), (2, 'kg')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren'), (2, 'Dienste')");
    }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void tabfolge()
    {
        test::ProgrammErzeugen();
        QCOMPARE(Tabfolge(Teil(Editor(), "DB_ArtikelNR"), 13),
                 (QStringList{"DB_ArtikelNR", "DBEdit2", "DBMemo1", "DBEdit5", "DBEdit3", "DBEdit1", "DBEdit4", "DBLookupComboBox1",
                              "DBLookupComboBox2", "SchalterneueEinheit", "SchalterneueKategorie", "SchaleterArtikeleditOK",
                              "SchalterArtikeleditAbbrechen"}));
        QVERIFY(Teil<QPushButton>(Editor(), "SchaleterArtikeleditOK")->isDefault());
    }

    // A long unit name does not widen the editor: the drop-down keeps its
    // width, the window stays on the screen with its buttons in view.
    void langerEinheitennameVerbreitertDenEditorNicht()
    {
        test::Sql("INSERT INTO t_einheit VALUES (3, ?)", {QString(250, QLatin1Char('W')) + "Ende."});
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        QRect editor, frei, knopf;
        int eintraege = 0;
        ImEditor([&](QWidget* w) {
            editor = w->frameGeometry();
            frei = w->screen()->availableGeometry();
            QWidget* ok = Teil(w, "SchalterArtikeleditAbbrechen");
            knopf = QRect(ok->mapTo(w, QPoint()), ok->size());
            eintraege = Teil<QComboBox>(w, "DBLookupComboBox1")->count();
            Klick(w, "SchalterArtikeleditAbbrechen");
        });
        Klick(Liste(), "BitBtn1");
        QTRY_COMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(eintraege, 3);
        QVERIFY2(frei.contains(editor), qPrintable(QStringLiteral("%1 × %2").arg(editor.width()).arg(editor.height())));
        QVERIFY(QRect(QPoint(), editor.size()).contains(knopf));
    }

    void neuerArtikel()
    {
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(9, 41, 'Schraube', 1, 1), (3, 50, 'Mutter', 1, 1)");
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        QStringList eindruck;
        ImEditor([&](QWidget* w) {
            eindruck << w->windowTitle() << QString::number(Sichtbar(w, "StaticText2")) << QString::number(Sichtbar(w, "StaticText1"))
                     << Teil<QLineEdit>(w, "DB_ArtikelNR")->text() << Teil<QLineEdit>(w, "db_ID")->text()
                     << Text(w, "Label_preis1Pro") << Text(w, "Label_preis2Pro");
            Tippe(w, "DB_ArtikelNR", "45");
            Tippe(w, "DBEdit2", "Dübel");
            Tippe(w, "DBEdit5", "10");
            Tippe(w, "DBEdit3", "15");
            Tippe(w, "DBEdit1", "12");
            Tippe(w, "DBEdit4", "20");
            WaehleAus(w, "DBLookupComboBox1", "kg");
            WaehleAus(w, "DBLookupComboBox2", "Dienste");
            eindruck << Text(w, "Label_preis1Pro") << Text(w, "Label_preis2Pro");
            Klick(w, "SchaleterArtikeleditOK");
        });
        Klick(Liste(), "BitBtn1");
        QTRY_COMPARE(test::OffeneDialoge(), 0);
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(eindruck, (QStringList{"Neuer Artikel", "1", "0", "51", "10", "", "", "50,00 %", "20,00 %"}));
        QCOMPARE(test::Zeilen("SELECT id, artikel_nr, artikel_bez, artikel_einkauf, artikel_preis, artikel_preis_2, artikel_Mwst, "
                              "artikel_einheit_id, artikel_kategorie_id, artikel_langtext FROM t_artikel WHERE id = 10"),
                 (QList<QList<QVariant>>{{10, 45, "Dübel", 10.0, 15.0, 12.0, 20.0, 2, 2, QVariant()}}));
        // Re-read: current in its place by number, with the joined names.
        QCOMPARE(Artikel()->RecNo(), 1);
        QCOMPARE(Artikel()->FieldByName("id").asInteger(), 10);
        QCOMPARE(Artikel()->FieldByName("einheit").asString(), QString("kg"));
        QCOMPARE(Artikel()->State(), Dataset::Zustand::Browse);
        auto* grid = Teil<ui::DBGrid>(Liste(), "DBGrid1");
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(grid->model()->index(1, 3).data().toString(), QString("15,00 €"));
    }

    void spanne_data()
    {
        QTest::addColumn<QString>("einkauf");
        QTest::addColumn<QString>("preis");
        QTest::addColumn<QString>("preis2");
        QTest::addColumn<QString>("anzeige1");
        QTest::addColumn<QString>("anzeige2");
        QTest::newRow("Beispiel") << "10" << "15" << "12" << "50,00 %" << "20,00 %";
        QTest::newRow("deutsche Eingabe") << "12,50" << "25" << "6,25" << "100,00 %" << "-50,00 %";
        QTest::newRow("gerundet") << "3" << "4" << "2" << "33,33 %" << "-33,33 %";
        QTest::newRow("Einkauf 0") << "0" << "15" << "12" << "" << "";
        QTest::newRow("Einkauf leer") << "" << "15" << "12" << "" << "";
        QTest::newRow("Preis 0, Händlerpreis leer") << "10" << "0" << "" << "" << "";
        QTest::newRow("kein -0,00") << "10" << "9,999999" << "10" << "0,00 %" << "0,00 %";
        QTest::newRow("mehr als sechs Stellen") << "0,01" << "100000" << "20000" << "1E9 %" << "2E8 %";
    }
    // The markups as the user sees them after entering the prices.
    void spanne()
    {
        QFETCH(QString, einkauf);
        QFETCH(QString, preis);
        QFETCH(QString, preis2);
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        QString t1, t2;
        ImEditor([&](QWidget* w) {
            Tippe(w, "DBEdit5", einkauf);
            Tippe(w, "DBEdit3", preis);
            Tippe(w, "DBEdit1", preis2);
            Teil(w, "DBEdit4")->setFocus(Qt::TabFocusReason);
            t1 = Text(w, "Label_preis1Pro");
            t2 = Text(w, "Label_preis2Pro");
            Klick(w, "SchalterArtikeleditAbbrechen");
        });
        Klick(Liste(), "BitBtn1");
        QTRY_VERIFY(!Editor()->isVisible());
        QTEST(t1, "anzeige1");
        QTEST(t2, "anzeige2");
        QCOMPARE(test::Wert("SELECT count(*) FROM t_artikel"), QVariant(0));
        QCOMPARE(Artikel()->State(), Dataset::Zustand::Browse);
    }

    void bearbeitenUndDoppelklick()
    {
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_einkauf, artikel_preis, artikel_preis_2, "
                  "artikel_einheit_id, artikel_kategorie_id) VALUES (1, 1, 'A', 10, 15, 12, 1, 1), (2, 2, 'B', 4, 5, NULL, 1, 1)");
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        Artikel()->Locate("id", 2);
        QStringList eindruck;
        ImEditor([&](QWidget* w) {
            eindruck << w->windowTitle() << QString::number(Sichtbar(w, "StaticText1")) << Teil<QLineEdit>(w, "DBEdit2")->text()
                     << Text(w, "Label_preis1Pro");
            Tippe(w, "DB_ArtikelNR", "0");
            Tippe(w, "DBEdit2", "");  // the name emptied
            WaehleAus(w, "DBLookupComboBox1", "kg");
            Klick(w, "SchaleterArtikeleditOK");
        });
        auto* grid = Teil<ui::DBGrid>(Liste(), "DBGrid1");
        const QModelIndex zelle = grid->model()->index(1, 1);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(zelle).center());
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(eindruck, (QStringList{"Artikel bearbeiten", "1", "B", "25,00 %"}));
        QCOMPARE(test::Zeilen("SELECT artikel_nr, artikel_bez, artikel_einheit_id, artikel_langtext FROM t_artikel WHERE id = 2"),
                 (QList<QList<QVariant>>{{0, " ", 2, QVariant()}}));
        // Re-read and current again, now first by number, with the new unit name.
        QCOMPARE(Artikel()->RecNo(), 0);
        QCOMPARE(Artikel()->FieldByName("id").asInteger(), 2);
        QCOMPARE(Artikel()->FieldByName("einheit").asString(), QString("kg"));
    }

    void loeschen()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'K')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (1, 1, '2024-01-02', 1)");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(1, 1, 'benutzt', 1, 1), (2, 2, 'frei', 1, 1), (3, 3, 'dritter', 1, 1)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 2, 5.0, 3.0)");
        test::Sql("INSERT INTO t_PLU VALUES (77, 2)");
        test::ProgrammErzeugen();
        App().Artikel->Zeige();

        test::AntworteMeldung("OK");
        test::AntworteMeldung("OK");
        Klick(Liste(), "SchalteralleArtikelLoeschen");
        QCOMPARE(test::Meldungen(), (QStringList{"Wollen Sie den aktuellen Artikel wirklich löschen?",
                                                 "Der Artikel wird bereits verwendet und kann nicht gelöscht werden."}));
        QCOMPARE(test::Wert("SELECT count(*) FROM t_artikel"), QVariant(3));

        Artikel()->Locate("id", 2);
        test::AntworteMeldung("Abbrechen");
        Klick(Liste(), "SchalteralleArtikelLoeschen");
        QCOMPARE(test::Wert("SELECT count(*) FROM t_artikel"), QVariant(3));

        test::AntworteMeldung("OK");
        Klick(Liste(), "SchalteralleArtikelLoeschen");
        QCOMPARE(test::Meldungen().size(), 2);
        QCOMPARE(test::Zeilen("SELECT id FROM t_artikel ORDER BY id"), (QList<QList<QVariant>>{{1}, {3}}));
        QCOMPARE(Artikel()->RecordCount(), 2);
        QCOMPARE(Artikel()->RecNo(), 0);
        // Its PLU code stays.
        QCOMPARE(test::Wert("SELECT Artikel_id FROM t_PLU WHERE PLU = 77"), QVariant(2));
    }

    void leereListe()
    {
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        Klick(Liste(), "SchalteralleArtikelLoeschen");
        QCOMPARE(test::Meldungen(), QStringList());
        QString titel;
        ImEditor([&](QWidget* w) {
            titel = w->windowTitle();
            Tippe(w, "DBEdit2", "Erster");
            Klick(w, "SchaleterArtikeleditOK");
        });
        Klick(Liste(), "SchalteralleArtikelaendern");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(titel, QString("Neuer Artikel"));
        QCOMPARE(test::Zeilen("SELECT id, artikel_nr, artikel_bez FROM t_artikel"), (QList<QList<QVariant>>{{1, 1, "Erster"}}));
    }

    // Closing the list makes the items of the current delivery note show the changed article.
    void schliessenLiestPositionenNeu()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'K')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (1, 1, '2024-01-02', 1)");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_einheit_id, artikel_kategorie_id) VALUES (1, 1, 'alt', 1, 1)");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 2, 5.0, 3.0)");
        test::ProgrammErzeugen();
        Dataset* positionen = App().DMOrdavo->ADO_Lieferschein_Artikel;
        App().Artikel->Zeige();
        ImEditor([](QWidget* w) {
            Tippe(w, "DBEdit2", "neu");
            Klick(w, "SchaleterArtikeleditOK");
        });
        Klick(Liste(), "SchalteralleArtikelaendern");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(positionen->FieldByName("artikel_bez").asString(), QString("alt"));
        Klick(Liste(), "SchalteralleArtikelSchliessen");
        QVERIFY(!Liste()->isVisible());
        QCOMPARE(positionen->FieldByName("artikel_bez").asString(), QString("neu"));
    }

    // Text that is not a number is refused with the data layer's message; the
    // editor stays open in insert state until the text is corrected.
    void keineZahl_data()
    {
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<QString>("falsch");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QString>("richtig");
        QTest::addColumn<QString>("spalte");
        QTest::addColumn<QVariant>("gespeichert");
        QTest::newRow("Einkaufspreis") << QByteArray("DBEdit5") << "abc" << "'abc' ist kein gültiger Gleitkommawert" << "12,50"
                                       << "artikel_einkauf" << QVariant(12.5);
        QTest::newRow("Mwst") << QByteArray("DBEdit4") << "zwanzig" << "'zwanzig' ist kein gültiger Gleitkommawert" << "20"
                              << "artikel_Mwst" << QVariant(20.0);
        QTest::newRow("Artikel-Nr") << QByteArray("DB_ArtikelNR") << "12,5" << "'12,5' ist kein gültiger Integerwert" << "12"
                                    << "artikel_nr" << QVariant(12);
    }
    void keineZahl()
    {
        QFETCH(QByteArray, edit);
        QFETCH(QString, falsch);
        QFETCH(QString, richtig);
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        bool offen = false;
        Dataset::Zustand zustand = Dataset::Zustand::Inaktiv;
        QString imFeld;
        ImEditor([&](QWidget* w) {
            Tippe(w, edit.constData(), falsch);
            test::AntworteMeldung("OK");
            QTest::keyClick(Teil(w, edit.constData()), Qt::Key_Return);  // OK is the default button
            offen = w->isVisible();
            zustand = Artikel()->State();
            imFeld = Teil<QLineEdit>(w, edit.constData())->text();
            Tippe(w, edit.constData(), richtig);
            Klick(w, "SchaleterArtikeleditOK");
        });
        Klick(Liste(), "BitBtn1");
        QTRY_VERIFY(!Editor()->isVisible());
        QFETCH(QString, meldung);
        QCOMPARE(test::Meldungen(), QStringList{meldung});
        QVERIFY(offen);
        QCOMPARE(zustand, Dataset::Zustand::Insert);
        QCOMPARE(imFeld, falsch);
        QFETCH(QString, spalte);
        QTEST(test::Wert(QStringLiteral("SELECT %1 FROM t_artikel").arg(spalte)), "gespeichert");
    }

    // Units and categories are created on top of the open editor and offered
    // at once; coming back renews the key but keeps a number the user typed.
    void einheitUndKategorieUeberDemEditor_data()
    {
        QTest::addColumn<QString>("nummer");  // typed before; empty = left as proposed
        QTest::addColumn<QVariant>("gespeichert");
        QTest::newRow("Vorschlag") << "" << QVariant(8);
        QTest::newRow("getippt") << "77" << QVariant(77);
    }
    void einheitUndKategorieUeberDemEditor()
    {
        QFETCH(QString, nummer);
        QFETCH(QVariant, gespeichert);
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (4, 5, 'alt')");
        test::ProgrammErzeugen();
        App().Artikel->Zeige();
        QString vorschlag, idVorher, idNachher, nrNachher;
        bool listeBedienbar = false;
        QStringList einheiten, kategorien;
        ImEditor([&](QWidget* w) {
            vorschlag = Teil<QLineEdit>(w, "DB_ArtikelNR")->text();
            idVorher = Teil<QLineEdit>(w, "db_ID")->text();
            // The dialog opens in "Artikel-Nr" with the proposal selected: typing replaces it.
            if (!nummer.isEmpty()) QTest::keyClicks(QApplication::focusWidget(), nummer);
            Klick(w, "SchalterneueEinheit");
            QWidget* liste = App().einheit;
            QVERIFY(liste->isVisible());
            // Meanwhile another article is stored (e.g. by a second program run).
            test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (6, 7, 'dazwischen')");
            // A real click through the window system: the modal editor must not block the list.
            auto* neu = Teil<QPushButton>(liste, "SchalterEinheitNeu");
            test::BeimNaechstenDialog([](QWidget* e) {
                Tippe(e, "DBEdit1", "Karton");
                Klick(e, "SchalterEinheiteditOK");
            });
            QTest::mouseClick(liste->windowHandle(), Qt::LeftButton, {}, neu->mapTo(liste, neu->rect().center()));
            listeBedienbar = test::OffeneDialoge() == 0;
            Klick(liste, "SchalterEinheitSchliessen");
            Klick(w, "SchalterneueKategorie");
            test::BeimNaechstenDialog([](QWidget* e) {
                Tippe(e, "DBEdit2", "Sonstiges");
                Klick(e, "SchalterEinheiteditOK");
            });
            Klick(App().Kategorie, "SchalterEinheitNeu");
            Klick(App().Kategorie, "SchalterEinheitSchliessen");
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
            QCoreApplication::processEvents();  // what the activation set off
            for (int i = 0; i < Teil<QComboBox>(w, "DBLookupComboBox1")->count(); ++i)
                einheiten << Teil<QComboBox>(w, "DBLookupComboBox1")->itemText(i);
            for (int i = 0; i < Teil<QComboBox>(w, "DBLookupComboBox2")->count(); ++i)
                kategorien << Teil<QComboBox>(w, "DBLookupComboBox2")->itemText(i);
            idNachher = Teil<QLineEdit>(w, "db_ID")->text();
            nrNachher = Teil<QLineEdit>(w, "DB_ArtikelNR")->text();
            WaehleAus(w, "DBLookupComboBox1", "Karton");
            WaehleAus(w, "DBLookupComboBox2", "Sonstiges");
            Klick(w, "SchaleterArtikeleditOK");
        });
        Klick(Liste(), "BitBtn1");
        QTRY_VERIFY(!Editor()->isVisible());
        QVERIFY(listeBedienbar);
        QCOMPARE(vorschlag, QString("6"));
        QCOMPARE(idVorher, QString("5"));
        QCOMPARE(einheiten, (QStringList{"Karton", "Stk", "kg"}));  // posted where it was inserted, not re-read
        QCOMPARE(kategorien, (QStringList{"Sonstiges", "Waren", "Dienste"}));
        QCOMPARE(idNachher, QString("7"));
        QCOMPARE(nrNachher, nummer.isEmpty() ? QString("8") : nummer);
        QCOMPARE(test::Zeilen("SELECT id, artikel_nr, artikel_einheit_id, artikel_kategorie_id FROM t_artikel WHERE id = 7"),
                 (QList<QList<QVariant>>{{7, gespeichert, 3, 3}}));
    }
};

QTEST_MAIN(TstArtikel)
#include "tst_artikel.moc"
