#pragma once
// Shared test helpers: a fresh program folder with its own database, the
// program's windows created as at start, a second connection to check what
// the database holds, and answering message boxes and modal dialogs.
#include <QDir>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <memory>

class QWidget;
class QAbstractButton;

namespace test {

// A temporary program folder holding ordavo_tab.mdb (made from the schema);
// it is the current directory while the object lives.
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
};

// Runs SQL on a connection of its own (not the program's), so tests can
// prepare data and check what was really stored.
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
void BeimNaechstenDialog(std::function<void(QWidget*)> aktion);
// Shortcuts: click the button with this text ("OK", "Abbrechen") in the next
// message box and remember its text.
void AntworteMeldung(const QString& knopf = QStringLiteral("OK"));
// Texts of the message boxes answered so far (and clears the list).
QStringList Meldungen();
// Whether every expected dialog appeared.
int OffeneDialoge();
// Clicks a button of a widget by its text or objectName.
void Klicke(QWidget* in, const QString& knopf);

// German formats and settings as the program sets them (called by the other helpers).
void Einrichten();

}  // namespace test
