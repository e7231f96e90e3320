#include "tools/beispieldaten/Beispieldaten.h"

#include "data/Fehler.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace tools {

namespace {

// splitmix64: small, fast and the same on every platform (the standard
// library's distributions are not), so a seed always gives the same file.
class Zufall {
public:
    Zufall(quint64 seed, quint64 strom) : m_s(seed * 0x9E3779B97F4A7C15ull ^ (strom + 1) * 0xD1B54A32D192ED03ull) {}

    quint64 roh()
    {
        quint64 z = (m_s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= x < n
    int bis(int n) { return n <= 1 ? 0 : int((unsigned __int128)roh() * quint64(n) >> 64); }
    // a <= x <= b
    int zwischen(int a, int b) { return a + bis(b - a + 1); }
    double gleich() { return double(roh() >> 11) * (1.0 / 9007199254740992.0); }
    bool wahr(double p) { return gleich() < p; }
    // Skewed towards the front: a few popular entries, a long tail.
    int beliebt(int n) {
        const double u = gleich();
        return std::min(n - 1, int(double(n) * u * u));
    }
    template <typename T> const T& aus(const std::vector<T>& v) { return v[size_t(bis(int(v.size())))]; }
    const char* aus(std::initializer_list<const char*> l) { return l.begin()[bis(int(l.size()))]; }

private:
    quint64 m_s;
};

double AufCent(double x) { return std::round(x * 100.0) / 100.0 + 0.0; }

// ---------------------------------------------------------------- units

const char* const kEinheiten[] = {
    "Stk", "kg", "g", "l", "ml", "m", "m²", "m³", "lfm", "Pkg",
    "Karton", "Palette", "Rolle", "Satz", "Paar", "Dose", "Eimer", "Sack", "Flasche", "Kiste",
    "Beutel", "Tube", "Bund", "Std.", "Pauschale", "Tag", "Woche", "Monat", "km", "t",
    "Set", "Bogen", "Blatt", "Ries", "Dutzend", "Schachtel", "Glas", "Becher", "Kanister", "Fass",
    "Stange", "Platte", "Tafel", "Tray", "Portion", "Kartusche", "Spule", "Block", "Ballen", "Steige",
};
namespace ein {
enum : int {
    Stk, kg, g, l, ml, m, m2, m3, lfm, Pkg, Karton, Palette, Rolle, Satz, Paar, Dose, Eimer, Sack, Flasche, Kiste,
    Beutel, Tube, Bund, Std, Pauschale, Tag, Woche, Monat, km, t, Set, Bogen, Blatt, Ries, Dutzend, Schachtel,
    Glas, Becher, Kanister, Fass, Stange, Platte, Tafel, Tray, Portion, Kartusche, Spule, Block, Ballen, Steige,
};
}  // namespace ein
constexpr int kAnzahlEinheiten = int(sizeof(kEinheiten) / sizeof(kEinheiten[0]));

// Units sold in parts (2,5 kg; 1,5 Std.).
bool Teilbar(int einheit)
{
    switch (einheit) {
    case ein::kg: case ein::l: case ein::m: case ein::m2: case ein::m3: case ein::lfm: case ein::Std: case ein::km:
    case ein::t: return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- categories

struct Kategorie {
    const char* name;
    int mwst;
    double preisVon, preisBis;
    std::initializer_list<const char*> nomen;
    std::initializer_list<const char*> masse;
    std::initializer_list<int> einheiten;
};

const Kategorie kKategorien[] = {
    {"Befestigungstechnik", 19, 0.05, 40, {"Schraube", "Holzschraube", "Sechskantschraube", "Dübel", "Mutter", "Unterlegscheibe", "Gewindestange", "Nagel", "Schwerlastanker"}, {"M6 x 40", "M8 x 60", "4 x 30", "5 x 50", "6 x 80", "Ø 8 mm", "Ø 10 mm", "100 Stück", "M10 x 1000"}, {ein::Stk, ein::Pkg, ein::Karton, ein::Schachtel}},
    {"Handwerkzeug", 19, 3, 120, {"Hammer", "Schraubendreher", "Zange", "Wasserwaage", "Cuttermesser", "Maulschlüssel", "Spachtel", "Feile", "Säge"}, {"300 g", "PH 2", "180 mm", "60 cm", "Gr. 13", "SW 17", "80 mm", "Satz 6-tlg."}, {ein::Stk, ein::Satz, ein::Set}},
    {"Elektrowerkzeug", 19, 40, 650, {"Akkuschrauber", "Bohrhammer", "Winkelschleifer", "Stichsäge", "Kreissäge", "Exzenterschleifer", "Heißluftgebläse", "Ersatzakku"}, {"18 V", "12 V", "125 mm", "800 W", "1200 W", "4,0 Ah", "2,0 Ah"}, {ein::Stk, ein::Set}},
    {"Elektroinstallation", 19, 0.3, 35, {"Installationskabel", "Steckdose", "Schalter", "Abzweigdose", "Kabelbinder", "Leerrohr", "Verteilerdose", "Sicherung"}, {"NYM-J 3 x 1,5", "NYM-J 5 x 2,5", "Unterputz", "Aufputz", "16 A", "Ø 20 mm", "200 mm"}, {ein::m, ein::Stk, ein::Rolle, ein::Pkg}},
    {"Beleuchtung", 19, 2, 180, {"LED-Lampe", "Leuchtstoffröhre", "Deckenleuchte", "Strahler", "Lichterkette", "Taschenlampe"}, {"E27 9 W", "GU10 5 W", "T8 120 cm", "warmweiß", "IP44", "10 m"}, {ein::Stk, ein::Pkg}},
    {"Sanitär", 19, 1, 250, {"Kupferrohr", "Pressfitting", "Eckventil", "Siphon", "Duschkopf", "WC-Sitz", "Waschtischarmatur", "Dichtung"}, {"15 mm", "22 mm", "1/2 Zoll", "3/4 Zoll", "DN 40", "verchromt", "weiß"}, {ein::Stk, ein::m, ein::Pkg}},
    {"Heizung", 19, 0.8, 400, {"Heizkörperventil", "Thermostatkopf", "Heizkörper", "Heizöl", "Holzpellets", "Entlüftungsschlüssel", "Rohrisolierung"}, {"DN 15", "Typ 22 600 x 1000", "15 kg", "Ø 22 mm", "13 mm"}, {ein::Stk, ein::l, ein::Sack, ein::m}},
    {"Farben und Lacke", 19, 4, 120, {"Dispersionsfarbe", "Buntlack", "Holzlasur", "Grundierung", "Fassadenfarbe", "Tiefengrund", "Sprühlack"}, {"weiß 10 l", "750 ml", "2,5 l", "seidenmatt", "RAL 9010", "400 ml", "5 l"}, {ein::Eimer, ein::Dose, ein::l}},
    {"Klebstoffe", 19, 1.5, 25, {"Montagekleber", "Holzleim", "Silikon", "Acryl", "Sekundenkleber", "Klebeband", "Bauschaum"}, {"310 ml", "500 g", "transparent", "weiß", "20 g", "50 mm x 50 m", "750 ml"}, {ein::Kartusche, ein::Tube, ein::Stk, ein::Rolle, ein::Dose}},
    {"Bauchemie", 19, 5, 45, {"Fliesenkleber", "Zementmörtel", "Estrich", "Kalkputz", "Spachtelmasse", "Dichtschlämme"}, {"25 kg", "40 kg", "5 kg", "flexibel", "15 kg"}, {ein::Sack, ein::Eimer, ein::kg}},
    {"Holz und Platten", 19, 2, 90, {"Spanplatte", "Sperrholz", "OSB-Platte", "Kantholz", "Dachlatte", "Leimholz", "Terrassendiele"}, {"19 mm", "2500 x 1250 mm", "60 x 80 mm", "24 x 48 mm", "Fichte", "Lärche", "Douglasie"}, {ein::Stk, ein::Platte, ein::lfm, ein::m2}},
    {"Gartenbedarf", 19, 2, 60, {"Blumenerde", "Rasensamen", "Gartenschlauch", "Pflanzkübel", "Rindenmulch", "Rasendünger", "Gartenschere"}, {"40 l", "1 kg", "20 m", "Ø 40 cm", "70 l", "Bypass"}, {ein::Sack, ein::Stk, ein::kg, ein::Rolle}},
    {"Pflanzenschutz", 19, 4, 35, {"Unkrautvernichter", "Schneckenkorn", "Insektenspray", "Pilzschutz", "Leimring"}, {"500 ml", "1 kg", "250 ml", "5 m"}, {ein::Flasche, ein::Dose, ein::Stk, ein::Pkg}},
    {"Arbeitsschutz", 19, 1, 95, {"Arbeitshandschuhe", "Schutzbrille", "Gehörschutz", "Sicherheitsschuhe", "Warnweste", "Atemschutzmaske", "Schutzhelm"}, {"Gr. 9", "Gr. 10", "S3 Gr. 43", "FFP2", "EN 166", "orange"}, {ein::Paar, ein::Stk, ein::Pkg}},
    {"Reinigung", 19, 1, 40, {"Allzweckreiniger", "Glasreiniger", "Scheuermilch", "Bodenwischer", "Mikrofasertuch", "Spülmittel", "Entkalker"}, {"1 l", "5 l", "10 Stück", "500 ml", "10 l"}, {ein::Flasche, ein::Kanister, ein::Pkg, ein::Stk}},
    {"Hygienepapier", 19, 2, 45, {"Toilettenpapier", "Papierhandtücher", "Küchenrolle", "Taschentücher", "Servietten"}, {"3-lagig 8 Rollen", "Zickzack 5000 Bl.", "4 Rollen", "24 x 10", "33 x 33 cm"}, {ein::Pkg, ein::Karton}},
    {"Büromaterial", 19, 0.5, 30, {"Ordner", "Kugelschreiber", "Textmarker", "Locher", "Heftgerät", "Heftklammern", "Briefumschläge", "Klarsichthüllen"}, {"DIN A4 8 cm", "blau", "gelb", "24/6", "DIN lang", "100 Stück", "schwarz"}, {ein::Stk, ein::Pkg, ein::Schachtel}},
    {"Papierwaren", 19, 1, 40, {"Kopierpapier", "Notizblock", "Collegeblock", "Etiketten", "Karteikarten"}, {"A4 80 g", "500 Blatt", "A5 kariert", "A4 liniert", "70 x 36 mm"}, {ein::Ries, ein::Block, ein::Pkg, ein::Karton}},
    {"Verpackung", 19, 0.3, 60, {"Faltkarton", "Luftpolsterfolie", "Packband", "Stretchfolie", "Versandtasche", "Füllmaterial"}, {"300 x 200 x 150", "50 cm x 100 m", "braun 66 m", "23 µm", "C4", "120 l"}, {ein::Stk, ein::Rolle, ein::Pkg, ein::Ballen}},
    {"Lebensmittel", 7, 0.5, 45, {"Weizenmehl", "Zucker", "Reis", "Nudeln", "Rapsöl", "Speisesalz", "Haferflocken", "Linsen"}, {"Type 405", "1 kg", "5 kg", "500 g", "1 l", "Vollkorn", "25 kg"}, {ein::kg, ein::Pkg, ein::Sack, ein::Flasche}},
    {"Getränke", 19, 0.4, 35, {"Mineralwasser", "Apfelschorle", "Orangensaft", "Cola", "Pils", "Radler", "Weißwein", "Rotwein"}, {"0,7 l", "1,0 l", "12 x 0,7 l", "20 x 0,5 l", "0,75 l", "classic", "medium"}, {ein::Flasche, ein::Kiste, ein::Karton}},
    {"Kaffee und Tee", 7, 2, 35, {"Kaffeebohnen", "Espresso", "Filterkaffee", "Schwarztee", "Kräutertee", "Grüntee", "Kakao"}, {"1 kg", "500 g", "250 g", "20 Beutel", "100 Beutel", "gemahlen"}, {ein::Pkg, ein::kg, ein::Dose, ein::Beutel}},
    {"Süßwaren", 7, 0.5, 25, {"Schokolade", "Fruchtgummi", "Butterkekse", "Pralinen", "Lebkuchen", "Müsliriegel"}, {"100 g", "200 g", "Vollmilch", "Zartbitter", "250 g", "24 Stück"}, {ein::Tafel, ein::Beutel, ein::Pkg, ein::Karton}},
    {"Tiefkühlware", 7, 1.5, 30, {"Pommes frites", "Blattspinat", "Fischstäbchen", "Steinofenpizza", "Erbsen", "Aufbackbrötchen"}, {"2,5 kg", "1 kg", "450 g", "Margherita", "10 Stück", "Salami"}, {ein::Pkg, ein::Karton, ein::kg}},
    {"Molkereiprodukte", 7, 0.4, 25, {"Vollmilch", "Butter", "Joghurt", "Schlagsahne", "Speisequark", "Gouda", "Emmentaler"}, {"3,5 % 1 l", "250 g", "150 g", "200 ml", "500 g", "am Stück", "in Scheiben"}, {ein::Pkg, ein::Becher, ein::kg, ein::l}},
    {"Backwaren", 7, 0.3, 25, {"Bauernbrot", "Brötchen", "Brezel", "Croissant", "Blechkuchen", "Toastbrot"}, {"Roggenmisch 1 kg", "Weizen", "750 g", "Butter", "Streusel", "500 g"}, {ein::Stk, ein::Pkg}},
    {"Obst und Gemüse", 7, 0.3, 20, {"Äpfel", "Kartoffeln", "Zwiebeln", "Tomaten", "Karotten", "Bananen", "Kopfsalat", "Gurken"}, {"Elstar", "festkochend", "Kl. I", "lose", "Bio", "2,5 kg", "Netz 5 kg"}, {ein::kg, ein::Steige, ein::Stk, ein::Sack}},
    {"Haushaltswaren", 19, 0.8, 20, {"Müllbeutel", "Frischhaltefolie", "Alufolie", "Batterien", "Teelichter", "Kerzen", "Wäscheklammern"}, {"60 l", "30 m", "AA 4er", "AAA 8er", "weiß 10 Stück", "20 Stück"}, {ein::Rolle, ein::Pkg, ein::Stk}},
    {"Küchenbedarf", 19, 2, 150, {"Kochtopf", "Bratpfanne", "Kochmesser", "Schneidebrett", "Rührschüssel", "Besteckset", "Trinkglas"}, {"Ø 20 cm", "Ø 28 cm", "Edelstahl", "Buche", "24-tlg.", "0,3 l", "6 Stück"}, {ein::Stk, ein::Set, ein::Pkg}},
    {"Textilien", 19, 2, 80, {"Handtuch", "Geschirrtuch", "Arbeitshose", "T-Shirt", "Poloshirt", "Fleecejacke", "Tischdecke"}, {"50 x 100 cm", "Gr. M", "Gr. L", "Gr. XL", "Baumwolle", "marine", "130 x 160 cm"}, {ein::Stk, ein::Pkg}},
    {"Schuhe", 19, 12, 140, {"Arbeitsschuh", "Gummistiefel", "Hausschuh", "Sicherheitsstiefel", "Clogs"}, {"Gr. 38", "Gr. 40", "Gr. 42", "Gr. 44", "Gr. 46", "S3"}, {ein::Paar}},
    {"Spielwaren", 19, 2, 50, {"Holzbausteine", "Puzzle", "Malbuch", "Buntstifte", "Plüschbär", "Spielball"}, {"100 Teile", "500 Teile", "12 Farben", "30 cm", "Ø 22 cm"}, {ein::Stk, ein::Pkg, ein::Set}},
    {"Bücher", 7, 5, 45, {"Kochbuch", "Gartenratgeber", "Wandkalender", "Kinderbuch", "Straßenatlas", "Wörterbuch"}, {"gebunden", "Taschenbuch", "A3", "Deutsch-Englisch", "Neuauflage"}, {ein::Stk}},
    {"Schreibwaren", 19, 0.3, 25, {"Füller", "Bleistift", "Radiergummi", "Lineal", "Zirkel", "Tintenpatronen", "Schulheft"}, {"HB", "30 cm", "blau 6 Stück", "A5 liniert", "Set"}, {ein::Stk, ein::Pkg, ein::Dutzend}},
    {"Kfz-Zubehör", 19, 2, 70, {"Motoröl", "Scheibenreiniger", "Frostschutz", "Wischerblatt", "Starthilfekabel", "Eiskratzer", "Warndreieck"}, {"5W-30 5 l", "1 l", "-30 °C", "60 cm", "25 mm²", "ECE"}, {ein::Kanister, ein::Flasche, ein::Stk, ein::Paar}},
    {"Fahrradzubehör", 19, 3, 80, {"Fahrradschlauch", "Fahrradmantel", "Fahrradlampe", "Bügelschloss", "Luftpumpe", "Kettenöl"}, {"28 Zoll", "26 Zoll", "LED", "230 mm", "100 ml"}, {ein::Stk, ein::Set, ein::Flasche}},
    {"Tierbedarf", 7, 1, 55, {"Hundefutter", "Katzenfutter", "Vogelfutter", "Katzenstreu", "Kauknochen"}, {"15 kg", "400 g", "1 kg", "10 l", "5 Stück"}, {ein::Sack, ein::Dose, ein::Pkg, ein::Beutel}},
    {"Dienstleistungen", 19, 25, 95, {"Arbeitszeit Geselle", "Arbeitszeit Meister", "Beratung", "Aufmaß", "Entsorgung", "Reinigungsservice"}, {"je Stunde", "vor Ort", "pauschal", "bis 1 m³", "je m²"}, {ein::Std, ein::Pauschale, ein::m3, ein::m2}},
    {"Montage", 19, 40, 600, {"Montage Küche", "Montage Tür", "Montage Fenster", "Aufbau Regal", "Geräteanschluss"}, {"bis 3 m", "Standard", "je Stück", "inkl. Material", "pauschal"}, {ein::Pauschale, ein::Std, ein::Stk}},
    {"Fracht und Porto", 19, 0.8, 150, {"Versandkosten", "Expresszuschlag", "Palettenversand", "Anfahrt", "Porto"}, {"Inland", "bis 31,5 kg", "Europalette", "je km", "Brief"}, {ein::Pauschale, ein::km, ein::Palette}},
};
constexpr int kAnzahlKategorien = int(sizeof(kKategorien) / sizeof(kKategorien[0]));

const std::initializer_list<const char*> kQualitaet = {"", "", "", "", "Premium ", "Profi ", "Eco ", "Classic ", "Plus "};
const std::initializer_list<const char*> kLangtexte = {
    "Bewährte Qualität zu einem fairen Preis.",
    "Lieferung ab Lager, solange der Vorrat reicht.",
    "Markenware; Restposten auf Anfrage.",
    "Für den gewerblichen Einsatz geeignet.",
    "Hinweise zur Verwendung liegen jeder Lieferung bei.",
    "Mindestabnahme beachten.\nStaffelpreise auf Anfrage.",
};

// ---------------------------------------------------------------- people and places

const std::initializer_list<const char*> kVornamen = {
    "Anna", "Maria", "Sabine", "Petra", "Monika", "Claudia", "Julia", "Katharina", "Lena", "Sophie",
    "Ursula", "Birgit", "Renate", "Jutta", "Franziska", "Jana", "Lea", "Hannah", "Christine", "Elke",
    "Thomas", "Michael", "Andreas", "Stefan", "Peter", "Wolfgang", "Jürgen", "Klaus", "Uwe", "Markus",
    "Frank", "Bernd", "Jörg", "Tobias", "Florian", "Matthias", "Günter", "Lukas", "Jonas", "Sebastian",
};
const std::initializer_list<const char*> kNachnamen = {
    "Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker", "Schulz", "Hoffmann",
    "Schäfer", "Koch", "Bauer", "Richter", "Klein", "Wolf", "Schröder", "Neumann", "Schwarz", "Zimmermann",
    "Braun", "Krüger", "Hofmann", "Hartmann", "Lange", "Schmitt", "Werner", "Schmitz", "Krause", "Meier",
    "Lehmann", "Schmid", "Schulze", "Maier", "Köhler", "Herrmann", "König", "Walter", "Mayer", "Huber",
    "Kaiser", "Fuchs", "Peters", "Lang", "Scholz", "Möller", "Weiß", "Jung", "Hahn", "Schubert",
    "Vogel", "Friedrich", "Keller", "Günther", "Frank", "Berger", "Winkler", "Roth", "Beck", "Lorenz",
    "Baumann", "Franke", "Albrecht", "Schuster", "Simon", "Ludwig", "Böhm", "Winter", "Kraus", "Martin",
    "Schumacher", "Krämer", "Vogt", "Stein", "Jäger", "Otto", "Sommer", "Groß", "Seidel", "Heinrich",
    "Brandt", "Haas", "Schreiber", "Graf", "Schulte", "Dietrich", "Ziegler", "Kuhn", "Kühn", "Pohl",
    "Engel", "Horn", "Busch", "Bergmann", "Thomas", "Voigt", "Sauer", "Arnold", "Wolff", "Pfeiffer",
};
const std::initializer_list<const char*> kBranchen = {
    "Bäckerei", "Metzgerei", "Gasthof", "Hotel", "Schreinerei", "Tischlerei", "Elektro", "Sanitär",
    "Malerbetrieb", "Dachdeckerei", "Autohaus", "Gärtnerei", "Blumen", "Café", "Getränkemarkt",
    "Hausverwaltung", "Zimmerei", "Fliesen", "Baustoffe", "Hofladen", "Kfz-Werkstatt", "Pension",
};
const std::initializer_list<const char*> kRechtsformen = {
    " GmbH", " GmbH", " GmbH", " KG", " OHG", " e. K.", " GmbH & Co. KG", " UG (haftungsbeschränkt)", "", "",
};
const std::initializer_list<const char*> kStrassen = {
    "Hauptstraße", "Bahnhofstraße", "Dorfstraße", "Schulstraße", "Gartenstraße", "Kirchstraße", "Bergstraße",
    "Lindenstraße", "Waldstraße", "Ringstraße", "Mühlenweg", "Am Markt", "Goethestraße", "Schillerstraße",
    "Birkenweg", "Industriestraße", "Gewerbepark", "Rosenweg", "Wiesenweg", "Am Sportplatz", "Feldstraße",
    "Ahornweg", "Eichenweg", "Poststraße", "Marktplatz", "Uferstraße", "Fröbelstraße", "Jahnstraße",
    "Lessingstraße", "Königsallee", "Kastanienallee", "Äußere Straße", "Brückenstraße", "Im Grund",
};
struct Ort {
    const char* plz;
    const char* ort;
    const char* vorwahl;
};
const std::initializer_list<Ort> kOrte = {
    {"10115", "Berlin", "030"}, {"20095", "Hamburg", "040"}, {"80331", "München", "089"},
    {"50667", "Köln", "0221"}, {"60311", "Frankfurt am Main", "069"}, {"70173", "Stuttgart", "0711"},
    {"40213", "Düsseldorf", "0211"}, {"04109", "Leipzig", "0341"}, {"44135", "Dortmund", "0231"},
    {"45127", "Essen", "0201"}, {"28195", "Bremen", "0421"}, {"01067", "Dresden", "0351"},
    {"30159", "Hannover", "0511"}, {"90402", "Nürnberg", "0911"}, {"47051", "Duisburg", "0203"},
    {"33602", "Bielefeld", "0521"}, {"53111", "Bonn", "0228"}, {"48143", "Münster", "0251"},
    {"76133", "Karlsruhe", "0721"}, {"68159", "Mannheim", "0621"}, {"86150", "Augsburg", "0821"},
    {"65183", "Wiesbaden", "0611"}, {"38100", "Braunschweig", "0531"}, {"24103", "Kiel", "0431"},
    {"52062", "Aachen", "0241"}, {"06108", "Halle (Saale)", "0345"}, {"39104", "Magdeburg", "0391"},
    {"79098", "Freiburg im Breisgau", "0761"}, {"23552", "Lübeck", "0451"}, {"99084", "Erfurt", "0361"},
    {"55116", "Mainz", "06131"}, {"18055", "Rostock", "0381"}, {"34117", "Kassel", "0561"},
    {"66111", "Saarbrücken", "0681"}, {"93047", "Regensburg", "0941"}, {"94032", "Passau", "0851"},
    {"83022", "Rosenheim", "08031"}, {"87435", "Kempten (Allgäu)", "0831"}, {"97070", "Würzburg", "0931"},
    {"96047", "Bamberg", "0951"}, {"95444", "Bayreuth", "0921"}, {"84028", "Landshut", "0871"},
    {"85049", "Ingolstadt", "0841"}, {"89073", "Ulm", "0731"}, {"72070", "Tübingen", "07071"},
    {"78462", "Konstanz", "07531"}, {"88212", "Ravensburg", "0751"}, {"71638", "Ludwigsburg", "07141"},
};

// Lower-case ASCII for e-mail addresses: "Müller & Söhne" -> "mueller-soehne".
std::string Kennung(const std::string& utf8)
{
    const QString s = QString::fromUtf8(utf8.data(), int(utf8.size())).toLower();
    std::string out;
    bool strich = false;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        const char* ersatz = nullptr;
        if (u == u'ä') ersatz = "ae";
        else if (u == u'ö') ersatz = "oe";
        else if (u == u'ü') ersatz = "ue";
        else if (u == u'ß') ersatz = "ss";
        if (ersatz) {
            out += ersatz;
            strich = false;
        } else if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) {
            out += char(u);
            strich = false;
        } else if (!out.empty() && !strich) {
            out += '-';
            strich = true;
        }
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out;
}

std::string Ziffern(Zufall& z, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + z.bis(10));
    if (!s.empty() && s[0] == '0') s[0] = char('1' + z.bis(9));
    return s;
}

std::string Telefon(Zufall& z, const char* vorwahl) { return std::string(vorwahl) + " " + Ziffern(z, z.zwischen(5, 7)); }
std::string Mobil(Zufall& z)
{
    const std::string netz = z.aus({"0151", "0160", "0170", "0171", "0172", "0176", "0157"});
    return netz + " " + Ziffern(z, 7);
}
std::string Hausnummer(Zufall& z)
{
    std::string s = std::to_string(z.zwischen(1, 140));
    if (z.wahr(0.08)) s += char('a' + z.bis(3));
    return s;
}

// ---------------------------------------------------------------- writing

struct Db {
    sqlite3* h = nullptr;
    void exec(const char* sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(h, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(h));
            sqlite3_free(err);
            throw data::Fehler(text);
        }
    }
};

// A prepared INSERT; values are bound in column order, then `schreiben()`.
class Einfuegen {
public:
    Einfuegen(Db& db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db.h, sql, -1, &m_st, nullptr) != SQLITE_OK)
            throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(db.h)));
    }
    ~Einfuegen() { sqlite3_finalize(m_st); }
    Einfuegen(const Einfuegen&) = delete;
    Einfuegen& operator=(const Einfuegen&) = delete;

    Einfuegen& i(qint64 v) { sqlite3_bind_int64(m_st, ++m_n, v); return *this; }
    Einfuegen& d(double v) { sqlite3_bind_double(m_st, ++m_n, v); return *this; }
    Einfuegen& t(const std::string& v) { sqlite3_bind_text(m_st, ++m_n, v.data(), int(v.size()), SQLITE_TRANSIENT); return *this; }
    Einfuegen& t(const char* v) { sqlite3_bind_text(m_st, ++m_n, v, -1, SQLITE_TRANSIENT); return *this; }
    Einfuegen& null() { sqlite3_bind_null(m_st, ++m_n); return *this; }
    Einfuegen& jn(bool v) { return i(v ? -1 : 0); }
    // Text or NULL for an empty value (a field nobody filled in).
    Einfuegen& tn(const std::string& v) { return v.empty() ? null() : t(v); }

    void schreiben()
    {
        if (sqlite3_step(m_st) != SQLITE_DONE) throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(m_db.h)));
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        m_n = 0;
    }

