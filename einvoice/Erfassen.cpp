#include "einvoice/Erfassen.h"

#include "data/Anweisung.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "einvoice/Einheiten.h"

#include <QMap>
#include <QVariant>

namespace einvoice {

namespace {

// One statement with positional parameters, on the program's connection.
class Abfrage {
public:
    Abfrage(data::Verbindung& db, const char* sql, const QVariantList& parameter = {}) : m_st(db, QString::fromUtf8(sql))
    {
        for (int i = 0; i < parameter.size(); ++i) m_st.binde(i + 1, parameter.at(i));
    }

    bool naechste() { return m_st.schritt(); }
    // A column by name; null QVariant for NULL or an unknown name.
    QVariant wert(const char* name)
    {
        const QString n = QString::fromUtf8(name);
        for (int i = 0; i < m_st.spaltenAnzahl(); ++i)
            if (m_st.spaltenname(i).compare(n, Qt::CaseInsensitive) == 0) return m_st.wert(i);
        return QVariant();
    }
    // Text trimmed; a stored " " (an emptied field) is empty.
    QString text(const char* name) { return wert(name).toString().trimmed(); }

private:
    data::Anweisung m_st;
};

void Ausfuehren(data::Verbindung& db, const char* sql, const QVariantList& parameter = {})
{
    Abfrage a(db, sql, parameter);
    while (a.naechste()) {}
}

QVariant Oder(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

// The data module's fallback texts stand for "nothing entered".
QString OhneErsatz(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("keine Angegeben"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("kein Angegeben"), Qt::CaseInsensitive) == 0)
        return QString();
    return t;
}

QString OhneLeerzeichen(const QString& s)
{
    QString r;
    for (QChar c : s)
        if (!c.isSpace()) r += c.toUpper();
    return r;
}

QDate IsoDatum(const QVariant& v) { return QDate::fromString(v.toString(), Qt::ISODate); }

}  // namespace

QString Spezifikation(Profil profil)
{
    return profil == Profil::XRechnung
               ? QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0")
               : QStringLiteral("urn:cen.eu:en16931:2017");
}

Firmendaten LeseFirmendaten(data::Verbindung& db)
{
    Firmendaten f;
    Abfrage a(db, "SELECT er_land, er_steuernummer, er_iban, er_bic, er_befreiungsgrund FROM t_erechnung_firma WHERE id = 1");
    if (a.naechste()) {
        f.land = a.text("er_land");
        f.steuernummer = a.text("er_steuernummer");
        f.iban = a.text("er_iban");
        f.bic = a.text("er_bic");
        f.befreiungsgrund = a.text("er_befreiungsgrund");
        f.gespeichert = true;
        return f;
    }
    f.land = QStringLiteral("DE");
    f.befreiungsgrund = QStringLiteral("Umsatzsteuerfrei");
    Abfrage s(db, "SELECT Bankverbindungen FROM t_stammdaten LIMIT 1");
    if (s.naechste()) f.iban = IbanFinden(s.text("Bankverbindungen"));
    return f;
}

void SchreibeFirmendaten(data::Verbindung& db, const Firmendaten& f)
{
    Ausfuehren(db,
               "INSERT INTO t_erechnung_firma (id, er_land, er_steuernummer, er_iban, er_bic, er_befreiungsgrund) "
               "VALUES (1, ?, ?, ?, ?, ?) ON CONFLICT(id) DO UPDATE SET er_land = excluded.er_land, "
               "er_steuernummer = excluded.er_steuernummer, er_iban = excluded.er_iban, er_bic = excluded.er_bic, "
               "er_befreiungsgrund = excluded.er_befreiungsgrund",
               {Oder(f.land.trimmed().toUpper()), Oder(f.steuernummer.trimmed()), Oder(IbanNormal(f.iban)),
                Oder(OhneLeerzeichen(f.bic)), Oder(f.befreiungsgrund.trimmed())});
}

Kundendaten LeseKundendaten(data::Verbindung& db, int adresseId)
{
    Kundendaten k;
    {
        Abfrage n(db, "SELECT adr_firma, adr_ganzername FROM t_adressen WHERE id = ?", {adresseId});
        if (n.naechste()) k.name = n.text("adr_firma").isEmpty() ? n.text("adr_ganzername") : n.text("adr_firma");
    }
    Abfrage a(db, "SELECT er_land, er_kaeuferreferenz FROM t_erechnung_kunde WHERE adresse_id = ?", {adresseId});
    if (a.naechste()) {
        k.land = a.text("er_land");
        k.referenz = a.text("er_kaeuferreferenz");
        k.gespeichert = true;
        return k;
    }
    k.land = LeseFirmendaten(db).land;
    k.referenz = QString::number(adresseId);
    return k;
}

void SchreibeKundendaten(data::Verbindung& db, int adresseId, const Kundendaten& k)
{
    Ausfuehren(db,
               "INSERT INTO t_erechnung_kunde (adresse_id, er_land, er_kaeuferreferenz) VALUES (?, ?, ?) "
               "ON CONFLICT(adresse_id) DO UPDATE SET er_land = excluded.er_land, "
               "er_kaeuferreferenz = excluded.er_kaeuferreferenz",
               {adresseId, Oder(k.land.trimmed().toUpper()), Oder(k.referenz.trimmed())});
}

QList<Einheitcode> LeseEinheitcodes(data::Verbindung& db)
{
    QList<Einheitcode> out;
    Abfrage a(db,
              "SELECT t_einheit.id AS id, t_einheit.einheit AS einheit, c.er_code AS er_code FROM t_einheit "
              "LEFT JOIN t_erechnung_einheit c ON c.einheit_id = t_einheit.id ORDER BY t_einheit.einheit COLLATE NOCASE, t_einheit.id");
    while (a.naechste()) {
        Einheitcode e;
        e.id = a.wert("id").toInt();
        e.einheit = a.wert("einheit").toString();
        e.code = a.text("er_code");
        e.gespeichert = !e.code.isEmpty();
        if (e.code.isEmpty()) e.code = Rec20Vorschlag(e.einheit);
        out << e;
    }
    return out;
}

void SchreibeEinheitcodes(data::Verbindung& db, const QList<Einheitcode>& codes)
{
    data::Transaktion t(db);
    for (const Einheitcode& e : codes)
        Ausfuehren(db,
                   "INSERT INTO t_erechnung_einheit (einheit_id, er_code) VALUES (?, ?) "
                   "ON CONFLICT(einheit_id) DO UPDATE SET er_code = excluded.er_code",
                   {e.id, Oder(e.code.trimmed().toUpper())});
    t.commit();
}

int AdresseVonLieferschein(data::Verbindung& db, int lieferscheinId)
{
    Abfrage a(db, "SELECT lief_adresse_id FROM t_lieferschein WHERE id = ?", {lieferscheinId});
    return a.naechste() ? a.wert("lief_adresse_id").toInt() : 0;
}

ERechnung AusLieferschein(data::Verbindung& db, int lieferscheinId, Profil profil, QStringList* maengel)
{
    QStringList eigene;
    ERechnung r;
    r.spezifikation = Spezifikation(profil);
    if (profil == Profil::XRechnung) r.prozess = QStringLiteral("urn:fdc:peppol.eu:2017:poacc:billing:01:1.0");

    const Firmendaten firma = LeseFirmendaten(db);

    // Seller: the company master data.
    {
        Abfrage s(db, "SELECT * FROM t_stammdaten LIMIT 1");
        Partei& v = r.verkaeufer;
        if (s.naechste()) {
            const QString firmenname = s.text("stammd_firma"), inhaber = s.text("stammd_ganzername");
            v.name = firmenname.isEmpty() ? inhaber : firmenname;
            v.anschrift.zeile1 = s.text("stammd_adresse");
            v.anschrift.plz = s.text("stammd_plz");
            v.anschrift.ort = s.text("stammd_ort");
            v.ustId = OhneLeerzeichen(s.text("stammd_uidnr"));
            v.kontakt.name = inhaber.isEmpty() ? firmenname : inhaber;
            v.kontakt.telefon = s.text("stammd_tel");
            if (v.kontakt.telefon.isEmpty()) v.kontakt.telefon = s.text("stammd_mobil");
            v.kontakt.email = s.text("stammd_email");
            if (!v.kontakt.email.isEmpty()) v.elektronischeAdresse = {v.kontakt.email, QStringLiteral("EM")};
        } else {
            eigene << QStringLiteral("Die Stammdaten der eigenen Firma fehlen (Verwalten → Stammdaten).");
        }
        v.anschrift.land = firma.land;
        v.steuernummer = firma.steuernummer;
    }

    // The note and its customer.
    Abfrage l(db, "SELECT * FROM t_lieferschein INNER JOIN t_adressen ON t_adressen.id = t_lieferschein.lief_adresse_id "
                  "WHERE t_lieferschein.id = ?",
              {lieferscheinId});
    if (!l.naechste()) {
        if (maengel) *maengel << QStringLiteral("Der Lieferschein ist nicht (mehr) vorhanden.");
        return r;
    }
    const int adresseId = l.wert("lief_adresse_id").toInt();
    const Kundendaten kunde = LeseKundendaten(db, adresseId);
    r.nummer = l.text("lief_nr");
    r.datum = IsoDatum(l.wert("lief_rechnungsdatum"));
    if (!r.datum.isValid()) eigene << QStringLiteral("Der Lieferschein hat noch kein Rechnungsdatum.");
    r.lieferung.datum = IsoDatum(l.wert("lief_datum"));
    r.kaeuferreferenz = kunde.referenz;
    r.zahlungsbedingungen = OhneErsatz(l.text("lief_zahlungsbed"));
    const QString zusatz = OhneErsatz(l.text("lief_Zusatztext"));
    if (!zusatz.isEmpty()) r.notizen << Notiz{zusatz, QString()};

    Partei& k = r.kaeufer;
    const QString kFirma = l.text("adr_firma"), kName = l.text("adr_ganzername");
    k.name = kFirma.isEmpty() ? kName : kFirma;
    k.anschrift.zeile1 = l.text("adr_adresse");
    k.anschrift.plz = l.text("adr_plz");
    k.anschrift.ort = l.text("adr_ort");
    k.anschrift.land = kunde.land;
    k.ustId = OhneLeerzeichen(l.text("adr_uidnr"));
    const QString kMail = l.text("adr_email");
    if (!kMail.isEmpty()) k.elektronischeAdresse = {kMail, QStringLiteral("EM")};

    if (l.wert("adr_hatlieferadr").toInt() == -1) {
        Anschrift a;
        a.zeile1 = l.text("adr_lief_adresse");
        a.plz = l.text("adr_lief_plz");
        a.ort = l.text("adr_lief_ort");
        a.land = kunde.land;
        const QString lFirma = l.text("adr_lief_firma"), lName = l.text("adr_lief_ganzername");
        r.lieferung.anschrift = a;
        if (r.lieferung.hatAnschrift()) r.lieferung.name = !lFirma.isEmpty() ? lFirma : !lName.isEmpty() ? lName : k.name;
        else r.lieferung.anschrift = Anschrift();
    }

    // Lines: the items the printout shows, in item order. Items whose article
    // lacks a unit or category are not printed; the e-invoice must show the
    // same invoice, so such a note is refused rather than written without them.
    QMap<QString, Einheitcode> codes;
    for (const Einheitcode& e : LeseEinheitcodes(db)) codes.insert(QString::number(e.id), e);
    int alle = 0;
    {
        Abfrage n(db, "SELECT count(*) AS n FROM t_lieferschein_artikel WHERE la_lieferschein_id = ?", {lieferscheinId});
        if (n.naechste()) alle = n.wert("n").toInt();
    }
    Abfrage p(db,
              "SELECT la_anzahl, la_preis, artikel_nr, artikel_bez, artikel_Mwst, artikel_einheit_id "
              "FROM t_lieferschein_artikel INNER JOIN t_artikel ON t_artikel.id = t_lieferschein_artikel.la_artikel_id "
              "INNER JOIN t_einheit ON t_einheit.id = t_artikel.artikel_einheit_id "
              "INNER JOIN t_kategorie ON t_kategorie.id = t_artikel.artikel_kategorie_id "
              "WHERE la_lieferschein_id = ? ORDER BY t_lieferschein_artikel.id",
              {lieferscheinId});
    QMap<double, double> basis;  // net per VAT rate
    double summe = 0;
    while (p.naechste()) {
        Position pos;
        pos.id = QString::number(r.positionen.size() + 1);
        pos.menge = p.wert("la_anzahl").toDouble();
        pos.nettopreis = p.wert("la_preis").toDouble();
        pos.nettobetrag = AufCent(pos.menge * pos.nettopreis);
        pos.name = p.text("artikel_bez");
        pos.verkaeuferArtikelNr = p.text("artikel_nr");
        pos.einheitCode = codes.value(p.wert("artikel_einheit_id").toString()).code;
        const double satz = p.wert("artikel_Mwst").toDouble();
        pos.ustSatz = satz;
        pos.ustKategorie = satz > 0 ? QStringLiteral("S") : QStringLiteral("E");
        basis[satz] += pos.nettobetrag;
        summe += pos.nettobetrag;
        r.positionen << pos;
    }
    if (alle > r.positionen.size())
        eigene << QStringLiteral("%1 Position(en) des Lieferscheins erscheinen nicht auf der Rechnung, weil ihrem Artikel "
                                 "die Einheit oder die Kategorie fehlt. Bitte ordnen Sie den Artikeln Einheit und "
                                 "Kategorie zu.")
                      .arg(alle - r.positionen.size());

    // VAT per rate, totals from the rounded line amounts.
    double steuer = 0;
    for (auto it = basis.cbegin(); it != basis.cend(); ++it) {
        UStAufschluesselung u;
        u.basisbetrag = AufCent(it.value());
        u.satz = it.key();
        u.kategorie = it.key() > 0 ? QStringLiteral("S") : QStringLiteral("E");
        u.steuerbetrag = AufCent(u.basisbetrag * it.key() / 100.0);
        if (u.kategorie == QLatin1String("E")) u.befreiungsgrund = firma.befreiungsgrund;
        steuer += u.steuerbetrag;
        r.ust << u;
    }
    Summen& s = r.summen;
    s.summePositionen = AufCent(summe);
    s.gesamtNetto = s.summePositionen;
    s.gesamtUSt = AufCent(steuer);
    s.gesamtBrutto = AufCent(s.gesamtNetto + steuer);
    s.faellig = s.gesamtBrutto;
    if (l.wert("lief_zahldatum").isValid() && !l.wert("lief_zahldatum").isNull()) {
        s.vorausbezahlt = AufCent(l.wert("lief_zahlbetrag").toDouble());
        s.faellig = AufCent(s.gesamtBrutto - *s.vorausbezahlt);
    }

    // Payment: SEPA credit transfer to the company's account.
    if (!firma.iban.isEmpty() || profil == Profil::XRechnung) {
        Zahlungsanweisung z;
        z.artCode = QStringLiteral("58");
        z.iban = IbanNormal(firma.iban);
        z.bic = OhneLeerzeichen(firma.bic);
        z.kontoname = r.verkaeufer.name;
        if (!r.nummer.isEmpty()) z.verwendungszweck = QStringLiteral("Rechnung Nr. %1").arg(r.nummer);
        r.zahlungsanweisungen << z;
    }

    if (maengel) *maengel << eigene;
    return r;
}

}  // namespace einvoice
