// The backup window, driven as the user does: choose the destination, back up,
// leave without backup; and what ends up on disk.
#include "TestUmgebung.h"
#include "Zipinhalt.h"
#include "backup/datensicherung1.h"

#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sqlite3.h>

#include <deque>
#include <functional>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using backup::TForm_Datensicherung;

namespace {

// A missing file reads as a marker, never as an empty file.
QByteArray Lies(const QString& pfad) { return test::Lies(pfad, "<fehlt>"); }
using test::Schreibe;

const QString kErfolg = QStringLiteral("Die Datensicherung war erfolgreich.\n\r\n\rDie Sicherung lautet: ");
const QString kMisserfolg = QStringLiteral(
    "Die Datensicherung war nicht erfolgreich.\n\r\n\r"
    "Kontrollieren sie bitte, ob eine Diskette im Diskettenlaufwerk eingelegt ist.");

// Root may write anywhere; while this guard lives the thread gives that up,
// so that a read-only folder is read-only for the test as for a user.
class OhneSchreibvorrecht {
public:
    OhneSchreibvorrecht()
    {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0) return;
        if (::syscall(SYS_capget, &m_kopf, m_vorher) != 0) return;
        __user_cap_data_struct neu[2] = {m_vorher[0], m_vorher[1]};
        neu[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_aktiv = ::syscall(SYS_capset, &m_kopf, neu) == 0;
#endif
    }
    ~OhneSchreibvorrecht()
    {
#ifdef Q_OS_LINUX
        if (m_aktiv) ::syscall(SYS_capset, &m_kopf, m_vorher);
#endif
    }
    bool wirksam() const
    {
#ifdef Q_OS_LINUX
        return m_aktiv || ::geteuid() != 0;
#else
        return true;
#endif
    }

private:
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_kopf{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_vorher[2]{};
#endif
    bool m_aktiv = false;
};

// Answers the modal dialogs that come up, one action each, in order, and
// notes the text of every message box.
class Dialoge : public QObject {
public:
    // Answers the dialog; false when it is not the one expected (it is then cancelled).
    using Aktion = std::function<bool(QWidget*)>;

    explicit Dialoge(std::initializer_list<Aktion> aktionen) : m_aktionen(aktionen)
    {
        connect(&m_timer, &QTimer::timeout, this, &Dialoge::pruefe);
        m_timer.start(20);
    }

    QStringList texte;
    int unerwartet = 0;  // dialogs not expected, or not as expected
    bool alleBeantwortet() const { return m_aktionen.empty(); }

    static Aktion ok()
    {
        return [](QWidget* w) {
            auto* knopf = w->findChild<QPushButton*>(QStringLiteral("OK"));
            if (!knopf) return false;
            knopf->click();
            return true;
        };
    }

    // Enters `datei` as the save dialog's file name and saves.
    static Aktion speichernUnter(const QString& datei, QString* vorgabeOrdner = nullptr,
                                 QString* vorgabeName = nullptr)
    {
        return [=](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || dialog->objectName() != QStringLiteral("SaveDialog1")) return false;
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* knoepfe = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            if (!name || !knoepfe || !knoepfe->button(QDialogButtonBox::Save)) return false;
            if (vorgabeOrdner) *vorgabeOrdner = dialog->directory().absolutePath();
            if (vorgabeName) *vorgabeName = name->text();
            name->setText(datei);
            knoepfe->button(QDialogButtonBox::Save)->click();
            return true;
        };
    }

    static Aktion abbrechen()
    {
        return [](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog) return false;
            dialog->reject();
            return true;
        };
    }

private:
    void pruefe()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == m_zuletzt) return;
        m_zuletzt = w;
        if (auto* box = qobject_cast<QMessageBox*>(w)) texte << box->text();
        if (m_aktionen.empty()) {
            ++unerwartet;
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            return;
        }
        const Aktion a = m_aktionen.front();
        m_aktionen.pop_front();
        if (!a(w)) {
            ++unerwartet;
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        }
    }

    std::deque<Aktion> m_aktionen;
    QPointer<QWidget> m_zuletzt;
    QTimer m_timer;
};

