#pragma once
// What can be checked before an e-invoice is written: the terms the rules
// make mandatory, identifiers with check digits, codes, and the arithmetic.
#include <QString>
#include <QStringList>

namespace einvoice {

struct ERechnung;

enum class Profil {
    XRechnung,   // EN 16931 plus the German XRechnung rules
    EN16931,     // EN 16931 alone (the XML inside a ZUGFeRD PDF)
};

// Everything that keeps the invoice from being valid, as German sentences
// naming the data to complete; empty when nothing is missing.
QStringList Maengel(const ERechnung& r, Profil profil);

// IBAN with a correct ISO 13616 (mod 97) check; blanks are ignored.
bool IbanGueltig(const QString& iban);
// The IBAN without blanks, in capitals.
QString IbanNormal(const QString& iban);
// The first valid IBAN in a free text (bank details); empty when none.
QString IbanFinden(const QString& text);
// BIC: 8 or 11 characters (bank, country, place, branch).
bool BicGueltig(const QString& bic);
// An ISO 3166-1 alpha-2 country code.
bool LandGueltig(const QString& code);

// Rounds half away from zero to the cent, robust against binary fractions
// (2.675 is 2.68).
double AufCent(double betrag);

}  // namespace einvoice
