// The settings file: reading, and writing one key while every other byte stays.
#include "TestUmgebung.h"
#include "platform/IniDatei.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

using test::Schreibe;

// Tests run as root, and root may write into read-only files and folders.
// While this guard lives, the thread gives up that privilege, so that
// permissions apply as they do for the user.
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

QByteArray Inhalt(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<fehlt>");
    return f.readAll();
}

// A file as written by the Windows program: CRLF, comments, both sections,
// a Latin-1 umlaut, blank lines between the sections.
const QByteArray kWindowsDatei =
    "; Ordavo\r\n"
    "[Einstellungen]\r\n"
    "DesktopIcon=true\r\n"
    "Anmerkung=M\xfcller\r\n"
    "\r\n"
    "[Datensicherung]\r\n"
    "Ziel = a:\\\r\n"
    "# alt=1\r\n"
    "\r\n"
    "[Sonstiges]\r\n"
    "ziel=bleibt\r\n";

}  // namespace

class TestIniDatei : public QObject {
    Q_OBJECT

private slots:
    void lesen_data();
    void lesen();
    void schreiben_data();
    void schreiben();
    void fehlendeDateiWirdAngelegt();
    void nichtSchreibbar();
    void ordnerNichtSchreibbarDateiSchon();

private:
    QTemporaryDir m_ordner;
};

void TestIniDatei::lesen_data()
{
    QTest::addColumn<QString>("abschnitt");
    QTest::addColumn<QString>("schluessel");
    QTest::addColumn<QString>("erwartet");

    QTest::newRow("blanks um den Wert") << "Datensicherung" << "Ziel" << "a:\\";
    QTest::newRow("Gross/Klein egal") << "DATENSICHERUNG" << "ziel" << "a:\\";
    QTest::newRow("Latin-1 bleibt lesbar") << "Einstellungen" << "Anmerkung" << QString::fromUtf8("Müller");
    QTest::newRow("Schluessel anderer Abschnitt") << "Einstellungen" << "Ziel" << "<vorgabe>";
    QTest::newRow("Kommentar ist kein Schluessel") << "Datensicherung" << "# alt" << "<vorgabe>";
    QTest::newRow("Abschnitt fehlt") << "Gibtsnicht" << "Ziel" << "<vorgabe>";
    QTest::newRow("nur der eigene Abschnitt") << "Sonstiges" << "Ziel" << "bleibt";
}

void TestIniDatei::lesen()
{
    QFETCH(QString, abschnitt);
    QFETCH(QString, schluessel);
    QFETCH(QString, erwartet);
    const QString pfad = m_ordner.filePath(QStringLiteral("lesen.ini"));
    Schreibe(pfad, kWindowsDatei);
    QCOMPARE(platform::IniDatei(pfad).lesen(abschnitt, schluessel, QStringLiteral("<vorgabe>")), erwartet);
    QCOMPARE(platform::IniDatei(m_ordner.filePath(QStringLiteral("fehlt.ini")))
                 .lesen(abschnitt, schluessel, QStringLiteral("<vorgabe>")),
             QStringLiteral("<vorgabe>"));
}

void TestIniDatei::schreiben_data()
{
    QTest::addColumn<QByteArray>("vorher");
    QTest::addColumn<QString>("abschnitt");
    QTest::addColumn<QString>("schluessel");
    QTest::addColumn<QString>("wert");
    QTest::addColumn<QByteArray>("nachher");

    QTest::newRow("Wert ersetzt, alles andere bleibt")
        << kWindowsDatei << "Datensicherung" << "Ziel" << "/home/anna/"
        << QByteArray("; Ordavo\r\n[Einstellungen]\r\nDesktopIcon=true\r\nAnmerkung=M\xfcller\r\n\r\n"
                      "[Datensicherung]\r\nZiel = /home/anna/\r\n# alt=1\r\n\r\n[Sonstiges]\r\nziel=bleibt\r\n");
    QTest::newRow("Schluessel in anderer Schreibweise")
        << kWindowsDatei << "datensicherung" << "ZIEL" << "b:\\"
        << QByteArray("; Ordavo\r\n[Einstellungen]\r\nDesktopIcon=true\r\nAnmerkung=M\xfcller\r\n\r\n"
                      "[Datensicherung]\r\nZiel = b:\\\r\n# alt=1\r\n\r\n[Sonstiges]\r\nziel=bleibt\r\n");
    QTest::newRow("neuer Schluessel vor die Leerzeile seines Abschnitts")
        << kWindowsDatei << "Einstellungen" << "Neu" << "1"
        << QByteArray("; Ordavo\r\n[Einstellungen]\r\nDesktopIcon=true\r\nAnmerkung=M\xfcller\r\nNeu=1\r\n\r\n"
                      "[Datensicherung]\r\nZiel = a:\\\r\n# alt=1\r\n\r\n[Sonstiges]\r\nziel=bleibt\r\n");
    QTest::newRow("neuer Abschnitt am Ende")
        << QByteArray("[Einstellungen]\nDesktopIcon=false\n") << "Datensicherung" << "Ziel" << "/mnt/usb/"
        << QByteArray("[Einstellungen]\nDesktopIcon=false\n[Datensicherung]\nZiel=/mnt/usb/\n");
    QTest::newRow("letzte Zeile ohne Zeilenende")
        << QByteArray("[Einstellungen]\r\nDesktopIcon=false") << "Einstellungen" << "DesktopIcon" << "true"
        << QByteArray("[Einstellungen]\r\nDesktopIcon=true");
    QTest::newRow("Schluessel anhaengen ohne Zeilenende")
        << QByteArray("[Datensicherung]\r\nAlt=1") << "Datensicherung" << "Ziel" << "/x/"
        << QByteArray("[Datensicherung]\r\nAlt=1\r\nZiel=/x/");
    QTest::newRow("Abschnitt anhaengen ohne Zeilenende")
        << QByteArray("[A]\r\nx=1") << "Datensicherung" << "Ziel" << "/x/"
        << QByteArray("[A]\r\nx=1\r\n[Datensicherung]\r\nZiel=/x/\r\n");
    QTest::newRow("leerer Wert")
        << QByteArray("[Datensicherung]\nZiel=\n") << "Datensicherung" << "Ziel" << "/x/"
        << QByteArray("[Datensicherung]\nZiel=/x/\n");
}

