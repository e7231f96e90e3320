#pragma once
// The banded report engine.
//
// A report (Bericht) is defined in code from bands. Laying it out walks its
// driving dataset through the bands and produces pages of primitives placed in
// millimetres; painting (report/Ausgabe.h) replays those pages on any paged
// device. Nothing is painted while laying out, and painting never changes the
// pages, so the preview, the printer and a PDF get the same document.
//
// Coordinates are millimetres. An element's box has x from the LEFT EDGE OF
// THE SHEET (not from the margin) and y from the TOP OF ITS BAND. Primitives on
// the laid-out pages are placed from the top-left corner of the sheet.
//
// Bands, in the order they print:
//   page header   on every page, at the top margin; its hook runs once per page
//   group header  when the group's value changes (first row included); may
//                 start a new page
//   detail        once per row of the driving dataset
//   group footer  after the last row of each group (innermost group first)
//   summary       once after the last row (also for an empty dataset)
//   page footer   optional; reserved at the bottom of every page
// A band never splits across pages and never prints into the bottom margin
// (nor into the page footer's space): when it does not fit, the page is
// finished and the band starts the next page below the repeated page header.
// A band taller than a whole page is printed on a fresh page and cut at the
// bottom limit.
//
// Hooks (Band::vorDemDruck) run right before their band prints, with the
// driving dataset on the row the band belongs to (a group footer sees the last
// row of its group; the summary sees the last row; a page header sees the row
// that is about to print). A hook may set `drucken = false` to leave the band
// out (it then takes no space), and may change the band's elements. Element
// settings persist from one band to the next and from one layout to the next
// until they are set again, so a hook that sets a text must set it every time.
//
// Example (a statistics list):
//     report::Bericht b(QStringLiteral("Artikelstatistik"));
//     b.setRaender(10, 10, 10, 20);
//     report::Band& kopf = b.seitenkopf();
//     kopf.setHoehe(38.9);
//     kopf.setRahmenUnten(report::Strich::Einfach);
//     kopf.label("LabelTitel", "Artikelstatistik vom", {10.0, 0.0, 0, 0}, report::Schrift(14, true));
//     report::Text* von = kopf.label("LabelVon", "", {18.5, 8.5, 0, 0});
//     kopf.vorDemDruck = [von, this](report::Band&, bool&) { von->setText(...); };
//     report::Band& zeile = b.detail();
//     zeile.setHoehe(6.1);
//     zeile.feld("gesamt", "gesamt", {92.6, 0.8, 22.8, 0}, report::Maske::Waehrung)
//         ->setAusrichtung(Qt::AlignRight);
//     report::Gruppe& g = b.neueGruppe("QRGroup1");       // no key: one group over all rows
//     g.fuss.setHoehe(15.1);
//     b.setDataset(App().DMOrdavo->ADO_Auswertung_Artikel);
//     report::Seiten seiten = b.Layout();                 // or report::Vorschau(b)
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace data {
class Dataset;
class Field;
}  // namespace data

namespace report {

class Band;
class Bericht;

// Arial (Liberation Sans with the same metrics) at `pt` points.
QFont Schrift(double pt, bool fett = false, bool kursiv = false);

// Line widths: a single and a double-width rule.
enum class Strich { Einfach, Doppelt };
double Strichstaerke(Strich s);  // in mm

// Display masks of data-bound texts. A NULL value prints as empty text.
enum class Maske {
    Anzeige,         // the column's own display text (dates dd.MM.yyyy, money "#,##0.00 €")
    Text,            // the value as stored, as text
    Zahl,            // plain number, no fixed decimals, no group separator ("120", "12,5")
    Waehrung,        // "#,##0.00 €"
    Prozent,         // "0 %"    (the number rounded to a whole, a blank, "%"; not multiplied by 100)
    Prozent2,        // "0.00 %" (two decimals, a blank, "%")
    Zahl2,           // "#,##0.00"
    Datum,           // dd.MM.yyyy
};
// Formats a number or date value with a mask (as a data-bound text would).
QString Formatiere(const QVariant& wert, Maske maske);

// How a text fills its box.
enum class Textfluss {
    Zeile,        // one line, never cut: a text wider than its box overflows it
                  // away from its alignment (a right-aligned amount to the left,
                  // a left-aligned text to the right, a centred one both ways)
    Abschneiden,  // one line; what does not fit the box's width is not printed
    Umbrechen,  // wraps at the box's width; only whole lines that fit its height print
    Wachsen,    // wraps and grows downwards with its text; the band grows with it
};

// --- elements -------------------------------------------------------------

class Element {
public:
    explicit Element(const QString& name) : m_name(name) {}
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    const QString& name() const { return m_name; }

