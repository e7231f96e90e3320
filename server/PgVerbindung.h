#pragma once
// A connection to the database server through libpq. Statements given here
// are already in the server's dialect (see Dialekt.h); values travel as text
// and come back converted by the column's type.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct pg_conn;

namespace server {

// Refuses a connection string that libpq cannot read, and one that carries a
// password: passwords belong in ~/.pgpass (or the file PGPASSFILE names),
// never in a settings file or on a command line. Throws data::Fehler.
// Returns the database the string names, for messages; empty when it names
// none and libpq's default applies.
QString VerbindungsangabePruefen(const QString& angabe);

struct PgErgebnis {
    QStringList spalten;             // result-column names as the server gives them
    QList<QList<QVariant>> zeilen;   // qint64, double, QDate, QString; null QVariant for NULL
    int geaendert = 0;               // rows changed by INSERT, UPDATE, DELETE
};

class PgVerbindung {
public:
    // Connects; throws data::Fehler with a German message and the server's text.
    explicit PgVerbindung(const QString& angabe);
    ~PgVerbindung();
    PgVerbindung(const PgVerbindung&) = delete;
    PgVerbindung& operator=(const PgVerbindung&) = delete;

    // Runs one or more statements without parameters and result rows.
    void Ausfuehren(const QString& sql);
    // Runs one statement with the values for $1, $2, ….
    PgErgebnis Abfrage(const QString& sql, const QList<QVariant>& werte = {});
    QVariant Wert(const QString& sql, const QList<QVariant>& werte = {});

    QString Datenbank() const;
    pg_conn* Handle() const { return m_conn; }

private:
    pg_conn* m_conn = nullptr;
};

// A value as the server reads it from text: dates ISO, numbers with a point
// and every digit, yes/no as -1 and 0.
QByteArray AlsText(const QVariant& wert);

}  // namespace server
