// The sample folder of scripts/beispiel: working in it, closing the program
// and backing up there leave the real installation's desktop entry and
// backup archive as they were.
#include "TestUmgebung.h"

#include "app/Programmfenster.h"
#include "app/ordavo.h"
#include "backup/datensicherung1.h"
#include "platform/Pfade.h"
#include "ui/Anwendung.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>

namespace {

QByteArray Lesen(const QString& datei) { return test::Lies(datei, "<fehlt>"); }

// Every file below the folder with its content.
QMap<QString, QByteArray> Inhalt(const QString& ordner)
{
    QMap<QString, QByteArray> m;
    QDirIterator it(ordner, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString datei = it.next();
        m.insert(QDir(ordner).relativeFilePath(datei), Lesen(datei));
    }
    return m;
}

}  // namespace

class TstBeispielordner : public QObject {
    Q_OBJECT
private slots:
    void echteEinrichtungBleibtUnberuehrt()
    {
        QTemporaryDir tmp;
        const QString home = tmp.filePath(QStringLiteral("home"));
        const QString probe = tmp.filePath(QStringLiteral("probe"));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/Desktop")));
        test::Schreibe(home + QStringLiteral("/Desktop/Ordavo.desktop"), "[Desktop Entry]\nExec=/echt/ordavo\n");
        test::Schreibe(home + QStringLiteral("/Ordavo.zip"), "die echte Sicherung");
        const auto vorher = Inhalt(home);
        const QByteArray alterHome = qgetenv("HOME");
        qputenv("HOME", home.toLocal8Bit());

        QProcess skript;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORDAVO_BAUORDNER"), QFileInfo(qEnvironmentVariable("ORDAVO_BIN_DIR")).path());
        env.insert(QStringLiteral("ORDAVO_BEISPIEL_OHNE_START"), QStringLiteral("1"));
        skript.setProcessEnvironment(env);
        skript.start(QStringLiteral("bash"), {qEnvironmentVariable("ORDAVO_SOURCE_DIR") + QStringLiteral("/scripts/beispiel"),
                                               QStringLiteral("mini"), probe});
        QVERIFY(skript.waitForFinished(120000));
        QVERIFY2(skript.exitCode() == 0, skript.readAllStandardError().constData());
        QVERIFY(QFile::exists(probe + QStringLiteral("/ordavo_tab.mdb")));

        // The program as the sample starts it: working and program folder are the sample folder.
        const QString vorherOrdner = QDir::currentPath();
        QDir::setCurrent(probe);
        platform::SetzeProgrammordner(probe);
        // The backup tool that closing starts is a stand-in here that notes it ran.
        QFile::remove(probe + QStringLiteral("/datensicherung"));
        test::Schreibe(probe + QStringLiteral("/datensicherung"), "#!/bin/sh\npwd > gestartet\n");
        QFile::setPermissions(probe + QStringLiteral("/datensicherung"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        test::ProgrammErzeugen();
        Programm().Ordavo->show();
        Programm().Ordavo->close();
        QTRY_VERIFY(QFile::exists(probe + QStringLiteral("/gestartet")));
        test::ProgrammBeenden();

        // The backup as the user makes it in the sample folder.
        {
            backup::TForm_Datensicherung fenster;
            fenster.show();
            test::AntworteMeldung();
            test::Klicke(&fenster, QStringLiteral("BitBtn1"));
            QTRY_COMPARE(test::OffeneDialoge(), 0);
            QTRY_VERIFY(!fenster.isVisible());
        }
        QVERIFY(test::Meldungen().join(QString()).contains(QStringLiteral("erfolgreich")));
        QVERIFY(QFile::exists(probe + QStringLiteral("/Ordavo.zip")));

        QDir::setCurrent(vorherOrdner);
        platform::SetzeProgrammordner(QString());
        qputenv("HOME", alterHome);
        QCOMPARE(Inhalt(home), vorher);
    }
};

QTEST_MAIN(TstBeispielordner)
#include "tst_beispielordner.moc"