bool Ausfuehren(sqlite3* db, const char* sql)
{
    char* fehler = nullptr;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &fehler) == SQLITE_OK;
    if (!ok) qWarning("%s: %s", sql, fehler);
    sqlite3_free(fehler);
    return ok;
}

qint64 Zeilen(const QString& pfad, const char* tabelle)
{
    sqlite3* db = nullptr;
    qint64 n = -1;
    if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, QByteArray("SELECT count(*) FROM ").append(tabelle).constData(), -1, &st,
                               nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

// The page number of the `n`-th leaf page of `tabelle`, and the page size.
int Blattseite(const QString& pfad, const char* tabelle, int n, int* seitengroesse)
{
    sqlite3* db = nullptr;
    int seite = -1;
    if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT pageno, (SELECT page_size FROM pragma_page_size) FROM dbstat"
                                          " WHERE name = '") + tabelle + "' AND pagetype = 'leaf' ORDER BY pageno"
                               " LIMIT 1 OFFSET " + QByteArray::number(n);
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            seite = sqlite3_column_int(st, 0);
            *seitengroesse = sqlite3_column_int(st, 1);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return seite;
}

}  // namespace

class TestDatensicherung : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ersterLauf();
    void zielWaehlenBleibtGespeichert();
    void erfolgreicheSicherung();
    void zielNichtBeschreibbar_data();
    void zielNichtBeschreibbar();
    void zipSchrittSchlaegtFehl_data();
    void zipSchrittSchlaegtFehl();
    void beendenOhneSicherungAendertNichts();
    void zielOhneTrennerWirdAngeklebt();
    void einstellungsdateiNichtBeschreibbar();
    void unbrauchbareDatenbankWirdNichtGesichert_data();
    void unbrauchbareDatenbankWirdNichtGesichert();
    void resteWerdenBeimStartEntfernt();
    void fortschrittBeiOffenemFenster();

private:
    backup::Datensicherungspfade pfade() const;
    QString pfad(const QString& name) const { return m_ordner->filePath(name); }
    void zeige(TForm_Datensicherung& fenster);
    void aktiviereWieder(TForm_Datensicherung& fenster);
    void klicke(TForm_Datensicherung& fenster, const char* knopf);
    void setzeZiel(const QString& ziel);
    QMap<QString, QByteArray> hashes() const;

    std::unique_ptr<QTemporaryDir> m_ordner;
    qint64 m_groesseVorher = 0;
};

backup::Datensicherungspfade TestDatensicherung::pfade() const
{
    backup::Datensicherungspfade p;
    p.einstellungsdatei = pfad(QStringLiteral("Ordavo.ini"));
    p.datenbank = pfad(QStringLiteral("ordavo_tab.mdb"));
    p.arbeitsordner = pfad(QStringLiteral("arbeit"));
    return p;
}

