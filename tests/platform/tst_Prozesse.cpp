// Starting programs: with waiting, detached, and programs that are not there.
#include "platform/Prozesse.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A stand-in program: takes its time, then notes the folder it ran in.
QString Skript(const QTemporaryDir& ordner, const QString& name, int pausenMs)
{
    const QString pfad = ordner.filePath(name);
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(QStringLiteral("#!/bin/sh\nsleep %1\npwd > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n")
                .arg(pausenMs / 1000.0)
                .toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return pfad;
}

QByteArray Inhalt(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

}  // namespace

class TestProzesse : public QObject {
    Q_OBJECT

private slots:
    void starteUndWarteWartetImArbeitsordner();
    void starteLosgeloestKehrtSofortZurueck();
    void fehlendesProgrammStartetNicht();

private:
    QTemporaryDir m_ordner;
};

void TestProzesse::starteUndWarteWartetImArbeitsordner()
{
    const QString programm = Skript(m_ordner, QStringLiteral("warten.sh"), 500);
    const QString arbeitsordner = m_ordner.filePath(QStringLiteral("arbeit"));
    QVERIFY(QDir().mkpath(arbeitsordner));
    const QString protokoll = m_ordner.filePath(QStringLiteral("warten.txt"));

    QVERIFY(platform::StarteUndWarte(programm, arbeitsordner, {protokoll}));
    // Returned only after the program had finished its work.
    QCOMPARE(Inhalt(protokoll), QFileInfo(arbeitsordner).canonicalFilePath().toUtf8());
}

void TestProzesse::starteLosgeloestKehrtSofortZurueck()
{
    const QString programm = Skript(m_ordner, QStringLiteral("los.sh"), 500);
    const QString protokoll = m_ordner.filePath(QStringLiteral("los.txt"));

    QVERIFY(platform::StarteLosgeloest(programm, m_ordner.path(), {protokoll}));
    QVERIFY(!QFile::exists(protokoll));  // still sleeping
    QTRY_COMPARE_WITH_TIMEOUT(Inhalt(protokoll), QFileInfo(m_ordner.path()).canonicalFilePath().toUtf8(), 10000);
}

void TestProzesse::fehlendesProgrammStartetNicht()
{
    const QString fehlt = m_ordner.filePath(QStringLiteral("gibtsnicht"));
    QVERIFY(!platform::StarteUndWarte(fehlt, m_ordner.path()));
    QVERIFY(!platform::StarteLosgeloest(fehlt, m_ordner.path()));

    // A file that is no program is not started either.
    const QString keinProgramm = m_ordner.filePath(QStringLiteral("text.txt"));
    QFile f(keinProgramm);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("kein Programm\n");
    f.close();
    QVERIFY(!platform::StarteUndWarte(keinProgramm, m_ordner.path()));
}

QTEST_GUILESS_MAIN(TestProzesse)
#include "tst_Prozesse.moc"
