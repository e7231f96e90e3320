// The delivery-note search: the address list narrows with every key released
// in one of the five fields, the notes of the selected address follow, and
// "Gehe zu" makes the chosen note current.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferschein_suchen.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QtTest>

namespace {

// Types like a user, key by key (QTest::keyClicks knows only ASCII).
void Tippe(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

QStringList Firmen()
{
    data::Dataset* a = App().DMOrdavo->ADO_suchen_Adressen;
    QStringList f;
    if (!a->Active()) return {QStringLiteral("<geschlossen>")};
    for (int i = 0; i < a->RecordCount(); ++i) f << a->WertAn(i, a->Spaltenindex(QStringLiteral("adr_firma"))).toString();
    f.sort();
    return f;
}

QList<qint64> Lieferscheinnummern()
{
    data::Dataset* l = App().DMOrdavo->ADO_suchen_Lieferschein;
    QList<qint64> n;
    for (int i = 0; i < l->RecordCount(); ++i) n << l->WertAn(i, l->Spaltenindex(QStringLiteral("lief_nr"))).toLongLong();
    std::sort(n.begin(), n.end());
    return n;
}

}  // namespace

class TstLieferscheinSuchen : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TLieferscheinsuche* fenster = nullptr;

    QLineEdit* Feld(const QString& name) { return fenster->findChild<QLineEdit*>(name); }
    int AktuelleLieferscheinId()
    {
        return int(App().DMOrdavo->ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger());
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort) VALUES "
                  "(1, 'Müller GmbH', 'Hans Müller', 'Hauptstraße 1', '1010', 'Wien'),"
                  "(2, 'Maier & Co', 'Eva Maier', 'Ringweg 5', '4020', 'Linz'),"
                  "(3, 'O''Brien Ltd', 'Sean O''Brien', 'Dock 3', '8010', 'graz'),"
                  "(4, 'Ärzte Zentrum', 'Dr. Öz', 'Übergasse 2', '1100', 'Mödling'),"
                  "(5, '100% Bio', 'Anna Berger', 'Feldweg 9', '5020', 'münchen')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES "
                  "(1, 101, '2024-03-01', 1), (2, 102, '2024-03-02', 1), (3, 103, '2024-03-03', 2),"
                  "(4, 104, '2024-03-04', 3), (5, 105, '2024-03-05', 5)");
        test::ProgrammErzeugen();
        fenster = App().Lieferscheinsuche;
        QVERIFY(fenster);
        // As the delivery-note window does before showing the search.
        App().DMOrdavo->ADO_suchen_Lieferschein->Open();
        App().DMOrdavo->ADO_suchen_Adressen->Open();
        fenster->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(fenster));
    }
    void cleanup()
    {
        fenster = nullptr;
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void suchtMitDemPraefixDesFeldes_data()
    {
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("firmen");
        QTest::newRow("Firma, Groß und klein") << "sucheFirma" << "m" << QStringList{"Maier & Co", "Müller GmbH"};
        QTest::newRow("Firma, Umlaut groß getippt") << "sucheFirma" << "MÜ" << QStringList{"Müller GmbH"};
        QTest::newRow("Firma, Umlaut am Anfang") << "sucheFirma" << "ä" << QStringList{"Ärzte Zentrum"};
        QTest::newRow("nur Präfix, nicht Teilwort") << "sucheFirma" << "GmbH" << QStringList{};
        QTest::newRow("Name") << "sucheName" << "eva" << QStringList{"Maier & Co"};
        QTest::newRow("Adresse mit Umlaut") << "sucheAdresse" << "üBER" << QStringList{"Ärzte Zentrum"};
        QTest::newRow("PLZ") << "suchePLZ" << "1" << QStringList{"Müller GmbH", "Ärzte Zentrum"};
        QTest::newRow("Ort M findet m und M") << "sucheOrt" << "M" << QStringList{"100% Bio", "Ärzte Zentrum"};
        QTest::newRow("einfaches Anführungszeichen") << "sucheName" << "Sean O'" << QStringList{"O'Brien Ltd"};
        QTest::newRow("Prozent wirkt als Muster") << "sucheFirma" << "%gmbh" << QStringList{"Müller GmbH"};
        QTest::newRow("Unterstrich wirkt als Muster") << "sucheFirma" << "_aier" << QStringList{"Maier & Co"};
        QTest::newRow("getippter Text ändert die Abfrage nicht") << "sucheFirma" << "x' or '1'='1" << QStringList{};
        QTest::newRow("nichts gefunden") << "sucheOrt" << "Xanten" << QStringList{};
    }
    void suchtMitDemPraefixDesFeldes()
    {
        QFETCH(QString, feld);
        QFETCH(QString, text);
        QFETCH(QStringList, firmen);
        Tippe(Feld(feld), text);
        QCOMPARE(Firmen(), firmen);
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(test::Wert("SELECT count(*) FROM t_adressen").toInt(), 5);

        // Deleting the text again lists every address.
        for (int i = 0; i < text.size(); ++i) QTest::keyClick(Feld(feld), Qt::Key_Backspace);
        QCOMPARE(Firmen().size(), 5);
    }

    // Texts stored with the blank of an emptied field in front (written so
    // by earlier versions) are found by what follows the blank.
    void findetTexteMitLeerzeichenDavor()
    {
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort) VALUES (6, ' Hotel Seeblick KG', ' ', ' Wien')");
        Tippe(Feld("sucheFirma"), "hotel");
        QCOMPARE(Firmen(), QStringList{" Hotel Seeblick KG"});
        Tippe(Feld("sucheOrt"), "Wi");
        QCOMPARE(Firmen(), (QStringList{" Hotel Seeblick KG", "Müller GmbH"}));
    }

    void nurDasFeldDerLetztenTasteZaehlt()
    {
        Tippe(Feld("sucheFirma"), "Mü");
        QCOMPARE(Firmen(), QStringList{"Müller GmbH"});
        Tippe(Feld("sucheName"), "E");
        QCOMPARE(Firmen(), QStringList{"Maier & Co"});
        QCOMPARE(Feld("sucheFirma")->text(), QString("Mü"));

        // Back in the company field, a navigation key searches by it again.
        QTest::keyClick(Feld("sucheFirma"), Qt::Key_End);
        QCOMPARE(Firmen(), QStringList{"Müller GmbH"});

        // Tab from the filled company field into the (emptied) name field: the
        // release of Tab there lists every address.
        Feld("sucheName")->clear();
        fenster->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fenster));
        Feld("sucheFirma")->setFocus();
        QTest::keyPress(Feld("sucheFirma"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Feld("sucheName"));
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(Firmen().size(), 5);
    }

    void lieferscheineFolgenDerGewaehltenAdresse()
    {
        Tippe(Feld("sucheFirma"), "Mü");
        QCOMPARE(Lieferscheinnummern(), (QList<qint64>{101, 102}));

        Tippe(Feld("sucheOrt"), "Mö");  // an address without notes
        QCOMPARE(Firmen(), QStringList{"Ärzte Zentrum"});
        QCOMPARE(Lieferscheinnummern(), QList<qint64>{});

        // Choosing another address in the grid lists its notes.
        Feld("sucheOrt")->clear();
        QTest::keyClick(Feld("sucheOrt"), Qt::Key_Backspace);
        auto* grid = fenster->findChild<ui::DBGrid*>("DBGrid1");
        data::Dataset* adressen = App().DMOrdavo->ADO_suchen_Adressen;
        const int zeile = [&] {
            for (int i = 0; i < adressen->RecordCount(); ++i)
                if (adressen->WertAn(i, adressen->Spaltenindex("id")).toInt() == 2) return i;
            return -1;
        }();
        grid->setCurrentIndex(grid->model()->index(zeile, 0));
        QCOMPARE(adressen->FieldByName("id").asInteger(), 2);
        QCOMPARE(Lieferscheinnummern(), QList<qint64>{103});
    }

    void geheZuMachtDenLieferscheinAktuell_data()
    {
        QTest::addColumn<QString>("weg");
        QTest::newRow("Knopf") << "knopf";
        QTest::newRow("Doppelklick") << "doppelklick";
    }
    void geheZuMachtDenLieferscheinAktuell()
    {
        QFETCH(QString, weg);
        fenster->hide();
        data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
        QCOMPARE(AktuelleLieferscheinId(), 1);
        bool gesehen = false;
        test::BeimNaechstenDialog([&](QWidget* w) {
            gesehen = w == fenster;
            Tippe(Feld("sucheFirma"), "mai");
            if (weg == "knopf") {
                test::Klicke(w, "SchalterLiefsucheOK");
            } else {
                auto* grid = fenster->findChild<ui::DBGrid*>("DBGrid2");
                const QRect r = grid->visualRect(grid->model()->index(0, 0));
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
            }
        });
        QVERIFY(fenster->ZeigeModal());
        QVERIFY(gesehen);
        QVERIFY(!fenster->isVisible());
        QCOMPARE(AktuelleLieferscheinId(), 3);
        QCOMPARE(lief->FieldByName("lief_nr").asInteger(), 103);
        QCOMPARE(lief->State(), data::Dataset::Zustand::Browse);
        // The items follow the new current note.
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->RecordCount(), 0);

        // The next opening shows the last search with its text.
        fenster->Zeige();
        QCOMPARE(Feld("sucheFirma")->text(), QString("mai"));
        QCOMPARE(Firmen(), QStringList{"Maier & Co"});
    }

    void abbrechenUndLeereListeBewegenNichts_data()
    {
        QTest::addColumn<QString>("suche");
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<bool>("ok");
        QTest::newRow("Abbrechen") << "mai" << "SchalterLiefsucheAbbrechen" << false;
        QTest::newRow("Gehe zu ohne Lieferschein") << "ärz" << "SchalterLiefsucheOK" << true;
        QTest::newRow("Gehe zu ohne Adresse") << "gibtsnicht" << "SchalterLiefsucheOK" << true;
    }
    void abbrechenUndLeereListeBewegenNichts()
    {
        QFETCH(QString, suche);
        QFETCH(QString, knopf);
        QFETCH(bool, ok);
        fenster->hide();
        App().DMOrdavo->ADO_Lieferschein->Locate("t_lieferschein.id", 2);
        test::BeimNaechstenDialog([&](QWidget* w) {
            Tippe(Feld("sucheFirma"), suche);
            test::Klicke(w, knopf);
        });
        QCOMPARE(fenster->ZeigeModal(), ok);
        QCOMPARE(test::OffeneDialoge(), 0);
        QVERIFY(!fenster->isVisible());
        QCOMPARE(AktuelleLieferscheinId(), 2);
    }
};

QTEST_MAIN(TstLieferscheinSuchen)
#include "tst_Lieferschein_suchen.moc"
