#pragma once
// The e-invoice's own data beside the original tables (company, customer and
// unit additions), and the invoice model built from a delivery note.
#include "einvoice/ERechnung.h"
#include "einvoice/Pruefung.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace data {
class Verbindung;
}

namespace einvoice {

// The company's additions. Read gives the stored values, or where nothing is
// stored yet the defaults: country DE, the first valid IBAN in the master
// data's bank details, exemption reason "Umsatzsteuerfrei".
struct Firmendaten {
    QString land;
    QString steuernummer;
    QString iban;
    QString bic;
    QString befreiungsgrund;
    bool gespeichert = false;
};
Firmendaten LeseFirmendaten(data::Verbindung& db);
void SchreibeFirmendaten(data::Verbindung& db, const Firmendaten& f);

// A customer's additions; defaults: the company's country, the customer's
// number as buyer reference.
struct Kundendaten {
    QString land;
    QString referenz;
    bool gespeichert = false;
    QString name;  // the buyer's name as the invoice writes it (read only)
};
Kundendaten LeseKundendaten(data::Verbindung& db, int adresseId);
void SchreibeKundendaten(data::Verbindung& db, int adresseId, const Kundendaten& k);

// Every unit with its Recommendation 20 code (stored, or proposed from its name).
struct Einheitcode {
    int id = 0;
    QString einheit;
    QString code;
    bool gespeichert = false;
};
QList<Einheitcode> LeseEinheitcodes(data::Verbindung& db);
// Stores all given codes in one transaction.
void SchreibeEinheitcodes(data::Verbindung& db, const QList<Einheitcode>& codes);

// The customer of a delivery note; 0 when there is no such note.
int AdresseVonLieferschein(data::Verbindung& db, int lieferscheinId);

// The invoice of a delivery note for the given profile. What the data cannot
// give (a note without invoice date, items the printout leaves out) is added
// to `maengel` in German; the checks of Maengel() come on top.
ERechnung AusLieferschein(data::Verbindung& db, int lieferscheinId, Profil profil, QStringList* maengel = nullptr);

// Guidelines (BT-24) written for the two profiles.
QString Spezifikation(Profil profil);

}  // namespace einvoice