    // mm; x from the sheet's left edge, y from the band's top.
    QRectF box() const { return m_box; }
    void setBox(const QRectF& box) { m_box = box; }

    // A disabled or invisible element is not printed and leaves its space blank.
    bool enabled() const { return m_enabled; }
    void setEnabled(bool an) { m_enabled = an; }
    bool visible() const { return m_visible; }
    void setVisible(bool an) { m_visible = an; }
    bool druckt() const { return m_enabled && m_visible; }

private:
    QString m_name;
    QRectF m_box;
    bool m_enabled = true;
    bool m_visible = true;
};

// A text: a static label, a data-bound text, or a text box.
//  - Box width 0: the box is as wide as its text (one line, never cut).
//  - Box height 0: one line of the element's font.
//  - The text is drawn from the top of the box; the alignment is horizontal.
class Text : public Element {
public:
    using Formatierer = std::function<QString(const data::Field&)>;

    explicit Text(const QString& name) : Element(name) {}

    // Static text. A bound text prints its column instead, and empty text
    // while the dataset has no row.
    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

    // Bind to a column of the driving dataset (names without regard to case).
    // An empty name unbinds; the static text prints again.
    void setFeld(const QString& feld, Maske maske = Maske::Anzeige);
    QString feld() const { return m_feld; }
    Maske maske() const { return m_maske; }
    // Instead of a mask: a function that makes the text of the bound column.
    void setFormatierer(Formatierer f) { m_formatierer = std::move(f); }
    const Formatierer& formatierer() const { return m_formatierer; }

    // Font; unset means the report's default font.
    void setSchrift(const QFont& f) { m_schrift = f; }
    const std::optional<QFont>& schrift() const { return m_schrift; }

    Qt::Alignment ausrichtung() const { return m_ausrichtung; }
    void setAusrichtung(Qt::Alignment a) { m_ausrichtung = a; }

    Textfluss fluss() const { return m_fluss; }
    void setFluss(Textfluss f) { m_fluss = f; }

    // For a text that is cut (Textfluss::Abschneiden): the columns beside it
    // in the same band. Where one of them prints wider than its own box, this
    // text yields and keeps `abstand` mm from it, so a number is never
    // printed over. Either may be nullptr.
    void setNachbarn(const Text* links, const Text* rechts, double abstand = 0.8)
    {
        m_links = links;
        m_rechts = rechts;
        m_abstand = abstand;
    }
    const Text* nachbarLinks() const { return m_links; }
    const Text* nachbarRechts() const { return m_rechts; }
    double nachbarAbstand() const { return m_abstand; }

private:
    QString m_text;
    QString m_feld;
    Maske m_maske = Maske::Anzeige;
    Formatierer m_formatierer;
    std::optional<QFont> m_schrift;
    Qt::Alignment m_ausrichtung = Qt::AlignLeft;
    Textfluss m_fluss = Textfluss::Zeile;
    const Text* m_links = nullptr;
    const Text* m_rechts = nullptr;
    double m_abstand = 0.8;
};

// A horizontal rule from (x, y) to (x + length, y); the box's height is unused.
class Linie : public Element {
public:
    explicit Linie(const QString& name) : Element(name) {}
    Strich strich() const { return m_strich; }
    void setStrich(Strich s) { m_strich = s; }

private:
    Strich m_strich = Strich::Einfach;
};

// --- bands ----------------------------------------------------------------

enum class BandArt { Seitenkopf, Gruppenkopf, Detail, Gruppenfuss, Zusammenfassung, Seitenfuss };

class Band {
public:
    // Runs right before the band prints; see the header comment.
    using Hook = std::function<void(Band& band, bool& drucken)>;

    Band(BandArt art, const QString& name) : m_art(art), m_name(name) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandArt art() const { return m_art; }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    double hoehe() const { return m_hoehe; }  // mm; may be 0
    void setHoehe(double mm) { m_hoehe = mm; }

