// Several workstations on one server database: two connections that take
// the same next key and note number before either stores, the window paths
// that take numbers while another workstation stores, edits of rows another
// workstation changed or deleted meanwhile, and two programs entering notes
// at the same time (this test program started twice as child processes).
#include "TestUmgebung.h"
#include "Testserver.h"

#include "app/Programmfenster.h"
#include "app/ordavo.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferfenster.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "platform/Pfade.h"
#include "server/PgMotor.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"
#include "ui/Anwendung.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QtTest>
#include <memory>

using data::Dataset;
using test::BeimDialog;
using test::In;

namespace {

const QString kVeraltet =
    QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Programm geändert oder gelöscht. Bitte neu laden.");

using test::ServerAngabe;

// A database of its own on the test server with the program's tables, a
// unit, an article and two customers; dropped again at the end.
class Serverdatenbank : public test::Serverdatenbank {
public:
    Serverdatenbank() : test::Serverdatenbank(true)
    {
        server::PgVerbindung(angabe()).Ausfuehren(QStringLiteral(
            "INSERT INTO t_einheit (id, einheit) VALUES (1, 'Stk');"
            "INSERT INTO t_kategorie (id, kategorie) VALUES (1, 'Waren');"
            "INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_mwst, artikel_einkauf, artikel_einheit_id, "
            "artikel_kategorie_id) VALUES (1, 100, 'Schraube', 10.0, 20, 4.0, 1, 1);"
            "INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_ort, adr_kunde) VALUES "
            "(1, 'Alpha', 'Anna Alt', 'Graz', -1), (2, 'Gamma', 'Gerd Gross', 'Wels', -1);"));
    }
};

// The data module's connection on the server database, and the file again afterwards.
struct AufDemServer {
    explicit AufDemServer(const QString& angabe) { server::ServerWaehlen(angabe); }
    ~AufDemServer() { server::ServerWaehlen(QString()); }
};

// A new note as the header proposes it: the next key and number, taken anew
// should another workstation store them first.
void NeuerLieferschein(TDMOrdavo& dm, qint64 adresse)
{
    Dataset* ls = dm.ADO_Lieferschein;
    ls->Insert();
    ls->Vorschlag(QStringLiteral("t_lieferschein.id"), qint64(dm.NaechsteID(QStringLiteral("t_Lieferschein"))),
                  [&dm] { return qint64(dm.NaechsteID(QStringLiteral("t_Lieferschein"))); });
    ls->Vorschlag(QStringLiteral("lief_nr"), qint64(dm.NaechsteLiefNr()), [&dm] { return qint64(dm.NaechsteLiefNr()); });
    ls->FieldByName(QStringLiteral("lief_adresse_id")).setValue(adresse);
    ls->FieldByName(QStringLiteral("lief_datum")).setValue(QDate(2026, 12, 11));
}

using Zeilen = QList<QList<QVariant>>;

// --- the program's windows, for this process and the child processes ------

TLieferscheinkopf* Kopf() { return Lieferung().Lieferscheinkopf; }
QWidget* Browser() { return Lieferung().Lieferschein; }

void KundeWaehlen(const QString& name)
{
    QWidget* kopf = Kopf();
    QApplication::setActiveWindow(kopf);
    QVERIFY(QTest::qWaitForWindowActive(kopf));
    QCoreApplication::processEvents();
    auto* box = In<QComboBox>(kopf, "DBName");
    box->setFocus();
    for (int i = 0; i < box->count() + 1 && box->currentText() != name; ++i) QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentText(), name);
}

// "Neuer Lieferschein" for `kunde`, stored with OK.
void LieferscheinImFenster(const QString& kunde)
{
    Kopf()->NeuerLieferschein();
    QVERIFY(QTest::qWaitForWindowExposed(Kopf()));
    KundeWaehlen(kunde);
    QTest::mouseClick(In<QPushButton>(Kopf(), "SchalterliefkopfOK"), Qt::LeftButton);
    QVERIFY(!Kopf()->isVisible());
}

