#include "report/Bericht.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "report/Messen.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace report {

namespace {
// Rounding slack when comparing positions in mm.
constexpr double kEps = 1e-6;
}  // namespace

QFont Schrift(double pt, bool fett, bool kursiv)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(pt);
    f.setBold(fett);
    f.setItalic(kursiv);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double Strichstaerke(Strich s) { return s == Strich::Doppelt ? 0.5 : 0.25; }

QString Formatiere(const QVariant& wert, Maske maske)
{
    if (!wert.isValid() || wert.isNull()) return QString();
    const bool text = wert.typeId() == QMetaType::QString;
    auto zahl = [&]() -> double {
        if (!text) return wert.toDouble();
        bool ok = false;
        const double d = wert.toString().toDouble(&ok);
        return ok ? d : 0.0;
    };
    switch (maske) {
    case Maske::Anzeige:
        if (wert.typeId() == QMetaType::QDate) return data::Datumstext(wert.toDate());
        if (wert.typeId() == QMetaType::Double) return data::AllgemeineZahl(wert.toDouble());
        return wert.toString();
    case Maske::Text:
        if (wert.typeId() == QMetaType::Double) return data::AllgemeineZahl(wert.toDouble());
        if (wert.typeId() == QMetaType::QDate) return data::Datumstext(wert.toDate());
        return wert.toString();
    case Maske::Zahl:
        if (text && wert.toString().trimmed().isEmpty()) return QString();
        return data::AllgemeineZahl(zahl());
    case Maske::Waehrung: return data::Waehrung(zahl());
    case Maske::Prozent: return data::Prozent(zahl());
    case Maske::Prozent2: return data::Prozent2(zahl());
    case Maske::Zahl2: return data::Zahl2(zahl());
    case Maske::Datum: {
        QDate d = wert.typeId() == QMetaType::QDate ? wert.toDate()
                                                    : QDate::fromString(wert.toString().left(10), Qt::ISODate);
        return data::Datumstext(d);
    }
    }
    return wert.toString();
}

// --- elements and bands -----------------------------------------------------

Element::~Element() = default;

void Text::setFeld(const QString& feld, Maske maske)
{
    m_feld = feld;
    m_maske = maske;
}

template <typename T> T* Band::Hinzu(std::unique_ptr<T> e)
{
    T* roh = e.get();
    m_elemente.push_back(std::move(e));
    return roh;
}

Text* Band::label(const QString& name, const QString& text, const QRectF& box, std::optional<QFont> schrift,
                  Qt::Alignment a)
{
    auto t = std::make_unique<Text>(name);
    t->setText(text);
    t->setBox(box);
    if (schrift) t->setSchrift(*schrift);
    t->setAusrichtung(a);
    return Hinzu(std::move(t));
}

Text* Band::feld(const QString& name, const QString& feld, const QRectF& box, Maske maske,
                 std::optional<QFont> schrift, Qt::Alignment a)
{
    Text* t = label(name, QString(), box, std::move(schrift), a);
    t->setFeld(feld, maske);
    return t;
}

Text* Band::textbox(const QString& name, const QString& feld, const QRectF& box, Textfluss fluss,
                    std::optional<QFont> schrift, Qt::Alignment a)
{
    Text* t = label(name, QString(), box, std::move(schrift), a);
    if (!feld.isEmpty()) t->setFeld(feld, Maske::Anzeige);
    t->setFluss(fluss);
    return t;
}

Linie* Band::linie(const QString& name, double x, double y, double laenge, Strich s)
{
    auto l = std::make_unique<Linie>(name);
    l->setBox(QRectF(x, y, laenge, 0));
    l->setStrich(s);
    return Hinzu(std::move(l));
}

Element* Band::element(const QString& name) const
{
    for (const auto& e : m_elemente)
        if (e->name() == name) return e.get();
    return nullptr;
}

Text* Band::text(const QString& name) const { return dynamic_cast<Text*>(element(name)); }

Gruppe::Schluessel Gruppe::NachFeld(const QString& feld)
{
    return [feld](data::Dataset& ds) { return ds.FieldByName(feld).value(); };
}

// --- pages ------------------------------------------------------------------

const TextPrimitiv* Seite::text(const QString& name) const
{
    for (const auto& t : texte)
        if (t.name == name) return &t;
    return nullptr;
}

