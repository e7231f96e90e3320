#pragma once
// The one database connection: ordavo_tab.mdb in the current working directory,
// opened through Qt's SQLite driver, never created; or, when the program
// has chosen one, another engine (a database server). Datasets run their
// statements on the raw handle of the same connection or through the engine.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

struct sqlite3;

namespace data {

class Motor;

// Opens the other engine; throws data::Fehler with a German message.
using Motorwahl = std::function<std::unique_ptr<Motor>()>;

class Verbindung : public QObject {
    Q_OBJECT
public:
    explicit Verbindung(QObject* parent = nullptr);
    ~Verbindung() override;

    // Opens `datei` (default: ordavo_tab.mdb in the current directory).
    // Throws data::Fehler with the engine's message when the file is missing,
    // unreadable or not a database.
    // With an engine chosen (SetzeMotorwahl) and no file named, opens that engine.
    void Oeffnen(const QString& datei = QString());
    void Schliessen();
    bool Verbunden() const { return m_db != nullptr || m_motor != nullptr; }
    QString Datei() const { return m_datei; }

    // The program chooses the engine once, before the first connection
    // opens; an empty choice means the file.
    static void SetzeMotorwahl(Motorwahl wahl);
    static bool MotorGewaehlt();

    // The SQLite handle; throws on another engine, for the few paths that
    // only the file has.
    sqlite3* Handle() const;
    // The other engine; null on the file.
    Motor* Fern() const { return m_motor.get(); }
    // The expression naming one row of `tabelle` ("rowid" in the file).
    QString Zeilenschluessel(const QString& tabelle) const;

    // Runs a statement without result rows (no parameters). Throws on error.
    void Ausfuehren(const QString& sql);

    // The message of the last error on this connection.
    QString LetzterFehler() const;

private:
    QString m_name;
    QString m_datei;
    sqlite3* m_db = nullptr;
    std::unique_ptr<Motor> m_motor;
};

}  // namespace data
