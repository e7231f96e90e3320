#pragma once
// Unit names as German shops write them, mapped to UN/ECE Recommendation 20.
#include <QString>

namespace einvoice {

// The code for a unit name ("Stück" → H87, "kg" → KGM, ...); C62 ("one")
// for names the table does not know.
QString Rec20Vorschlag(const QString& einheit);

// A plausible Recommendation 20 code: two or three capitals or digits.
bool Rec20Form(const QString& code);

}  // namespace einvoice