std::vector<const TextPrimitiv*> Seite::alleTexte(const QString& name) const
{
    std::vector<const TextPrimitiv*> r;
    for (const auto& t : texte)
        if (t.name == name) r.push_back(&t);
    return r;
}

const TextPrimitiv* Seite::mitText(const QString& text) const
{
    for (const auto& t : texte)
        if (t.text == text) return &t;
    return nullptr;
}

int Seite::anzahlBaender(const QString& bandname) const
{
    return int(std::count_if(baender.begin(), baender.end(), [&](const BandPlatz& b) { return b.name == bandname; }));
}

// --- the report ---------------------------------------------------------------

Bericht::Bericht(const QString& titel) : m_titel(titel), m_schrift(Schrift(10)) {}

Bericht::~Bericht() = default;

void Bericht::setRaender(double oben, double unten, double links, double rechts)
{
    m_oben = oben;
    m_unten = unten;
    m_links = links;
    m_rechts = rechts;
}

Gruppe& Bericht::neueGruppe(const QString& name, Gruppe::Schluessel schluessel)
{
    m_gruppen.push_back(std::make_unique<Gruppe>(name));
    m_gruppen.back()->schluessel = std::move(schluessel);
    return *m_gruppen.back();
}

Gruppe* Bericht::gruppe(const QString& name)
{
    for (auto& g : m_gruppen)
        if (g->kopf.name() == name) return g.get();
    return nullptr;
}

// One run of laying out.
struct Seitenfolge::Lauf {
    Bericht& b;
    data::Dataset* ds = nullptr;
    bool hatZeile = false;
    Seiten seiten;
    double y = 0;
    double grenze = 0;      // lowest y a band may reach on this page
    bool nurKopf = false;   // nothing but the page header on this page yet
    QHash<const Text*, int> spalten;
    // The measurer of each element's font, kept while the font is the same.
    struct Schriftwahl {
        QFont schrift;
        Messer* messer = nullptr;
    };
    QHash<const Text*, Schriftwahl> schriften;
    size_t texteProSeite = 64;

    // A band's content before it is placed.
    struct Entwurf {
        double hoehe = 0;
        std::vector<TextPrimitiv> texte;   // y relative to the band's top
        std::vector<LinienPrimitiv> linien;
    };

    // Where the walk through the rows stands.
    int zeilen = 0;
    int r = 0;
    int rueckPos = -1;      // the dataset's row before laying out
    bool begonnen = false;
    bool fertig = false;
    std::vector<std::vector<QVariant>> werte;  // each group's value for every row

    explicit Lauf(Bericht& bericht) : b(bericht) {}

    // Runs one step; a failure ends the layout and passes on.
    template <typename F> void Schritt(F f)
    {
        if (fertig) return;
        try {
            f();
        } catch (...) {
            Zuruecksetzen();
            throw;
        }
    }

    // Puts the dataset back where it was and ends the layout.
    void Zuruecksetzen()
    {
        if (!begonnen || fertig) {
            fertig = true;
            return;
        }
        fertig = true;
        b.m_seitennummer = 0;
        if (ds && ds->Active() && rueckPos >= 0 && rueckPos < ds->RecordCount()) ds->setRecNo(rueckPos);
    }

    void Beginnen()
    {
        begonnen = true;
        ds = (b.m_ds && b.m_ds->Active()) ? b.m_ds : nullptr;
        zeilen = ds ? ds->RecordCount() : 0;
        rueckPos = ds ? ds->RecNo() : -1;
        b.m_seitennummer = 0;
        if (b.vorDemLayout) b.vorDemLayout();

        const size_t anzahl = b.m_gruppen.size();
        werte.assign(anzahl, {});
        for (size_t g = 0; g < anzahl; ++g) {
            if (!b.m_gruppen[g]->schluessel) continue;
            werte[g].resize(size_t(zeilen));
            for (int i = 0; i < zeilen; ++i) {
                ds->setRecNo(i);
                werte[g][size_t(i)] = b.m_gruppen[g]->schluessel(*ds);
            }
        }
        if (zeilen > 0) ds->setRecNo(0);
        hatZeile = zeilen > 0;
        NeueSeite();
    }

    // The outermost group whose value changes between rows i-1 and i.
    size_t Wechsel(int i) const
    {
        const size_t anzahl = werte.size();
        if (i <= 0 || i >= zeilen) return 0;
        for (size_t g = 0; g < anzahl; ++g)
            if (!werte[g].empty() && werte[g][size_t(i)] != werte[g][size_t(i - 1)]) return g;
        return anzahl;
    }