void TestIniDatei::schreiben()
{
    QFETCH(QByteArray, vorher);
    QFETCH(QString, abschnitt);
    QFETCH(QString, schluessel);
    QFETCH(QString, wert);
    QFETCH(QByteArray, nachher);

    const QString pfad = m_ordner.filePath(QStringLiteral("schreiben.ini"));
    Schreibe(pfad, vorher);
    platform::IniDatei ini(pfad);
    QVERIFY(ini.schreiben(abschnitt, schluessel, wert));
    QCOMPARE(Inhalt(pfad), nachher);
    QCOMPARE(ini.lesen(abschnitt, schluessel), wert);
    // Writing the same value again changes nothing.
    QVERIFY(ini.schreiben(abschnitt, schluessel, wert));
    QCOMPARE(Inhalt(pfad), nachher);
}

void TestIniDatei::fehlendeDateiWirdAngelegt()
{
    const QString pfad = m_ordner.filePath(QStringLiteral("neu.ini"));
    platform::IniDatei ini(pfad);
    QVERIFY(ini.schreiben(QStringLiteral("Einstellungen"), QStringLiteral("DesktopIcon"), QStringLiteral("true")));
    QVERIFY(ini.schreiben(QStringLiteral("Datensicherung"), QStringLiteral("Ziel"), QStringLiteral("/x/")));
    QCOMPARE(Inhalt(pfad), QByteArray("[Einstellungen]\nDesktopIcon=true\n[Datensicherung]\nZiel=/x/\n"));
}

void TestIniDatei::nichtSchreibbar()
{
    // Below a regular file nothing can be written, not even by root.
    const QString datei = m_ordner.filePath(QStringLiteral("eine_datei"));
    Schreibe(datei, "x");
    QVERIFY(!platform::IniDatei(datei + QStringLiteral("/Ordavo.ini"))
                 .schreiben(QStringLiteral("Datensicherung"), QStringLiteral("Ziel"), QStringLiteral("/x/")));

    // A read-only file stays as it is, even in a writable folder.
    const QString pfad = m_ordner.filePath(QStringLiteral("schreibgeschuetzt.ini"));
    Schreibe(pfad, kWindowsDatei);
    QVERIFY(QFile::setPermissions(pfad, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    {
        OhneSchreibvorrecht ohne;
        if (!ohne.wirksam()) QSKIP("cannot give up root's write privilege here");
        QVERIFY(!platform::IniDatei(pfad).schreiben(QStringLiteral("Datensicherung"), QStringLiteral("Ziel"),
                                                     QStringLiteral("/x/")));
    }
    QCOMPARE(Inhalt(pfad), kWindowsDatei);
    QVERIFY(!(QFile::permissions(pfad) & QFile::WriteOwner));
}

void TestIniDatei::ordnerNichtSchreibbarDateiSchon()
{
    const QString ordner = m_ordner.filePath(QStringLiteral("nurlesen"));
    QVERIFY(QDir().mkpath(ordner));
    const QString pfad = ordner + QStringLiteral("/Ordavo.ini");
    Schreibe(pfad, kWindowsDatei);
    QVERIFY(QFile::setPermissions(ordner, QFile::ReadOwner | QFile::ExeOwner));
    bool geschrieben = false;
    {
        OhneSchreibvorrecht ohne;
        if (!ohne.wirksam()) {
            QFile::setPermissions(ordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("cannot give up root's write privilege here");
        }
        geschrieben = platform::IniDatei(pfad).schreiben(QStringLiteral("Datensicherung"), QStringLiteral("Ziel"),
                                                         QStringLiteral("/x/"));
    }
    QFile::setPermissions(ordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(geschrieben);
    QByteArray erwartet = kWindowsDatei;
    erwartet.replace("Ziel = a:\\", "Ziel = /x/");
    QCOMPARE(Inhalt(pfad), erwartet);
    QCOMPARE(QDir(ordner).entryList(QDir::Files), QStringList{QStringLiteral("Ordavo.ini")});
}

QTEST_GUILESS_MAIN(TestIniDatei)
#include "tst_IniDatei.moc"
