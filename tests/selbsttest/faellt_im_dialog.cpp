// Fails on purpose inside modal dialogs, one way per row; tst_schnellfehler
// runs it and expects it to end at once with these failures and to go on
// with the test function after them.
#include "TestUmgebung.h"

#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest/QtTest>

class FaelltImDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::Einrichten(); }

    void fehlschlag_data()
    {
        QTest::addColumn<int>("art");
        QTest::newRow("Prüfung in BeimDialog") << 0;
        QTest::newRow("Prüfung in BeimNaechstenDialog") << 1;
        QTest::newRow("fehlender Knopf") << 2;
        QTest::newRow("fehlende Komponente") << 3;
        QTest::newRow("Prüfung im Dialog über dem Dialog") << 4;
    }
    void fehlschlag()
    {
        QFETCH(int, art);
        QDialog dialog;
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setObjectName(QStringLiteral("Ok"));
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        switch (art) {
        case 0: test::BeimDialog([](QWidget*) { QCOMPARE(1, 2); }); break;
        case 1: test::BeimNaechstenDialog([](QWidget*) { QVERIFY(false); }); break;
        case 2: test::BeimDialog([](QWidget* w) { test::Klicke(w, QStringLiteral("Gibtsnicht")); }); break;
        case 3: test::BeimDialog([](QWidget* w) { test::In<QAbstractButton>(w, "Gibtsnicht")->click(); }); break;
        case 4:
            test::BeimDialog([](QWidget* w) {
                test::BeimDialog([](QWidget*) { QCOMPARE(QStringLiteral("innen"), QStringLiteral("anders")); });
                QDialog innen(w);
                innen.exec();
            });
            break;
        }
        dialog.exec();
    }
    void danach() { QVERIFY(true); }
};

QTEST_MAIN(FaelltImDialog)
#include "faellt_im_dialog.moc"