    // The bands of the next row, or the end of the report.
    void Zeile()
    {
        const size_t anzahl = b.m_gruppen.size();
        if (r < zeilen) {
            if (ds->RecNo() != r) ds->setRecNo(r);
            for (size_t g = Wechsel(r); g < anzahl; ++g) Drucken(b.m_gruppen[g]->kopf, b.m_gruppen[g]->neueSeite);
            Drucken(b.m_detail);
            const size_t bisG = Wechsel(r + 1);
            for (size_t g = anzahl; g > bisG; --g) Drucken(b.m_gruppen[g - 1]->fuss);
            ++r;
            return;
        }
        Drucken(b.m_zusammenfassung);
        SeiteBeenden();
        Zuruecksetzen();
    }

    double seitenhoehe() const { return b.format().height(); }
    double fussHoehe() { return b.m_seitenfuss.hoehe() > 0 ? b.m_seitenfuss.hoehe() : 0.0; }

    int Spalte(const Text* t)
    {
        auto it = spalten.constFind(t);
        if (it != spalten.constEnd()) return *it;
        int i = ds->Spaltenindex(t->feld());
        if (i < 0) ds->FieldByName(t->feld());  // throws with the data layer's message
        spalten.insert(t, i);
        return i;
    }

    QString Inhalt(const Text& t)
    {
        if (t.feld().isEmpty()) return t.text();
        if (!ds || !hatZeile) return QString();
        const data::Field f = ds->Fields(Spalte(&t));
        if (t.formatierer()) return t.formatierer()(f);
        if (t.maske() == Maske::Anzeige) return f.displayText();
        return Formatiere(f.value(), t.maske());
    }

    Messer& MesserFuer(const Text& t, QFont& schrift)
    {
        const QFont& soll = t.schrift() ? *t.schrift() : b.m_schrift;
        Schriftwahl& w = schriften[&t];
        if (!w.messer || !w.schrift.isCopyOf(soll)) {
            w.schrift = soll;
            w.messer = &Messer::fuer(soll);
        }
        schrift = w.schrift;
        return *w.messer;
    }