    // Frame lines across the band's width (left to right margin).
    void setRahmenOben(std::optional<Strich> s) { m_rahmenOben = s; }
    void setRahmenUnten(std::optional<Strich> s) { m_rahmenUnten = s; }
    std::optional<Strich> rahmenOben() const { return m_rahmenOben; }
    std::optional<Strich> rahmenUnten() const { return m_rahmenUnten; }

    Hook vorDemDruck;

    // Adding elements; the band owns them, the pointers stay valid.
    // A static label.
    Text* label(const QString& name, const QString& text, const QRectF& box,
                std::optional<QFont> schrift = std::nullopt, Qt::Alignment a = Qt::AlignLeft);
    // A text bound to a column of the driving dataset.
    Text* feld(const QString& name, const QString& feld, const QRectF& box, Maske maske = Maske::Anzeige,
               std::optional<QFont> schrift = std::nullopt, Qt::Alignment a = Qt::AlignLeft);
    // A wrapping text box (static text, or bound when `feld` is not empty).
    Text* textbox(const QString& name, const QString& feld, const QRectF& box, Textfluss fluss,
                  std::optional<QFont> schrift = std::nullopt, Qt::Alignment a = Qt::AlignLeft);
    // A horizontal rule `laenge` mm long.
    Linie* linie(const QString& name, double x, double y, double laenge, Strich s = Strich::Einfach);

    // By name; nullptr when the band has none of that name.
    Element* element(const QString& name) const;
    Text* text(const QString& name) const;
    const std::vector<std::unique_ptr<Element>>& elemente() const { return m_elemente; }

private:
    template <typename T> T* Hinzu(std::unique_ptr<T> e);

    BandArt m_art;
    QString m_name;
    double m_hoehe = 0.0;
    std::optional<Strich> m_rahmenOben;
    std::optional<Strich> m_rahmenUnten;
    std::vector<std::unique_ptr<Element>> m_elemente;
};

// A group: header and footer around the rows that share one key value.
struct Gruppe {
    using Schluessel = std::function<QVariant(data::Dataset&)>;

    explicit Gruppe(const QString& name)
        : kopf(BandArt::Gruppenkopf, name), fuss(BandArt::Gruppenfuss, name + QStringLiteral("_Fuss")) {}

    Band kopf;   // default height 0
    Band fuss;
    // The grouping value of the current row; unset: one group over all rows.
    Schluessel schluessel;
    // The header starts a new page, unless nothing but the page header stands on it.
    bool neueSeite = false;

    // The value of a column, for `schluessel`.
    static Schluessel NachFeld(const QString& feld);
};

// --- laid-out pages -------------------------------------------------------

struct TextPrimitiv {
    QString name;        // the element's name ("" for none)
    QString band;        // the band's name
    QRectF box;          // mm from the sheet's top-left corner
    QString text;        // as printed; wrapped lines joined by '\n'
    QFont schrift;       // point size as on paper
    Qt::Alignment ausrichtung = Qt::AlignLeft;
    bool abschneiden = true;  // clip to the box when painting
    double zeilenabstand = 0; // mm from one line to the next
};

struct LinienPrimitiv {
    QString name;
    QString band;
    QLineF linie;        // mm from the sheet's top-left corner
    double staerke = 0;  // mm
};

// Where a band printed on its page.
struct BandPlatz {
    QString name;
    BandArt art;
    double y = 0;        // mm from the top of the sheet
    double hoehe = 0;
};

struct Seite {
    QSizeF format{210.0, 297.0};  // mm
    std::vector<TextPrimitiv> texte;
    std::vector<LinienPrimitiv> linien;
    std::vector<BandPlatz> baender;

    // The first text of the element with this name; nullptr when none.
    const TextPrimitiv* text(const QString& name) const;
    std::vector<const TextPrimitiv*> alleTexte(const QString& name) const;
    // The first text primitive whose text equals `text`; nullptr when none.
    const TextPrimitiv* mitText(const QString& text) const;
    int anzahlBaender(const QString& bandname) const;
};

using Seiten = std::vector<Seite>;

// A further action a report offers in its preview's toolbar (e.g. saving in
// another format). It runs with the whole laid-out document and the preview
// window as parent.
struct Zusatzaktion {
    QString name;  // the action's object name
    QString text;  // its caption
    std::function<void(const Seiten& seiten, QWidget* vorschau)> tun;
};

// --- the report -------------------------------------------------------------

class Bericht {
public:
    explicit Bericht(const QString& titel = QString());
    ~Bericht();
    Bericht(const Bericht&) = delete;
    Bericht& operator=(const Bericht&) = delete;

