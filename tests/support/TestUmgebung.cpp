#include "TestUmgebung.h"

#include "data/Anweisung.h"
#include "data/Fehler.h"
#include "data/Schema.h"
#include "data/Verbindung.h"
#include "platform/Pfade.h"
#include "ui/Anwendung.h"
#include "ui/Erzeugung.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <clocale>
#include <deque>
#include <sqlite3.h>

namespace test {

namespace {
void WaechterStarten();

struct Serverhaken {
    std::function<void()> anlegen;
    std::function<void()> abbauen;
};
Serverhaken& Haken()
{
    static Serverhaken h;
    return h;
}

// The second connection on the server, kept for the folder's lifetime: a
// connection per statement would cost more than the statement.
std::unique_ptr<data::Verbindung>& Testverbindung()
{
    static std::unique_ptr<data::Verbindung> v;
    return v;
}
}  // namespace

bool AufServer() { return qEnvironmentVariable("ORDAVO_TEST_MOTOR") == QLatin1String("server"); }

QString BreiteNummer() { return AufServer() ? QStringLiteral("-2147483648") : QStringLiteral("1234567890123"); }

void SetzeServerhaken(std::function<void()> anlegen, std::function<void()> abbauen)
{
    Haken() = Serverhaken{std::move(anlegen), std::move(abbauen)};
}

void Einrichten()
{
    static bool fertig = false;
    if (fertig) return;
    fertig = true;
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Watches for modal widgets from now on, so that one a failed check left
    // open is closed also where the test answers its dialogs itself.
    WaechterStarten();
    const QByteArray rt = QDir::temp().filePath(QStringLiteral("ordavo-xdg-runtime")).toLocal8Bit();
    QDir().mkpath(QString::fromLocal8Bit(rt));
    QFile::setPermissions(QString::fromLocal8Bit(rt), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", rt);
}

Programmordner::Programmordner(bool mitDatenbank)
{
    Einrichten();
    m_vorher = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    // The settings file and the desktop entry go to this folder, not the build's.
    platform::SetzeProgrammordner(m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("home/Desktop"));
    qputenv("HOME", QDir(m_dir.path()).filePath(QStringLiteral("home")).toLocal8Bit());
    // On the server no file is made: a path that still reads the file fails.
    if (mitDatenbank && !AufServer()) data::LeereDatenbankSchreiben(datenbank());
    if (mitDatenbank && AufServer()) {
        if (!Haken().anlegen)
            qFatal("ORDAVO_TEST_MOTOR=server, aber dieser Test ist nicht mit der Serverunterstützung gebunden");
        Haken().anlegen();
        m_server = true;
    }
}

Programmordner::~Programmordner()
{
    if (m_server) {
        Testverbindung().reset();
        Haken().abbauen();
    }
    QDir::setCurrent(m_vorher);
    platform::SetzeProgrammordner(QString());
}

namespace {

struct Roh {
    sqlite3* db = nullptr;
    Roh()
    {
        if (sqlite3_open_v2("ordavo_tab.mdb", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            qFatal("Testdatenbank nicht zu öffnen: %s", sqlite3_errmsg(db));
        sqlite3_busy_timeout(db, 5000);
        sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    }
    ~Roh() { sqlite3_close(db); }
};

QList<QList<QVariant>> AufDemMotor(const QString& sql, const QList<QVariant>& werte)
{
    auto& v = Testverbindung();
    if (!v) {
        v = std::make_unique<data::Verbindung>();
        v->Oeffnen();
    }
    QList<QList<QVariant>> out;
    try {
        data::Anweisung st(*v, sql);
        for (int i = 0; i < werte.size(); ++i) st.binde(i + 1, werte.at(i));
        while (st.schritt()) {
            QList<QVariant> zeile;
            for (int c = 0; c < st.spaltenAnzahl(); ++c) zeile << st.wert(c);
            out << zeile;
        }
    } catch (const data::Fehler& f) {
        qFatal("SQL-Fehler: %s in %s", qPrintable(f.text()), qPrintable(sql));
    }
    return out;
}

QList<QList<QVariant>> Ausfuehren(const QString& sql, const QList<QVariant>& werte)
{
    if (data::Verbindung::MotorGewaehlt()) return AufDemMotor(sql, werte);
    Roh r;
    sqlite3_stmt* st = nullptr;
    QByteArray b = sql.toUtf8();
    if (sqlite3_prepare_v2(r.db, b.constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("SQL-Fehler: %s in %s", sqlite3_errmsg(r.db), b.constData());
    for (int i = 0; i < werte.size(); ++i) data::Binde(st, i + 1, werte.at(i));
    QList<QList<QVariant>> out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QList<QVariant> zeile;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: zeile << QVariant(qint64(sqlite3_column_int64(st, c))); break;
            case SQLITE_FLOAT: zeile << QVariant(sqlite3_column_double(st, c)); break;
            case SQLITE_NULL: zeile << QVariant(); break;
            default: zeile << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)))); break;
            }
        }
        out << zeile;
    }
    if (rc != SQLITE_DONE) qFatal("SQL-Fehler: %s in %s", sqlite3_errmsg(r.db), b.constData());
    sqlite3_finalize(st);
    return out;
}