    // Where a one-line text's characters start and end (mm from the sheet's left edge).
    static std::pair<double, double> Tinte(const TextPrimitiv& p)
    {
        const double w = Messer::fuer(p.schrift).breite(p.text.section(QChar('\n'), 0, 0));
        const Qt::Alignment a = p.ausrichtung & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight) return {p.box.right() - w, p.box.right()};
        if (a & Qt::AlignHCenter) return {p.box.center().x() - w / 2, p.box.center().x() + w / 2};
        return {p.box.left(), p.box.left() + w};
    }

    Entwurf Entwerfen(Band& band)
    {
        Entwurf e;
        e.texte.reserve(band.elemente().size());
        double wachstum = 0;
        // Texts that yield to their neighbours are placed after all others.
        const auto weicht = [](const Element* el) {
            auto* t = dynamic_cast<const Text*>(el);
            return t && t->fluss() == Textfluss::Abschneiden && (t->nachbarLinks() || t->nachbarRechts());
        };
        std::vector<const Element*> folge;
        folge.reserve(band.elemente().size());
        for (const auto& el : band.elemente())
            if (!weicht(el.get())) folge.push_back(el.get());
        const size_t ersteWeichende = folge.size();
        for (const auto& el : band.elemente())
            if (weicht(el.get())) folge.push_back(el.get());
        const auto gedruckt = [&](const Text* nachbar) -> const TextPrimitiv* {
            if (!nachbar || !nachbar->druckt()) return nullptr;
            for (const TextPrimitiv& p : e.texte)
                if (p.name == nachbar->name() && !p.text.isEmpty()) return &p;
            return nullptr;
        };
        for (size_t i = 0; i < folge.size(); ++i) {
            const Element* el = folge[i];
            if (!el->druckt()) continue;
            if (auto* l = dynamic_cast<const Linie*>(el)) {
                const QRectF r = l->box();
                e.linien.push_back({l->name(), band.name(), QLineF(r.x(), r.y(), r.x() + r.width(), r.y()),
                                    Strichstaerke(l->strich())});
                continue;
            }
            auto* t = dynamic_cast<const Text*>(el);
            if (!t) continue;
            QFont schrift;
            Messer& m = MesserFuer(*t, schrift);
            QRectF box = t->box();
            if (box.height() <= 0) box.setHeight(m.hoehe());
            if (i >= ersteWeichende) {
                if (const TextPrimitiv* links = gedruckt(t->nachbarLinks()))
                    box.setLeft(std::max(box.left(), Tinte(*links).second + t->nachbarAbstand()));
                if (const TextPrimitiv* rechts = gedruckt(t->nachbarRechts()))
                    box.setRight(std::min(box.right(), Tinte(*rechts).first - t->nachbarAbstand()));
                if (box.width() <= 0) continue;  // no room left: nothing of it prints
            }
            QString inhalt = Inhalt(*t);
            TextPrimitiv p;
            p.name = t->name();
            p.band = band.name();
            p.schrift = schrift;
            p.ausrichtung = t->ausrichtung();
            p.zeilenabstand = m.zeilenabstand();
            if (box.width() <= 0) {
                // As wide as its text, on one line.
                QString eine = inhalt.section(QChar('\n'), 0, 0);
                eine.remove(QChar('\r'));
                box.setWidth(m.breite(eine));
                p.text = eine;
                p.abschneiden = false;
            } else if (t->fluss() == Textfluss::Zeile || t->fluss() == Textfluss::Abschneiden) {
                QString eine = inhalt;
                eine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
                eine.replace(QChar('\n'), QChar(' '));
                eine.replace(QChar('\r'), QChar(' '));
                if (t->fluss() == Textfluss::Abschneiden) {
                    p.text = m.passend(eine, box.width());
                } else {
                    p.text = eine;
                    const double noetig = m.breite(eine);
                    if (noetig > box.width()) {
                        const Qt::Alignment a = t->ausrichtung() & Qt::AlignHorizontal_Mask;
                        if (a & Qt::AlignRight)
                            box.setLeft(box.right() - noetig);
                        else if (a & Qt::AlignHCenter)
                            box = QRectF(box.center().x() - noetig / 2, box.top(), noetig, box.height());
                        else
                            box.setWidth(noetig);
                        p.abschneiden = false;
                    }
                }
            } else {
                QStringList zeilen = m.umbrechen(inhalt, box.width());
                while (!zeilen.isEmpty() && zeilen.back().isEmpty()) zeilen.removeLast();
                const auto passen = [&](double hoehe) {
                    if (hoehe + kEps < m.hoehe()) return 0;
                    return 1 + int(std::floor((hoehe - m.hoehe()) / m.zeilenabstand() + kEps));
                };
                if (t->fluss() == Textfluss::Umbrechen) {
                    const int n = passen(box.height());
                    while (zeilen.size() > n) zeilen.removeLast();
                } else if (!zeilen.isEmpty()) {
                    const double noetig = (zeilen.size() - 1) * m.zeilenabstand() + m.hoehe();
                    if (noetig > box.height()) {
                        wachstum = std::max(wachstum, noetig - box.height());
                        box.setHeight(noetig);
                    }
                }
                p.text = zeilen.join(QChar('\n'));
            }
            p.box = box;
            e.texte.push_back(std::move(p));
        }
        e.hoehe = band.hoehe() + wachstum;
        return e;
    }

    // Cuts a band that is taller than the room left on an empty page.
    void Kappen(Entwurf& e, double platz)
    {
        e.hoehe = platz;
        std::vector<TextPrimitiv> bleibt;
        for (auto& t : e.texte) {
            if (t.box.top() >= platz - kEps) continue;
            if (t.box.bottom() > platz + kEps) {
                QStringList zeilen = t.text.split(QChar('\n'));
                const double raum = platz - t.box.top();
                Messer& m = Messer::fuer(t.schrift);
                int n = raum + kEps < m.hoehe() ? 0 : 1 + int(std::floor((raum - m.hoehe()) / m.zeilenabstand() + kEps));
                while (zeilen.size() > n) zeilen.removeLast();
                if (zeilen.isEmpty()) continue;
                t.text = zeilen.join(QChar('\n'));
                t.box.setHeight(raum);
            }
            bleibt.push_back(std::move(t));
        }
        e.texte = std::move(bleibt);
        std::vector<LinienPrimitiv> linien;
        for (auto& l : e.linien)
            if (l.linie.y1() <= platz + kEps) linien.push_back(l);
        e.linien = std::move(linien);
    }

    void Platzieren(Band& band, Entwurf& e)
    {
        Seite& s = seiten.back();
        const double links = b.m_links;
        const double rechts = b.format().width() - b.m_rechts;
        for (auto& t : e.texte) {
            t.box.translate(0, y);
            s.texte.push_back(std::move(t));
        }
        for (auto& l : e.linien) {
            l.linie.translate(0, y);
            s.linien.push_back(std::move(l));
        }
        if (band.rahmenOben())
            s.linien.push_back({QString(), band.name(), QLineF(links, y, rechts, y), Strichstaerke(*band.rahmenOben())});
        if (band.rahmenUnten())
            s.linien.push_back({QString(), band.name(), QLineF(links, y + e.hoehe, rechts, y + e.hoehe),
                                Strichstaerke(*band.rahmenUnten())});
        s.baender.push_back({band.name(), band.art(), y, e.hoehe});
        y += e.hoehe;
        if (band.art() != BandArt::Seitenkopf) nurKopf = false;
    }

    bool Hook(Band& band)
    {
        bool drucken = true;
        if (band.vorDemDruck) band.vorDemDruck(band, drucken);
        return drucken;
    }

    void SeiteBeenden()
    {
        if (seiten.empty() || fussHoehe() <= 0) return;
        Band& fuss = b.m_seitenfuss;
        if (!Hook(fuss)) return;
        Entwurf e = Entwerfen(fuss);
        y = seitenhoehe() - b.m_unten - fussHoehe();
        if (e.hoehe > fussHoehe()) Kappen(e, fussHoehe());
        Platzieren(fuss, e);
    }

    void NeueSeite()
    {
        SeiteBeenden();
        if (!seiten.empty()) texteProSeite = std::max(texteProSeite, seiten.back().texte.size());
        seiten.emplace_back();
        seiten.back().texte.reserve(texteProSeite + texteProSeite / 4);
        seiten.back().format = b.format();
        b.m_seitennummer = int(seiten.size());
        y = b.m_oben;
        grenze = seitenhoehe() - b.m_unten - fussHoehe();
        nurKopf = true;
        Band& kopf = b.m_seitenkopf;
        if (!Hook(kopf)) return;
        Entwurf e = Entwerfen(kopf);
        if (y + e.hoehe > grenze + kEps) Kappen(e, std::max(0.0, grenze - y));
        Platzieren(kopf, e);
    }

    void Drucken(Band& band, bool neueSeite = false)
    {
        if (neueSeite && !nurKopf) NeueSeite();
        if (!Hook(band)) return;
        Entwurf e = Entwerfen(band);
        if (y + e.hoehe > grenze + kEps && !nurKopf) NeueSeite();
        if (y + e.hoehe > grenze + kEps) Kappen(e, std::max(0.0, grenze - y));
        Platzieren(band, e);
    }
};

