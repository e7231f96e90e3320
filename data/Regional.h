#pragma once
// Regional formats: the user's locale, German (Germany) where the system has
// none. Reading refuses text that is not a number/date with a German message.
#include "data/Schema.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace data {

QLocale Gebietsschema();

// "#,##0.00 €": group separator, two decimals, a blank and "€"; never "-0,00".
QString Waehrung(double betrag);
// "0 %" and "0.00 %".
QString Prozent(double wert);
QString Prozent2(double wert);
// "#,##0.00" without currency.
QString Zahl2(double wert);
// The general number format: shortest form, up to 15 significant digits,
// no group separator ("120", "12,5").
QString AllgemeineZahl(double wert);
// dd.MM.yyyy; empty for an invalid date.
QString Datumstext(const QDate& datum);

// How a value is written for the user; the one place where values become
// text. Anzeige: dates dd.MM.yyyy, money "#,##0.00 €", other numbers in the
// general format. Bearbeiten: the same, but money without the currency, so
// that an edit can read it back. NULL is empty.
enum class Textart { Anzeige, Bearbeiten };
QString Wertetext(const QVariant& wert, Feldart art, Textart textart = Textart::Anzeige);

// Throw data::Fehler "'abc' ist kein gültiger Gleitkommawert" and the like.
double LeseZahl(const QString& text);
qint64 LeseGanzzahl(const QString& text);
QDate LeseDatum(const QString& text);

// Rounds to cents and folds -0 to 0.
double AufCent(double betrag);

}  // namespace data
