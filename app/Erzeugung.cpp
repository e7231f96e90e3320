#include "app/Erzeugung.h"

#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"

#include <QObject>
#include <type_traits>
#include <vector>

// Windows and reports, in the order they are created.
// (Each line below is one slot of the creation order.)
// 1  #include "app/ordavo.h"
// 2  #include "masterdata/adressen_.h"
// 4  #include "masterdata/adressen_edit.h"
// 5  #include "masterdata/Artikel_.h"
// 6  #include "masterdata/Artikel_editieren.h"
// 7  #include "masterdata/Einheit_.h"
// 8  #include "masterdata/Einheit_editieren.h"
// 9  #include "masterdata/Kategorie_.h"
// 10 #include "masterdata/Kategorie_editieren.h"
// 11 #include "delivery/Lieferschein_Kopfdaten.h"
// 12 #include "delivery/Lieferschein_.h"
// 13 #include "delivery/Artikelauswahl_.h"
// 14 #include "delivery/Artikel_bearbeiten.h"
// 15 #include "print/Rep_Lieferschein.h"
// 16 #include "delivery/Lieferschein_suchen.h"
// 17 #include "masterdata/Stammdaten_.h"
// 18 #include "print/Rep_Rechnung.h"
// 19 #include "delivery/Rechnungsdaten_.h"
// 20 #include "delivery/nochnichtbezahlt_.h"
// 21 #include "delivery/Zahlungsdatum_.h"
// 22 #include "print/RepMahnung_.h"
// 23 #include "stats/Rep_Artikelauswertung.h"
// 24 #include "stats/Rep_Adressenauswertung.h"
// 25 #include "stats/Rep_alle_Adressenauswertung.h"
// 26 #include "stats/Kategorie_auswertung.h"
// 27 #include "stats/Datum_Adressenauswertung.h"
// 28 #include "stats/Datum_alle_Adressen_auswertung.h"
// 29 #include "delivery/Mahnung_.h"
// 30 #include "app/info.h"
// 31 #include "masterdata/PLUUebersicht_.h"
// 32 #include "masterdata/PLUZuordnen_.h"
// 33 #include "delivery/PLU_ArtikelEingabe.h"
// 34 #include "stats/Artikel_auswertung.h"
// 35 #include "stats/Rep_Artikelauswertung_Kategorie.h"

#include "app/info.h"
#include "app/ordavo.h"
#include "delivery/Artikel_bearbeiten.h"
#include "delivery/Artikelauswahl_.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/PLU_ArtikelEingabe.h"
#include "delivery/Rechnungsdaten_.h"
#include "delivery/Lieferschein_suchen.h"
#include "delivery/Mahnung_.h"
#include "delivery/Zahlungsdatum_.h"
#include "delivery/nochnichtbezahlt_.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Artikel_editieren.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Einheit_editieren.h"
#include "masterdata/Kategorie_.h"
#include "masterdata/Kategorie_editieren.h"
#include "masterdata/PLUUebersicht_.h"
#include "masterdata/PLUZuordnen_.h"
#include "masterdata/Stammdaten_.h"
#include "masterdata/adressen_.h"
#include "masterdata/adressen_edit.h"
#include "stats/Artikel_auswertung.h"
#include "stats/Datum_Adressenauswertung.h"
#include "stats/Datum_alle_Adressen_auswertung.h"
#include "stats/Kategorie_auswertung.h"
#include "stats/Rep_Adressenauswertung.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Rep_Artikelauswertung_Kategorie.h"
#include "stats/Rep_alle_Adressenauswertung.h"
#include "print/RepMahnung_.h"
#include "print/Rep_Lieferschein.h"
#include "print/Rep_Rechnung.h"
#include "einvoice/ERechnung_speichern.h"

