#pragma once
// A small benchmark harness: medians of repeated runs, the same statement on
// the raw sqlite3 API as reference, and a Markdown table of the results.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

// Milliseconds one call of `f` takes.
double Millis(const std::function<void()>& f);
double Median(std::vector<double> werte);

// Runs `programm` and `roh` alternately `n` times (so both see the same
// caches and machine state) and returns both medians in ms.
struct Paar {
    double programm = 0;
    double roh = 0;
};
Paar Abwechselnd(int n, const std::function<void()>& programm, const std::function<void()>& roh);

// Resident set size of this process in bytes.
qint64 Resident();
// Returns freed heap memory to the system, so resident-set differences mean something.
void SpeicherZurueckgeben();

// The reference side: the same statements directly on the database's own
// client API, without the program's data layer.
class Bezug {
public:
    virtual ~Bezug() = default;
    virtual void Ausfuehren(const QString& sql) = 0;
    // Runs `sql` with named parameters and reads every row and column. Returns the rows.
    virtual qint64 AlleZeilen(const QString& sql, const QVariantMap& parameter = {}) = 0;
    // One value of the first row.
    virtual QVariant Wert(const QString& sql, const QVariantMap& parameter = {}) = 0;
};

// A connection of its own on the raw C API.
class Roh final : public Bezug {
public:
    explicit Roh(const QString& datei);
    ~Roh();
    Roh(const Roh&) = delete;
    Roh& operator=(const Roh&) = delete;
    sqlite3* db() const { return m_db; }

    void Ausfuehren(const QString& sql) override;
    // Prepares (once per text) and runs `sql` with named parameters, stepping
    // every row and reading every column as its type. Returns the rows.
    qint64 AlleZeilen(const QString& sql, const QVariantMap& parameter = {}) override;
    QVariant Wert(const QString& sql, const QVariantMap& parameter = {}) override;

private:
    sqlite3_stmt* Anweisung(const QString& sql, const QVariantMap& parameter);
    sqlite3* m_db = nullptr;
    std::vector<std::pair<QString, sqlite3_stmt*>> m_cache;
};

// Steps every row and column of a prepared statement (already bound).
qint64 AllesLesen(sqlite3_stmt* st);
// Binds named parameters (":von" or "von"); QDate as ISO text.
void Binden(sqlite3_stmt* st, const QVariantMap& parameter);

// The measured table.
struct Zeile {
    QString messung;
    double programm = -1;  // ms; < 0: not measured
    double roh = -1;       // ms of the reference; < 0: none
    QString bezug;         // what the reference is
    QString ziel;          // the target as text
    int erreicht = -1;     // 1 yes, 0 no, -1 not judged
    QString verhaeltnis;   // as it is to be shown (ratio or difference)
};

class Tabelle {
public:
    void Hinzu(const Zeile& z);
    void Notiz(const QString& text) { m_notizen << text; }
    QString Markdown() const;
    const std::vector<Zeile>& zeilen() const { return m_zeilen; }

private:
    std::vector<Zeile> m_zeilen;
    QStringList m_notizen;
};

QString Ms(double ms);
// "1,23 ×"
QString Faktor(double f);

// The machine and software the run is on (processor, cores, memory, versions).
QString Maschine();

}  // namespace bench
