// German for Qt's own dialogs: the environment is completed where it names no
// language, and Qt's German translations are loaded.
#include "platform/Sprache.h"

#include <QCoreApplication>
#include <QtTest>

class TestSprache : public QObject {
    Q_OBJECT
private slots:
    void ohneSystemsprache_data()
    {
        // Before: LC_ALL, LANG, LC_TIME ("-" = unset). After: LC_ALL, LC_TIME, LC_NUMERIC.
        for (const char* s : {"vorher_all", "vorher_lang", "vorher_time", "all", "time", "numeric"})
            QTest::addColumn<QString>(s);
        const QString de = QStringLiteral("de_DE.UTF-8");
        QTest::newRow("nichts gesetzt") << "-" << "-" << "-" << "-" << de << de;
        QTest::newRow("LANG=C") << "-" << "C" << "-" << "-" << de << de;
        QTest::newRow("LANG=C.UTF-8") << "-" << "C.UTF-8" << "-" << "-" << de << de;
        QTest::newRow("LANG=POSIX") << "-" << "POSIX" << "-" << "-" << de << de;
        QTest::newRow("LC_ALL=C") << "C" << "en_US.UTF-8" << "-" << de << "-" << "-";
        QTest::newRow("LC_ALL englisch bleibt") << "en_GB.UTF-8" << "C" << "-" << "en_GB.UTF-8" << "-" << "-";
        QTest::newRow("LANG englisch bleibt") << "-" << "en_US.UTF-8" << "-" << "-" << "-" << "-";
        QTest::newRow("LANG deutsch bleibt") << "-" << "de_AT.UTF-8" << "-" << "-" << "-" << "-";
        QTest::newRow("eigenes LC_TIME bleibt") << "-" << "C" << "en_GB.UTF-8" << "-" << "en_GB.UTF-8" << de;
    }
    void ohneSystemsprache()
    {
        QFETCH(QString, vorher_all);
        QFETCH(QString, vorher_lang);
        QFETCH(QString, vorher_time);
        QFETCH(QString, all);
        QFETCH(QString, time);
        QFETCH(QString, numeric);
        const char* namen[] = {"LC_ALL", "LANG", "LC_TIME", "LC_NUMERIC", "LC_MONETARY", "LC_MESSAGES", "LC_MEASUREMENT"};
        QMap<QByteArray, QByteArray> gesichert;
        for (const char* n : namen) {
            if (qEnvironmentVariableIsSet(n)) gesichert.insert(n, qgetenv(n));
            qunsetenv(n);
        }
        auto setze = [](const char* n, const QString& w) {
            if (w != QLatin1String("-")) qputenv(n, w.toUtf8());
        };
        setze("LC_ALL", vorher_all);
        setze("LANG", vorher_lang);
        setze("LC_TIME", vorher_time);

        platform::DeutschOhneSystemsprache();
        auto wert = [](const char* n) {
            return qEnvironmentVariableIsSet(n) ? qEnvironmentVariable(n) : QStringLiteral("-");
        };
        const QStringList nachher{wert("LC_ALL"), wert("LC_TIME"), wert("LC_NUMERIC"), wert("LC_MONETARY"), wert("LANG")};

        for (const char* n : namen) qunsetenv(n);
        for (auto it = gesichert.cbegin(); it != gesichert.cend(); ++it) qputenv(it.key().constData(), it.value());

        // LC_MONETARY goes with LC_NUMERIC, so amounts and numbers agree; LANG is never changed.
        QCOMPARE(nachher, (QStringList{all, time, numeric, numeric, vorher_lang}));
    }

    void qtDialogeDeutsch()
    {
        QVERIFY(platform::QtAufDeutsch(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    }
};

QTEST_GUILESS_MAIN(TestSprache)
#include "tst_Sprache.moc"