namespace app {

namespace {

std::vector<QObject*> g_erzeugt;

template <typename T, typename = void>
struct HatBinden : std::false_type {};
template <typename T>
struct HatBinden<T, std::void_t<decltype(std::declval<T&>().Binden())>> : std::true_type {};

template <typename T>
void BindenFalls(QObject* o)
{
    if constexpr (HatBinden<T>::value) static_cast<T*>(o)->Binden();
}

std::vector<void (*)(QObject*)> g_binden;

// An error while a window is created is shown, and creation continues.
template <typename T>
T* Erzeuge()
{
    T* w = nullptr;
    ui::Geschuetzt([&] {
        w = new T();
        g_erzeugt.push_back(w);
        g_binden.push_back(&BindenFalls<T>);
        // Windows made before the data module bind once it exists.
        if (App().DMOrdavo) BindenFalls<T>(w);
    });
    return w;
}

}  // namespace

void AlleErzeugen()
{
    Anwendung& a = App();
    a.Ordavo = Erzeuge<TOrdavo>();
    a.Adressen = Erzeuge<TAdressen>();

    // 3: the data module; a failure ends the start-up.
    a.DMOrdavo = new TDMOrdavo();
    g_erzeugt.push_back(a.DMOrdavo);
    g_binden.push_back(nullptr);
    for (size_t i = 0; i + 1 < g_erzeugt.size(); ++i) {
        QObject* o = g_erzeugt[i];
        auto binden = g_binden[i];
        if (binden) ui::Geschuetzt([&] { binden(o); });
    }

    a.Adressen_bearbeiten = Erzeuge<TAdressen_bearbeiten>();
    a.Artikel = Erzeuge<TArtikel>();
    a.Artikeleditieren = Erzeuge<TArtikeleditieren>();
    a.einheit = Erzeuge<Teinheit>();
    a.einheit_bearbeiten = Erzeuge<Teinheit_bearbeiten>();
    a.Kategorie = Erzeuge<TKategorie>();
    a.Kategorie_bearbeiten = Erzeuge<TKategorie_bearbeiten>();
    a.Lieferscheinkopf = Erzeuge<TLieferscheinkopf>();
    a.Lieferschein = Erzeuge<TLieferschein>();
    a.Artikelauswahl = Erzeuge<TArtikelauswahl>();
    a.Artikelbearbeiten = Erzeuge<TArtikelbearbeiten>();
    a.RepLieferschein = Erzeuge<TRepLieferschein>();
    a.Lieferscheinsuche = Erzeuge<TLieferscheinsuche>();
    a.Stammdaten = Erzeuge<TStammdaten>();
    a.RepRechnung = Erzeuge<TRepRechnung>();
    if (a.RepRechnung) einvoice::AlsERechnungAnbieten(a.RepRechnung->bericht());
    a.Rechnungsdaten = Erzeuge<TRechnungsdaten>();
    a.nochnichtbezahlt = Erzeuge<Tnochnichtbezahlt>();
    a.Zahlungsdatum = Erzeuge<TZahlungsdatum>();
    a.RepMahnung = Erzeuge<TRepMahnung>();
    a.RepArtikelauswertung = Erzeuge<TRepArtikelauswertung>();
    a.RepAdressenauswertung = Erzeuge<TRepAdressenauswertung>();
    a.RepalleAdressenauswertungen = Erzeuge<TRepalleAdressenauswertungen>();
    a.Kategorieauswertung = Erzeuge<TKategorieauswertung>();
    a.Adressenauswertung = Erzeuge<TAdressenauswertung>();
    a.Datum_alle_Adressenauswertung = Erzeuge<TDatum_alle_Adressenauswertung>();
    a.Mahnung = Erzeuge<TMahnung>();
    a.AboutBox = Erzeuge<TAboutBox>();
    a.PLUUebersicht = Erzeuge<TPLUUebersicht>();
    a.PLUZuordnen = Erzeuge<TPLUZuordnen>();
    a.PLUArtikelEingabe = Erzeuge<TPLUArtikelEingabe>();
    a.Artikelauswertung = Erzeuge<TArtikelauswertung>();
    a.Kategoriestatistik = Erzeuge<TKategoriestatistik>();
}

void AlleZerstoeren()
{
    // Windows go before the data module whose datasets they show.
    TDMOrdavo* dm = App().DMOrdavo;
    for (auto it = g_erzeugt.rbegin(); it != g_erzeugt.rend(); ++it)
        if (*it != dm) delete *it;
    delete dm;
    g_erzeugt.clear();
    g_binden.clear();
    App() = Anwendung();
}

}  // namespace app
