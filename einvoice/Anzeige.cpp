#include "einvoice/Anzeige.h"

#include "einvoice/Nachrechnen.h"
#include "report/Messen.h"
#include "report/Vorschau.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QLocale>

#include <functional>

namespace einvoice {

namespace {

// The sheet: A4, text from 18 to 192 mm, body down to 279 mm, footer below.
constexpr double kLinks = 18.0;
constexpr double kRechts = 192.0;
constexpr double kBreite = kRechts - kLinks;
constexpr double kOben = 14.0;
constexpr double kUnten = 279.0;
constexpr double kFuss = 284.0;
// Lines are broken a little short of their box: small type comes out slightly
// wider on paper than measured.
constexpr double kReserve = 0.96;

const QLocale& Deutsch()
{
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

QString Geld(double v) { return Deutsch().toString(v, 'f', 2); }
QString Geld(const std::optional<double>& v) { return v ? Geld(*v) : QString(); }
QString Datum(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

// Quantities and rates as written: no trailing zeros, up to six decimals.
QString Menge(double v)
{
    QString s = Deutsch().toString(v, 'f', 6);
    while (s.contains(QLatin1Char(',')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char(','))))
        s.chop(1);
    return s;
}
QString Prozent(const std::optional<double>& v) { return v ? Menge(*v) + QStringLiteral(" %") : QString(); }

QString MitSchema(const Kennung& k)
{
    if (k.wert.isEmpty()) return {};
    return k.schema.isEmpty() ? k.wert : QStringLiteral("%1 (Schema %2)").arg(k.wert, k.schema);
}

QString Rechnungsart(const QString& code)
{
    static const QHash<QString, QString> namen = {
        {QStringLiteral("380"), QStringLiteral("Rechnung")},
        {QStringLiteral("381"), QStringLiteral("Gutschrift")},
        {QStringLiteral("384"), QStringLiteral("Korrigierte Rechnung")},
        {QStringLiteral("389"), QStringLiteral("Rechnung (Gutschriftverfahren)")},
        {QStringLiteral("326"), QStringLiteral("Teilrechnung")},
        {QStringLiteral("383"), QStringLiteral("Belastungsanzeige")},
        {QStringLiteral("386"), QStringLiteral("Vorauszahlungsrechnung")},
        {QStringLiteral("261"), QStringLiteral("Gutschrift (Gutschriftverfahren)")},
        {QStringLiteral("751"), QStringLiteral("Rechnungsinformation für Buchungszwecke")},
        {QStringLiteral("875"), QStringLiteral("Teilrechnung (Bauleistung)")},
        {QStringLiteral("876"), QStringLiteral("Teilschlussrechnung (Bauleistung)")},
        {QStringLiteral("877"), QStringLiteral("Schlussrechnung (Bauleistung)")},
    };
    if (code.isEmpty()) return QStringLiteral("Rechnung (Art nicht angegeben)");
    return namen.value(code, QStringLiteral("Rechnungsdokument (Art %1)").arg(code));
}

QString Steuerkategorie(const QString& code)
{
    static const QHash<QString, QString> namen = {
        {QStringLiteral("S"), QStringLiteral("Normalsatz")},
        {QStringLiteral("Z"), QStringLiteral("Nullsatz")},
        {QStringLiteral("E"), QStringLiteral("steuerbefreit")},
        {QStringLiteral("AE"), QStringLiteral("Steuerschuldnerschaft des Leistungsempfängers")},
        {QStringLiteral("K"), QStringLiteral("innergemeinschaftliche Lieferung")},
        {QStringLiteral("G"), QStringLiteral("Ausfuhr")},
        {QStringLiteral("O"), QStringLiteral("nicht steuerbar")},
        {QStringLiteral("L"), QStringLiteral("IGIC (Kanaren)")},
        {QStringLiteral("M"), QStringLiteral("IPSI (Ceuta, Melilla)")},
    };
    const QString n = namen.value(code);
    return n.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(n, code);
}

QString Zahlungsart(const QString& code)
{
    static const QHash<QString, QString> namen = {
        {QStringLiteral("1"), QStringLiteral("nicht festgelegt")},
        {QStringLiteral("10"), QStringLiteral("Barzahlung")},
        {QStringLiteral("20"), QStringLiteral("Scheck")},
        {QStringLiteral("30"), QStringLiteral("Überweisung")},
        {QStringLiteral("31"), QStringLiteral("Überweisung")},
        {QStringLiteral("42"), QStringLiteral("Zahlung auf Bankkonto")},
        {QStringLiteral("48"), QStringLiteral("Bankkarte")},
        {QStringLiteral("49"), QStringLiteral("Lastschrift")},
        {QStringLiteral("54"), QStringLiteral("Kreditkarte")},
        {QStringLiteral("55"), QStringLiteral("Debitkarte")},
        {QStringLiteral("57"), QStringLiteral("Dauerauftrag")},
        {QStringLiteral("58"), QStringLiteral("SEPA-Überweisung")},
        {QStringLiteral("59"), QStringLiteral("SEPA-Lastschrift")},
        {QStringLiteral("97"), QStringLiteral("Verrechnung")},
        {QStringLiteral("ZZZ"), QStringLiteral("gesondert vereinbart")},
    };
    const QString n = namen.value(code);
    return n.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(n, code);
}

QString Notizbetreff(const QString& code)
{
    static const QHash<QString, QString> namen = {
        {QStringLiteral("AAI"), QStringLiteral("Allgemeine Information")},
        {QStringLiteral("ADU"), QStringLiteral("Anmerkung")},
        {QStringLiteral("REG"), QStringLiteral("Registerangaben")},
        {QStringLiteral("ABL"), QStringLiteral("Rechtliche Hinweise")},
        {QStringLiteral("TXD"), QStringLiteral("Steuerliche Hinweise")},
        {QStringLiteral("SUR"), QStringLiteral("Anmerkung des Verkäufers")},
        {QStringLiteral("PMT"), QStringLiteral("Zahlungsinformation")},
        {QStringLiteral("AAB"), QStringLiteral("Zahlungsbedingungen")},
        {QStringLiteral("CUS"), QStringLiteral("Zollangaben")},
    };
    if (code.isEmpty()) return {};
    const QString n = namen.value(code);
    return n.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(n, code);
}

QString Einheit(const QString& code)
{
    const QString n = Rec20Name(code);
    return n.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(n, code);
}

QString Zeitraumtext(const Zeitraum& z)
{
    if (z.leer()) return {};
    if (z.von.isValid() && z.bis.isValid()) return QStringLiteral("%1 – %2").arg(Datum(z.von), Datum(z.bis));
    return z.von.isValid() ? QStringLiteral("ab %1").arg(Datum(z.von)) : QStringLiteral("bis %1").arg(Datum(z.bis));
}

QStringList Anschriftzeilen(const Anschrift& a)
{
    QStringList z;
    for (const QString& s : {a.zeile1, a.zeile2, a.zeile3})
        if (!s.isEmpty()) z << s;
    const QString ort = QStringList{a.plz, a.ort}.join(QLatin1Char(' ')).trimmed();
    if (!ort.isEmpty()) z << ort;
    const QString land = QStringList{a.region, a.land}.join(QStringLiteral(", "));
    if (!a.region.isEmpty() || !a.land.isEmpty())
        z << (a.region.isEmpty() ? a.land : (a.land.isEmpty() ? a.region : land));
    return z;
}

QString ZuAbschlagText(const ZuAbschlag& z, bool mitSteuer)
{
    QString t = z.zuschlag ? QStringLiteral("Zuschlag") : QStringLiteral("Abschlag");
    QStringList grund;
    if (!z.grund.isEmpty()) grund << z.grund;
    if (!z.grundCode.isEmpty()) grund << QStringLiteral("Code %1").arg(z.grundCode);
    if (!grund.isEmpty()) t += QStringLiteral(": ") + grund.join(QStringLiteral(", "));
    if (z.prozent && z.basis)
        t += QStringLiteral(" (%1 von %2)").arg(Prozent(z.prozent), Geld(z.basis));
    else if (z.prozent)
        t += QStringLiteral(" (%1)").arg(Prozent(z.prozent));
    else if (z.basis)
        t += QStringLiteral(" (Grundbetrag %1)").arg(Geld(z.basis));
    if (mitSteuer && (!z.ustKategorie.isEmpty() || z.ustSatz))
        t += QStringLiteral(", USt %1 %2").arg(z.ustKategorie, Prozent(z.ustSatz));
    return t;
}

// --- setting type on pages ---------------------------------------------------

struct Zelle {
    Zelle(double x_, double breite_, const QString& text_, const QFont& schrift_,
          Qt::Alignment ausrichtung_ = Qt::AlignLeft, const QString& name_ = QString())
        : x(x_), breite(breite_), text(text_), schrift(schrift_), ausrichtung(ausrichtung_), name(name_)
    {
    }
    double x = 0;
    double breite = 0;
    QString text;
    QFont schrift;
    Qt::Alignment ausrichtung = Qt::AlignLeft;
    QString name;
};

class Satz {
public:
    Satz() { neueSeite(); }

    report::Seiten seiten;
    double y = kOben;
    // Runs on every new page while a table is set, to repeat its head.
    std::function<void()> tabellenkopf;

    void neueSeite()
    {
        seiten.emplace_back();
        y = kOben;
        if (tabellenkopf) tabellenkopf();
    }
    void platz(double hoehe)
    {
        if (y + hoehe > kUnten && y > kOben + 0.1) neueSeite();
    }

    static double hoehe(const Zelle& z)
    {
        if (z.text.isEmpty()) return 0;
        report::Messer& m = report::Messer::fuer(z.schrift);
        const int n = int(m.umbrechen(z.text, z.breite * kReserve).size());
        return (n - 1) * m.zeilenabstand() + m.hoehe();
    }

    void setze(const Zelle& z, double oben) { setzeAuf(seiten.back(), z, oben); }

    static void setzeAuf(report::Seite& seite, const Zelle& z, double oben)
    {
        if (z.text.isEmpty()) return;
        report::Messer& m = report::Messer::fuer(z.schrift);
        const QStringList zeilen = m.umbrechen(z.text, z.breite * kReserve);
        report::TextPrimitiv t;
        t.name = z.name;
        t.band = QStringLiteral("ERechnung");
        t.box = QRectF(z.x, oben, z.breite, (zeilen.size() - 1) * m.zeilenabstand() + m.hoehe());
        t.text = zeilen.join(QLatin1Char('\n'));
        t.schrift = z.schrift;
        t.ausrichtung = z.ausrichtung;
        t.abschneiden = false;
        t.zeilenabstand = m.zeilenabstand();
        seite.texte.push_back(t);
    }

    // Cells side by side; the row is as high as its highest cell and never split.
    void zeile(const std::vector<Zelle>& zellen, double abstand = 0.6)
    {
        double h = 0;
        for (const Zelle& z : zellen) h = std::max(h, hoehe(z));
        if (h <= 0) return;
        platz(h);
        for (const Zelle& z : zellen) setze(z, y);
        y += h + abstand;
    }

    void linie(double von, double bis, double staerke = 0.2)
    {
        report::LinienPrimitiv l;
        l.band = QStringLiteral("ERechnung");
        l.linie = QLineF(von, y, bis, y);
        l.staerke = staerke;
        seiten.back().linien.push_back(l);
    }

    void abstand(double mm) { y += mm; }

    void ueberschrift(const QString& text)
    {
        platz(14);
        abstand(2.5);
        zeile({{kLinks, kBreite, text, report::Schrift(11, true)}}, 0.8);
        linie(kLinks, kRechts, 0.3);
        abstand(1.2);
    }
};

const QFont& Normal()
{
    static const QFont f = report::Schrift(9.5);
    return f;
}
const QFont& Fett()
{
    static const QFont f = report::Schrift(9.5, true);
    return f;
}
const QFont& Klein()
{
    static const QFont f = report::Schrift(8);
    return f;
}
const QFont& KleinFett()
{
    static const QFont f = report::Schrift(8, true);
    return f;
}

// Label and value in two columns, only when the value is there.
struct Angaben {
    std::vector<std::pair<QString, QString>> zeilen;
    void add(const QString& label, const QString& wert)
    {
        if (!wert.trimmed().isEmpty()) zeilen.emplace_back(label, wert);
    }
    bool leer() const { return zeilen.empty(); }
};

void SetzeAngaben(Satz& s, const Angaben& a, double x, double breite, double labelBreite = 48)
{
    for (const auto& [label, wert] : a.zeilen)
        s.zeile({{x, labelBreite - 2, label, Klein()}, {x + labelBreite, breite - labelBreite, wert, Normal()}}, 0.4);
}

Angaben ParteiDetails(const Partei& p)
{
    Angaben a;
    a.add(QStringLiteral("USt-IdNr."), p.ustId);
    a.add(QStringLiteral("Steuernummer"), p.steuernummer);
    a.add(QStringLiteral("Registernummer"), MitSchema(p.registernummer));
    for (const Kennung& k : p.kennungen)
        a.add(k.schema == QLatin1String("SEPA") ? QStringLiteral("Gläubiger-ID") : QStringLiteral("Kennung"),
              MitSchema(k));
    a.add(QStringLiteral("Elektronische Adresse"), MitSchema(p.elektronischeAdresse));
    a.add(QStringLiteral("Kontakt"), p.kontakt.name);
    a.add(QStringLiteral("Telefon"), p.kontakt.telefon);
    a.add(QStringLiteral("E-Mail"), p.kontakt.email);
    a.add(QStringLiteral("Rechtliche Angaben"), p.rechtlicheAngaben);
    return a;
}

// Name, trading name and address of a party as a block of lines.
std::vector<Zelle> ParteiBlock(const Partei& p, double x, double breite, const QString& titel, const QString& name)
{
    std::vector<Zelle> z;
    z.push_back({x, breite, titel, KleinFett()});
    z.push_back({x, breite, p.name.isEmpty() ? QStringLiteral("(kein Name angegeben)") : p.name, Fett(),
                 Qt::AlignLeft, name});
    if (!p.handelsname.isEmpty() && p.handelsname != p.name) z.push_back({x, breite, p.handelsname, Normal()});
    for (const QString& zeile : Anschriftzeilen(p.anschrift)) z.push_back({x, breite, zeile, Normal()});
    return z;
}

// Two blocks of lines side by side, line by line.
void Nebeneinander(Satz& s, const std::vector<Zelle>& links, const std::vector<Zelle>& rechts)
{
    const size_t n = std::max(links.size(), rechts.size());
    for (size_t i = 0; i < n; ++i) {
        std::vector<Zelle> zeile;
        if (i < links.size()) zeile.push_back(links[i]);
        if (i < rechts.size()) zeile.push_back(rechts[i]);
        s.zeile(zeile, 0.3);
    }
}

void Pruefung(Satz& s, const Eingang& e, const QStringList& differenzen)
{
    QString kopf;
    if (differenzen.isEmpty() && e.fehlend.isEmpty())
        kopf = QStringLiteral("Prüfung beim Öffnen: Die Beträge gehen auf den Cent genau auf, und alle "
                              "Pflichtangaben nach EN 16931 sind vorhanden.");
    else if (e.fehlend.isEmpty())
        kopf = QStringLiteral("Prüfung beim Öffnen: Die Beträge gehen NICHT auf (%1 Abweichung%2). Alle "
                              "Pflichtangaben nach EN 16931 sind vorhanden.")
                   .arg(differenzen.size())
                   .arg(differenzen.size() == 1 ? QString() : QStringLiteral("en"));
    else if (differenzen.isEmpty())
        kopf = QStringLiteral("Prüfung beim Öffnen: Die Beträge gehen auf den Cent genau auf. Es fehlen "
                              "Pflichtangaben nach EN 16931 (%1).")
                   .arg(e.fehlend.size());
    else
        kopf = QStringLiteral("Prüfung beim Öffnen: Die Beträge gehen NICHT auf (%1 Abweichung%2), und es fehlen "
                              "Pflichtangaben nach EN 16931 (%3).")
                   .arg(differenzen.size())
                   .arg(differenzen.size() == 1 ? QString() : QStringLiteral("en"))
                   .arg(e.fehlend.size());
    s.linie(kLinks, kRechts, 0.4);
    s.abstand(1.2);
    s.zeile({{kLinks, kBreite, kopf, Fett(), Qt::AlignLeft, QStringLiteral("Pruefung")}}, 0.5);
    for (const QString& d : differenzen)
        s.zeile({{kLinks + 3, kBreite - 3, QStringLiteral("– ") + d, Normal(), Qt::AlignLeft,
                  QStringLiteral("PruefungDifferenz")}},
                0.3);
    if (!e.fehlend.isEmpty())
        s.zeile({{kLinks + 3, kBreite - 3, QStringLiteral("Fehlende Pflichtangaben: ") + e.fehlend.join(QStringLiteral("; ")),
                  Normal(), Qt::AlignLeft, QStringLiteral("PruefungFehlend")}},
                0.3);
    s.zeile({{kLinks, kBreite,
              QStringLiteral("Nachgerechnet wurden die Summen und die Umsatzsteuer; die übrigen Geschäftsregeln "
                             "(Schematron) werden hier nicht geprüft. Gelesen aus: %1, Syntax %2.")
                  .arg(e.quelle.isEmpty() ? QStringLiteral("XML") : e.quelle, e.syntax),
              Klein()}},
            0.5);
    s.linie(kLinks, kRechts, 0.4);
    s.abstand(4);
}

void Kopf(Satz& s, const ERechnung& r)
{
    const double mitte = 112;
    // Seller on the left, the document's title and key data on the right.
    std::vector<Zelle> links = ParteiBlock(r.verkaeufer, kLinks, mitte - kLinks - 4, QStringLiteral("Verkäufer"),
                                           QStringLiteral("Verkaeufer"));
    std::vector<Zelle> rechts;
    rechts.push_back({mitte, kRechts - mitte, Rechnungsart(r.artCode), report::Schrift(16, true), Qt::AlignLeft,
                      QStringLiteral("Rechnungsart")});
    const double y0 = s.y;
    double yl = y0;
    for (const Zelle& z : links) {
        s.setze(z, yl);
        yl += Satz::hoehe(z) + 0.3;
    }
    double yr = y0;
    s.setze(rechts[0], yr);
    yr += Satz::hoehe(rechts[0]) + 2;
    Angaben a;
    a.zeilen.emplace_back(QStringLiteral("Rechnungsnummer"), r.nummer);
    a.zeilen.emplace_back(QStringLiteral("Rechnungsdatum"), Datum(r.datum));
    const std::vector<std::pair<QString, QString>> wichtig = a.zeilen;
    Angaben b;
    b.add(QStringLiteral("Fällig am"), Datum(r.faelligkeit));
    b.add(QStringLiteral("Lieferdatum"), Datum(r.lieferung.datum));
    b.add(QStringLiteral("Leistungszeitraum"), Zeitraumtext(r.zeitraum));
    b.add(QStringLiteral("Steuerdatum"), Datum(r.steuerdatum));
    b.add(QStringLiteral("Steuerdatum (Code)"), r.steuerdatumCode);
    b.add(QStringLiteral("Käuferreferenz"), r.kaeuferreferenz);
    b.add(QStringLiteral("Bestellnummer"), r.bestellung);
    b.add(QStringLiteral("Auftragsnummer"), r.auftrag);
    b.add(QStringLiteral("Währung"), r.waehrung);
    b.add(QStringLiteral("Steuer-Buchungswährung"), r.ustWaehrung);
    b.add(QStringLiteral("Vorherige Rechnung"),
          r.vorherigeRechnung.isEmpty()
              ? QString()
              : (r.vorherigeRechnungDatum.isValid()
                     ? QStringLiteral("%1 vom %2").arg(r.vorherigeRechnung, Datum(r.vorherigeRechnungDatum))
                     : r.vorherigeRechnung));
    const double lb = 36;
    auto setzePaar = [&](const QString& label, const QString& wert, const QString& name, const QFont& f) {
        const Zelle l{mitte, lb - 2, label, Klein()};
        const Zelle w{mitte + lb, kRechts - mitte - lb, wert, f, Qt::AlignLeft, name};
        s.setze(l, yr + 0.4);
        s.setze(w, yr);
        yr += std::max(Satz::hoehe(l), Satz::hoehe(w)) + 0.4;
    };
    setzePaar(wichtig[0].first, wichtig[0].second.isEmpty() ? QStringLiteral("(fehlt)") : wichtig[0].second,
              QStringLiteral("Rechnungsnummer"), Fett());
    setzePaar(wichtig[1].first, wichtig[1].second.isEmpty() ? QStringLiteral("(fehlt)") : wichtig[1].second,
              QStringLiteral("Rechnungsdatum"), Fett());
    for (const auto& [label, wert] : b.zeilen) setzePaar(label, wert, QString(), Normal());
    s.y = std::max(yl, yr) + 5;

    // Buyer, and where the goods went when that is given.
    std::vector<Zelle> kaeufer = ParteiBlock(r.kaeufer, kLinks, mitte - kLinks - 4, QStringLiteral("Rechnungsempfänger (Käufer)"),
                                             QStringLiteral("Kaeufer"));
    std::vector<Zelle> lieferung;
    const Lieferung& l = r.lieferung;
    if (!l.name.isEmpty() || l.hatAnschrift() || !l.ortKennung.wert.isEmpty() || !l.anschrift.land.isEmpty()) {
        lieferung.push_back({mitte, kRechts - mitte, QStringLiteral("Lieferung an"), KleinFett()});
        if (!l.name.isEmpty()) lieferung.push_back({mitte, kRechts - mitte, l.name, Fett()});
        for (const QString& z : Anschriftzeilen(l.anschrift)) lieferung.push_back({mitte, kRechts - mitte, z, Normal()});
        if (!l.ortKennung.wert.isEmpty())
            lieferung.push_back({mitte, kRechts - mitte, QStringLiteral("Lieferort: ") + MitSchema(l.ortKennung), Normal()});
    }
    Nebeneinander(s, kaeufer, lieferung);
    s.abstand(3);

    // Identifiers and contacts of both parties.
    const Angaben av = ParteiDetails(r.verkaeufer);
    const Angaben ak = ParteiDetails(r.kaeufer);
    if (!av.leer() || !ak.leer()) {
        const double breite = mitte - kLinks - 4;
        s.zeile({{kLinks, breite, QStringLiteral("Angaben zum Verkäufer"), KleinFett()},
                 {mitte, kRechts - mitte, QStringLiteral("Angaben zum Käufer"), KleinFett()}},
                0.5);
        const size_t n = std::max(av.zeilen.size(), ak.zeilen.size());
        for (size_t i = 0; i < n; ++i) {
            std::vector<Zelle> zeile;
            if (i < av.zeilen.size()) {
                zeile.push_back({kLinks, 30, av.zeilen[i].first, Klein()});
                zeile.push_back({kLinks + 31, breite - 31, av.zeilen[i].second, Normal()});
            }
            if (i < ak.zeilen.size()) {
                zeile.push_back({mitte, 30, ak.zeilen[i].first, Klein()});
                zeile.push_back({mitte + 31, kRechts - mitte - 31, ak.zeilen[i].second, Normal()});
            }
            s.zeile(zeile, 0.3);
        }
    }
}

// Column layout of the line table.
struct Spalten {
    double nr = kLinks, nrB = 11;
    double text = kLinks + 12, textB = 66;
    double menge = 90, mengeB = 18;
    double einheit = 110, einheitB = 25;
    double preis = 135, preisB = 19;
    double ust = 156, ustB = 13;
    double betrag = 170, betragB = kRechts - 170;
};

void Positionen(Satz& s, const ERechnung& r)
{
    s.ueberschrift(QStringLiteral("Positionen (Beträge in %1, netto)").arg(r.waehrung));
    // Line identifiers are mostly short numbers, but may be whole words: the
    // number column takes what the longest needs, up to a quarter of the table.
    Spalten c;
    double breitesteNr = report::Messer::fuer(KleinFett()).breite(QStringLiteral("Pos."));
    for (const Position& p : r.positionen)
        breitesteNr = std::max(breitesteNr, report::Messer::fuer(Normal()).breite(p.id) / kReserve);
    c.nrB = std::min(std::max(c.nrB, breitesteNr + 1), 40.0);
    c.text = c.nr + c.nrB + 1;
    c.textB = c.menge - c.text - 2;
    auto kopf = [&s, c] {
        s.zeile({{c.nr, c.nrB, QStringLiteral("Pos."), KleinFett()},
                 {c.text, c.textB, QStringLiteral("Bezeichnung"), KleinFett()},
                 {c.menge, c.mengeB, QStringLiteral("Menge"), KleinFett(), Qt::AlignRight},
                 {c.einheit, c.einheitB, QStringLiteral("Einheit"), KleinFett()},
                 {c.preis, c.preisB, QStringLiteral("Einzelpreis"), KleinFett(), Qt::AlignRight},
                 {c.ust, c.ustB, QStringLiteral("USt"), KleinFett(), Qt::AlignRight},
                 {c.betrag, c.betragB, QStringLiteral("Betrag"), KleinFett(), Qt::AlignRight}},
                0.5);
        s.linie(kLinks, kRechts, 0.2);
        s.abstand(1);
    };
    kopf();
    s.tabellenkopf = kopf;
    for (const Position& p : r.positionen) {
        QString preis = Geld(p.nettopreis);
        if (p.basismenge && *p.basismenge != 1)
            preis += QStringLiteral("\nje ") + Menge(*p.basismenge) +
                     (p.basismengeEinheit.isEmpty() ? QString() : QStringLiteral(" ") + p.basismengeEinheit);
        QString ust = p.ustKategorie;
        if (p.ustSatz) ust += QStringLiteral(" ") + Prozent(p.ustSatz);
        s.platz(10);  // a line's first row with at least one row of details
        s.zeile({{c.nr, c.nrB, p.id, Normal(), Qt::AlignLeft, QStringLiteral("PositionNr")},
                 {c.text, c.textB, p.name, Fett(), Qt::AlignLeft, QStringLiteral("PositionName")},
                 {c.menge, c.mengeB, Menge(p.menge), Normal(), Qt::AlignRight, QStringLiteral("PositionMenge")},
                 {c.einheit, c.einheitB, Einheit(p.einheitCode), Normal(), Qt::AlignLeft, QStringLiteral("PositionEinheit")},
                 {c.preis, c.preisB, preis, Normal(), Qt::AlignRight, QStringLiteral("PositionPreis")},
                 {c.ust, c.ustB, ust, Normal(), Qt::AlignRight},
                 {c.betrag, c.betragB, Geld(p.nettobetrag), Normal(), Qt::AlignRight, QStringLiteral("PositionBetrag")}},
                0.3);
        QStringList d;
        if (!p.beschreibung.isEmpty()) d << p.beschreibung;
        QStringList nummern;
        if (!p.verkaeuferArtikelNr.isEmpty()) nummern << QStringLiteral("Art.-Nr. %1").arg(p.verkaeuferArtikelNr);
        if (!p.kaeuferArtikelNr.isEmpty()) nummern << QStringLiteral("Ihre Art.-Nr. %1").arg(p.kaeuferArtikelNr);
        if (!p.standardKennung.wert.isEmpty()) nummern << QStringLiteral("Kennung %1").arg(MitSchema(p.standardKennung));
        if (!nummern.isEmpty()) d << nummern.join(QStringLiteral(", "));
        if (p.bruttopreis || p.preisnachlass)
            d << QStringLiteral("Bruttopreis %1, Preisnachlass %2").arg(Geld(p.bruttopreis), Geld(p.preisnachlass.value_or(0)));
        for (const ZuAbschlag& z : p.zuAbschlaege)
            d << QStringLiteral("%1: %2%3").arg(ZuAbschlagText(z, false), z.zuschlag ? QStringLiteral("+") : QStringLiteral("−"),
                                                Geld(z.betrag));
        if (!p.zeitraum.leer()) d << QStringLiteral("Zeitraum %1").arg(Zeitraumtext(p.zeitraum));
        for (const Eigenschaft& e : p.eigenschaften) d << QStringLiteral("%1: %2").arg(e.name, e.wert);
        for (const Kennung& k : p.klassifikationen) d << QStringLiteral("Klassifikation %1").arg(MitSchema(k));
        if (!p.herkunftsland.isEmpty()) d << QStringLiteral("Herkunftsland %1").arg(p.herkunftsland);
        if (!p.bestellpositionRef.isEmpty()) d << QStringLiteral("Bestellposition %1").arg(p.bestellpositionRef);
        if (!p.objektKennung.isEmpty()) d << QStringLiteral("Objektkennung %1").arg(p.objektKennung);
        if (!p.buchungskonto.isEmpty()) d << QStringLiteral("Buchungskonto %1").arg(p.buchungskonto);
        if (!p.notiz.isEmpty()) d << QStringLiteral("Hinweis: %1").arg(p.notiz);
        for (const QString& zeile : d) s.zeile({{c.text, c.betrag - c.text - 2, zeile, Klein()}}, 0.2);
        s.abstand(1.2);
    }
    s.tabellenkopf = nullptr;
    s.linie(kLinks, kRechts, 0.2);
    s.abstand(1.5);
}

void ZuAbschlaege(Satz& s, const ERechnung& r)
{
    if (r.zuAbschlaege.isEmpty()) return;
    s.ueberschrift(QStringLiteral("Abschläge und Zuschläge auf die Rechnung"));
    for (const ZuAbschlag& z : r.zuAbschlaege)
        s.zeile({{kLinks, 140, ZuAbschlagText(z, true), Normal(), Qt::AlignLeft, QStringLiteral("ZuAbschlag")},
                 {160, kRechts - 160, (z.zuschlag ? QStringLiteral("+") : QStringLiteral("−")) + Geld(z.betrag),
                  Normal(), Qt::AlignRight}},
                0.4);
}

void Summenblock(Satz& s, const ERechnung& r)
{
    const Summen& su = r.summen;
    struct Z {
        QString label, wert, name;
        bool fett = false;
    };
    std::vector<Z> z;
    z.push_back({QStringLiteral("Summe der Positionen"), Geld(su.summePositionen), QStringLiteral("SummePositionen")});
    if (su.summeAbschlaege) z.push_back({QStringLiteral("− Abschläge"), Geld(su.summeAbschlaege), QString()});
    if (su.summeZuschlaege) z.push_back({QStringLiteral("+ Zuschläge"), Geld(su.summeZuschlaege), QString()});
    z.push_back({QStringLiteral("Gesamtbetrag netto"), Geld(su.gesamtNetto), QStringLiteral("GesamtNetto")});
    z.push_back({QStringLiteral("+ Umsatzsteuer"), su.gesamtUSt ? Geld(su.gesamtUSt) : QStringLiteral("(nicht angegeben)"),
                 QStringLiteral("GesamtUSt")});
    if (su.gesamtUStBuchungswaehrung)
        z.push_back({QStringLiteral("Umsatzsteuer in %1").arg(r.ustWaehrung), Geld(su.gesamtUStBuchungswaehrung), QString()});
    z.push_back({QStringLiteral("Gesamtbetrag brutto"), Geld(su.gesamtBrutto), QStringLiteral("GesamtBrutto"), true});
    if (su.vorausbezahlt) z.push_back({QStringLiteral("− bereits gezahlt"), Geld(su.vorausbezahlt), QString()});
    if (su.rundung) z.push_back({QStringLiteral("Rundung"), Geld(su.rundung), QString()});
    s.platz(double(z.size() + 1) * 5.0 + 4);
    s.abstand(2);
    for (const Z& e : z)
        s.zeile({{100, 60, e.label, e.fett ? Fett() : Normal(), Qt::AlignRight},
                 {160, kRechts - 160, e.wert, e.fett ? Fett() : Normal(), Qt::AlignRight, e.name}},
                0.5);
    s.linie(120, kRechts, 0.3);
    s.abstand(1.2);
    s.zeile({{100, 60, QStringLiteral("Zahlbetrag"), report::Schrift(11, true), Qt::AlignRight},
             {150, kRechts - 150, Geld(su.faellig) + QStringLiteral(" ") + r.waehrung, report::Schrift(11, true),
              Qt::AlignRight, QStringLiteral("Zahlbetrag")}},
            0.5);
    s.linie(120, kRechts, 0.5);
    s.abstand(2);
}

void Steuern(Satz& s, const ERechnung& r)
{
    if (r.ust.isEmpty()) return;
    s.ueberschrift(QStringLiteral("Umsatzsteuer"));
    s.zeile({{kLinks, 70, QStringLiteral("Kategorie"), KleinFett()},
             {90, 18, QStringLiteral("Satz"), KleinFett(), Qt::AlignRight},
             {110, 25, QStringLiteral("Netto"), KleinFett(), Qt::AlignRight},
             {137, 25, QStringLiteral("Steuer"), KleinFett(), Qt::AlignRight}},
            0.5);
    for (const UStAufschluesselung& u : r.ust) {
        s.zeile({{kLinks, 70, Steuerkategorie(u.kategorie), Normal()},
                 {90, 18, Prozent(u.satz), Normal(), Qt::AlignRight},
                 {110, 25, Geld(u.basisbetrag), Normal(), Qt::AlignRight, QStringLiteral("UStBasis")},
                 {137, 25, Geld(u.steuerbetrag), Normal(), Qt::AlignRight, QStringLiteral("UStBetrag")}},
                0.3);
        QStringList grund;
        if (!u.befreiungsgrund.isEmpty()) grund << u.befreiungsgrund;
        if (!u.befreiungsgrundCode.isEmpty()) grund << QStringLiteral("Code %1").arg(u.befreiungsgrundCode);
        if (!grund.isEmpty())
            s.zeile({{kLinks + 4, kBreite - 4, QStringLiteral("Befreiungsgrund: ") + grund.join(QStringLiteral(", ")), Klein()}},
                    0.3);
    }
}

void Zahlung(Satz& s, const ERechnung& r)
{
    if (r.zahlungsanweisungen.isEmpty() && r.zahlungsbedingungen.isEmpty() && r.zahlungsempfaenger.name.isEmpty())
        return;
    s.ueberschrift(QStringLiteral("Zahlung"));
    Angaben a;
    a.add(QStringLiteral("Zahlungsbedingungen"), r.zahlungsbedingungen);
    a.add(QStringLiteral("Fällig am"), Datum(r.faelligkeit));
    SetzeAngaben(s, a, kLinks, kBreite);
    for (const Zahlungsanweisung& z : r.zahlungsanweisungen) {
        Angaben b;
        b.add(QStringLiteral("Zahlungsart"),
              z.artText.isEmpty() ? Zahlungsart(z.artCode)
                                  : QStringLiteral("%1 – %2").arg(Zahlungsart(z.artCode), z.artText));
        b.add(QStringLiteral("IBAN / Konto"), z.iban);
        b.add(QStringLiteral("BIC"), z.bic);
        b.add(QStringLiteral("Kontoinhaber"), z.kontoname);
        b.add(QStringLiteral("Verwendungszweck"), z.verwendungszweck);
        b.add(QStringLiteral("Mandatsreferenz"), z.mandat);
        b.add(QStringLiteral("Gläubiger-ID"), z.glaeubigerId);
        b.add(QStringLiteral("Belastetes Konto"), z.lastschriftIban);
        b.add(QStringLiteral("Kartennummer"), z.kartennummer);
        b.add(QStringLiteral("Karteninhaber"), z.karteninhaber);
        s.abstand(1);
        SetzeAngaben(s, b, kLinks, kBreite);
    }
    Angaben e;
    e.add(QStringLiteral("Zahlungsempfänger"), r.zahlungsempfaenger.name);
    e.add(QStringLiteral("Kennung des Empfängers"), MitSchema(r.zahlungsempfaenger.kennung));
    e.add(QStringLiteral("Registernummer des Empfängers"), MitSchema(r.zahlungsempfaenger.registernummer));
    if (!e.leer()) s.abstand(1);
    SetzeAngaben(s, e, kLinks, kBreite);
}

void Hinweise(Satz& s, const ERechnung& r)
{
    bool da = false;
    for (const Notiz& n : r.notizen) da = da || !n.text.isEmpty();
    if (!da) return;
    s.ueberschrift(QStringLiteral("Bemerkungen"));
    for (const Notiz& n : r.notizen) {
        if (n.text.isEmpty()) continue;
        const QString b = Notizbetreff(n.betreffCode);
        s.zeile({{kLinks, kBreite, b.isEmpty() ? n.text : QStringLiteral("%1: %2").arg(b, n.text), Normal(),
                  Qt::AlignLeft, QStringLiteral("Bemerkung")}},
                1);
    }
}

void Weiteres(Satz& s, const ERechnung& r)
{
    Angaben a;
    a.add(QStringLiteral("Projekt"), r.projekt);
    a.add(QStringLiteral("Vertrag"), r.vertrag);
    a.add(QStringLiteral("Ausschreibung / Los"), r.ausschreibung);
    a.add(QStringLiteral("Objektkennung"), MitSchema(r.objektKennung));
    a.add(QStringLiteral("Wareneingangsmeldung"), r.wareneingang);
    a.add(QStringLiteral("Versandanzeige"), r.versandanzeige);
    a.add(QStringLiteral("Buchungsreferenz"), r.buchungsreferenz);
    const Steuervertreter& v = r.steuervertreter;
    a.add(QStringLiteral("Steuervertreter"),
          QStringList({v.name, v.ustId.isEmpty() ? QString() : QStringLiteral("USt-IdNr. ") + v.ustId,
                       Anschriftzeilen(v.anschrift).join(QStringLiteral(", "))})
              .filter(QRegularExpression(QStringLiteral("\\S")))
              .join(QStringLiteral(", ")));
    for (const Beleg& b : r.belege) {
        QStringList t;
        for (const QString& x : {b.kennung, b.beschreibung, b.dateiname, b.uri})
            if (!x.isEmpty()) t << x;
        a.add(QStringLiteral("Beleg"), t.join(QStringLiteral(", ")));
    }
    a.add(QStringLiteral("Geschäftsprozess"), r.prozess);
    a.add(QStringLiteral("Spezifikation"), r.spezifikation);
    if (a.leer()) return;
    s.ueberschrift(QStringLiteral("Weitere Angaben"));
    SetzeAngaben(s, a, kLinks, kBreite);
}

}  // namespace

QString Rec20Name(const QString& code)
{
    static const QHash<QString, QString> namen = {
        {QStringLiteral("C62"), QStringLiteral("Stück")},        {QStringLiteral("H87"), QStringLiteral("Stück")},
        {QStringLiteral("EA"), QStringLiteral("Stück")},         {QStringLiteral("XPP"), QStringLiteral("Stück")},
        {QStringLiteral("KGM"), QStringLiteral("Kilogramm")},    {QStringLiteral("GRM"), QStringLiteral("Gramm")},
        {QStringLiteral("TNE"), QStringLiteral("Tonne")},        {QStringLiteral("LTR"), QStringLiteral("Liter")},
        {QStringLiteral("MLT"), QStringLiteral("Milliliter")},   {QStringLiteral("MTR"), QStringLiteral("Meter")},
        {QStringLiteral("CMT"), QStringLiteral("Zentimeter")},   {QStringLiteral("MMT"), QStringLiteral("Millimeter")},
        {QStringLiteral("KMT"), QStringLiteral("Kilometer")},    {QStringLiteral("MTK"), QStringLiteral("Quadratmeter")},
        {QStringLiteral("MTQ"), QStringLiteral("Kubikmeter")},   {QStringLiteral("HUR"), QStringLiteral("Stunde")},
        {QStringLiteral("MIN"), QStringLiteral("Minute")},       {QStringLiteral("SEC"), QStringLiteral("Sekunde")},
        {QStringLiteral("DAY"), QStringLiteral("Tag")},          {QStringLiteral("WEE"), QStringLiteral("Woche")},
        {QStringLiteral("MON"), QStringLiteral("Monat")},        {QStringLiteral("ANN"), QStringLiteral("Jahr")},
        {QStringLiteral("SET"), QStringLiteral("Satz")},         {QStringLiteral("PR"), QStringLiteral("Paar")},
        {QStringLiteral("CT"), QStringLiteral("Karton")},        {QStringLiteral("PK"), QStringLiteral("Packung")},
        {QStringLiteral("RO"), QStringLiteral("Rolle")},         {QStringLiteral("CA"), QStringLiteral("Kanister")},
        {QStringLiteral("LS"), QStringLiteral("Pauschale")},     {QStringLiteral("KWH"), QStringLiteral("Kilowattstunde")},
        {QStringLiteral("P1"), QStringLiteral("Prozent")},       {QStringLiteral("XBX"), QStringLiteral("Kiste")},
        {QStringLiteral("XPK"), QStringLiteral("Packung")},      {QStringLiteral("XCT"), QStringLiteral("Karton")},
        {QStringLiteral("XRO"), QStringLiteral("Rolle")},        {QStringLiteral("XSA"), QStringLiteral("Sack")},
        {QStringLiteral("XBO"), QStringLiteral("Flasche")},      {QStringLiteral("XPA"), QStringLiteral("Päckchen")},
        {QStringLiteral("LM"), QStringLiteral("laufender Meter")},
        {QStringLiteral("E48"), QStringLiteral("Serviceeinheit")},
    };
    return namen.value(code.trimmed());
}

report::Seiten EingangSeiten(const Eingang& e)
{
    const ERechnung& r = e.rechnung;
    Satz s;
    Pruefung(s, e, Rechendifferenzen(r));
    Kopf(s, r);
    Hinweise(s, r);
    Positionen(s, r);
    ZuAbschlaege(s, r);
    Summenblock(s, r);
    Steuern(s, r);
    Zahlung(s, r);
    Weiteres(s, r);

    const int n = int(s.seiten.size());
    const QString fuss = QStringLiteral("%1 %2 von %3").arg(Rechnungsart(r.artCode), r.nummer, r.verkaeufer.name);
    for (int i = 0; i < n; ++i) {
        report::Seite& seite = s.seiten[size_t(i)];
        report::LinienPrimitiv l;
        l.band = QStringLiteral("ERechnung");
        l.linie = QLineF(kLinks, kFuss - 1.5, kRechts, kFuss - 1.5);
        l.staerke = 0.2;
        seite.linien.push_back(l);
        Satz::setzeAuf(seite, {kLinks, 140, fuss, Klein(), Qt::AlignLeft, QStringLiteral("Fuss")}, kFuss);
        Satz::setzeAuf(seite, {150, kRechts - 150, QStringLiteral("Seite %1 von %2").arg(i + 1).arg(n), Klein(), Qt::AlignRight,
                 QStringLiteral("Seitenzahl")},
                kFuss);
    }
    return std::move(s.seiten);
}

void ERechnungDateiAnzeigen(const QString& pfad, QWidget* parent)
{
    Eingang e;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Cursor {
            ~Cursor() { QApplication::restoreOverrideCursor(); }
        } cursor;
        e = LiesEingang(pfad);
    }
    const report::Seiten seiten = EingangSeiten(e);
    const QString titel = QStringLiteral("%1 %2").arg(Rechnungsart(e.rechnung.artCode), e.rechnung.nummer).trimmed();
    report::Vorschau(seiten, titel, parent);
}

void ERechnungAnzeigen(QWidget* parent)
{
    QFileDialog dlg(parent ? parent : QApplication::activeWindow(), QStringLiteral("E-Rechnung anzeigen"));
    dlg.setObjectName(QStringLiteral("ERechnungOeffnenDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters({QStringLiteral("E-Rechnungen (*.xml *.pdf *.XML *.PDF)"), QStringLiteral("Alle Dateien (*)")});
    dlg.setDirectory(QDir::homePath());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    ERechnungDateiAnzeigen(dlg.selectedFiles().constFirst(), parent);
}

}  // namespace einvoice