private:
    Db& m_db;
    sqlite3_stmt* m_st = nullptr;
    int m_n = 0;
};

struct Artikel {
    int id;
    int kategorie;  // index into kKategorien
    int einheit;    // index into kEinheiten
    int mwst;
    double preis;
    double einkauf;  // < 0: none
};

struct Stammdaten {
    std::string zahlungsbed, bank, zusatz, mahnung;
};

std::string Iso(const QDate& d) { return d.toString(Qt::ISODate).toStdString(); }

class Schreiber {
public:
    Schreiber(Db& db, const Umfang& u, quint64 seed, const QDate& ende) : m_db(db), m_u(u), m_seed(seed), m_ende(ende) {}

    Ergebnis Alles()
    {
        Einheiten();
        Kategorien();
        ArtikelSchreiben();
        Adressen();
        StammdatenSchreiben();
        Plu();
        Lieferscheine();
        return m_erg;
    }

private:
    void Einheiten()
    {
        Einfuegen ins(m_db, "INSERT INTO t_einheit (id, einheit) VALUES (?, ?)");
        for (int k = 0; k < m_u.einheiten; ++k) {
            std::string name = kEinheiten[k % kAnzahlEinheiten];
            if (k >= kAnzahlEinheiten) name += " " + std::to_string(k / kAnzahlEinheiten + 1);
            ins.i(k + 1).t(name).schreiben();
        }
    }

