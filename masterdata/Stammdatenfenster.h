#pragma once
// The master-data windows: created once at start (FensterErzeugen, in their
// fixed order) and reached by the others through Stamm().
class TAdressen;
class TAdressen_bearbeiten;
class TArtikel;
class TArtikeleditieren;
class Teinheit;
class Teinheit_bearbeiten;
class TKategorie;
class TKategorie_bearbeiten;
class TStammdaten;
class TPLUUebersicht;
class TPLUZuordnen;

struct Stammdatenfenster {
    TAdressen* Adressen = nullptr;
    TAdressen_bearbeiten* Adressen_bearbeiten = nullptr;
    TArtikel* Artikel = nullptr;
    TArtikeleditieren* Artikeleditieren = nullptr;
    Teinheit* einheit = nullptr;
    Teinheit_bearbeiten* einheit_bearbeiten = nullptr;
    TKategorie* Kategorie = nullptr;
    TKategorie_bearbeiten* Kategorie_bearbeiten = nullptr;
    TStammdaten* Stammdaten = nullptr;
    TPLUUebersicht* PLUUebersicht = nullptr;
    TPLUZuordnen* PLUZuordnen = nullptr;
};

Stammdatenfenster& Stamm();

namespace masterdata {

// Creates the windows of this folder; the data module exists already.
void FensterErzeugen();

}  // namespace masterdata
