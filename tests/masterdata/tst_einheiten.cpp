// Units and categories: the same list and editor on two tables.
#include "Bedienen.h"
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Einheit_editieren.h"
#include "masterdata/Kategorie_.h"
#include "masterdata/Kategorie_editieren.h"
#include "masterdata/Stammdatenfenster.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QtTest/QtTest>

using namespace bedienen;

namespace {

// What differs between the two pairs of windows.
struct Art {
    QString tabelle, spalte, name, titelNeu, titelAendern, frage, hinweis;
    const char* nameEdit;
    const char* labelNeu;
    QString listentitel, ueberschrift;
    ui::Formular* liste() const { return tabelle == "t_einheit" ? static_cast<ui::Formular*>(Stamm().einheit) : Stamm().Kategorie; }
    ui::Formular* editor() const
    {
        return tabelle == "t_einheit" ? static_cast<ui::Formular*>(Stamm().einheit_bearbeiten) : Stamm().Kategorie_bearbeiten;
    }
    data::Dataset* ds() const { return tabelle == "t_einheit" ? App().DMOrdavo->ADO_t_Einheit : App().DMOrdavo->ADO_t_Kategorie; }
};

const Art kEinheit{"t_einheit", "einheit", "Einheit", "Neue Einheit", "Einheit bearbeiten",
                   "Wollen Sie die aktuelle Einheit wirklich löschen?",
                   "Die Einheit wird bereits verwendet und kann nicht gelöscht werden.", "DBEdit1", "Label4", "einheit", "Einheiten"};
const Art kKategorie{"t_kategorie", "kategorie", "Kategorie", "Neue Kategorie", "Kategorie bearbeiten",
                     "Wollen Sie die aktuelle Kategorie wirklich löschen?",
                     "Die Kategorie wird bereits verwendet und kann nicht gelöscht werden.", "DBEdit2", "Label3", "Kategorie", "Kategorie"};

}  // namespace

Q_DECLARE_METATYPE(Art)