void TestDatensicherung::init()
{
    // A program folder with a database that has free space, a settings file
    // of the main program, and a destination folder.
    m_ordner = std::make_unique<QTemporaryDir>();
    QVERIFY(m_ordner->isValid());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(pfad(QStringLiteral("ordavo_tab.mdb"))).constData(), &db), SQLITE_OK);
    QVERIFY(Ausfuehren(db, "CREATE TABLE t_adressen (id INTEGER PRIMARY KEY, adr_name TEXT) STRICT;"
                           "CREATE TABLE t_artikel (id INTEGER PRIMARY KEY, artikel_bezeichnung TEXT) STRICT;"
                           "CREATE TABLE t_einheit (id INTEGER PRIMARY KEY, einheit TEXT) STRICT;"
                           "CREATE TABLE t_kategorie (id INTEGER PRIMARY KEY, kategorie TEXT) STRICT;"
                           "CREATE TABLE t_lieferschein (id INTEGER PRIMARY KEY) STRICT;"
                           "CREATE TABLE t_lieferschein_artikel (id INTEGER PRIMARY KEY) STRICT;"
                           "CREATE TABLE t_stammdaten (id INTEGER PRIMARY KEY) STRICT;"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                           " INSERT INTO t_artikel SELECT i, hex(randomblob(150)) FROM n;"
                           "INSERT INTO t_adressen VALUES (1, 'Müller');"
                           "DELETE FROM t_artikel WHERE id > 500;"));
    sqlite3_close(db);
    m_groesseVorher = QFileInfo(pfad(QStringLiteral("ordavo_tab.mdb"))).size();
    Schreibe(pfad(QStringLiteral("Ordavo.ini")), "[Einstellungen]\r\nDesktopIcon=true\r\n");
    QVERIFY(QDir().mkpath(pfad(QStringLiteral("Sicherung"))));
}

void TestDatensicherung::cleanup()
{
    // Read-only folders of a test must not keep the folder from being removed.
    QDirIterator it(m_ordner->path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_ordner.reset();
}

void TestDatensicherung::zeige(TForm_Datensicherung& fenster)
{
    fenster.show();
    QVERIFY(QTest::qWaitForWindowActive(&fenster));
}

// What the window manager does when a dialog of the window closes (the
// offscreen platform does not): the window becomes the active one again.
void TestDatensicherung::aktiviereWieder(TForm_Datensicherung& fenster)
{
    QWidget anderes;
    anderes.show();
    QVERIFY(QTest::qWaitForWindowActive(&anderes));
    anderes.hide();
    fenster.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fenster));
}

