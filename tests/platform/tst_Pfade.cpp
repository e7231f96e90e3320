// Program paths and the desktop entry.
#include "platform/Desktopeintrag.h"
#include "platform/Pfade.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPfade : public QObject {
    Q_OBJECT

private slots:
    void einstellungsdatei_data();
    void einstellungsdatei();
    void programmordnerUndProgrammname();
    void desktopeintrag();
    void desktopeintragOhneDesktopordner();
};

void TestPfade::einstellungsdatei_data()
{
    QTest::addColumn<QString>("programm");
    QTest::addColumn<QString>("vorhanden");  // a file already in the folder, or empty
    QTest::addColumn<QString>("erwartet");

    QTest::newRow("Hauptprogramm") << "ordavo" << "" << "Ordavo.ini";
    QTest::newRow("Hauptprogramm unter Windows") << "Ordavo.exe" << "" << "Ordavo.ini";
    QTest::newRow("vorhandene Datei in anderer Schreibweise") << "ordavo" << "ORDAVO.INI" << "ORDAVO.INI";
    QTest::newRow("anderes Programm") << "datensicherung" << "" << "datensicherung.ini";
    QTest::newRow("Punkt im Namen ist keine Endung") << "ordavo-2008.4" << "" << "ordavo-2008.4.ini";
}

void TestPfade::einstellungsdatei()
{
    QFETCH(QString, programm);
    QFETCH(QString, vorhanden);
    QFETCH(QString, erwartet);
    QTemporaryDir ordner;
    if (!vorhanden.isEmpty()) {
        QFile f(ordner.filePath(vorhanden));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(platform::Einstellungsdatei(ordner.filePath(programm)), ordner.filePath(erwartet));
}

void TestPfade::programmordnerUndProgrammname()
{
    QCOMPARE(platform::Programmordner(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    QCOMPARE(platform::OrdavoIni(), platform::Programmordner() + QStringLiteral("Ordavo.ini"));
#ifdef Q_OS_WIN
    QCOMPARE(platform::Programmname(QStringLiteral("datensicherung")), QStringLiteral("datensicherung.exe"));
#else
    QCOMPARE(platform::Programmname(QStringLiteral("datensicherung")), QStringLiteral("datensicherung"));
#endif
}

void TestPfade::desktopeintrag()
{
    QTemporaryDir desktop;
    const QString eintrag = desktop.filePath(QStringLiteral("Ordavo.desktop"));
    {
        QFile alt(eintrag);
        QVERIFY(alt.open(QIODevice::WriteOnly));
        alt.write("alter Eintrag\n");
    }
    QVERIFY(platform::DesktopeintragSchreiben(QStringLiteral("/opt/Mein Ordavo/ordavo"), desktop.path()));
    QFile f(eintrag);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("[Desktop Entry]\n"
                                                             "Type=Application\n"
                                                             "Name=Ordavo\n"
                                                             "Comment=Ordavo\n"
                                                             "Exec=\"/opt/Mein Ordavo/ordavo\"\n"
                                                             "Path=/opt/Mein Ordavo\n"));
    QVERIFY(QFile::permissions(eintrag) & QFile::ExeOwner);
    QVERIFY(QFile::permissions(eintrag) & QFile::ExeOther);

    // Without blanks the program stands unquoted.
    QVERIFY(platform::DesktopeintragSchreiben(QStringLiteral("/opt/ordavo/ordavo"), desktop.path()));
    f.close();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("\nExec=/opt/ordavo/ordavo\nPath=/opt/ordavo\n"));
}

void TestPfade::desktopeintragOhneDesktopordner()
{
    QTemporaryDir ordner;
    QVERIFY(!platform::DesktopeintragSchreiben(QStringLiteral("/opt/ordavo/ordavo"),
                                               ordner.filePath(QStringLiteral("Schreibtisch"))));
    QVERIFY(!QFile::exists(ordner.filePath(QStringLiteral("Schreibtisch"))));
}

QTEST_GUILESS_MAIN(TestPfade)
#include "tst_Pfade.moc"