// The first article as an item of the current note, `menge` pieces.
void PositionImFenster(int menge)
{
    BeimDialog([menge](QWidget* w) {
        auto* feld = In<QLineEdit>(w, "Edit1");
        feld->selectAll();
        QTest::keyClicks(feld, QString::number(menge));
        QTest::keyClick(feld, Qt::Key_Return);
    });
    QTest::mouseClick(In<QPushButton>(Browser(), "Schalterartikelhinzuf"), Qt::LeftButton);
}

}  // namespace

// One workstation of the two-process test: its own program folder whose
// Ordavo.ini names the server, the program's windows, `anzahl` notes for
// one customer, each with one item of 1, 2, … pieces.
class Arbeitsplatz : public QObject {
    Q_OBJECT
public:
    Arbeitsplatz(QString angabe, QString kunde, int anzahl, QString treffpunkt)
        : m_angabe(std::move(angabe)), m_kunde(std::move(kunde)), m_anzahl(anzahl), m_treffpunkt(std::move(treffpunkt)) {}

private slots:
    void lieferscheineAnlegen()
    {
        test::Programmordner ordner;
        test::Schreibe(ordner.datei(QStringLiteral("Ordavo.ini")), "[Datenbank]\nServer=" + m_angabe.toUtf8() + "\n");
        platform::SetzeProgrammordner(ordner.pfad());
        AufDemServer server(platform::Datenbankserver());
        test::ProgrammErzeugen();
        // Both programs start entering together, once both are up.
        test::Schreibe(QDir(m_treffpunkt).filePath(m_kunde), "bereit");
        QVERIFY(QTest::qWaitFor([&] { return QDir(m_treffpunkt).entryList(QDir::Files).size() == 2; }, 60000));
        for (int i = 1; i <= m_anzahl && !QTest::currentTestFailed(); ++i) {
            LieferscheinImFenster(m_kunde);
            PositionImFenster(i);
        }
        const int offen = test::OffeneDialoge();
        test::ProgrammBeenden();
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(offen, 0);
    }

private:
    QString m_angabe;
    QString m_kunde;
    int m_anzahl;
    QString m_treffpunkt;
};

class TstGleichzeitig : public QObject {
    Q_OBJECT

private slots:
    // Both workstations take key 1 and number 1 before either stores: the
    // second store takes the next ones. A number the user typed himself is
    // never replaced: it is refused and stays for correction.
    void zweiVerbindungenGleicheNummer()
    {
        Serverdatenbank db;
        AufDemServer server(db.angabe());
        TDMOrdavo a, b;
        NeuerLieferschein(a, 1);
        NeuerLieferschein(b, 2);
        QCOMPARE(b.ADO_Lieferschein->FieldByName(QStringLiteral("lief_nr")).asInteger(), qint64(1));
        a.ADO_Lieferschein->Post();
        b.ADO_Lieferschein->Post();
        QCOMPARE(b.ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger(), qint64(2));
        QCOMPARE(b.ADO_Lieferschein->FieldByName(QStringLiteral("lief_nr")).asInteger(), qint64(2));

        NeuerLieferschein(a, 1);
        NeuerLieferschein(b, 2);
        // Both users type 5 over the proposal.
        a.ADO_Lieferschein->FieldByName(QStringLiteral("lief_nr")).setValue(qint64(5));
        b.ADO_Lieferschein->FieldByName(QStringLiteral("lief_nr")).setValue(qint64(5));
        a.ADO_Lieferschein->Post();
        try {
            b.ADO_Lieferschein->Post();
            QFAIL("Die getippte, inzwischen vergebene Nummer wurde gespeichert");
        } catch (const data::Fehler& f) {
            // The sentence for the user, then the server's own text.
            QCOMPARE(f.text().section(QLatin1Char('\n'), 0, 0), QStringLiteral("Der Wert 5 ist schon vergeben. Bitte geben Sie einen anderen ein."));
        }
        QCOMPARE(b.ADO_Lieferschein->State(), Dataset::Zustand::Insert);
        b.ADO_Lieferschein->FieldByName(QStringLiteral("lief_nr")).setValue(qint64(9));
        b.ADO_Lieferschein->Post();

        server::PgVerbindung pruefen(db.angabe());
        QCOMPARE(pruefen.Abfrage(QStringLiteral("SELECT id, lief_nr, lief_adresse_id FROM t_lieferschein ORDER BY id")).zeilen,
                 (Zeilen{{qint64(1), qint64(1), qint64(1)}, {qint64(2), qint64(2), qint64(2)},
                         {qint64(3), qint64(5), qint64(1)}, {qint64(4), qint64(9), qint64(2)}}));
    }

