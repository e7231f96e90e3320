#pragma once
// The one database connection: ordavo_tab.mdb in the current working directory,
// opened through Qt's SQLite driver, never created. Datasets run their
// statements on the raw handle of the same connection.
#include <QObject>
#include <QString>

struct sqlite3;

namespace data {

class Verbindung : public QObject {
    Q_OBJECT
public:
    explicit Verbindung(QObject* parent = nullptr);
    ~Verbindung() override;

    // Opens `datei` (default: ordavo_tab.mdb in the current directory).
    // Throws data::Fehler with the engine's message when the file is missing,
    // unreadable or not a database.
    void Oeffnen(const QString& datei = QString());
    void Schliessen();
    bool Verbunden() const { return m_db != nullptr; }
    QString Datei() const { return m_datei; }

    sqlite3* Handle() const;

    // Runs a statement without result rows (no parameters). Throws on error.
    void Ausfuehren(const QString& sql);

    // The message of the last error on this connection.
    QString LetzterFehler() const;

private:
    QString m_name;
    QString m_datei;
    sqlite3* m_db = nullptr;
};

}  // namespace data
