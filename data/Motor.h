#pragma once
// Another engine than the embedded file: the program's statements, datasets
// and transactions run through this interface when the settings name a
// database server. The engine lives in its own library and is handed to
// data::Verbindung by the program that wants it; data/ never names it.
#include "data/Anweisung.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <string_view>

namespace data {

// One prepared statement of the engine. Parameters are numbered from 1,
// columns from 0. The statement runs at the first step or the first
// question about its columns, with the values bound by then.
class FernAnweisung {
public:
    virtual ~FernAnweisung() = default;
    virtual int parameterAnzahl() const = 0;
    // The parameter's name without its ':', empty for a positional one.
    virtual QString parameterName(int index) const = 0;
    virtual void binde(int index, const QVariant& wert) = 0;
    virtual void zuruecksetzen() = 0;
    virtual bool schritt() = 0;
    virtual int geaendert() = 0;
    virtual int spaltenAnzahl() = 0;
    virtual QString spaltenname(int spalte) = 0;
    // The stored column a result column comes from; empty for a computed one.
    virtual QString tabelle(int spalte) = 0;
    virtual QString herkunft(int spalte) = 0;
    // The current row's value.
    virtual Wertart art(int spalte) const = 0;
    virtual qint64 ganzzahl(int spalte) const = 0;
    virtual double zahl(int spalte) const = 0;
    // Text as UTF-8 or a blob's bytes; valid until the next step.
    virtual std::string_view text(int spalte) const = 0;
    virtual void setWertsuche(Wertsuche werte) = 0;
};

class Motor {
public:
    virtual ~Motor() = default;
    // One statement in the program's own dialect; throws data::Fehler.
    virtual std::unique_ptr<FernAnweisung> bereite(const QString& sql) = 0;
    // Statements without parameters and rows, separated by ";".
    virtual void ausfuehren(const QString& sql) = 0;
    // Nested transactions: the outermost begins and commits, inner ones are savepoints.
    virtual void beginnen() = 0;
    virtual void bestaetigen() = 0;
    virtual void verwerfen() noexcept = 0;
    // The expression that names one row of `tabelle` for a later update or
    // delete ("rowid" in the file).
    virtual QString zeilenschluessel(const QString& tabelle) const = 0;
    // Where the data lies, for messages ("Datenbank ordavo auf buero").
    virtual QString ort() const = 0;
};

}  // namespace data