    // Shown in the preview's title and used as the print job's and PDF's title.
    QString titel() const { return m_titel; }
    void setTitel(const QString& t) { m_titel = t; }

    // A4 portrait; margins in mm (default 10 all round).
    void setRaender(double oben, double unten, double links, double rechts);
    double randOben() const { return m_oben; }
    double randUnten() const { return m_unten; }
    double randLinks() const { return m_links; }
    double randRechts() const { return m_rechts; }
    QSizeF format() const { return {210.0, 297.0}; }

    // Default font of texts without their own (Arial 10 pt).
    QFont standardschrift() const { return m_schrift; }
    void setStandardschrift(const QFont& f) { m_schrift = f; }

    // The driving dataset. It must be open to have rows; a closed or absent
    // dataset lays out as one without rows. Laying out moves its current row
    // and puts it back where it was.
    void setDataset(data::Dataset* ds) { m_ds = ds; }
    data::Dataset* dataset() const { return m_ds; }

    Band& seitenkopf() { return m_seitenkopf; }
    Band& detail() { return m_detail; }
    Band& zusammenfassung() { return m_zusammenfassung; }
    // The page footer prints only when its height is above 0.
    Band& seitenfuss() { return m_seitenfuss; }
    // Groups nest in the order they are added (the first is the outermost).
    Gruppe& neueGruppe(const QString& name, Gruppe::Schluessel schluessel = {});
    Gruppe* gruppe(const QString& name);

    // Actions the preview offers beside printing and saving as PDF.
    void addZusatzaktion(Zusatzaktion a) { m_zusatzaktionen.push_back(std::move(a)); }
    const std::vector<Zusatzaktion>& zusatzaktionen() const { return m_zusatzaktionen; }

    // Runs once at the start of every layout, before any band.
    std::function<void()> vorDemLayout;

    // Lays out the whole report. Exceptions from hooks or the dataset pass
    // through (the dataset's position is restored).
    Seiten Layout();

    // While laying out: the 1-based number of the page being filled.
    int seitennummer() const { return m_seitennummer; }

private:
    friend class Seitenfolge;

    QString m_titel;
    double m_oben = 10, m_unten = 10, m_links = 10, m_rechts = 10;
    QFont m_schrift;
    data::Dataset* m_ds = nullptr;
    Band m_seitenkopf{BandArt::Seitenkopf, QStringLiteral("PageHeaderBand1")};
    Band m_detail{BandArt::Detail, QStringLiteral("QRBand1")};
    Band m_zusammenfassung{BandArt::Zusammenfassung, QStringLiteral("SummaryBand1")};
    Band m_seitenfuss{BandArt::Seitenfuss, QStringLiteral("PageFooterBand1")};
    std::vector<std::unique_ptr<Gruppe>> m_gruppen;
    std::vector<Zusatzaktion> m_zusatzaktionen;
    int m_seitennummer = 0;
};

// Laying out step by step, so that a preview can show the first pages of a
// long report at once and lay out the rest while the user looks at them.
// Hooks run exactly as in Bericht::Layout (once per band, in order). While it
// lives, the report's dataset is moved; it is put back when the layout ends,
// fails, or the Seitenfolge is destroyed. Do not change the report meanwhile.
class Seitenfolge {
public:
    // Starts the layout (runs vorDemLayout and lays out up to the first page).
    explicit Seitenfolge(Bericht& bericht);
    ~Seitenfolge();
    Seitenfolge(const Seitenfolge&) = delete;
    Seitenfolge& operator=(const Seitenfolge&) = delete;

    bool fertig() const;
    // Pages that are complete (all pages once fertig()).
    int anzahl() const;
    const Seite& seite(int index) const;  // 0-based, below anzahl()
    // Lays out until page `index` is complete or the report ends; true when it exists.
    bool bis(int index);
    // Lays out at most `zeilen` more rows of the dataset (the end when none are left).
    void weiter(int zeilen);
    // Lays out the rest and hands over all pages.
    Seiten alle();

    // Exceptions from hooks or the dataset pass through every call above;
    // the Seitenfolge is then fertig() with the pages so far.
private:
    struct Lauf;
    std::unique_ptr<Lauf> m_lauf;
};

}  // namespace report
