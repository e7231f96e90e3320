#pragma once
// Where the taking-over reads from: the tables of a Jet file (JetQuelle), or
// rows held in memory. The mapping into the program's tables only sees this.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace uebernahme {

// How the source column stores its values.
enum class Jetart { Ganzzahl, Waehrung, Gleitkomma, JaNein, Datum, Text, Binaer };

struct QuellSpalte {
    QString name;
    QString jetTyp;  // the type as the source names it ("Currency", "Long Integer", …)
    Jetart art;
};

// Values of a row, in column order. An invalid QVariant is NULL. The value's
// own type counts, not the column's: a source may hold text in a number
// column. Jet gives whole numbers as qlonglong, currency as an exact decimal
// QString ("12.3400"), floating point as double, yes/no as bool, dates as
// QDateTime, text as QString, binary data as QByteArray.
using Zeile = QVariantList;

class Zeilenquelle {
public:
    virtual ~Zeilenquelle() = default;
    // The file or what stands for it, and its format, for the protocol.
    virtual QString Beschreibung() const = 0;
    virtual QStringList Tabellen() const = 0;
    virtual QList<QuellSpalte> Spalten(const QString& tabelle) const = 0;
    // The row count the source states for the table (not by reading it).
    virtual qint64 Zeilenzahl(const QString& tabelle) const = 0;
    // Calls `zeile` for every row of the table. Throws data::Fehler when the
    // source cannot be read.
    virtual void Lesen(const QString& tabelle, const std::function<void(const Zeile&)>& zeile) const = 0;
};

// Rows given in code, e.g. by a test or an export of another program.
class Speicherquelle : public Zeilenquelle {
public:
    explicit Speicherquelle(QString beschreibung = QStringLiteral("Speicher"));
    void Tabelle(const QString& name, const QList<QuellSpalte>& spalten, const QList<Zeile>& zeilen);

    QString Beschreibung() const override;
    QStringList Tabellen() const override;
    QList<QuellSpalte> Spalten(const QString& tabelle) const override;
    qint64 Zeilenzahl(const QString& tabelle) const override;
    void Lesen(const QString& tabelle, const std::function<void(const Zeile&)>& zeile) const override;

private:
    struct Tab {
        QString name;
        QList<QuellSpalte> spalten;
        QList<Zeile> zeilen;
    };
    const Tab* Finde(const QString& name) const;
    QString m_beschreibung;
    QList<Tab> m_tabellen;
};

// Whether the file starts like a Jet or ACE database ("Standard Jet DB",
// "Standard ACE DB" in its header).
bool IstJetDatei(const QString& pfad);

// Opens a Jet 3, Jet 4 or ACE file through mdbtools. Throws data::Fehler
// with a German message when the library cannot read it.
std::unique_ptr<Zeilenquelle> JetQuelleOeffnen(const QString& pfad);

}  // namespace uebernahme