    // In the windows: while the header shows its proposals another
    // workstation stores that note, and while an item is being added another
    // stores an item under the key it takes. Nothing is lost, nothing doubled.
    void fensterNehmenDieNaechsteNummer()
    {
        Serverdatenbank db;
        test::Programmordner ordner;
        AufDemServer server(db.angabe());
        test::ProgrammErzeugen();
        server::PgVerbindung andere(db.angabe());

        Kopf()->NeuerLieferschein();
        QVERIFY(QTest::qWaitForWindowExposed(Kopf()));
        QCOMPARE(In<QLineEdit>(Kopf(), "DB_LiefNR")->text(), QString("1"));
        andere.Ausfuehren(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id, lief_datum) VALUES (1, 1, 2, '2026-12-01')"));
        KundeWaehlen(QStringLiteral("Anna Alt"));
        QTest::mouseClick(In<QPushButton>(Kopf(), "SchalterliefkopfOK"), Qt::LeftButton);
        QVERIFY(!Kopf()->isVisible());
        QCOMPARE(In<QLabel>(Browser(), "DBText1")->text(), QString("2"));

        // The other workstation stores its item right after the program
        // found the next key free, before the program inserts it.
        TDMOrdavo* dm = App().DMOrdavo;
        bool eingeschoben = false;
        const auto verbindung = connect(dm->ADOQuery, &Dataset::geoeffnet, this, [&] {
            if (eingeschoben || !dm->ADOQuery->sql().startsWith(QLatin1String("select 1 from t_lieferschein_artikel"), Qt::CaseInsensitive))
                return;
            eingeschoben = true;
            andere.Abfrage(QStringLiteral("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis) "
                                          "VALUES ($1, 1, 1, 7, 10.0)"),
                           {dm->ADOQuery->parameter(QStringLiteral("nr"))});
        });
        PositionImFenster(3);
        disconnect(verbindung);
        QVERIFY(eingeschoben);
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(dm->ADO_Lieferschein_Artikel->RecordCount(), 1);
        QCOMPARE(dm->ADO_Lieferschein_Artikel->FieldByName(QStringLiteral("la_anzahl")).asFloat(), 3.0);

        QCOMPARE(andere.Abfrage(QStringLiteral("SELECT l.id, l.lief_nr, l.lief_adresse_id, a.id, a.la_anzahl FROM t_lieferschein l "
                                               "JOIN t_lieferschein_artikel a ON a.la_lieferschein_id = l.id ORDER BY l.id"))
                     .zeilen,
                 (Zeilen{{qint64(1), qint64(1), qint64(2), qint64(1), 7.0}, {qint64(2), qint64(2), qint64(1), qint64(2), 3.0}}));
        const int offen = test::OffeneDialoge();
        test::ProgrammBeenden();
        QCOMPARE(offen, 0);
    }

