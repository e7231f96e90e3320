// The preview as a user drives it: it opens maximised on the first page,
// counts the pages of a long report while it is open, saves a PDF, and hands
// a failure of the layout to its caller.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"
#include "report/Bericht.h"
#include "report/Vorschau.h"
#include "ui/Anwendung.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QtTest>

namespace {

QWidget* WarteAufDialog(const QString& name)
{
    QWidget* w = nullptr;
    const bool da = QTest::qWaitFor(
        [&] {
            w = QApplication::activeModalWidget();
            return w && w->objectName() == name;
        },
        10000);
    if (!da) QTest::qFail(qPrintable(QStringLiteral("Dialog %1 erscheint nicht").arg(name)), __FILE__, __LINE__);
    return da ? w : nullptr;
}

void Ausloesen(QWidget* dlg, const char* aktion)
{
    if (auto* a = dlg->findChild<QAction*>(QString::fromLatin1(aktion))) a->trigger();
}

}  // namespace

class TstVorschau : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;

    // 40 rows of 6 mm a page: 1000 rows are 25 pages.
    void Liste(report::Bericht& b, int zeilen)
    {
        data::Dataset* ds = dm->ADOQuery;
        ds->Close();
        ds->setSql(QStringLiteral("WITH RECURSIVE z(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM z WHERE i < %1) "
                                  "SELECT i FROM z")
                       .arg(zeilen));
        ds->Open();
        b.seitenkopf().setHoehe(37);
        b.seitenkopf().label("Titel", "Liste", {10, 0, 0, 0});
        b.detail().setHoehe(6);
        b.detail().feld("i", "i", {10, 0, 30, 0}, report::Maske::Text);
        b.setDataset(ds);
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        dm = new TDMOrdavo();
        App().DMOrdavo = dm;
    }
    void cleanup()
    {
        // Never leave a dialog open for the next test.
        while (QWidget* w = QApplication::activeModalWidget()) w->close();
        App().DMOrdavo = nullptr;
        delete dm;
        dm = nullptr;
        m_ordner.reset();
    }

    void blaetternUndAlsPdfSpeichern()
    {
        report::Bericht b(QStringLiteral("Liste"));
        Liste(b, 1000);
        dm->ADOQuery->setRecNo(3);
        const QString pdf = m_ordner->datei("liste.pdf");
        bool maximiert = false;
        QString anfang, gezaehlt, zuletzt;
        QTimer::singleShot(0, [&] {
            QWidget* dlg = WarteAufDialog("Vorschau");
            if (!dlg) return;
            maximiert = dlg->windowState() & Qt::WindowMaximized;
            auto* seite = dlg->findChild<QLabel*>("LabelSeite");
            anfang = seite->text();
            QVERIFY(QTest::qWaitFor([&] { return !seite->text().endsWith(QStringLiteral("…")); }, 20000));
            gezaehlt = seite->text();
            Ausloesen(dlg, "AktionLetzteSeite");
            zuletzt = seite->text();
            QTimer::singleShot(0, [&] {
                auto* datei = qobject_cast<QFileDialog*>(WarteAufDialog("PdfSpeichernDialog"));
                if (!datei) return;
                datei->selectFile(pdf);
                static_cast<QDialog*>(datei)->accept();
            });
            Ausloesen(dlg, "AktionPdfSpeichern");
            Ausloesen(dlg, "AktionSchliessen");
        });
        report::Vorschau(b);

        QVERIFY(maximiert);
        QVERIFY2(anfang.startsWith(QStringLiteral("Seite 1 von ")), qPrintable(anfang));
        QCOMPARE(gezaehlt, QStringLiteral("Seite 1 von 25"));
        QCOMPARE(zuletzt, QStringLiteral("Seite 25 von 25"));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(4) == "%PDF");
        QCOMPARE(dm->ADOQuery->RecNo(), 3);  // the dataset is back where it was
    }

    // On a 1280 px wide screen every button of the preview is there at once,
    // without the toolbar's overflow menu; the busy cursor is gone.
    void alleKnoepfeAufEinmal()
    {
        report::Bericht b(QStringLiteral("Liste"));
        Liste(b, 100);
        QStringList versteckt;
        bool leisteGefunden = false, ueberlauf = true, sanduhr = true;
        QTimer::singleShot(0, [&] {
            QWidget* dlg = WarteAufDialog("Vorschau");
            if (!dlg) return;
            sanduhr = QApplication::overrideCursor() != nullptr;
            dlg->setWindowState(Qt::WindowNoState);
            dlg->resize(1280, 1000);
            auto* leiste = dlg->findChild<QToolBar*>("Werkzeugleiste");
            leisteGefunden = leiste != nullptr;
            if (leiste) {
                (void)QTest::qWaitFor([&] { return leiste->width() == 1280; }, 5000);
                for (QAction* a : leiste->actions()) {
                    if (a->isSeparator()) continue;
                    QWidget* k = leiste->widgetForAction(a);
                    if (!k || !k->isVisible() || k->geometry().right() >= leiste->width())
                        versteckt << (a->text().isEmpty() ? a->objectName() : a->text());
                }
                auto* erweiterung = leiste->findChild<QWidget*>("qt_toolbar_ext_button");
                ueberlauf = erweiterung && erweiterung->isVisible();
            }
            Ausloesen(dlg, "AktionSchliessen");
        });
        report::Vorschau(b);
        QVERIFY(leisteGefunden);
        QVERIFY2(versteckt.isEmpty(), qPrintable(versteckt.join(", ")));
        QVERIFY(!ueberlauf);
        QVERIFY(!sanduhr);
    }

    void fehlerBeimLayoutKommtBeimAufruferAn()
    {
        report::Bericht b;
        Liste(b, 1000);
        data::Dataset* ds = dm->ADOQuery;
        b.detail().vorDemDruck = [ds](report::Band&, bool&) {
            if (ds->FieldByName("i").asInteger() == 700) throw data::Fehler(QStringLiteral("Zeile 700 fehlt"));
        };
        bool offen = false;
        QTimer::singleShot(0, [&] { offen = WarteAufDialog("Vorschau") != nullptr; });
        QVERIFY_THROWS_EXCEPTION(data::Fehler, report::Vorschau(b));
        QVERIFY(offen);  // the first pages were shown before the failure
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TstVorschau)
#include "tst_vorschau.moc"
