// Items of a delivery note: added from the article selection or typed as a
// PLU code in the delivery-note window, changed in the item editor. Every
// check reads what the database holds.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "delivery/Artikel_bearbeiten.h"
#include "delivery/Artikelauswahl_.h"
#include "delivery/Lieferschein_.h"
#include "delivery/PLU_ArtikelEingabe.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTimer>
#include <QtTest/QtTest>

using test::BeimDialog;
using test::In;

namespace {

QList<QList<QVariant>> Positionen(int lieferschein = 1)
{
    return test::Zeilen("SELECT la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf FROM t_lieferschein_artikel "
                        "WHERE la_lieferschein_id = ? ORDER BY id",
                        {lieferschein});
}

QWidget* Fokus(QWidget* fenster)
{
    return fenster->focusWidget() ? fenster->focusWidget() : fenster;
}

// Types a key sequence such as "2 Enter 3 Enter", "K4" (numeric keypad) or "Esc".
void Tippen(QWidget* fenster, const QString& folge)
{
    for (const QString& t : folge.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (t == QLatin1String("Enter")) QTest::keyClick(Fokus(fenster), Qt::Key_Return);
        else if (t == QLatin1String("KEnter")) QTest::keyClick(Fokus(fenster), Qt::Key_Enter, Qt::KeypadModifier);
        else if (t == QLatin1String("Esc")) QTest::keyClick(Fokus(fenster), Qt::Key_Escape);
        else if (t.startsWith(QLatin1Char('K')) && t.size() == 2)
            QTest::keyClick(Fokus(fenster), Qt::Key(Qt::Key_0 + t.at(1).digitValue()), Qt::KeypadModifier);
        else QTest::keyClicks(Fokus(fenster), t);
    }
}

// Sends a key event as the platform does: built on the stack, with the key's
// native code. Two calls in a row build their events at the same address.
void Taste(QWidget* w, QEvent::Type art, int taste, Qt::KeyboardModifiers mods, const QString& text = {}, quint32 code = 0)
{
    QKeyEvent e(art, taste, mods, code, 0, 0, text);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class TstPositionen : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    QWidget* Browser() { return App().Lieferschein; }
    QWidget* Auswahl() { return App().Artikelauswahl; }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort, adr_kunde) VALUES (1, 'Alpha', 'Anna Alt', 'Graz', -1)");
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einkauf, "
                  "artikel_einheit_id, artikel_kategorie_id) VALUES "
                  "(1, 100, 'Schraube', 10.0, 20, 4.0, 1, 1), (2, 101, 'Mutter', 2.5, 10, NULL, 1, 1), "
                  "(3, 102, 'Ohne Preis', NULL, 20, 1.0, 1, 1)");
        test::Sql("INSERT INTO t_PLU VALUES (42, 1), (7, 2), (77, 99)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (1, 1, '2024-03-05', 1)");
        test::ProgrammErzeugen();
        static_cast<ui::Formular*>(App().Lieferschein)->Zeige();
        QVERIFY(QTest::qWaitForWindowExposed(Browser()));
    }
    void cleanup()
    {
        const int offen = test::OffeneDialoge();
        test::Meldungen();
        test::ProgrammBeenden();
        m_ordner.reset();
        QCOMPARE(offen, 0);
    }

    // ---- article selection ----

    void hinzufuegen_data()
    {
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("menge");
        QTest::addColumn<double>("anzahl");
        QTest::addColumn<double>("preis");
        QTest::addColumn<double>("einkauf");
        QTest::addColumn<QString>("gesamt");
        QTest::newRow("Menge 1 unverändert") << 0 << "" << 1.0 << 10.0 << 4.0 << "12,00 €";
        QTest::newRow("Menge 3") << 0 << "3" << 3.0 << 10.0 << 4.0 << "36,00 €";
        QTest::newRow("Menge 0 wird angenommen") << 0 << "0" << 0.0 << 10.0 << 4.0 << "0,00 €";
        QTest::newRow("Dezimalkomma") << 0 << "1,5" << 1.5 << 10.0 << 4.0 << "18,00 €";
        QTest::newRow("ohne Einkaufspreis") << 1 << "2" << 2.0 << 2.5 << 0.0 << "5,50 €";
    }
    void hinzufuegen()
    {
        QFETCH(int, zeile);
        QFETCH(QString, menge);
        QFETCH(double, anzahl);
        QFETCH(double, preis);
        QFETCH(double, einkauf);
        QFETCH(QString, gesamt);
        App().DMOrdavo->ADO_artikel->setRecNo(zeile);
        BeimDialog([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TArtikelauswahl"));
            QCOMPARE(In<QLineEdit>(w, "Edit1")->text(), QString("1"));
            if (!menge.isEmpty()) {
                In<QLineEdit>(w, "Edit1")->selectAll();
                QTest::keyClicks(In<QLineEdit>(w, "Edit1"), menge);
            }
            QTest::mouseClick(In<QPushButton>(w, "SchalterArtikelauswahlOK"), Qt::LeftButton);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        const auto p = Positionen();
        QCOMPARE(p.size(), 1);
        QCOMPARE(p[0][0].toInt(), zeile + 1);
        QCOMPARE(p[0][1].toDouble(), anzahl);
        QCOMPARE(p[0][2].toDouble(), preis);
        QCOMPARE(p[0][3].toDouble(), einkauf);
        QVERIFY(!Auswahl()->isVisible());
        QCOMPARE(In<QLabel>(Browser(), "LabelGesamt")->text(), gesamt);
        // The new item is the current one.
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->FieldByName("la_anzahl").asFloat(), anzahl);
    }

    void doppelklickUndEnterFuegenJeEinenHinzu()
    {
        // The same article twice gives two items; each opening adds one.
        BeimDialog([&](QWidget* w) {
            auto* grid = In<ui::DBGrid>(w, "DBGrid1");
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const QRect r = grid->visualRect(grid->model()->index(0, 1));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        BeimDialog([&](QWidget* w) {
            auto* grid = In<ui::DBGrid>(w, "DBGrid1");
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        QCOMPARE(Positionen().size(), 2);
        QCOMPARE(Positionen()[1][0].toInt(), 1);
    }

    void falscheEingabeBleibtZurKorrektur_data()
    {
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("menge");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Menge keine Zahl") << 0 << "drei" << "'drei' ist kein gültiger Gleitkommawert";
        QTest::newRow("Menge mit Einheit") << 0 << "3 Stk" << "'3 Stk' ist kein gültiger Gleitkommawert";
        QTest::newRow("Artikel ohne Preis") << 2 << "1" << "Der Artikel „Ohne Preis“ hat keinen Preis.";
    }
    void falscheEingabeBleibtZurKorrektur()
    {
        QFETCH(int, zeile);
        QFETCH(QString, menge);
        QFETCH(QString, meldung);
        App().DMOrdavo->ADO_artikel->setRecNo(zeile);
        bool offen = false;
        QString textDanach;
        BeimDialog([&](QWidget* w) {
            In<QLineEdit>(w, "Edit1")->selectAll();
            QTest::keyClicks(In<QLineEdit>(w, "Edit1"), menge);
            test::AntworteMeldung("OK");
            QTest::mouseClick(In<QPushButton>(w, "SchalterArtikelauswahlOK"), Qt::LeftButton);
            offen = w->isVisible();
            textDanach = In<QLineEdit>(w, "Edit1")->text();
            QTest::mouseClick(In<QPushButton>(w, "SchalterArtikelauswahlAbbrechen"), Qt::LeftButton);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        QCOMPARE(test::Meldungen(), QStringList{meldung});
        QVERIFY(offen);
        QCOMPARE(textDanach, menge);
        QCOMPARE(Positionen().size(), 0);
    }

    void pfeileStufenDieMengeZwischen0Und100()
    {
        BeimDialog([&](QWidget* w) {
            auto* edit = In<QLineEdit>(w, "Edit1");
            QTest::keyClick(edit, Qt::Key_Up);
            QCOMPARE(edit->text(), QString("2"));
            QTest::mouseClick(In<QToolButton>(w, "UpDown1Runter"), Qt::LeftButton);
            QTest::keyClick(edit, Qt::Key_Down);
            QTest::keyClick(edit, Qt::Key_Down);
            QCOMPARE(edit->text(), QString("0"));
            edit->setText("100");
            QTest::mouseClick(In<QToolButton>(w, "UpDown1Hoch"), Qt::LeftButton);
            QCOMPARE(edit->text(), QString("100"));
            // Typing is not limited by the arrows' range.
            edit->setText("250");
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
        QCOMPARE(Positionen().size(), 0);
    }

    // ---- item editor ----

    void positionBearbeiten()
    {
        test::Sql("INSERT INTO t_lieferschein_artikel VALUES (5, 1, 1, 3, 10.0, 4.0)");
        App().DMOrdavo->ADO_Lieferschein_Artikel->Requery();

        // A price that cannot be read stays in the editor for correction.
        BeimDialog([&](QWidget* w) {
            auto* preis = In<QLineEdit>(w, "DBEdit1");
            preis->selectAll();
            QTest::keyClick(preis, Qt::Key_Delete);
            QCOMPARE(preis->text(), QString(" "));  // the blank rule
            preis->selectAll();
            QTest::keyClicks(preis, "zehn");
            test::AntworteMeldung("OK");
            QTest::keyClick(preis, Qt::Key_Return);
            QVERIFY(w->isVisible());
            QCOMPARE(preis->text(), QString("zehn"));
            preis->selectAll();
            QTest::keyClicks(preis, "12,5");
            auto* menge = In<QLineEdit>(w, "DBEdit2");
            menge->selectAll();
            QTest::keyClicks(menge, "4");
            QTest::keyClick(menge, Qt::Key_Return);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelaendern"), Qt::LeftButton);
        QCOMPARE(test::Meldungen(), QStringList{"'zehn' ist kein gültiger Gleitkommawert"});
        QCOMPARE(Positionen(), (QList<QList<QVariant>>{{qint64(1), 4.0, 12.5, 4.0}}));
        // Only the item changed, not the article.
        QCOMPARE(test::Wert("SELECT artikel_preis FROM t_artikel WHERE id = 1").toDouble(), 10.0);
        QCOMPARE(In<QLabel>(Browser(), "LabelNetto")->text(), QString("50,00 €"));
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->State(), data::Dataset::Zustand::Browse);

        BeimDialog([&](QWidget* w) {
            auto* menge = In<QLineEdit>(w, "DBEdit2");
            menge->selectAll();
            QTest::keyClicks(menge, "9");
            QTest::keyClick(menge, Qt::Key_Escape);
        });
        QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelaendern"), Qt::LeftButton);
        QCOMPARE(Positionen()[0][1].toDouble(), 4.0);
        QCOMPARE(App().DMOrdavo->ADO_Lieferschein_Artikel->State(), data::Dataset::Zustand::Browse);
    }

    // ---- PLU quick entry ----

    void pluTastenfolgen_data()
    {
        QTest::addColumn<QString>("erste");  // typed in the delivery-note window
        QTest::addColumn<QString>("weiter");  // typed in the PLU entry
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QList<QList<QVariant>>>("positionen");
        const QList<QList<QVariant>> schraube1{{qint64(1), 1.0, 10.0, 4.0}};
        QTest::newRow("4 2 Enter Enter") << "4" << "2 Enter Enter" << "" << schraube1;
        QTest::newRow("4 2 Enter 3 Enter") << "4" << "2 Enter 3 Enter" << ""
                                           << QList<QList<QVariant>>{{qint64(1), 3.0, 10.0, 4.0}};
        QTest::newRow("Ziffernblock") << "K4" << "K2 KEnter KEnter" << "" << schraube1;
        QTest::newRow("einstellig, ohne Einkaufspreis") << "7" << "Enter Enter" << ""
                                                        << QList<QList<QVariant>>{{qint64(2), 1.0, 2.5, 0.0}};
        QTest::newRow("unbekannter Code") << "9" << "9 Enter Enter" << "Der PLU 99 ist kein Artikel zugeordnet"
                                          << QList<QList<QVariant>>{};
        QTest::newRow("Artikel gelöscht") << "7" << "7 Enter Enter"
                                          << "Der Artikel der PLU 77 existiert nicht mehr. Es wurde nichts hinzugefügt."
                                          << QList<QList<QVariant>>{};
        QTest::newRow("Esc") << "4" << "2 Esc" << "" << QList<QList<QVariant>>{};
    }
    void pluTastenfolgen()
    {
        QFETCH(QString, erste);
        QFETCH(QString, weiter);
        QFETCH(QString, meldung);
        QFETCH(QList<QList<QVariant>>, positionen);
        QString plu, menge;
        bool cursorAmEnde = false;
        BeimDialog([&](QWidget* w) {
            QCOMPARE(w->objectName(), QString("TPLUArtikelEingabe"));
            auto* edit = In<QLineEdit>(w, "Edit_PLU");
            plu = edit->text();
            menge = In<QLineEdit>(w, "Edit_Menge")->text();
            cursorAmEnde = w->focusWidget() == edit && edit->cursorPosition() == 1 && !edit->hasSelectedText();
            if (!meldung.isEmpty()) test::AntworteMeldung("OK");
            Tippen(w, weiter);
        });
        QWidget* grid = In<QWidget>(Browser(), "DBGrid1");
        grid->setFocus();
        Tippen(grid, erste);
        QCOMPARE(plu, erste.right(1));
        QCOMPARE(menge, QString("1"));
        QVERIFY(cursorAmEnde);
        QCOMPARE(test::Meldungen(), meldung.isEmpty() ? QStringList() : QStringList{meldung});
        QCOMPARE(Positionen(), positionen);
        QVERIFY(!App().PLUArtikelEingabe->isVisible());
        double netto = 0;
        for (const auto& p : positionen) netto += p[1].toDouble() * p[2].toDouble();
        QCOMPARE(In<QLabel>(Browser(), "LabelNetto")->text(), data::Waehrung(netto));
        if (!positionen.isEmpty())
            QCOMPARE(App().DMOrdavo->ADO_artikel->FieldByName("id").asInteger(), positionen[0][0].toLongLong());
    }

    // A digit opens the PLU entry with Shift, Ctrl or Alt held, also while
    // another key is still down. With Shift, Qt reports the layout's symbol
    // on the digit key; the key itself (its X key code) tells the digit.
    void pluZifferMitGehaltenerTaste_data()
    {
        QTest::addColumn<int>("gehalten");  // pressed before and not released
        QTest::addColumn<int>("taste");
        QTest::addColumn<int>("modifikatoren");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tastencode");  // X11 key code of the key, 0: none
        QTest::addColumn<QString>("ziffer");
        const int shift = Qt::ShiftModifier, strg = Qt::ControlModifier, alt = Qt::AltModifier;
        QTest::newRow("Umschalt+1, deutsch und US: !") << int(Qt::Key_Shift) << int(Qt::Key_Exclam) << shift << "!" << 10 << "1";
        QTest::newRow("Umschalt+7, deutsch: /") << int(Qt::Key_Shift) << int(Qt::Key_Slash) << shift << "/" << 16 << "7";
        QTest::newRow("Umschalt+7, US: &") << int(Qt::Key_Shift) << int(Qt::Key_Ampersand) << shift << "&" << 16 << "7";
        QTest::newRow("Umschalt+0, deutsch: =") << int(Qt::Key_Shift) << int(Qt::Key_Equal) << shift << "=" << 19 << "0";
        QTest::newRow("Strg+3") << int(Qt::Key_Control) << int(Qt::Key_3) << strg << "" << 12 << "3";
        QTest::newRow("Alt+5") << int(Qt::Key_Alt) << int(Qt::Key_5) << alt << "" << 14 << "5";
        QTest::newRow("Buchstabe gehalten, dann 4") << int(Qt::Key_A) << int(Qt::Key_4) << 0 << "4" << 13 << "4";
        QTest::newRow("Ziffernblock 8 mit Umschalt-Sperre") << int(Qt::Key_Shift) << int(Qt::Key_8) << int(shift | Qt::KeypadModifier)
                                                            << "8" << 0 << "8";
    }
    void pluZifferMitGehaltenerTaste()
    {
        QFETCH(int, gehalten);
        QFETCH(int, taste);
        QFETCH(int, modifikatoren);
        QFETCH(QString, text);
        QFETCH(int, tastencode);
        QFETCH(QString, ziffer);
        QString plu;
        BeimDialog([&](QWidget* w) {
            plu = In<QLineEdit>(w, "Edit_PLU")->text();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QWidget* grid = In<QWidget>(Browser(), "DBGrid1");
        grid->setFocus();
        const auto mods = Qt::KeyboardModifiers(modifikatoren);
        Taste(grid, QEvent::KeyPress, gehalten, mods & ~Qt::KeypadModifier);
        Taste(grid, QEvent::KeyPress, taste, mods, text, quint32(tastencode));
        QCOMPARE(plu, ziffer);
        Taste(grid, QEvent::KeyRelease, taste, mods, text, quint32(tastencode));
        Taste(grid, QEvent::KeyRelease, gehalten, Qt::NoModifier);
        QVERIFY(!App().PLUArtikelEingabe->isVisible());
        QCOMPARE(Positionen(), (QList<QList<QVariant>>{}));
    }

    void pluFalscheEingabeBleibtZurKorrektur_data()
    {
        QTest::addColumn<QString>("weiter");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Menge keine Zahl") << "2 Enter x Enter" << "'x' ist kein gültiger Gleitkommawert";
        QTest::newRow("Code keine Zahl") << "a Enter Enter" << "'4a' ist kein gültiger Integerwert";
    }
    void pluFalscheEingabeBleibtZurKorrektur()
    {
        QFETCH(QString, weiter);
        QFETCH(QString, meldung);
        bool offen = false;
        BeimDialog([&](QWidget* w) {
            test::AntworteMeldung("OK");
            Tippen(w, weiter);
            offen = w->isVisible();
            // Corrected, the same window adds the item.
            In<QLineEdit>(w, "Edit_PLU")->setText("42");
            In<QLineEdit>(w, "Edit_Menge")->setText("2");
            QTest::mouseClick(In<QPushButton>(w, "BitBtn1"), Qt::LeftButton);
        });
        QTest::keyClick(Browser(), Qt::Key_4);
        QCOMPARE(test::Meldungen(), QStringList{meldung});
        QVERIFY(offen);
        QCOMPARE(Positionen(), (QList<QList<QVariant>>{{qint64(1), 2.0, 10.0, 4.0}}));
    }
};

QTEST_MAIN(TstPositionen)
#include "tst_Positionen.moc"