    // "Alle Lieferscheine" shows the notes another workstation stored since
    // they were read, also the first one; the current note stays current,
    // and a note being entered is not touched.
    void alleLieferscheineZeigtNeueDerAnderen()
    {
        Serverdatenbank db;
        test::Programmordner ordner;
        AufDemServer server(db.angabe());
        test::ProgrammErzeugen();
        server::PgVerbindung andere(db.angabe());
        TOrdavo* haupt = Programm().Ordavo;
        Dataset* ls = App().DMOrdavo->ADO_Lieferschein;
        const auto speichern = [&](int id) {
            andere.Ausfuehren(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id, lief_datum) VALUES (%1, %1, 2, '2026-12-01')").arg(id));
        };

        speichern(1);
        In<QPushButton>(haupt, "BitBtn4")->click();
        QVERIFY(Browser()->isVisible());
        QCOMPARE(In<QLabel>(Browser(), "DBText1")->text(), QString("1"));

        speichern(2);
        Browser()->hide();
        In<QAction>(haupt, "AlleLieferscheine1")->trigger();
        QCOMPARE(ls->RecordCount(), 2);
        QCOMPARE(In<QLabel>(Browser(), "DBText1")->text(), QString("1"));
        ls->Last();
        speichern(3);
        In<QPushButton>(haupt, "BitBtn4")->click();
        QCOMPARE(ls->RecordCount(), 3);
        QCOMPARE(In<QLabel>(Browser(), "DBText1")->text(), QString("2"));

        Kopf()->NeuerLieferschein();
        QVERIFY(QTest::qWaitForWindowExposed(Kopf()));
        speichern(4);
        In<QAction>(haupt, "AlleLieferscheine1")->trigger();
        QCOMPARE(ls->State(), Dataset::Zustand::Insert);
        QCOMPARE(In<QLineEdit>(Kopf(), "DB_LiefNR")->text(), QString("4"));
        test::Klicke(Kopf(), "SchalterliefkokfAbbrechen");

        const int offen = test::OffeneDialoge();
        test::ProgrammBeenden();
        QCOMPARE(test::Meldungen(), QStringList());
        QCOMPARE(offen, 0);
    }

