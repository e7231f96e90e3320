// A failed check inside a modal dialog ends that test function at once and
// the rest of the test program runs: faellt_im_dialog fails on purpose.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest/QtTest>

class TstSchnellfehler : public QObject {
    Q_OBJECT
private slots:
    void fehlschlagImDialogEndetSofort()
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer uhr;
        uhr.start();
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/faellt_im_dialog"), {});
        // Generous: a dialog left open would keep it running until killed.
        const bool fertig = p.waitForFinished(60000);
        if (!fertig) p.kill();
        const QString ausgabe = QString::fromUtf8(p.readAll());
        QVERIFY2(fertig, qPrintable(ausgabe));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 5);
        QCOMPARE(ausgabe.count(QStringLiteral("FAIL!  : FaelltImDialog::fehlschlag(")), 5);
        QVERIFY2(ausgabe.contains(QStringLiteral("PASS   : FaelltImDialog::danach()")), qPrintable(ausgabe));
        QVERIFY2(uhr.elapsed() < 30000, qPrintable(QString::number(uhr.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TstSchnellfehler)
#include "tst_schnellfehler.moc"