class TstEinheiten : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;

    void beideArten()
    {
        QTest::addColumn<Art>("art");
        QTest::newRow("Einheit") << kEinheit;
        QTest::newRow("Kategorie") << kKategorie;
    }
    // The editor as it opened: its titles, and the name typed (or nothing).
    struct Eindruck {
        QString fenstertitel;
        bool titelNeu = false, titelAendern = false;
        QString name;
    };
    void ImEditor(const Art& art, Eindruck* e, const QString& tippen, const char* knopf)
    {
        test::BeimNaechstenDialog([=](QWidget* w) {
            e->fenstertitel = w->windowTitle();
            e->titelNeu = Sichtbar(w, art.labelNeu);
            e->titelAendern = Sichtbar(w, "Label2");
            e->name = Teil<QLineEdit>(w, art.nameEdit)->text();
            if (!tippen.isNull()) Tippe(w, art.nameEdit, tippen);
            Klick(w, knopf);
        });
    }
    QList<QList<QVariant>> Tabelle(const Art& art)
    {
        return test::Zeilen(QStringLiteral("SELECT id, %1 FROM %2 ORDER BY id").arg(art.spalte, art.tabelle));
    }

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        test::ProgrammBeenden();
        m_ordner.reset();
    }

    void fensterUndSpalte_data() { beideArten(); }
    void fensterUndSpalte()
    {
        QFETCH(Art, art);
        test::ProgrammErzeugen();
        ui::Formular* l = art.liste();
        QCOMPARE(l->windowTitle(), art.listentitel);
        QCOMPARE(Teil<QLabel>(l, "Label_Titel")->text(), art.ueberschrift);
        auto* grid = Teil<ui::DBGrid>(l, "DBGrid1");
        QCOMPARE(grid->model()->columnCount(), 1);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), art.spalte);
        QVERIFY(Teil<QPushButton>(l, "SchalterEinheitNeu")->isDefault());
        QCOMPARE(Teil<QLabel>(art.editor(), "Label1")->text(), art.name + ":");
        QCOMPARE(Teil<QLabel>(art.editor(), "Label1")->buddy(), Teil(art.editor(), art.nameEdit));
    }

    // New: next id, new form, posted without re-reading; change: change form,
    // re-read and current again; Abbrechen leaves nothing; emptied name is " ".
    void neuAendernAbbrechen_data() { beideArten(); }
    void neuAendernAbbrechen()
    {
        QFETCH(Art, art);
        test::Sql(QStringLiteral("INSERT INTO %1 VALUES (41, 'B'), (7, 'A')").arg(art.tabelle));
        test::ProgrammErzeugen();
        ui::Formular* l = art.liste();
        l->Zeige();
        data::Dataset* ds = art.ds();

        Eindruck e;
        ImEditor(art, &e, "Stk", "SchalterEinheiteditOK");
        Klick(l, "SchalterEinheitNeu");
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(e.fenstertitel, art.titelNeu);
        QVERIFY(e.titelNeu && !e.titelAendern);
        QCOMPARE(e.name, QString(" "));
        QCOMPARE(Tabelle(art), (QList<QList<QVariant>>{{7, "A"}, {41, "B"}, {42, "Stk"}}));
        // Not re-read: the new row stands where it was inserted and is current.
        QCOMPARE(ds->FieldByName("id").asInteger(), 42);
        QCOMPARE(ds->State(), data::Dataset::Zustand::Browse);

        ImEditor(art, &e, "Stück", "SchalterEinheiteditOK");
        Klick(l, "SchalterEinheitAendern");
        QCOMPARE(e.fenstertitel, art.titelAendern);
        QVERIFY(!e.titelNeu && e.titelAendern);
        QCOMPARE(e.name, QString("Stk"));
        QCOMPARE(test::Wert(QStringLiteral("SELECT %1 FROM %2 WHERE id = 42").arg(art.spalte, art.tabelle)), QVariant("Stück"));
        QCOMPARE(ds->FieldByName("id").asInteger(), 42);

        // Emptied: one blank is stored.
        ImEditor(art, &e, "", "SchalterEinheiteditOK");
        Klick(l, "SchalterEinheitAendern");
        QCOMPARE(test::Wert(QStringLiteral("SELECT %1 FROM %2 WHERE id = 42").arg(art.spalte, art.tabelle)), QVariant(" "));

        ImEditor(art, &e, "Weg", "SchalterEinheiteditAbbrechen");
        Klick(l, "SchalterEinheitNeu");
        ImEditor(art, &e, "Weg", "SchalterEinheiteditAbbrechen");
        Klick(l, "SchalterEinheitAendern");
        QCOMPARE(Tabelle(art), (QList<QList<QVariant>>{{7, "A"}, {41, "B"}, {42, " "}}));
        QCOMPARE(ds->State(), data::Dataset::Zustand::Browse);
    }

    void loeschen_data() { beideArten(); }
    void loeschen()
    {
        QFETCH(Art, art);
        test::Sql(QStringLiteral("INSERT INTO %1 VALUES (1, 'benutzt'), (2, 'frei')").arg(art.tabelle));
        test::Sql(QStringLiteral("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_%1_id) VALUES (1, 1, 'A', 1)").arg(art.spalte));
        test::ProgrammErzeugen();
        ui::Formular* l = art.liste();
        l->Zeige();
        data::Dataset* ds = art.ds();

        // In use: question, then the notice; nothing goes.
        test::AntworteMeldung("OK");
        test::AntworteMeldung("OK");
        Klick(l, "SchalterEinheitLoeschen");
        QCOMPARE(test::Meldungen(), (QStringList{art.frage, art.hinweis}));
        QCOMPARE(Tabelle(art).size(), 2);

        ds->Locate("id", 2);
        test::AntworteMeldung("Abbrechen");
        Klick(l, "SchalterEinheitLoeschen");
        QCOMPARE(test::Meldungen(), QStringList{art.frage});
        QCOMPARE(Tabelle(art).size(), 2);

        test::AntworteMeldung("OK");
        Klick(l, "SchalterEinheitLoeschen");
        QCOMPARE(test::Meldungen(), QStringList{art.frage});
        QCOMPARE(Tabelle(art), (QList<QList<QVariant>>{{1, "benutzt"}}));
        QCOMPARE(ds->FieldByName("id").asInteger(), 1);  // the neighbour is current
    }

    // With an empty table "Löschen" asks nothing and "Bearbeiten" opens the new form.
    void leereTabelle_data() { beideArten(); }
    void leereTabelle()
    {
        QFETCH(Art, art);
        test::ProgrammErzeugen();
        ui::Formular* l = art.liste();
        l->Zeige();
        Klick(l, "SchalterEinheitLoeschen");
        QCOMPARE(test::Meldungen(), QStringList());

        Eindruck e;
        ImEditor(art, &e, "Karton", "SchalterEinheiteditOK");
        Klick(l, "SchalterEinheitAendern");
        QCOMPARE(e.fenstertitel, art.titelNeu);
        QVERIFY(e.titelNeu && !e.titelAendern);
        QCOMPARE(Tabelle(art), (QList<QList<QVariant>>{{1, "Karton"}}));
    }

    void enterImGitterStartetNeu_data() { beideArten(); }
    void enterImGitterStartetNeu()
    {
        QFETCH(Art, art);
        test::Sql(QStringLiteral("INSERT INTO %1 VALUES (1, 'Stk')").arg(art.tabelle));
        test::ProgrammErzeugen();
        ui::Formular* l = art.liste();
        l->Zeige();
        Eindruck e;
        ImEditor(art, &e, "Palette", "SchalterEinheiteditOK");
        QTest::keyClick(Teil(l, "DBGrid1"), Qt::Key_Return);
        QCOMPARE(test::OffeneDialoge(), 0);
        QCOMPARE(e.fenstertitel, art.titelNeu);
        QCOMPARE(Tabelle(art), (QList<QList<QVariant>>{{1, "Stk"}, {2, "Palette"}}));
    }
};

QTEST_MAIN(TstEinheiten)
#include "tst_einheiten.moc"