// Clears the "answered" mark of a widget when it is hidden, so a window that
// is shown again (windows live for the whole run) is answered again.
struct Verstecktwaechter : QObject {
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Hide) o->setProperty("ordavoTestBeantwortet", QVariant());
        return false;
    }
};

// Closes a modal widget so that the exec() waiting on it returns.
void Schliessen(QWidget* w)
{
    if (auto* d = qobject_cast<QDialog*>(w)) d->done(QDialog::Rejected);
    else w->close();
}

// Handlers for modal widgets, polled from a timer that runs from the first
// use to the end of the test program.
struct Dialogwaechter {
    std::deque<std::function<void(QWidget*)>> handler;
    QStringList meldungen;
    QTimer timer;
    Verstecktwaechter versteckt;
    Dialogwaechter()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] { Pruefen(); });
    }
    void Pruefen()
    {
        if (QTest::currentTestFailed()) {
            // A failed check leaves its dialog open: close every modal widget,
            // nested ones first, and answer nothing more in this test function.
            handler.clear();
            QWidget* vorher = nullptr;
            while (QWidget* w = QApplication::activeModalWidget()) {
                if (w == vorher || !w->isVisible()) break;  // one that refuses to close
                Schliessen(w);
                vorher = w;
            }
            return;  // keeps polling: the test may open further dialogs before it ends
        }
        if (handler.empty()) return;
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->property("ordavoTestBeantwortet").toBool()) return;
        w->setProperty("ordavoTestBeantwortet", true);
        w->removeEventFilter(&versteckt);
        w->installEventFilter(&versteckt);
        auto h = handler.front();
        handler.pop_front();
        // Outside the polling timer's slot, so that a dialog the handler opens
        // (a message box from its click) can be answered in turn.
        QPointer<QWidget> ziel(w);
        QTimer::singleShot(0, [h, ziel] {
            if (ziel) h(ziel);
        });
    }
    void Starten()
    {
        if (!timer.isActive()) timer.start();
    }
};

Dialogwaechter& Waechter()
{
    static Dialogwaechter w;
    return w;
}

void WaechterStarten() { Waechter().Starten(); }

}  // namespace

void Sql(const QString& sql, const QList<QVariant>& werte) { Ausfuehren(sql, werte); }

QVariant Wert(const QString& sql, const QList<QVariant>& werte)
{
    const auto z = Ausfuehren(sql, werte);
    return z.isEmpty() || z.first().isEmpty() ? QVariant() : z.first().first();
}

QList<QList<QVariant>> Zeilen(const QString& sql, const QList<QVariant>& werte) { return Ausfuehren(sql, werte); }

void ProgrammBeenden() { ui::AlleZerstoeren(); }

void BeimNaechstenDialog(std::function<void(QWidget*)> aktion)
{
    Dialogwaechter& w = Waechter();
    w.handler.push_back(std::move(aktion));
    w.Starten();
}

QByteArray Lies(const QString& pfad, const QByteArray& wennFehlt)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : wennFehlt;
}

void Schreibe(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(pfad));
    QCOMPARE(f.write(inhalt), inhalt.size());
}

void BeimDialog(std::function<void(QWidget*)> aktion)
{
    BeimNaechstenDialog([aktion](QWidget* w) {
        QTimer::singleShot(0, w, [aktion, w] { aktion(w); });
    });
}

void KomponenteFehlt(const char* name, QWidget* fenster)
{
    QString wo;
    if (fenster) wo = fenster->objectName().isEmpty() ? QString::fromLatin1(fenster->metaObject()->className()) : fenster->objectName();
    const QByteArray text = QStringLiteral("Komponente '%1' fehlt in %2").arg(QString::fromLatin1(name), wo).toUtf8();
    QTest::qFail(text.constData(), __FILE__, __LINE__);
    Waechter().Starten();  // to close the dialog the test was in
}

QWidget* Ersatzhalter()
{
    static QPointer<QWidget> halter;
    if (!halter) halter = new QWidget;  // lives to the end of the test program
    return halter;
}

void Klicke(QWidget* in, const QString& knopf)
{
    const auto knoepfe = in->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : knoepfe) {
        if (b->objectName() == knopf || b->text().remove(QLatin1Char('&')).trimmed() == knopf) {
            b->click();
            return;
        }
    }
    KomponenteFehlt(qPrintable(knopf), in);
}

void AntworteMeldung(const QString& knopf)
{
    BeimNaechstenDialog([knopf](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) Waechter().meldungen << box->text();
        else Waechter().meldungen << QStringLiteral("<%1>").arg(w->objectName());
        Klicke(w, knopf);
    });
}

QStringList Meldungen()
{
    QStringList m = Waechter().meldungen;
    Waechter().meldungen.clear();
    return m;
}

int OffeneDialoge() { return int(Waechter().handler.size()); }

}  // namespace test