void TestDatensicherung::klicke(TForm_Datensicherung& fenster, const char* knopf)
{
    auto* b = fenster.findChild<QPushButton*>(QString::fromLatin1(knopf));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

void TestDatensicherung::setzeZiel(const QString& ziel)
{
    Schreibe(pfad(QStringLiteral("Ordavo.ini")),
             "[Einstellungen]\r\nDesktopIcon=true\r\n[Datensicherung]\r\nZiel=" + ziel.toUtf8() + "\r\n");
}

QMap<QString, QByteArray> TestDatensicherung::hashes() const
{
    QMap<QString, QByteArray> ergebnis;
    QDirIterator it(m_ordner->path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        ergebnis[p] = QCryptographicHash::hash(Lies(p), QCryptographicHash::Sha256);
    }
    return ergebnis;
}

void TestDatensicherung::ersterLauf()
{
    TForm_Datensicherung fenster(pfade());
    zeige(fenster);

    QCOMPARE(fenster.objectName(), QStringLiteral("TForm_Datensicherung"));
    QCOMPARE(fenster.windowTitle(), QStringLiteral("Ordavo :: Datensicherung"));
    const QList<QPair<const char*, QString>> texte = {
        {"Label1", QStringLiteral("Datensicherung")},
        {"Label2", QStringLiteral("- Ziel auswählen")},
        {"Label3", QStringLiteral("- Auf \"Jetzt sichern\" klicken")},
        {"Label4", QStringLiteral("Es kann immer dieselbe  Sicherungsdiskette verwendet werden.")},
        {"Label5", QStringLiteral("Datensicherung läuft...")},
    };
    for (const auto& [name, text] : texte) {
        auto* l = fenster.findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(l, name);
        QCOMPARE(l->text(), text);
    }
    QCOMPARE(fenster.findChild<QPushButton*>(QStringLiteral("BitBtn3"))->text(), QStringLiteral("Ziel"));
    QCOMPARE(fenster.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("Jetzt sichern"));
    QCOMPARE(fenster.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->text(),
             QStringLiteral("Beenden ohne Sicherung"));
    QVERIFY(!fenster.findChild<QLabel*>(QStringLiteral("Label5"))->isVisible());

    // No destination stored yet: the home folder.
    QCOMPARE(fenster.findChild<QLabel*>(QStringLiteral("Label6"))->text(), QDir::homePath() + QLatin1Char('/'));
}

void TestDatensicherung::zielWaehlenBleibtGespeichert()
{
    const QString sicherung = pfad(QStringLiteral("Sicherung"));
    setzeZiel(sicherung + QStringLiteral("/"));
    {
        TForm_Datensicherung fenster(pfade());
        zeige(fenster);
        auto* label6 = fenster.findChild<QLabel*>(QStringLiteral("Label6"));

        // Cancelled: nothing changes.
        {
            Dialoge dialoge{Dialoge::abbrechen()};
            klicke(fenster, "BitBtn3");
            QVERIFY(dialoge.alleBeantwortet());
        }
        QCOMPARE(label6->text(), sicherung + QStringLiteral("/"));

        const QString neu = pfad(QStringLiteral("Neu"));
        QVERIFY(QDir().mkpath(neu));
        QString vorgabeOrdner, vorgabeName;
        Dialoge dialoge{Dialoge::speichernUnter(neu + QStringLiteral("/egal.zip"), &vorgabeOrdner, &vorgabeName)};
        klicke(fenster, "BitBtn3");
        QVERIFY(dialoge.alleBeantwortet());
        QCOMPARE(dialoge.unerwartet, 0);
        QCOMPARE(vorgabeOrdner, sicherung);
        QCOMPARE(vorgabeName, QStringLiteral("Ordavo.zip"));
        QCOMPARE(label6->text(), neu + QStringLiteral("/"));
        aktiviereWieder(fenster);  // and reads the settings file again
        QCOMPARE(label6->text(), neu + QStringLiteral("/"));
        QCOMPARE(Lies(pfad(QStringLiteral("Ordavo.ini"))),
                 "[Einstellungen]\r\nDesktopIcon=true\r\n[Datensicherung]\r\nZiel=" + neu.toUtf8() + "/\r\n");
    }
    // The next run shows it.
    TForm_Datensicherung naechster(pfade());
    zeige(naechster);
    QCOMPARE(naechster.findChild<QLabel*>(QStringLiteral("Label6"))->text(), pfad(QStringLiteral("Neu/")));
}

void TestDatensicherung::erfolgreicheSicherung()
{
    const QString archiv = pfad(QStringLiteral("Sicherung/Ordavo.zip"));
    setzeZiel(pfad(QStringLiteral("Sicherung/")));
    Schreibe(archiv, "vorige Sicherung");

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    Dialoge dialoge{Dialoge::ok()};
    klicke(fenster, "BitBtn1");

    QCOMPARE(dialoge.texte, QStringList{kErfolg + archiv});
    QCOMPARE(dialoge.unerwartet, 0);
    QVERIFY(!fenster.isVisible());

    // One deflated entry, under the bare name, holding the compacted database.
    const QList<Eintrag> eintraege = Archiv(archiv);
    QCOMPARE(eintraege.size(), 1);
    QCOMPARE(eintraege[0].name, QStringLiteral("ordavo_tab.mdb"));
    QCOMPARE(eintraege[0].methode, ZIP_CM_DEFLATE);
    const QString db = pfad(QStringLiteral("ordavo_tab.mdb"));
    QCOMPARE(eintraege[0].daten, Lies(db));
    QVERIFY(QFileInfo(db).size() < m_groesseVorher);

    const QString entpackt = pfad(QStringLiteral("entpackt.mdb"));
    Schreibe(entpackt, eintraege[0].daten);
    QCOMPARE(Zeilen(entpackt, "t_artikel"), 500);
    QCOMPARE(Zeilen(entpackt, "t_adressen"), 1);

    QVERIFY(!QFile::exists(pfad(QStringLiteral("ordavo_tab.$$$"))));
    QVERIFY(!QFile::exists(pfad(QStringLiteral("arbeit/Ordavo.zip"))));  // moved, not copied
    QCOMPARE(QDir(pfad(QStringLiteral("Sicherung"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Ordavo.zip")});
}

void TestDatensicherung::zielNichtBeschreibbar_data()
{
    QTest::addColumn<bool>("schreibgeschuetzt");
    // Below a regular file nothing can be written, not even by root.
    QTest::newRow("Ziel unter einer Datei") << false;
    // A read-only folder holding the previous backup.
    QTest::newRow("Ziel schreibgeschuetzt") << true;
}

void TestDatensicherung::zielNichtBeschreibbar()
{
    QFETCH(bool, schreibgeschuetzt);
    QString ziel;
    const QString sicherung = pfad(QStringLiteral("Sicherung"));
    const QString voriges = sicherung + QStringLiteral("/Ordavo.zip");
    Schreibe(voriges, "vorige Sicherung");
    if (schreibgeschuetzt) {
        ziel = sicherung + QStringLiteral("/");
        QVERIFY(QFile::setPermissions(sicherung, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        Schreibe(pfad(QStringLiteral("datei")), "x");
        ziel = pfad(QStringLiteral("datei/"));
    }
    setzeZiel(ziel);

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    {
        OhneSchreibvorrecht ohne;
        if (schreibgeschuetzt && !ohne.wirksam()) QSKIP("cannot give up root's write privilege here");
        Dialoge dialoge{Dialoge::ok()};
        klicke(fenster, "BitBtn1");
        QCOMPARE(dialoge.texte, QStringList{kMisserfolg});
        QCOMPARE(dialoge.unerwartet, 0);
    }
    QVERIFY(fenster.isVisible());
    QVERIFY(!fenster.findChild<QLabel*>(QStringLiteral("Label5"))->isVisible());
    QCOMPARE(Lies(voriges), QByteArray("vorige Sicherung"));
    QCOMPARE(QDir(sicherung).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Ordavo.zip")});
    QVERIFY(QFile::exists(pfad(QStringLiteral("arbeit/Ordavo.zip"))));

    // With the folder writable again the next try succeeds; the working archive
    // left from the failed try is updated, its entry replaced.
    QFile::setPermissions(sicherung, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        Dialoge dialoge{Dialoge::speichernUnter(voriges), Dialoge::ok()};
        klicke(fenster, "BitBtn3");
        klicke(fenster, "BitBtn1");
        QCOMPARE(dialoge.texte, QStringList{kErfolg + voriges});
    }
    const QList<Eintrag> eintraege = Archiv(voriges);
    QCOMPARE(eintraege.size(), 1);
    QCOMPARE(eintraege[0].daten, Lies(pfade().datenbank));
}

void TestDatensicherung::zipSchrittSchlaegtFehl_data()
{
    QTest::addColumn<bool>("fremderOrdner");
    QTest::newRow("Arbeitsarchiv ist ein Ordner") << false;
    QTest::newRow("Arbeitsordner fuer alle offen") << true;
}

void TestDatensicherung::zipSchrittSchlaegtFehl()
{
    QFETCH(bool, fremderOrdner);
    const QString arbeit = pfad(QStringLiteral("arbeit"));
    if (fremderOrdner) {
        QVERIFY(QDir().mkpath(arbeit));
        QVERIFY(QFile::setPermissions(arbeit, QFileDevice::Permissions(0x7777)));
    } else {
        QVERIFY(QDir().mkpath(arbeit + QStringLiteral("/Ordavo.zip/inhalt")));
        QVERIFY(QFile::setPermissions(arbeit, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    const QString voriges = pfad(QStringLiteral("Sicherung/Ordavo.zip"));
    Schreibe(voriges, "vorige Sicherung");
    setzeZiel(pfad(QStringLiteral("Sicherung/")));

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    Dialoge dialoge{Dialoge::ok(), Dialoge::ok()};
    klicke(fenster, "BitBtn1");

    QCOMPARE(dialoge.texte.size(), 2);
    QVERIFY2(dialoge.texte[0].startsWith(QStringLiteral("Das Archiv %1/Ordavo.zip konnte nicht erstellt werden:\n")
                                             .arg(arbeit)),
             qPrintable(dialoge.texte[0]));
    QCOMPARE(dialoge.texte[1], kMisserfolg);
    QVERIFY(fenster.isVisible());
    QCOMPARE(Lies(voriges), QByteArray("vorige Sicherung"));
    QCOMPARE(Zeilen(pfade().datenbank, "t_artikel"), 500);
}

void TestDatensicherung::beendenOhneSicherungAendertNichts()
{
    setzeZiel(pfad(QStringLiteral("Sicherung/")));
    Schreibe(pfad(QStringLiteral("Sicherung/Ordavo.zip")), "vorige Sicherung");
    const auto vorher = hashes();

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    Dialoge dialoge{};
    klicke(fenster, "BitBtn2");

    QVERIFY(!fenster.isVisible());
    QCOMPARE(dialoge.texte, QStringList());
    QCOMPARE(hashes(), vorher);
}

void TestDatensicherung::zielOhneTrennerWirdAngeklebt()
{
    setzeZiel(pfad(QStringLiteral("backup")));

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    Dialoge dialoge{Dialoge::ok()};
    klicke(fenster, "BitBtn1");

    const QString archiv = pfad(QStringLiteral("backupOrdavo.zip"));
    QCOMPARE(dialoge.texte, QStringList{kErfolg + archiv});
    QCOMPARE(Archiv(archiv).size(), 1);
}

void TestDatensicherung::einstellungsdateiNichtBeschreibbar()
{
    // A settings file below a regular file: nobody can write it.
    Schreibe(pfad(QStringLiteral("datei")), "x");
    backup::Datensicherungspfade p = pfade();
    p.einstellungsdatei = pfad(QStringLiteral("datei/Ordavo.ini"));

    TForm_Datensicherung fenster(p);
    zeige(fenster);
    auto* label6 = fenster.findChild<QLabel*>(QStringLiteral("Label6"));
    const QString neu = pfad(QStringLiteral("Sicherung/"));
    {
        Dialoge dialoge{Dialoge::speichernUnter(neu + QStringLiteral("Ordavo.zip")), Dialoge::ok()};
        klicke(fenster, "BitBtn3");
        QCOMPARE(dialoge.texte, QStringList{QStringLiteral("In %1 kann nicht geschrieben werden").arg(p.einstellungsdatei)});
    }
    aktiviereWieder(fenster);
    QCOMPARE(label6->text(), neu);

    // Used for this run all the same.
    Dialoge dialoge{Dialoge::ok()};
    klicke(fenster, "BitBtn1");
    QCOMPARE(dialoge.texte, QStringList{kErfolg + neu + QStringLiteral("Ordavo.zip")});
    QCOMPARE(Archiv(neu + QStringLiteral("Ordavo.zip")).size(), 1);
}

void TestDatensicherung::unbrauchbareDatenbankWirdNichtGesichert_data()
{
    QTest::addColumn<QString>("schaden");
    QTest::addColumn<QString>("meldung");  // how the message begins; %1 is the database
    const QString beschaedigt = QStringLiteral("Die Datenbank %1 ist beschädigt:\n");
    // The engine still copies such a table, but without the rows the page no longer counts.
    QTest::newRow("Zellenzahl einer Tabellenseite ohne Index gekuerzt") << "zellen" << beschaedigt;
    QTest::newRow("Seite genullt") << "genullt" << beschaedigt;
    QTest::newRow("leere Datei") << "leer" << QStringLiteral("Die Datenbank %1 ist leer (0 Byte).");
    QTest::newRow("Datenbank ohne die Tabellen")
        << "fremd" << QStringLiteral("Die Datei %1 ist keine Datenbank von Ordavo: Ihr fehlen die Tabellen t_adressen, ");
    QTest::newRow("keine Datenbank") << "text" << QStringLiteral("Die Datei %1 ist keine Datenbank von Ordavo oder so beschädigt");
}

void TestDatensicherung::unbrauchbareDatenbankWirdNichtGesichert()
{
    QFETCH(QString, schaden);
    QFETCH(QString, meldung);
    const QString db = pfade().datenbank;
    {
        sqlite3* h = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(db).constData(), &h), SQLITE_OK);
        QVERIFY(Ausfuehren(h, "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                              " INSERT INTO t_adressen SELECT i, 'Adresse ' || hex(randomblob(60)) FROM n;"));
        sqlite3_close(h);
    }
    QByteArray inhalt = Lies(db);
    int groesse = 0;
    if (schaden == QLatin1String("zellen")) {
        const int seite = Blattseite(db, "t_adressen", 1, &groesse);
        QVERIFY(seite > 1);
        const qsizetype kopf = qsizetype(seite - 1) * groesse;
        QCOMPARE(quint8(inhalt[kopf]), quint8(0x0d));  // a leaf page of a table
        QVERIFY((quint8(inhalt[kopf + 3]) << 8 | quint8(inhalt[kopf + 4])) > 3);
        inhalt[kopf + 3] = 0;
        inhalt[kopf + 4] = 3;
    } else if (schaden == QLatin1String("genullt")) {
        const int seite = Blattseite(db, "t_artikel", 1, &groesse);
        QVERIFY(seite > 1);
        inhalt.replace(qsizetype(seite - 1) * groesse, groesse, QByteArray(groesse, '\0'));
    } else if (schaden == QLatin1String("leer")) {
        inhalt.clear();
    } else if (schaden == QLatin1String("fremd")) {
        QFile::remove(db);
        sqlite3* h = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(db).constData(), &h), SQLITE_OK);
        QVERIFY(Ausfuehren(h, "CREATE TABLE kunden (id INTEGER PRIMARY KEY, name TEXT);"
                              "INSERT INTO kunden VALUES (1, 'Meier');"));
        sqlite3_close(h);
        inhalt = Lies(db);
    } else {
        inhalt = "Einkaufsliste: Brot, Milch\n";
    }
    Schreibe(db, inhalt);
    const QString voriges = pfad(QStringLiteral("Sicherung/Ordavo.zip"));
    Schreibe(voriges, "vorige Sicherung");
    setzeZiel(pfad(QStringLiteral("Sicherung/")));

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    Dialoge dialoge{Dialoge::ok()};
    klicke(fenster, "BitBtn1");

    QCOMPARE(dialoge.texte.size(), 1);
    QVERIFY2(dialoge.texte[0].startsWith(meldung.arg(db)), qPrintable(dialoge.texte[0]));
    QVERIFY2(dialoge.texte[0].contains(QStringLiteral("die letzte Sicherung bleibt erhalten")),
             qPrintable(dialoge.texte[0]));
    QCOMPARE(dialoge.unerwartet, 0);
    QVERIFY(fenster.isVisible());
    QVERIFY(Lies(db) == inhalt);
    QCOMPARE(Lies(voriges), QByteArray("vorige Sicherung"));
    QVERIFY(!QFile::exists(pfad(QStringLiteral("ordavo_tab.$$$"))));
    QVERIFY(!QFile::exists(pfad(QStringLiteral("arbeit/Ordavo.zip"))));
}

void TestDatensicherung::resteWerdenBeimStartEntfernt()
{
    // What a killed run leaves: temporary archives in the working folder, the
    // compaction's copy and its journal beside the database. Files of other
    // names or other content are not the tool's and stay.
    const QString arbeit = pfad(QStringLiteral("arbeit"));
    QVERIFY(QDir().mkpath(arbeit));
    QVERIFY(QFile::setPermissions(arbeit, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray zipAnfang("PK\x03\x04halb geschrieben", 19);
    const QStringList weg{QStringLiteral("arbeit/Ordavo.zip.a1B2c3"), QStringLiteral("arbeit/Ordavo.zip.000000"),
                          QStringLiteral("ordavo_tab.$$$"), QStringLiteral("ordavo_tab.$$$-journal")};
    const QStringList bleibt{QStringLiteral("arbeit/Ordavo.zip"), QStringLiteral("arbeit/Ordavo.zip.alt"),
                             QStringLiteral("arbeit/Ordavo.zip.Notiz1"), QStringLiteral("arbeit/Ordavo.zip.a1B2c3d"),
                             QStringLiteral("ordavo_tab.$$$.bak"), QStringLiteral("Ordavo.zip.a1B2c3")};
    for (const QString& name : weg)
        Schreibe(pfad(name), name.endsWith(QLatin1String("000000")) ? QByteArray() : zipAnfang);
    for (const QString& name : bleibt)
        Schreibe(pfad(name), name.endsWith(QLatin1String("Notiz1")) ? QByteArray("meine Notiz") : zipAnfang);
    const QByteArray datenbank = Lies(pfade().datenbank);

    TForm_Datensicherung fenster(pfade());
    for (const QString& name : weg) QVERIFY2(!QFile::exists(pfad(name)), qPrintable(name));
    for (const QString& name : bleibt) QVERIFY2(QFile::exists(pfad(name)), qPrintable(name));
    QVERIFY(Lies(pfade().datenbank) == datenbank);

    // Another run under way holds the working folder: its files are not leftovers.
    Schreibe(pfad(weg[0]), zipAnfang);
    QLockFile andererLauf(pfad(QStringLiteral("arbeit/datensicherung.lock")));
    QVERIFY(andererLauf.tryLock(0));
    TForm_Datensicherung zweites(pfade());
    QVERIFY(QFile::exists(pfad(weg[0])));
}

void TestDatensicherung::fortschrittBeiOffenemFenster()
{
    // A few MB, so that the backup takes a moment.
    sqlite3* h = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(pfade().datenbank).constData(), &h), SQLITE_OK);
    QVERIFY(Ausfuehren(h, "UPDATE t_artikel SET artikel_bezeichnung = hex(randomblob(3000)) || hex(zeroblob(3000));"));
    sqlite3_close(h);
    setzeZiel(pfad(QStringLiteral("Sicherung/")));

    TForm_Datensicherung fenster(pfade());
    zeige(fenster);
    auto* balken = fenster.findChild<QProgressBar*>(QStringLiteral("Fortschritt"));
    QVERIFY(balken);
    QVERIFY(!balken->isVisible());
    QList<int> werte;
    bool waehrenddessen = true;  // label and bar shown, buttons off
    connect(balken, &QProgressBar::valueChanged, this, [&](int wert) {
        werte << wert;
        waehrenddessen = waehrenddessen && balken->isVisible()
                         && fenster.findChild<QLabel*>(QStringLiteral("Label5"))->isVisible()
                         && !fenster.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->isEnabled();
    });
    int takte = 0;  // the window's event loop runs meanwhile
    QTimer takt;
    connect(&takt, &QTimer::timeout, this, [&] { ++takte; });
    takt.start(1);

    Dialoge dialoge{Dialoge::ok()};
    klicke(fenster, "BitBtn1");
    takt.stop();
    QCOMPARE(dialoge.texte, QStringList{kErfolg + pfad(QStringLiteral("Sicherung/Ordavo.zip"))});
    QVERIFY2(werte.size() >= 3, qPrintable(QString::number(werte.size())));
    QVERIFY(std::is_sorted(werte.cbegin(), werte.cend()));
    QCOMPARE(werte.last(), 1000);
    QVERIFY(waehrenddessen);
    QVERIFY(takte > 0);
    QVERIFY(!balken->isVisible());
}

QTEST_MAIN(TestDatensicherung)
#include "tst_datensicherung.moc"
