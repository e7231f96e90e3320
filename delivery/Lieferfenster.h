#pragma once
// The delivery-note windows: created once at start (FensterErzeugen, in their
// fixed order) and reached by the others through Lieferung().
class TLieferscheinkopf;
class TLieferschein;
class TArtikelauswahl;
class TArtikelbearbeiten;
class TLieferscheinsuche;
class TRechnungsdaten;
class Tnochnichtbezahlt;
class TZahlungsdatum;
class TMahnung;
class TPLUArtikelEingabe;

struct Lieferfenster {
    TLieferscheinkopf* Lieferscheinkopf = nullptr;
    TLieferschein* Lieferschein = nullptr;
    TArtikelauswahl* Artikelauswahl = nullptr;
    TArtikelbearbeiten* Artikelbearbeiten = nullptr;
    TLieferscheinsuche* Lieferscheinsuche = nullptr;
    TRechnungsdaten* Rechnungsdaten = nullptr;
    Tnochnichtbezahlt* nochnichtbezahlt = nullptr;
    TZahlungsdatum* Zahlungsdatum = nullptr;
    TMahnung* Mahnung = nullptr;
    TPLUArtikelEingabe* PLUArtikelEingabe = nullptr;
};

Lieferfenster& Lieferung();

namespace delivery {

// Creates the windows of this folder; the data module exists already.
void FensterErzeugen();

}  // namespace delivery
