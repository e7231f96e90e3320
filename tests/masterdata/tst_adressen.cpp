// Addresses: the list with its delete rules and the editor with its two
// forms, the customer and delivery-address rules and the blank rule.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/adressen_.h"
#include "masterdata/adressen_edit.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest/QtTest>

using namespace bedienen;
using data::Dataset;

class TstAdressen : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Liste() { return App().Adressen; }
    QWidget* Editor() { return App().Adressen_bearbeiten; }
    Dataset* Adressen() { return App().DMOrdavo->ADO_t_adressen; }

    void ImEditor(std::function<void(QWidget*)> schritte)
    {
        test::BeimNaechstenDialog([schritte](QWidget* w) { QTimer::singleShot(0, w, [w, schritte] { schritte(w); }); });
    }
    static bool Haken(QWidget* w, const char* name) { return Teil<QCheckBox>(w, name)->isChecked(); }
    // What the editor shows of its form.
    static QString Form(QWidget* w)
    {
        return QStringLiteral("%1|%2|Kunde %3|Lieferant %4|Lieferadresse %5 %6|Panel2 %7|%8")
            .arg(w->windowTitle(), Teil<QLabel>(w, Sichtbar(w, "StaticText2") ? "StaticText2" : "StaticText1")->text())
            .arg(Haken(w, "DBCheckBox2"))
            .arg(Haken(w, "DBCheckBox1"))
            .arg(Haken(w, "DBCheckBox3"))
            .arg(Sichtbar(w, "DBCheckBox3") ? "sichtbar" : "versteckt")
            .arg(Sichtbar(w, "Panel2"))
            .arg(w->height());
    }

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void tabfolge()
    {
        test::ProgrammErzeugen();
        QCOMPARE(Tabfolge(Teil(Editor(), "DBEdit1"), 25),
                 (QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit9",
                              "DBEdit20", "DBCheckBox2", "DBCheckBox1", "DBCheckBox3", "DBEdit11", "DBEdit12", "DBEdit13",
                              "DBEdit14", "DBEdit15", "DBEdit16", "DBEdit17", "DBEdit18", "DBEdit19", "SchalterAdresseneditOK",
                              "SchalterAdresseneditAbbrechen"}));
        QVERIFY(Teil<QPushButton>(Editor(), "SchalterAdresseneditOK")->isDefault());
        QCOMPARE(Teil<QLabel>(Editor(), "Label20")->buddy(), Teil(Editor(), "DBEdit20"));
    }

    void neueAdresse()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'A'), (41, 'B')");
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        QString form, id;
        QStringList leer;
        ImEditor([&](QWidget* w) {
            form = Form(w);
            id = Teil<QLineEdit>(w, "DB_ID")->text();
            for (const char* e : {"DBEdit1", "DBEdit2", "DBEdit6", "DBEdit20", "DBEdit11"}) leer << Teil<QLineEdit>(w, e)->text();
            Tippe(w, "DBEdit1", "Müller GmbH");
            Tippe(w, "DBEdit2", "Hans Müller");
            Klick(w, "SchalterAdresseneditOK");
        });
        Klick(Liste(), "SchalterAdressenstammNeu");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(form, QString("Neue Adresse|Neue Adresse|Kunde 1|Lieferant 0|Lieferadresse 0 sichtbar|Panel2 0|350"));
        QCOMPARE(id, QString("42"));
        QCOMPARE(leer, QStringList(5, " "));
        // A customer, no supplier, no delivery address; untouched columns stay without value.
        QCOMPARE(test::Zeilen("SELECT id, adr_firma, adr_ganzername, adr_kunde, adr_lieferant, adr_hatlieferadr, adr_tel, "
                              "adr_uidnr, adr_lief_firma FROM t_adressen WHERE id = 42"),
                 (QList<QList<QVariant>>{{42, "Müller GmbH", "Hans Müller", -1, 0, 0, QVariant(), QVariant(), QVariant()}}));
        QCOMPARE(Adressen()->FieldByName("id").asInteger(), 42);
        QCOMPARE(Adressen()->State(), Dataset::Zustand::Browse);
        QCOMPARE(Teil<QLabel>(Liste(), "DBText1")->text(), QString("Müller GmbH"));

        ImEditor([](QWidget* w) {
            Tippe(w, "DBEdit1", "verworfen");
            Klick(w, "SchalterAdresseneditAbbrechen");
        });
        Klick(Liste(), "SchalterAdressenstammNeu");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(test::Wert("SELECT count(*) FROM t_adressen"), QVariant(3));
    }

    // The rules as the user ticks and unticks; the typed delivery address stays.
    void kundenUndLieferadressregel()
    {
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        QStringList formen;
        ImEditor([&](QWidget* w) {
            Klick(w, "DBCheckBox3");
            formen << Form(w);
            Tippe(w, "DBEdit11", "Lager Nord");
            Klick(w, "DBCheckBox3");
            formen << Form(w);
            Klick(w, "DBCheckBox3");
            Klick(w, "DBCheckBox2");  // no customer: the box goes, the panel stays
            formen << Form(w);
            // Coming back to the dialog does not tick "Kunde" again.
            QEvent aktiv(QEvent::WindowActivate);
            QApplication::sendEvent(w, &aktiv);
            formen << Form(w);
            Klick(w, "DBCheckBox1");
            Klick(w, "SchalterAdresseneditOK");
        });
        Klick(Liste(), "SchalterAdressenstammNeu");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(formen, (QStringList{
                             "Neue Adresse|Neue Adresse|Kunde 1|Lieferant 0|Lieferadresse 1 sichtbar|Panel2 1|584",
                             "Neue Adresse|Neue Adresse|Kunde 1|Lieferant 0|Lieferadresse 0 sichtbar|Panel2 0|350",
                             "Neue Adresse|Neue Adresse|Kunde 0|Lieferant 0|Lieferadresse 1 versteckt|Panel2 1|584",
                             "Neue Adresse|Neue Adresse|Kunde 0|Lieferant 0|Lieferadresse 1 versteckt|Panel2 1|584",
                         }));
        QCOMPARE(test::Zeilen("SELECT adr_kunde, adr_lieferant, adr_hatlieferadr, adr_lief_firma FROM t_adressen"),
                 (QList<QList<QVariant>>{{0, -1, -1, "Lager Nord"}}));
    }

    void bearbeiten()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_kunde, adr_lieferant, adr_hatlieferadr, adr_lief_ort) "
                  "VALUES (5, 'Alt', 'Anna', -1, 0, -1, 'Graz'), (6, 'Zwei', 'Zora', 0, -1, 0, 'Linz')");
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        // The delivery panel shows the columns whatever the flag holds.
        Adressen()->Locate("id", 6);
        QCOMPARE(Teil<QLabel>(Liste(), "DBText15")->text(), QString("Linz"));
        QVERIFY(Teil<QCheckBox>(Liste(), "DBCheckBox2")->isChecked());  // supplier
        Adressen()->Locate("id", 5);
        QString form, id;
        ImEditor([&](QWidget* w) {
            form = Form(w);
            id = Teil<QLineEdit>(w, "DB_ID")->text();
            Tippe(w, "DBEdit2", "");
            QTest::keyClicks(Teil(w, "DBEdit1"), "-Neu");
            Klick(w, "SchalterAdresseneditOK");
        });
        Klick(Liste(), "SchalterAendern");
        QTRY_VERIFY(!Editor()->isVisible());
        QCOMPARE(form, QString("Adresse bearbeiten|Adressen bearbeiten|Kunde 1|Lieferant 0|Lieferadresse 1 sichtbar|Panel2 1|584"));
        QCOMPARE(id, QString("5"));
        QCOMPARE(test::Zeilen("SELECT id, adr_firma, adr_ganzername, adr_lief_ort FROM t_adressen WHERE id = 5"),
                 (QList<QList<QVariant>>{{5, "Alt-Neu", " ", "Graz"}}));
        QCOMPARE(Adressen()->FieldByName("id").asInteger(), 5);

        // Closed and shown again: the table as stored, first row current.
        test::Sql("UPDATE t_adressen SET adr_firma = 'Anders' WHERE id = 5");
        Adressen()->Locate("id", 6);
        Klick(Liste(), "SchalterSchliessen");
        QVERIFY(!Liste()->isVisible());
        App().Adressen->Zeige();
        QCOMPARE(Adressen()->RecNo(), 0);
        QCOMPARE(Teil<QLabel>(Liste(), "DBText1")->text(), QString("Anders"));
    }

    // A long value is shortened in its label (whole as tooltip) and never
    // widens the window.
    void langeWerteVerbreiternDasFensterNicht()
    {
        const QString lang = QString(250, QLatin1Char('W')) + "Ende.";  // 255 characters
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ort) VALUES (1, 'Kurz', 'Graz')");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_ort, adr_email, adr_lief_firma, "
                  "adr_lief_ort) VALUES (2, ?, ?, ?, ?, ?, ?, ?)",
                  {lang, lang, lang, lang, lang, lang, lang});
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(Liste()));
        const QSize vorher = Liste()->size();
        QVERIFY(Adressen()->Locate("id", 2));
        QCoreApplication::sendPostedEvents();  // the layouts' requests
        auto* firma = Teil<QLabel>(Liste(), "DBText1");
        QCOMPARE(firma->text(), lang);
        QCOMPARE(firma->toolTip(), lang);
        QCOMPARE(Liste()->size(), vorher);
        QVERIFY(Liste()->screen()->availableGeometry().contains(Liste()->frameGeometry()));
        QVERIFY(Adressen()->Locate("id", 1));
        QCOMPARE(firma->toolTip(), QString());
    }

    void loeschen_data()
    {
        QTest::addColumn<QStringList>("antworten");
        QTest::addColumn<int>("adressen");
        QTest::addColumn<int>("lieferscheine");
        QTest::addColumn<int>("positionen");
        QTest::newRow("unbenutzt") << QStringList{"OK"} << 2 << 1 << 1;
        QTest::newRow("unbenutzt, Abbrechen") << QStringList{"Abbrechen"} << 3 << 1 << 1;
        QTest::newRow("benutzt, Abbrechen") << QStringList{"OK", "OK", "Abbrechen"} << 3 << 1 << 1;
        QTest::newRow("benutzt, incl. aller Lieferscheine") << QStringList{"OK", "OK", "OK"} << 2 << 0 << 0;
    }
    void loeschen()
    {
        QFETCH(QStringList, antworten);
        const bool benutzt = antworten.size() == 3;
        test::Sql("INSERT INTO t_adressen (id, adr_firma) VALUES (1, 'Kunde'), (2, 'Frei'), (3, 'Dritter')");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'W')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_einheit_id, artikel_kategorie_id) VALUES (1, 1, 'A', 1, 1)");
        // An open invoice: invoiced, not paid.
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum) "
                  "VALUES (1, 1, '2024-01-02', 1, '2024-01-03')");
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (1, 1, 1, 2, 5.0, 3.0)");
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        Adressen()->Locate("id", benutzt ? 1 : 2);
        for (const QString& a : antworten) test::AntworteMeldung(a);
        Klick(Liste(), "SchalterLoeschen");
        QCOMPARE(test::OffeneDialoge(), 0);
        QStringList erwartet{"Wollen Sie die aktuelle Adresse wirklich löschen?"};
        if (benutzt)
            erwartet << "Die Adresse wird bereits verwendet und kann nicht gelöscht werden."
                     << "Wollen sie die Adresse incl. aller Lieferscheine etc. wirklich löschen?";
        QCOMPARE(test::Meldungen(), erwartet);
        QTEST(test::Wert("SELECT count(*) FROM t_adressen").toInt(), "adressen");
        QTEST(test::Wert("SELECT count(*) FROM t_lieferschein").toInt(), "lieferscheine");
        QTEST(test::Wert("SELECT count(*) FROM t_lieferschein_artikel").toInt(), "positionen");
        QFETCH(int, lieferscheine);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein->RecordCount(), lieferscheine);
        QCOMPARE(App().DMOrdavo->ADO_Nochnichtbezahlt->RecordCount(), lieferscheine);
        QCOMPARE(Adressen()->RecordCount(), test::Wert("SELECT count(*) FROM t_adressen").toInt());
    }

    void leereTabelle()
    {
        test::ProgrammErzeugen();
        App().Adressen->Zeige();
        Klick(Liste(), "SchalterLoeschen");
        QCOMPARE(test::Meldungen(), QStringList());
        QString form;
        ImEditor([&](QWidget* w) {
            form = Form(w);
            Klick(w, "SchalterAdresseneditOK");
        });
        Klick(Liste(), "SchalterAendern");
        QTRY_VERIFY(!Editor()->isVisible());
        QVERIFY(form.startsWith("Neue Adresse|Neue Adresse|Kunde 1"));
        QCOMPARE(test::Zeilen("SELECT id, adr_kunde FROM t_adressen"), (QList<QList<QVariant>>{{1, -1}}));
    }
};

QTEST_MAIN(TstAdressen)
#include "tst_adressen.moc"
