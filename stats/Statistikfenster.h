#pragma once
// The statistics windows and reports: created once at start (FensterErzeugen, in their
// fixed order) and reached by the others through Statistik().
class TRepArtikelauswertung;
class TRepAdressenauswertung;
class TRepalleAdressenauswertungen;
class TKategorieauswertung;
class TAdressenauswertung;
class TDatum_alle_Adressenauswertung;
class TArtikelauswertung;
class TKategoriestatistik;

struct Statistikfenster {
    TRepArtikelauswertung* RepArtikelauswertung = nullptr;
    TRepAdressenauswertung* RepAdressenauswertung = nullptr;
    TRepalleAdressenauswertungen* RepalleAdressenauswertungen = nullptr;
    TKategorieauswertung* Kategorieauswertung = nullptr;
    TAdressenauswertung* Adressenauswertung = nullptr;
    TDatum_alle_Adressenauswertung* Datum_alle_Adressenauswertung = nullptr;
    TArtikelauswertung* Artikelauswertung = nullptr;
    TKategoriestatistik* Kategoriestatistik = nullptr;
};

Statistikfenster& Statistik();

namespace stats {

// Creates the windows of this folder; the data module exists already.
void FensterErzeugen();

}  // namespace stats
