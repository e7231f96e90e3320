#pragma once
// The one object that owns the data module and every window. Each window is
// created once at start, in a fixed order, and reached by the others through
// these pointers (a null pointer means: not created, e.g. in a test that
// builds only some windows).
class TDMOrdavo;
class TOrdavo;
class TAdressen;
class TAdressen_bearbeiten;
class TArtikel;
class TArtikeleditieren;
class Teinheit;
class Teinheit_bearbeiten;
class TKategorie;
class TKategorie_bearbeiten;
class TLieferscheinkopf;
class TLieferschein;
class TArtikelauswahl;
class TArtikelbearbeiten;
class TRepLieferschein;
class TLieferscheinsuche;
class TStammdaten;
class TRepRechnung;
class TRechnungsdaten;
class Tnochnichtbezahlt;
class TZahlungsdatum;
class TRepMahnung;
class TRepArtikelauswertung;
class TRepAdressenauswertung;
class TRepalleAdressenauswertungen;
class TKategorieauswertung;
class TAdressenauswertung;
class TDatum_alle_Adressenauswertung;
class TMahnung;
class TAboutBox;
class TPLUUebersicht;
class TPLUZuordnen;
class TPLUArtikelEingabe;
class TArtikelauswertung;
class TKategoriestatistik;

struct Anwendung {
    TOrdavo* Ordavo = nullptr;
    TAdressen* Adressen = nullptr;
    TDMOrdavo* DMOrdavo = nullptr;
    TAdressen_bearbeiten* Adressen_bearbeiten = nullptr;
    TArtikel* Artikel = nullptr;
    TArtikeleditieren* Artikeleditieren = nullptr;
    Teinheit* einheit = nullptr;
    Teinheit_bearbeiten* einheit_bearbeiten = nullptr;
    TKategorie* Kategorie = nullptr;
    TKategorie_bearbeiten* Kategorie_bearbeiten = nullptr;
    TLieferscheinkopf* Lieferscheinkopf = nullptr;
    TLieferschein* Lieferschein = nullptr;
    TArtikelauswahl* Artikelauswahl = nullptr;
    TArtikelbearbeiten* Artikelbearbeiten = nullptr;
    TRepLieferschein* RepLieferschein = nullptr;
    TLieferscheinsuche* Lieferscheinsuche = nullptr;
    TStammdaten* Stammdaten = nullptr;
    TRepRechnung* RepRechnung = nullptr;
    TRechnungsdaten* Rechnungsdaten = nullptr;
    Tnochnichtbezahlt* nochnichtbezahlt = nullptr;
    TZahlungsdatum* Zahlungsdatum = nullptr;
    TRepMahnung* RepMahnung = nullptr;
    TRepArtikelauswertung* RepArtikelauswertung = nullptr;
    TRepAdressenauswertung* RepAdressenauswertung = nullptr;
    TRepalleAdressenauswertungen* RepalleAdressenauswertungen = nullptr;
    TKategorieauswertung* Kategorieauswertung = nullptr;
    TAdressenauswertung* Adressenauswertung = nullptr;
    TDatum_alle_Adressenauswertung* Datum_alle_Adressenauswertung = nullptr;
    TMahnung* Mahnung = nullptr;
    TAboutBox* AboutBox = nullptr;
    TPLUUebersicht* PLUUebersicht = nullptr;
    TPLUZuordnen* PLUZuordnen = nullptr;
    TPLUArtikelEingabe* PLUArtikelEingabe = nullptr;
    TArtikelauswertung* Artikelauswertung = nullptr;
    TKategoriestatistik* Kategoriestatistik = nullptr;
};

// The program's instance; lives from start-up to the end of the process.
Anwendung& App();