    void Kategorien()
    {
        Einfuegen ins(m_db, "INSERT INTO t_kategorie (id, kategorie) VALUES (?, ?)");
        for (int k = 0; k < m_u.kategorien; ++k) {
            std::string name = kKategorien[k % kAnzahlKategorien].name;
            if (k >= kAnzahlKategorien) name += " " + std::to_string(k / kAnzahlKategorien + 1);
            ins.i(k + 1).t(name).schreiben();
        }
    }

    void ArtikelSchreiben()
    {
        Zufall z(m_seed, 3);
        Einfuegen ins(m_db,
                      "INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_langtext, artikel_preis, artikel_preis_2, "
                      "artikel_Mwst, artikel_einkauf, artikel_einheit_id, artikel_kategorie_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        std::vector<int> laufend(size_t(std::max(1, m_u.kategorien)), 0);
        for (int k = 0; k < m_u.artikel; ++k) {
            const int kat = z.bis(m_u.kategorien);
            const Kategorie& v = kKategorien[kat % kAnzahlKategorien];
            const int einheit = v.einheiten.begin()[z.bis(int(v.einheiten.size()))];
            Artikel a;
            a.id = k + 1;
            a.kategorie = kat;
            a.einheit = einheit % std::max(1, std::min(m_u.einheiten, kAnzahlEinheiten));
            a.mwst = v.mwst;
            // Cheap articles are the many, dear ones the few.
            const double x = z.gleich();
            a.preis = std::max(0.05, AufCent(v.preisVon + (v.preisBis - v.preisVon) * x * x * x));
            a.einkauf = z.wahr(0.04) ? -1.0 : AufCent(a.preis * (0.50 + 0.35 * z.gleich()));
            const double preis2 = AufCent(a.preis * (0.88 + 0.07 * z.gleich()));

            // One draw per statement: the order of operands is not fixed in C++.
            const std::string nomen = z.aus(v.nomen);
            const std::string qualitaet = z.aus(kQualitaet);
            const std::string bez = nomen + " " + qualitaet + z.aus(v.masse);
            std::string lang;
            if (z.wahr(0.7)) lang = bez + ". " + z.aus(kLangtexte);
            // Numbers in blocks per category, as a shop files them.
            const int nr = (kat + 1) * 10000 + ++laufend[size_t(kat)];

            ins.i(a.id).i(nr).t(bez).tn(lang).d(a.preis).d(preis2).d(double(a.mwst));
            if (a.einkauf < 0) ins.null();
            else ins.d(a.einkauf);
            ins.i(a.einheit + 1).i(kat + 1).schreiben();
            m_artikel.push_back(a);
        }
        // The articles sold most, in random order of number.
        m_beliebtArtikel.resize(m_artikel.size());
        for (size_t k = 0; k < m_beliebtArtikel.size(); ++k) m_beliebtArtikel[k] = int(k);
        Mischen(z, m_beliebtArtikel);
    }

    template <typename T> static void Mischen(Zufall& z, std::vector<T>& v)
    {
        for (int k = int(v.size()) - 1; k > 0; --k) std::swap(v[size_t(k)], v[size_t(z.bis(k + 1))]);
    }

    void Adressen()
    {
        Zufall z(m_seed, 4);
        Einfuegen ins(m_db,
                      "INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_tel, adr_fax, "
                      "adr_mobil, adr_email, adr_uidnr, adr_kunde, adr_lieferant, adr_hatlieferadr, adr_lief_firma, "
                      "adr_lief_ganzername, adr_lief_adresse, adr_lief_plz, adr_lief_ort, adr_lief_tel, adr_lief_fax, "
                      "adr_lief_mobil, adr_lief_email) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int k = 0; k < m_u.adressen; ++k) {
            const int id = k + 1;
            const std::string vorname = z.aus(kVornamen);
            const std::string nachname = z.aus(kNachnamen);
            const std::string name = vorname + " " + nachname;
            std::string firma;
            const double art = z.gleich();
            const std::string branche = z.aus(kBranchen);
            const std::string partner = z.aus(kNachnamen);
            const std::string form = z.aus(kRechtsformen);
            std::string kern;  // the name without its legal form, for the mail domain
            if (art < 0.35) kern = branche + " " + nachname;
            else if (art < 0.60) kern = nachname;
            else if (art < 0.70) kern = nachname + " & " + partner;
            else if (art < 0.80) kern = branche + " " + nachname;
            if (!kern.empty()) firma = art < 0.35 ? kern : kern + form;
            // else: a private customer without company name
            while (!firma.empty() && firma.back() == ' ') firma.pop_back();
            const Ort& ort = kOrte.begin()[z.bis(int(kOrte.size()))];
            const std::string domain = Kennung(kern.empty() ? nachname : kern) + ".example";
            std::string mail;
            if (z.wahr(0.75))
                mail = (firma.empty() || z.wahr(0.3) ? Kennung(vorname) + "." + Kennung(nachname) : std::string("info")) + "@" + domain;

            const bool kunde = z.wahr(0.92);
            const bool lieferant = !kunde || z.wahr(0.05);
            const bool hatLiefer = kunde && z.wahr(0.12);

            const std::string strasse = z.aus(kStrassen);
            ins.i(id).tn(firma).t(name).t(strasse + " " + Hausnummer(z)).t(ort.plz).t(ort.ort);
            ins.tn(z.wahr(0.9) ? Telefon(z, ort.vorwahl) : std::string());
            ins.tn(!firma.empty() && z.wahr(0.4) ? Telefon(z, ort.vorwahl) : std::string());
            ins.tn(z.wahr(0.5) ? Mobil(z) : std::string());
            ins.tn(mail);
            ins.tn(!firma.empty() && z.wahr(0.7) ? "DE" + Ziffern(z, 9) : std::string());
            ins.jn(kunde).jn(lieferant).jn(hatLiefer);
            if (hatLiefer) {
                const Ort& lort = z.wahr(0.6) ? ort : kOrte.begin()[z.bis(int(kOrte.size()))];
                ins.tn(firma.empty() ? std::string() : firma + (z.wahr(0.5) ? " – Lager" : " – Baustelle"));
                const std::string lvor = z.aus(kVornamen);
                ins.t(lvor + " " + z.aus(kNachnamen));
                const std::string lstrasse = z.aus(kStrassen);
                ins.t(lstrasse + " " + Hausnummer(z)).t(lort.plz).t(lort.ort);
                ins.tn(z.wahr(0.7) ? Telefon(z, lort.vorwahl) : std::string()).null();
                ins.tn(z.wahr(0.4) ? Mobil(z) : std::string()).null();
            } else {
                for (int n = 0; n < 9; ++n) ins.null();
            }
            ins.schreiben();
            if (kunde) m_kunden.push_back(id);
        }
        Mischen(z, m_kunden);  // the first ones order most
    }

    void StammdatenSchreiben()
    {
        m_stamm.zahlungsbed = "Zahlbar innerhalb von 14 Tagen ohne Abzug.\nBei Zahlung innerhalb von 7 Tagen gewähren wir 2 % Skonto.";
        m_stamm.bank = "Sparkasse Augsburg\nIBAN: DE12 7205 0000 0123 4567 89\nBIC: AUGSDE77XXX";
        m_stamm.zusatz = "Vielen Dank für Ihren Auftrag!\nDie Ware bleibt bis zur vollständigen Bezahlung unser Eigentum.";
        m_stamm.mahnung =
            "Sehr geehrte Damen und Herren,\n\nsicherlich haben Sie übersehen, dass die folgende Rechnung noch offen ist. "
            "Wir bitten Sie, den Betrag innerhalb der nächsten 7 Tage zu überweisen.\n\nSollten Sie die Zahlung bereits "
            "veranlasst haben, betrachten Sie dieses Schreiben bitte als gegenstandslos.";
        Einfuegen ins(m_db,
                      "INSERT INTO t_stammdaten (stammd_firma, stammd_ganzername, stammd_adresse, stammd_plz, stammd_ort, stammd_tel, "
                      "stammd_fax, stammd_mobil, stammd_email, stammd_uidnr, stammd_firma_d, stammd_ganzername_d, stammd_adresse_d, "
                      "stammd_plz_d, stammd_tel_d, stammd_fax_d, stammd_mobil_d, stammd_email_d, stammd_uidnr_d, stammd_drucken, "
                      "Zahlungsbedingungen, Bankverbindungen, Zusatztext, Mahnungstext) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        ins.t("Sommer Handelsgesellschaft mbH").t("Katharina Sommer").t("Industriestraße 7").t("86150").t("Augsburg");
        ins.t("0821 4567890").t("0821 4567899").t("0171 2345678").t("info@sommer-handel.example").t("DE123456789");
        ins.jn(true).jn(true).jn(true).jn(true).jn(true).jn(false).jn(false).jn(true).jn(true).d(0);
        ins.t(m_stamm.zahlungsbed).t(m_stamm.bank).t(m_stamm.zusatz).t(m_stamm.mahnung).schreiben();
    }

    void Plu()
    {
        Zufall z(m_seed, 5);
        const int n = std::min(m_u.plu, int(m_artikel.size()));
        Einfuegen ins(m_db, "INSERT INTO t_PLU (PLU, Artikel_id) VALUES (?, ?)");
        // Codes are short numbers; the most sold articles get them.
        const int raum = std::max(9999, n * 4);
        std::vector<bool> vergeben(size_t(raum) + 1, false);
        for (int k = 0; k < n; ++k) {
            int c;
            do c = z.zwischen(1, raum);
            while (vergeben[size_t(c)]);
            vergeben[size_t(c)] = true;
            ins.i(c).i(m_artikel[size_t(m_beliebtArtikel[size_t(k)])].id).schreiben();
        }
    }

    void Lieferscheine()
    {
        Zufall z(m_seed, 6);
        const int anzahl = m_u.lieferscheine;
        if (anzahl > 0 && m_kunden.empty()) throw data::Fehler(QStringLiteral("Ohne Kunden gibt es keine Lieferscheine."));
        if (anzahl > 0 && m_artikel.empty()) throw data::Fehler(QStringLiteral("Ohne Artikel gibt es keine Positionen."));
        if (m_u.positionen < anzahl) throw data::Fehler(QStringLiteral("Jeder Lieferschein braucht mindestens eine Position."));

        // Dates: working days of the 15 years up to the end, in order.
        const QDate beginn = m_ende.addYears(-15).addDays(1);
        const int tage = int(beginn.daysTo(m_ende)) + 1;
        std::vector<int> tag(static_cast<size_t>(anzahl));
        for (int& t : tag) {
            do t = z.bis(tage);
            while (beginn.addDays(t).dayOfWeek() >= 6 && z.wahr(0.95));
        }
        std::sort(tag.begin(), tag.end());

        // Items per note: 1 .. 2×mean-1, then evened out to the exact total.
        std::vector<int> pos(size_t(anzahl), 0);
        if (anzahl > 0) {
            const int mittel = std::max(1, m_u.positionen / anzahl);
            qint64 summe = 0;
            for (int& p : pos) summe += (p = z.zwischen(1, 2 * mittel - 1));
            while (summe != m_u.positionen) {
                int& p = pos[size_t(z.bis(anzahl))];
                if (summe > m_u.positionen && p > 1) { --p; --summe; }
                else if (summe < m_u.positionen && p < 4 * mittel) { ++p; ++summe; }
            }
        }

        // Prices rise about 2 % a year; an item keeps the price of its day.
        std::vector<double> faktor(16, 1.0);
        for (size_t j = 1; j < faktor.size(); ++j) faktor[j] = faktor[j - 1] / 1.02;

        Einfuegen lief(m_db,
                       "INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahldatum, "
                       "lief_zahlbetrag, lief_zahlungsbed, lief_Bankverbindungen, lief_Zusatztext, lief_Mahnungstext) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Einfuegen posIns(m_db,
                         "INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) "
                         "VALUES (?, ?, ?, ?, ?, ?)");
        struct Position {
            int artikel;
            double anzahl, preis, einkauf;
        };
        std::vector<Position> zeilen;
        qint64 posId = 0;
        for (int k = 0; k < anzahl; ++k) {
            const int id = k + 1;
            const QDate datum = beginn.addDays(tag[size_t(k)]);
            const int jahreZurueck = std::min(15, int(datum.daysTo(m_ende) / 365));
            const int kunde = m_kunden[size_t(z.beliebt(int(m_kunden.size())))];

            zeilen.clear();
            double brutto = 0;
            for (int p = 0; p < pos[size_t(k)]; ++p) {
                const Artikel& a = m_artikel[size_t(m_beliebtArtikel[size_t(z.beliebt(int(m_artikel.size())))])];
                double menge;
                if (Teilbar(a.einheit) && z.wahr(0.6)) menge = double(z.zwischen(1, 40)) / 2.0;
                else if (a.einheit == ein::Palette || a.preis > 200) menge = z.zwischen(1, 3);
                else {
                    const double w = z.gleich();
                    menge = w < 0.6 ? z.zwischen(1, 3) : w < 0.9 ? z.zwischen(4, 12) : z.zwischen(13, 50);
                }
                double preis = AufCent(a.preis * faktor[size_t(jahreZurueck)]);
                if (z.wahr(0.05)) preis = AufCent(preis * 0.9);  // a discount given by hand
                const double einkauf = a.einkauf < 0 ? 0.0 : AufCent(a.einkauf * faktor[size_t(jahreZurueck)]);
                zeilen.push_back({a.id, menge, preis, einkauf});
                brutto += menge * preis * (double(a.mwst) / 100.0 + 1.0);
            }

            // About a third become invoices; old invoices are paid, recent ones partly open.
            QDate rechnung, zahlung;
            double betrag = 0;
            if (z.wahr(1.0 / 3.0)) {
                rechnung = datum.addDays(z.zwischen(0, 10));
                if (rechnung > m_ende) rechnung = m_ende;
                const QDate faellig = rechnung.addDays(z.zwischen(3, 45));
                if (faellig <= m_ende && z.wahr(0.95)) {
                    zahlung = faellig;
                    betrag = AufCent(brutto);
                    if (z.wahr(0.15)) betrag = AufCent(brutto * 0.98);  // paid with discount
                }
            }
            const bool gemahnt = rechnung.isValid() && !zahlung.isValid() && rechnung.daysTo(m_ende) > 30 && z.wahr(0.5);

            lief.i(id).i(id).t(Iso(datum)).i(kunde);
            if (rechnung.isValid()) lief.t(Iso(rechnung)); else lief.null();
            if (zahlung.isValid()) lief.t(Iso(zahlung)).d(betrag); else lief.null().null();
            lief.t(m_stamm.zahlungsbed).t(m_stamm.bank).t(m_stamm.zusatz);
            if (gemahnt) lief.t(m_stamm.mahnung); else lief.null();
            lief.schreiben();

            for (const Position& p : zeilen)
                posIns.i(++posId).i(id).i(p.artikel).d(p.anzahl).d(p.preis).d(p.einkauf).schreiben();

            ++m_erg.lieferscheine;
            m_erg.positionen += qint64(zeilen.size());
            if (rechnung.isValid()) ++m_erg.rechnungen;
            if (zahlung.isValid()) ++m_erg.bezahlt;
        }
    }

    Db& m_db;
    Umfang m_u;
    quint64 m_seed;
    QDate m_ende;
    Ergebnis m_erg;
    std::vector<Artikel> m_artikel;
    std::vector<int> m_beliebtArtikel;  // indexes into m_artikel, most sold first
    std::vector<int> m_kunden;          // address ids, best customers first
    Stammdaten m_stamm;
};

}  // namespace

bool UmfangFuer(const QString& name, Umfang* u)
{
    if (name == QLatin1String("mini")) *u = {25, 60, 8, 6, 300, 3000, 20};
    else if (name == QLatin1String("typisch")) *u = {500, 2000, 50, 40, 20000, 200000, 300};
    else if (name == QLatin1String("gross")) *u = {5000, 20000, 50, 40, 200000, 2000000, 600};
    else return false;
    return true;
}

QStringList Groessen() { return {QStringLiteral("mini"), QStringLiteral("typisch"), QStringLiteral("gross")}; }

QDate StandardEnde() { return QDate(2026, 11, 30); }

Ergebnis BeispieldatenSchreiben(const QString& pfad, const Umfang& umfang, quint64 seed, const QDate& ende)
{
    QElapsedTimer uhr;
    uhr.start();
    const QFileInfo ziel(pfad);
    if (ziel.exists())
        throw data::Fehler(QStringLiteral("Die Datei %1 existiert bereits und wird nicht überschrieben.").arg(pfad));
    if (!ziel.absoluteDir().exists())
        throw data::Fehler(QStringLiteral("Der Ordner %1 existiert nicht.").arg(ziel.absolutePath()));
    if (!ende.isValid()) throw data::Fehler(QStringLiteral("Ungültiges Enddatum."));

    QString tmp;
    for (int n = 0;; ++n) {
        tmp = ziel.absoluteFilePath() + QStringLiteral(".entsteht-%1-%2").arg(QCoreApplication::applicationPid()).arg(n);
        if (!QFileInfo::exists(tmp)) break;
    }
    data::LeereDatenbankSchreiben(tmp);

    Db db;
    Ergebnis erg;
    try {
        if (sqlite3_open_v2(tmp.toUtf8().constData(), &db.h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw data::Fehler(QString::fromUtf8(db.h ? sqlite3_errmsg(db.h) : "sqlite3_open_v2"));
        // A new file that is discarded on any failure: no journal, no syncing.
        db.exec("PRAGMA journal_mode = OFF");
        db.exec("PRAGMA synchronous = OFF");
        db.exec("PRAGMA cache_size = -131072");
        db.exec("PRAGMA foreign_keys = ON");
        db.exec("BEGIN");
        Schreiber s(db, umfang, seed, ende);
        erg = s.Alles();
        db.exec("COMMIT");
        db.exec("ANALYZE");
        if (sqlite3_close(db.h) != SQLITE_OK) throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(db.h)));
        db.h = nullptr;
    } catch (...) {
        if (db.h) sqlite3_close_v2(db.h);
        QFile::remove(tmp);
        throw;
    }
    // rename() never replaces: a file that appeared meanwhile is kept.
    if (!QFile::rename(tmp, ziel.absoluteFilePath())) {
        QFile::remove(tmp);
        throw data::Fehler(QStringLiteral("Die Datei %1 konnte nicht angelegt werden.").arg(pfad));
    }
    erg.sekunden = double(uhr.elapsed()) / 1000.0;
    return erg;
}

}  // namespace tools
