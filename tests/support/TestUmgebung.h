#pragma once
// Shared test helpers: a fresh program folder with its own database, the
// program's windows created as at start, a second connection to check what
// the database holds, and answering message boxes and modal dialogs.
#include <QDir>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <type_traits>

class QAbstractButton;

namespace test {

// A temporary program folder holding ordavo_tab.mdb (made from the schema);
// it is the current directory while the object lives.
// When the test runs on the database server (ORDAVO_TEST_MOTOR=server), the
// folder also gets a fresh database of its own there, which every connection
// opened meanwhile uses, test::Sql included, and no file is made.
class Programmordner {
public:
    explicit Programmordner(bool mitDatenbank = true);
    ~Programmordner();
    QString pfad() const { return m_dir.path(); }
    QString datei(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QString datenbank() const { return datei(QStringLiteral("ordavo_tab.mdb")); }

private:
    QTemporaryDir m_dir;
    QString m_vorher;
    bool m_server = false;
};

// Whether this run of the test works on the database server instead of the file.
bool AufServer();

// The widest whole number a table holds, for layouts that must fit it: the
// file keeps wider ones written before numbers were checked, the server's
// columns are 32-bit.
QString BreiteNummer();

// The server half of the test support registers these (it lives in a library
// of its own, as only it may know the server): `anlegen` makes a fresh
// database with the schema and chooses it for every connection opened from
// then on; `abbauen` drops it and chooses the file again.
void SetzeServerhaken(std::function<void()> anlegen, std::function<void()> abbauen);

// A file's bytes; `wennFehlt` when it cannot be read (e.g. it is missing).
QByteArray Lies(const QString& pfad, const QByteArray& wennFehlt = {});
// Writes `inhalt` as the whole file; a failure fails the running test.
void Schreibe(const QString& pfad, const QByteArray& inhalt);

// Runs SQL on a connection of its own (not the program's), so tests can
// prepare data and check what was really stored. On the server the text is
// translated as the program's statements are ("?" parameters, brackets).
void Sql(const QString& sql, const QList<QVariant>& werte = {});
QVariant Wert(const QString& sql, const QList<QVariant>& werte = {});
QList<QList<QVariant>> Zeilen(const QString& sql, const QList<QVariant>& werte = {});

// Creates the data module and the windows of the libraries the test links,
// as the program does at start (each folder's registry holds them), and
// removes them again. ProgrammErzeugen is defined per test folder
// (tests/<folder>/Programm.cpp, or support/ProgrammGanz.cpp for the whole program).
void ProgrammErzeugen();
void ProgrammBeenden();

// Answers the next modal widget (message box or dialog) that appears:
// `aktion` gets it, e.g. to type and click. Handlers are used in order.
// Once a check has failed in the running test function, the waiting handlers
// are dropped and every modal widget is closed as soon as it shows, so the
// test ends at once instead of waiting on a dialog nobody answers.
void BeimNaechstenDialog(std::function<void(QWidget*)> aktion);
// As BeimNaechstenDialog, but `aktion` runs from a timer of its own once the
// dialog is up, so that message boxes it causes are answered in turn.
void BeimDialog(std::function<void(QWidget*)> aktion);
// Shortcuts: click the button with this text ("OK", "Abbrechen") in the next
// message box and remember its text.
void AntworteMeldung(const QString& knopf = QStringLiteral("OK"));
// Texts of the message boxes answered so far (and clears the list).
QStringList Meldungen();
// Whether every expected dialog appeared.
int OffeneDialoge();
// Clicks a button of a widget by its text or objectName; a missing button
// fails the test.
void Klicke(QWidget* in, const QString& knopf);

// Records that the control `name` is missing in `fenster` as a failure of the
// running test.
void KomponenteFehlt(const char* name, QWidget* fenster);
// A hidden widget of no window that stands in for a missing control, so that
// the test goes on harmlessly to its end and reports the failure.
QWidget* Ersatzhalter();

// The control `name` of `fenster`. A missing one fails the test and a hidden
// stand-in is returned, so neither a crash nor a hang hides the other tests.
template <typename T = QWidget>
T* In(QWidget* fenster, const char* name)
{
    if (T* c = fenster->findChild<T*>(QString::fromLatin1(name))) return c;
    KomponenteFehlt(name, fenster);
    if constexpr (std::is_constructible_v<T, QWidget*>) {
        return new T(Ersatzhalter());
    } else if constexpr (std::is_base_of_v<T, QPushButton>) {  // e.g. QAbstractButton
        return new QPushButton(Ersatzhalter());
    } else {
        qFatal("Komponente %s fehlt", name);
        return nullptr;
    }
}

// German formats and settings as the program sets them (called by the other helpers).
void Einrichten();

}  // namespace test