Seiten Bericht::Layout()
{
    Seitenfolge folge(*this);
    return folge.alle();
}

Seitenfolge::Seitenfolge(Bericht& bericht) : m_lauf(std::make_unique<Lauf>(bericht))
{
    m_lauf->Schritt([&] { m_lauf->Beginnen(); });
    bis(0);
}

Seitenfolge::~Seitenfolge()
{
    if (m_lauf) m_lauf->Zuruecksetzen();
}

bool Seitenfolge::fertig() const { return m_lauf->fertig; }

int Seitenfolge::anzahl() const
{
    const int n = int(m_lauf->seiten.size());
    return m_lauf->fertig ? n : std::max(0, n - 1);
}

const Seite& Seitenfolge::seite(int index) const { return m_lauf->seiten.at(size_t(index)); }

bool Seitenfolge::bis(int index)
{
    while (!m_lauf->fertig && anzahl() <= index) m_lauf->Schritt([&] { m_lauf->Zeile(); });
    return index < anzahl();
}

void Seitenfolge::weiter(int zeilen)
{
    for (int i = 0; i < zeilen && !m_lauf->fertig; ++i) m_lauf->Schritt([&] { m_lauf->Zeile(); });
}

Seiten Seitenfolge::alle()
{
    while (!m_lauf->fertig) m_lauf->Schritt([&] { m_lauf->Zeile(); });
    return std::move(m_lauf->seiten);
}

}  // namespace report