    // An edit of a row the other workstation changed or deleted meanwhile is
    // refused and keeps what the other stored; otherwise it is saved.
    void bearbeitungskonflikte_data()
    {
        QTest::addColumn<QString>("datenmenge");
        QTest::addColumn<QString>("andere");  // what the other workstation did
        QTest::addColumn<bool>("abgelehnt");
        for (const char* ds : {"ADO_t_adressen", "ADO_Lieferschein"}) {
            for (const char* andere : {"geaendert", "geloescht", "unveraendert", "andere_spalte"})
                QTest::addRow("%s %s", ds, andere) << QString::fromLatin1(ds) << QString::fromLatin1(andere)
                                                  << (qstrcmp(andere, "geaendert") == 0 || qstrcmp(andere, "geloescht") == 0);
        }
    }
    void bearbeitungskonflikte()
    {
        QFETCH(QString, datenmenge);
        QFETCH(QString, andere);
        QFETCH(bool, abgelehnt);
        // The table dataset edits address 2, the joined one the note of address 2.
        const bool adresse = datenmenge == QLatin1String("ADO_t_adressen");
        const QString tabelle = adresse ? QStringLiteral("t_adressen") : QStringLiteral("t_lieferschein");
        const QString schluessel = adresse ? QStringLiteral("id") : QStringLiteral("t_lieferschein.id");
        const QString spalte = adresse ? QStringLiteral("adr_firma") : QStringLiteral("lief_zahlungsbed");
        const QString andereSpalte = adresse ? QStringLiteral("adr_ort") : QStringLiteral("lief_zusatztext");
        const qint64 id = adresse ? 2 : 1;

        Serverdatenbank db;
        server::PgVerbindung pruefen(db.angabe());
        pruefen.Ausfuehren(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id, lief_datum, lief_zahlungsbed, lief_zusatztext) "
                                          "VALUES (1, 1, 2, '2026-12-01', 'bar', 'Danke')"));
        AufDemServer server(db.angabe());
        TDMOrdavo a, b;
        Dataset* dsA = a.findChild<Dataset*>(datenmenge);
        Dataset* dsB = b.findChild<Dataset*>(datenmenge);
        for (Dataset* ds : {dsA, dsB}) {
            ds->Requery();
            QVERIFY(ds->Locate(schluessel, id));
        }

        if (andere == QLatin1String("geaendert") || andere == QLatin1String("andere_spalte")) {
            dsB->Edit();
            dsB->FieldByName(andere == QLatin1String("geaendert") ? spalte : andereSpalte).setValue(QStringLiteral("von B"));
            dsB->Post();
        } else if (andere == QLatin1String("geloescht")) {
            dsB->Delete();
        }

        dsA->Edit();
        dsA->FieldByName(spalte).setValue(QStringLiteral("von A"));
        QString meldung;
        try {
            dsA->Post();
        } catch (const data::Fehler& f) {
            meldung = f.text();
        }
        const Zeilen gespeichert =
            pruefen.Abfrage(QStringLiteral("SELECT %1, %2 FROM %3 WHERE id = %4").arg(spalte, andereSpalte, tabelle).arg(id)).zeilen;
        if (abgelehnt) {
            // Refused; the user's typing stays for another try after reloading.
            QCOMPARE(meldung, kVeraltet);
            QCOMPARE(dsA->State(), Dataset::Zustand::Edit);
            QCOMPARE(dsA->FieldByName(spalte).asString(), QString("von A"));
            if (andere == QLatin1String("geloescht")) QCOMPARE(gespeichert, Zeilen());
            else QCOMPARE(gespeichert.value(0).value(0).toString(), QString("von B"));
        } else {
            QCOMPARE(meldung, QString());
            QCOMPARE(dsA->State(), Dataset::Zustand::Browse);
            const QString anderer = andere == QLatin1String("andere_spalte") ? QStringLiteral("von B") : adresse ? QStringLiteral("Wels") : QStringLiteral("Danke");
            QCOMPARE(gespeichert, (Zeilen{{QStringLiteral("von A"), anderer}}));
        }
    }

    // Two programs, each a process of its own with its own program folder,
    // enter notes with items at the same time.
    void zweiProgrammeGleichzeitig()
    {
        Serverdatenbank db;
        constexpr int kAnzahl = 15;
        QTemporaryDir treffpunkt;
        std::unique_ptr<QProcess> programme[2];
        const char* kunden[] = {"Anna Alt", "Gerd Gross"};
        for (int i = 0; i < 2; ++i) {
            programme[i] = std::make_unique<QProcess>();
            programme[i]->setProcessChannelMode(QProcess::MergedChannels);
            programme[i]->start(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--arbeitsplatz"), db.angabe(), QString::fromUtf8(kunden[i]), QString::number(kAnzahl),
                                 treffpunkt.path()});
        }
        for (auto& p : programme) {
            QVERIFY(p->waitForStarted());
            QVERIFY(p->waitForFinished(240000));
        }
        for (auto& p : programme) {
            const QByteArray ausgabe = p->readAll();
            QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, ausgabe.constData());
        }

        server::PgVerbindung pruefen(db.angabe());
        QCOMPARE(pruefen.Abfrage(QStringLiteral("SELECT count(*), count(DISTINCT id), count(DISTINCT lief_nr), min(lief_nr), max(lief_nr) "
                                                "FROM t_lieferschein")).zeilen,
                 (Zeilen{{qint64(2 * kAnzahl), qint64(2 * kAnzahl), qint64(2 * kAnzahl), qint64(1), qint64(2 * kAnzahl)}}));
        QCOMPARE(pruefen.Wert(QStringLiteral("SELECT count(DISTINCT id) FROM t_lieferschein_artikel")).toLongLong(), qint64(2 * kAnzahl));
        // Each note holds the one item its program entered for it.
        Zeilen erwartet;
        for (qint64 kunde : {1, 2})
            for (int i = 1; i <= kAnzahl; ++i) erwartet << QList<QVariant>{kunde, double(i), qint64(1)};
        QCOMPARE(pruefen.Abfrage(QStringLiteral("SELECT l.lief_adresse_id, max(a.la_anzahl), count(a.id) FROM t_lieferschein l "
                                                "LEFT JOIN t_lieferschein_artikel a ON a.la_lieferschein_id = l.id "
                                                "GROUP BY l.id, l.lief_adresse_id ORDER BY 1, 2")).zeilen,
                 erwartet);
    }
};

int main(int argc, char** argv)
{
    QApplication anwendung(argc, argv);
    if (argc == 6 && qstrcmp(argv[1], "--arbeitsplatz") == 0) {
        Arbeitsplatz platz(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]), QByteArray(argv[4]).toInt(), QString::fromUtf8(argv[5]));
        char* argumente[] = {argv[0]};
        return QTest::qExec(&platz, 1, argumente);
    }
    TstGleichzeitig t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_gleichzeitig.moc"
