#include "einvoice/Lesen.h"

#include "data/Fehler.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFExc.hh>

#include <cctype>
#include <memory>
#include <vector>

namespace einvoice {

namespace {

const QString kNsCii = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kNsUblRechnung = QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:Invoice-2");
const QString kNsUblGutschrift = QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2");

// Deeper nesting than any invoice has would only serve to exhaust the stack.
constexpr int kGroessteTiefe = 64;

QString GroesseText(qint64 bytes)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(double(bytes) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral(" MB");
}

[[noreturn]] void Refuse(const QString& text) { throw data::Fehler(text); }

// --- a small element tree ------------------------------------------------

// Elements are found by local name: within their parent, the names of both
// syntaxes are unique without their namespace.
struct Knoten {
    QString name;
    QString text;
    QXmlStreamAttributes attribute;
    std::vector<std::unique_ptr<Knoten>> kinder;

    const Knoten* kind(QStringView n) const
    {
        for (const auto& k : kinder)
            if (k->name == n) return k.get();
        return nullptr;
    }
    std::vector<const Knoten*> alle(QStringView n) const
    {
        std::vector<const Knoten*> r;
        for (const auto& k : kinder)
            if (k->name == n) r.push_back(k.get());
        return r;
    }
    // "a/b/c": the first match at every step.
    const Knoten* pfad(const QString& p) const
    {
        const Knoten* k = this;
        for (const QStringView teil : QStringView(p).split(QLatin1Char('/'))) {
            k = k->kind(teil);
            if (!k) return nullptr;
        }
        return k;
    }
    QString wert(const QString& p) const
    {
        const Knoten* k = pfad(p);
        return k ? k->text.trimmed() : QString();
    }
    QString attribut(const QString& n) const { return attribute.value(n).toString().trimmed(); }
};

const Knoten* Pfad(const Knoten* k, const QString& p) { return k ? k->pfad(p) : nullptr; }
QString Wert(const Knoten* k, const QString& p) { return k ? k->wert(p) : QString(); }
std::vector<const Knoten*> Alle(const Knoten* k, QStringView n)
{
    return k ? k->alle(n) : std::vector<const Knoten*>();
}
Kennung KennungAus(const Knoten* k, const QString& schemaAttribut = QStringLiteral("schemeID"))
{
    if (!k) return {};
    return {k->text.trimmed(), k->attribut(schemaAttribut)};
}

struct Dokument {
    std::unique_ptr<Knoten> wurzel;
    QString ns;
};

// Whether a file that fails to parse was meant to be XML: it starts with a
// tag (after a byte order mark and blanks) or is UTF-16.
bool SiehtNachXmlAus(const QByteArray& xml)
{
    if (xml.startsWith("\xFF\xFE") || xml.startsWith("\xFE\xFF")) return true;
    int i = xml.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < xml.size() && std::isspace(static_cast<unsigned char>(xml[i]))) ++i;
    return i < xml.size() && xml[i] == '<';
}

Dokument Parse(const QByteArray& xml)
{
    // Refused before the parser sees the file: entity declarations live in a
    // document type declaration, and no invoice needs one.
    if (xml.contains("<!DOCTYPE") || xml.contains("<!ENTITY"))
        Refuse(QStringLiteral("Die XML-Datei enthält eine Dokumenttyp-Deklaration (DOCTYPE) oder Entitäten. "
                              "Solche Dateien werden aus Sicherheitsgründen nicht geöffnet."));
    QXmlStreamReader r(xml);
    r.setNamespaceProcessing(true);
    Dokument d;
    std::vector<Knoten*> stapel;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // A declaration in another encoding than the byte scan above sees.
            Refuse(QStringLiteral("Die XML-Datei enthält eine Dokumenttyp-Deklaration (DOCTYPE) oder Entitäten. "
                                  "Solche Dateien werden aus Sicherheitsgründen nicht geöffnet."));
        case QXmlStreamReader::StartElement: {
            if (int(stapel.size()) >= kGroessteTiefe)
                Refuse(QStringLiteral("Die XML-Datei ist zu tief verschachtelt und wird nicht geöffnet."));
            auto k = std::make_unique<Knoten>();
            k->name = r.name().toString();
            k->attribute = r.attributes();
            Knoten* roh = k.get();
            if (stapel.empty()) {
                d.ns = r.namespaceUri().toString();
                d.wurzel = std::move(k);
            } else {
                stapel.back()->kinder.push_back(std::move(k));
            }
            stapel.push_back(roh);
            break;
        }
        case QXmlStreamReader::EndElement:
            stapel.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!stapel.empty()) stapel.back()->text += r.text();
            break;
        default:
            break;
        }
    }
    if (r.hasError()) {
        if (!d.wurzel && !SiehtNachXmlAus(xml))
            Refuse(QStringLiteral("Die Datei ist weder eine XML-Datei noch eine PDF-Datei und kann nicht als "
                                  "E-Rechnung geöffnet werden."));
        Refuse(QStringLiteral("Die XML-Datei ist beschädigt (Zeile %1, Spalte %2) und kann nicht geöffnet werden.")
                   .arg(r.lineNumber())
                   .arg(r.columnNumber()));
    }
    if (!d.wurzel)
        Refuse(QStringLiteral("Die Datei ist weder eine XML-Datei noch eine PDF-Datei und kann nicht als "
                              "E-Rechnung geöffnet werden."));
    return d;
}

// --- values ----------------------------------------------------------------

std::optional<double> Zahl(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) return std::nullopt;
    return v;
}

QDate DatumCii(const Knoten* k)
{
    // udt:DateTimeString format 102 (CCYYMMDD); the qualified type of BT-26 too.
    if (!k) return {};
    const Knoten* s = k->kind(u"DateTimeString");
    const QString t = (s ? s->text : k->text).trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    if (!d.isValid()) d = QDate::fromString(t.left(10), Qt::ISODate);
    return d;
}

QDate DatumUbl(const QString& t) { return QDate::fromString(t.trimmed().left(10), Qt::ISODate); }

// Reads with a record of the mandatory terms that are missing.
class Leser {
public:
    QStringList fehlend;

    QString pflicht(const QString& wert, const QString& bezeichnung)
    {
        if (wert.isEmpty()) fehlend << bezeichnung;
        return wert;
    }
    QDate pflicht(const QDate& wert, const QString& bezeichnung)
    {
        if (!wert.isValid()) fehlend << bezeichnung;
        return wert;
    }
    double pflichtZahl(const Knoten* k, const QString& bezeichnung)
    {
        if (!k || k->text.trimmed().isEmpty()) {
            fehlend << bezeichnung;
            return 0;
        }
        const auto v = Zahl(k->text);
        if (!v) {
            fehlend << bezeichnung + QStringLiteral(" (kein gültiger Betrag: „%1“)").arg(k->text.trimmed());
            return 0;
        }
        return *v;
    }
    std::optional<double> kannZahl(const Knoten* k, const QString& bezeichnung)
    {
        if (!k || k->text.trimmed().isEmpty()) return std::nullopt;
        const auto v = Zahl(k->text);
        if (!v) fehlend << bezeichnung + QStringLiteral(" (kein gültiger Betrag: „%1“)").arg(k->text.trimmed());
        return v;
    }

    // Checks of both syntaxes, on the filled model.
    void pruefeGemeinsam(const ERechnung& r)
    {
        pflicht(r.verkaeufer.anschrift.land, QStringLiteral("BT-40 Land des Verkäufers"));
        pflicht(r.kaeufer.anschrift.land, QStringLiteral("BT-55 Land des Käufers"));
        if (r.ust.isEmpty()) fehlend << QStringLiteral("BG-23 Umsatzsteueraufschlüsselung");
        for (int i = 0; i < r.ust.size(); ++i)
            if (r.ust[i].kategorie.isEmpty())
                fehlend << QStringLiteral("BT-118 Steuerkategorie der Aufschlüsselung %1").arg(i + 1);
        if (r.positionen.isEmpty()) fehlend << QStringLiteral("BG-25 mindestens eine Rechnungsposition");
        for (int i = 0; i < r.positionen.size(); ++i) {
            const Position& p = r.positionen[i];
            const QString pos = QStringLiteral("Position %1: ").arg(i + 1);
            if (p.id.isEmpty()) fehlend << pos + QStringLiteral("BT-126 Positionsnummer");
            if (p.einheitCode.isEmpty()) fehlend << pos + QStringLiteral("BT-130 Mengeneinheit");
            if (p.ustKategorie.isEmpty()) fehlend << pos + QStringLiteral("BT-151 Steuerkategorie");
            if (p.name.isEmpty()) fehlend << pos + QStringLiteral("BT-153 Artikelname");
        }
        for (const ZuAbschlag& z : r.zuAbschlaege)
            if (z.ustKategorie.isEmpty())
                fehlend << (z.zuschlag ? QStringLiteral("BT-102 Steuerkategorie eines Zuschlags")
                                       : QStringLiteral("BT-95 Steuerkategorie eines Abschlags"));
        for (const Zahlungsanweisung& z : r.zahlungsanweisungen)
            if (z.artCode.isEmpty()) fehlend << QStringLiteral("BT-81 Zahlungsart");
    }
};

// --- CII -------------------------------------------------------------------

Anschrift CiiAnschrift(const Knoten* a)
{
    Anschrift r;
    if (!a) return r;
    r.zeile1 = a->wert(QStringLiteral("LineOne"));
    r.zeile2 = a->wert(QStringLiteral("LineTwo"));
    r.zeile3 = a->wert(QStringLiteral("LineThree"));
    r.ort = a->wert(QStringLiteral("CityName"));
    r.plz = a->wert(QStringLiteral("PostcodeCode"));
    r.region = a->wert(QStringLiteral("CountrySubDivisionName"));
    r.land = a->wert(QStringLiteral("CountryID"));
    return r;
}

Partei CiiPartei(const Knoten* p)
{
    Partei t;
    if (!p) return t;
    t.name = p->wert(QStringLiteral("Name"));
    for (const Knoten* k : p->alle(u"ID")) t.kennungen << KennungAus(k);
    for (const Knoten* k : p->alle(u"GlobalID")) t.kennungen << KennungAus(k);
    t.rechtlicheAngaben = p->wert(QStringLiteral("Description"));
    if (const Knoten* lo = p->kind(u"SpecifiedLegalOrganization")) {
        t.registernummer = KennungAus(lo->kind(u"ID"));
        t.handelsname = lo->wert(QStringLiteral("TradingBusinessName"));
    }
    if (const Knoten* c = p->kind(u"DefinedTradeContact")) {
        const QString person = c->wert(QStringLiteral("PersonName"));
        const QString abteilung = c->wert(QStringLiteral("DepartmentName"));
        t.kontakt.name = person.isEmpty() ? abteilung
                                          : (abteilung.isEmpty() ? person : person + QStringLiteral(", ") + abteilung);
        t.kontakt.telefon = c->wert(QStringLiteral("TelephoneUniversalCommunication/CompleteNumber"));
        t.kontakt.email = c->wert(QStringLiteral("EmailURIUniversalCommunication/URIID"));
    }
    t.anschrift = CiiAnschrift(p->kind(u"PostalTradeAddress"));
    t.elektronischeAdresse = KennungAus(p->pfad(QStringLiteral("URIUniversalCommunication/URIID")));
    for (const Knoten* s : p->alle(u"SpecifiedTaxRegistration")) {
        const Knoten* id = s->kind(u"ID");
        if (!id) continue;
        if (id->attribut(QStringLiteral("schemeID")) == QLatin1String("FC"))
            t.steuernummer = id->text.trimmed();
        else
            t.ustId = id->text.trimmed();
    }
    return t;
}

ZuAbschlag CiiZuAbschlag(const Knoten* z, Leser& l)
{
    ZuAbschlag a;
    a.zuschlag = Wert(z, QStringLiteral("ChargeIndicator/Indicator")).compare(QLatin1String("true"),
                                                                               Qt::CaseInsensitive) == 0;
    const QString art = a.zuschlag ? QStringLiteral("Zuschlag") : QStringLiteral("Abschlag");
    a.betrag = l.pflichtZahl(z->kind(u"ActualAmount"), QStringLiteral("Betrag eines %1s").arg(art));
    a.basis = l.kannZahl(z->kind(u"BasisAmount"), QStringLiteral("Grundbetrag eines %1s").arg(art));
    a.prozent = l.kannZahl(z->kind(u"CalculationPercent"), QStringLiteral("Prozentsatz eines %1s").arg(art));
    a.grund = z->wert(QStringLiteral("Reason"));
    a.grundCode = z->wert(QStringLiteral("ReasonCode"));
    if (const Knoten* s = z->kind(u"CategoryTradeTax")) {
        a.ustKategorie = s->wert(QStringLiteral("CategoryCode"));
        a.ustSatz = l.kannZahl(s->kind(u"RateApplicablePercent"), QStringLiteral("Steuersatz eines %1s").arg(art));
    }
    return a;
}

Zeitraum CiiZeitraum(const Knoten* z)
{
    Zeitraum r;
    if (!z) return r;
    r.von = DatumCii(z->kind(u"StartDateTime"));
    r.bis = DatumCii(z->kind(u"EndDateTime"));
    return r;
}

Position CiiPosition(const Knoten* k, Leser& l, int nr)
{
    Position p;
    const QString pos = QStringLiteral("Position %1: ").arg(nr);
    const Knoten* dok = k->kind(u"AssociatedDocumentLineDocument");
    p.id = Wert(dok, QStringLiteral("LineID"));
    for (const Knoten* n : Alle(dok, u"IncludedNote")) {
        const QString t = n->wert(QStringLiteral("Content"));
        if (!t.isEmpty()) p.notiz += (p.notiz.isEmpty() ? QString() : QStringLiteral("\n")) + t;
    }
    if (const Knoten* pr = k->kind(u"SpecifiedTradeProduct")) {
        p.standardKennung = KennungAus(pr->kind(u"GlobalID"));
        p.verkaeuferArtikelNr = pr->wert(QStringLiteral("SellerAssignedID"));
        p.kaeuferArtikelNr = pr->wert(QStringLiteral("BuyerAssignedID"));
        p.name = pr->wert(QStringLiteral("Name"));
        p.beschreibung = pr->wert(QStringLiteral("Description"));
        p.herkunftsland = pr->wert(QStringLiteral("OriginTradeCountry/ID"));
        for (const Knoten* e : pr->alle(u"ApplicableProductCharacteristic"))
            p.eigenschaften << Eigenschaft{e->wert(QStringLiteral("Description")), e->wert(QStringLiteral("Value"))};
        for (const Knoten* c : pr->alle(u"DesignatedProductClassification"))
            p.klassifikationen << KennungAus(c->kind(u"ClassCode"), QStringLiteral("listID"));
    }
    if (const Knoten* ag = k->kind(u"SpecifiedLineTradeAgreement")) {
        p.bestellpositionRef = ag->wert(QStringLiteral("BuyerOrderReferencedDocument/LineID"));
        if (const Knoten* g = ag->kind(u"GrossPriceProductTradePrice")) {
            p.bruttopreis = l.kannZahl(g->kind(u"ChargeAmount"), pos + QStringLiteral("BT-148 Bruttopreis"));
            p.preisnachlass = l.kannZahl(g->pfad(QStringLiteral("AppliedTradeAllowanceCharge/ActualAmount")),
                                         pos + QStringLiteral("BT-147 Preisnachlass"));
        }
        const Knoten* n = ag->kind(u"NetPriceProductTradePrice");
        p.nettopreis = l.pflichtZahl(Pfad(n, QStringLiteral("ChargeAmount")), pos + QStringLiteral("BT-146 Nettopreis"));
        if (const Knoten* b = Pfad(n, QStringLiteral("BasisQuantity"))) {
            p.basismenge = l.kannZahl(b, pos + QStringLiteral("BT-149 Basismenge"));
            p.basismengeEinheit = b->attribut(QStringLiteral("unitCode"));
        }
    }
    const Knoten* menge = k->pfad(QStringLiteral("SpecifiedLineTradeDelivery/BilledQuantity"));
    p.menge = l.pflichtZahl(menge, pos + QStringLiteral("BT-129 Menge"));
    if (menge) p.einheitCode = menge->attribut(QStringLiteral("unitCode"));
    const Knoten* st = k->kind(u"SpecifiedLineTradeSettlement");
    if (const Knoten* t = Pfad(st, QStringLiteral("ApplicableTradeTax"))) {
        p.ustKategorie = t->wert(QStringLiteral("CategoryCode"));
        p.ustSatz = l.kannZahl(t->kind(u"RateApplicablePercent"), pos + QStringLiteral("BT-152 Steuersatz"));
    }
    p.zeitraum = CiiZeitraum(Pfad(st, QStringLiteral("BillingSpecifiedPeriod")));
    for (const Knoten* z : Alle(st, u"SpecifiedTradeAllowanceCharge")) p.zuAbschlaege << CiiZuAbschlag(z, l);
    p.nettobetrag = l.pflichtZahl(Pfad(st, QStringLiteral("SpecifiedTradeSettlementLineMonetarySummation/LineTotalAmount")),
                                  pos + QStringLiteral("BT-131 Nettobetrag"));
    for (const Knoten* d : Alle(st, u"AdditionalReferencedDocument"))
        if (d->wert(QStringLiteral("TypeCode")) == QLatin1String("130"))
            p.objektKennung = d->wert(QStringLiteral("IssuerAssignedID"));
    p.buchungskonto = Wert(st, QStringLiteral("ReceivableSpecifiedTradeAccountingAccount/ID"));
    return p;
}

Eingang LiesCii(const Knoten* w)
{
    Leser l;
    Eingang e;
    e.syntax = QStringLiteral("UN/CEFACT CII");
    ERechnung& r = e.rechnung;
    r.artCode.clear();
    r.waehrung.clear();
    const Knoten* ctx = w->kind(u"ExchangedDocumentContext");
    r.prozess = Wert(ctx, QStringLiteral("BusinessProcessSpecifiedDocumentContextParameter/ID"));
    r.spezifikation = l.pflicht(Wert(ctx, QStringLiteral("GuidelineSpecifiedDocumentContextParameter/ID")),
                                QStringLiteral("BT-24 Spezifikationskennung"));
    const Knoten* dok = w->kind(u"ExchangedDocument");
    r.nummer = l.pflicht(Wert(dok, QStringLiteral("ID")), QStringLiteral("BT-1 Rechnungsnummer"));
    r.artCode = l.pflicht(Wert(dok, QStringLiteral("TypeCode")), QStringLiteral("BT-3 Rechnungsart"));
    r.datum = l.pflicht(DatumCii(Pfad(dok, QStringLiteral("IssueDateTime"))), QStringLiteral("BT-2 Rechnungsdatum"));
    for (const Knoten* n : Alle(dok, u"IncludedNote"))
        r.notizen << Notiz{n->wert(QStringLiteral("Content")), n->wert(QStringLiteral("SubjectCode"))};

    const Knoten* tx = w->kind(u"SupplyChainTradeTransaction");
    int nr = 0;
    for (const Knoten* k : Alle(tx, u"IncludedSupplyChainTradeLineItem")) r.positionen << CiiPosition(k, l, ++nr);

    const Knoten* ag = Pfad(tx, QStringLiteral("ApplicableHeaderTradeAgreement"));
    r.kaeuferreferenz = Wert(ag, QStringLiteral("BuyerReference"));
    r.verkaeufer = CiiPartei(Pfad(ag, QStringLiteral("SellerTradeParty")));
    r.kaeufer = CiiPartei(Pfad(ag, QStringLiteral("BuyerTradeParty")));
    if (const Knoten* v = Pfad(ag, QStringLiteral("SellerTaxRepresentativeTradeParty"))) {
        r.steuervertreter.name = v->wert(QStringLiteral("Name"));
        r.steuervertreter.ustId = v->wert(QStringLiteral("SpecifiedTaxRegistration/ID"));
        r.steuervertreter.anschrift = CiiAnschrift(v->kind(u"PostalTradeAddress"));
    }
    r.auftrag = Wert(ag, QStringLiteral("SellerOrderReferencedDocument/IssuerAssignedID"));
    r.bestellung = Wert(ag, QStringLiteral("BuyerOrderReferencedDocument/IssuerAssignedID"));
    r.vertrag = Wert(ag, QStringLiteral("ContractReferencedDocument/IssuerAssignedID"));
    r.projekt = Wert(ag, QStringLiteral("SpecifiedProcuringProject/ID"));
    const QString projektName = Wert(ag, QStringLiteral("SpecifiedProcuringProject/Name"));
    if (!projektName.isEmpty() && projektName != r.projekt)
        r.projekt = r.projekt.isEmpty() ? projektName : r.projekt + QStringLiteral(" (") + projektName + QLatin1Char(')');
    for (const Knoten* d : Alle(ag, u"AdditionalReferencedDocument")) {
        const QString typ = d->wert(QStringLiteral("TypeCode"));
        if (typ == QLatin1String("50")) {
            r.ausschreibung = d->wert(QStringLiteral("IssuerAssignedID"));
        } else if (typ == QLatin1String("130")) {
            r.objektKennung = {d->wert(QStringLiteral("IssuerAssignedID")), d->wert(QStringLiteral("ReferenceTypeCode"))};
        } else {
            Beleg b;
            b.kennung = d->wert(QStringLiteral("IssuerAssignedID"));
            b.beschreibung = d->wert(QStringLiteral("Name"));
            b.uri = d->wert(QStringLiteral("URIID"));
            if (const Knoten* a = d->kind(u"AttachmentBinaryObject")) b.dateiname = a->attribut(QStringLiteral("filename"));
            r.belege << b;
        }
    }

    const Knoten* lf = Pfad(tx, QStringLiteral("ApplicableHeaderTradeDelivery"));
    if (const Knoten* s = Pfad(lf, QStringLiteral("ShipToTradeParty"))) {
        r.lieferung.name = s->wert(QStringLiteral("Name"));
        r.lieferung.ortKennung = KennungAus(s->kind(u"ID"));
        if (r.lieferung.ortKennung.wert.isEmpty()) r.lieferung.ortKennung = KennungAus(s->kind(u"GlobalID"));
        r.lieferung.anschrift = CiiAnschrift(s->kind(u"PostalTradeAddress"));
    }
    r.lieferung.datum = DatumCii(Pfad(lf, QStringLiteral("ActualDeliverySupplyChainEvent/OccurrenceDateTime")));
    r.versandanzeige = Wert(lf, QStringLiteral("DespatchAdviceReferencedDocument/IssuerAssignedID"));
    r.wareneingang = Wert(lf, QStringLiteral("ReceivingAdviceReferencedDocument/IssuerAssignedID"));

    const Knoten* ab = Pfad(tx, QStringLiteral("ApplicableHeaderTradeSettlement"));
    const QString glaeubigerId = Wert(ab, QStringLiteral("CreditorReferenceID"));
    const QString verwendungszweck = Wert(ab, QStringLiteral("PaymentReference"));
    r.ustWaehrung = Wert(ab, QStringLiteral("TaxCurrencyCode"));
    r.waehrung = l.pflicht(Wert(ab, QStringLiteral("InvoiceCurrencyCode")), QStringLiteral("BT-5 Währung"));
    if (const Knoten* pe = Pfad(ab, QStringLiteral("PayeeTradeParty"))) {
        r.zahlungsempfaenger.name = pe->wert(QStringLiteral("Name"));
        r.zahlungsempfaenger.kennung = KennungAus(pe->kind(u"ID"));
        if (r.zahlungsempfaenger.kennung.wert.isEmpty())
            r.zahlungsempfaenger.kennung = KennungAus(pe->kind(u"GlobalID"));
        r.zahlungsempfaenger.registernummer = KennungAus(pe->pfad(QStringLiteral("SpecifiedLegalOrganization/ID")));
    }
    for (const Knoten* m : Alle(ab, u"SpecifiedTradeSettlementPaymentMeans")) {
        Zahlungsanweisung z;
        z.artCode = m->wert(QStringLiteral("TypeCode"));
        z.artText = m->wert(QStringLiteral("Information"));
        z.verwendungszweck = verwendungszweck;
        z.kartennummer = m->wert(QStringLiteral("ApplicableTradeSettlementFinancialCard/ID"));
        z.karteninhaber = m->wert(QStringLiteral("ApplicableTradeSettlementFinancialCard/CardholderName"));
        z.lastschriftIban = m->wert(QStringLiteral("PayerPartyDebtorFinancialAccount/IBANID"));
        z.iban = m->wert(QStringLiteral("PayeePartyCreditorFinancialAccount/IBANID"));
        if (z.iban.isEmpty()) z.iban = m->wert(QStringLiteral("PayeePartyCreditorFinancialAccount/ProprietaryID"));
        z.kontoname = m->wert(QStringLiteral("PayeePartyCreditorFinancialAccount/AccountName"));
        z.bic = m->wert(QStringLiteral("PayeeSpecifiedCreditorFinancialInstitution/BICID"));
        z.glaeubigerId = glaeubigerId;
        r.zahlungsanweisungen << z;
    }
    for (const Knoten* t : Alle(ab, u"ApplicableTradeTax")) {
        UStAufschluesselung u;
        u.steuerbetrag = l.pflichtZahl(t->kind(u"CalculatedAmount"), QStringLiteral("BT-117 Steuerbetrag"));
        u.basisbetrag = l.pflichtZahl(t->kind(u"BasisAmount"), QStringLiteral("BT-116 steuerpflichtiger Betrag"));
        u.kategorie = t->wert(QStringLiteral("CategoryCode"));
        u.satz = l.kannZahl(t->kind(u"RateApplicablePercent"), QStringLiteral("BT-119 Steuersatz"));
        u.befreiungsgrund = t->wert(QStringLiteral("ExemptionReason"));
        u.befreiungsgrundCode = t->wert(QStringLiteral("ExemptionReasonCode"));
        if (!r.steuerdatum.isValid()) r.steuerdatum = DatumCii(t->kind(u"TaxPointDate"));
        if (r.steuerdatumCode.isEmpty()) r.steuerdatumCode = t->wert(QStringLiteral("DueDateTypeCode"));
        r.ust << u;
    }
    r.zeitraum = CiiZeitraum(Pfad(ab, QStringLiteral("BillingSpecifiedPeriod")));
    for (const Knoten* z : Alle(ab, u"SpecifiedTradeAllowanceCharge")) r.zuAbschlaege << CiiZuAbschlag(z, l);
    QStringList bedingungen;
    for (const Knoten* b : Alle(ab, u"SpecifiedTradePaymentTerms")) {
        const QString text = b->wert(QStringLiteral("Description"));
        if (!text.isEmpty()) bedingungen << text;
        if (!r.faelligkeit.isValid()) r.faelligkeit = DatumCii(b->kind(u"DueDateDateTime"));
        const QString mandat = b->wert(QStringLiteral("DirectDebitMandateID"));
        if (!mandat.isEmpty()) {
            // The mandate belongs to the direct debit; in this syntax it
            // stands with the terms.
            if (r.zahlungsanweisungen.isEmpty()) r.zahlungsanweisungen << Zahlungsanweisung{};
            for (Zahlungsanweisung& z : r.zahlungsanweisungen) z.mandat = mandat;
        }
    }
    r.zahlungsbedingungen = bedingungen.join(QLatin1Char('\n'));
    const Knoten* s = Pfad(ab, QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"));
    Summen& su = r.summen;
    su.summePositionen = l.pflichtZahl(Pfad(s, QStringLiteral("LineTotalAmount")), QStringLiteral("BT-106 Summe der Positionen"));
    su.summeZuschlaege = l.kannZahl(Pfad(s, QStringLiteral("ChargeTotalAmount")), QStringLiteral("BT-108 Summe der Zuschläge"));
    su.summeAbschlaege = l.kannZahl(Pfad(s, QStringLiteral("AllowanceTotalAmount")), QStringLiteral("BT-107 Summe der Abschläge"));
    su.gesamtNetto = l.pflichtZahl(Pfad(s, QStringLiteral("TaxBasisTotalAmount")),
                                   QStringLiteral("BT-109 Gesamtbetrag ohne Umsatzsteuer"));
    for (const Knoten* t : Alle(s, u"TaxTotalAmount")) {
        const QString w = t->attribut(QStringLiteral("currencyID"));
        if (!r.ustWaehrung.isEmpty() && w == r.ustWaehrung && r.ustWaehrung != r.waehrung)
            su.gesamtUStBuchungswaehrung = l.kannZahl(t, QStringLiteral("BT-111 Umsatzsteuer in Buchungswährung"));
        else
            su.gesamtUSt = l.kannZahl(t, QStringLiteral("BT-110 Summe der Umsatzsteuer"));
    }
    su.rundung = l.kannZahl(Pfad(s, QStringLiteral("RoundingAmount")), QStringLiteral("BT-114 Rundungsbetrag"));
    su.gesamtBrutto = l.pflichtZahl(Pfad(s, QStringLiteral("GrandTotalAmount")),
                                    QStringLiteral("BT-112 Gesamtbetrag mit Umsatzsteuer"));
    su.vorausbezahlt = l.kannZahl(Pfad(s, QStringLiteral("TotalPrepaidAmount")), QStringLiteral("BT-113 vorausbezahlter Betrag"));
    su.faellig = l.pflichtZahl(Pfad(s, QStringLiteral("DuePayableAmount")), QStringLiteral("BT-115 Zahlbetrag"));
    if (const Knoten* v = Pfad(ab, QStringLiteral("InvoiceReferencedDocument"))) {
        r.vorherigeRechnung = v->wert(QStringLiteral("IssuerAssignedID"));
        r.vorherigeRechnungDatum = DatumCii(v->kind(u"FormattedIssueDateTime"));
    }
    r.buchungsreferenz = Wert(ab, QStringLiteral("ReceivableSpecifiedTradeAccountingAccount/ID"));

    l.pflicht(r.verkaeufer.name, QStringLiteral("BT-27 Name des Verkäufers"));
    l.pflicht(r.kaeufer.name, QStringLiteral("BT-44 Name des Käufers"));
    l.pruefeGemeinsam(r);
    e.fehlend = l.fehlend;
    return e;
}

// --- UBL -------------------------------------------------------------------

Anschrift UblAnschrift(const Knoten* a)
{
    Anschrift r;
    if (!a) return r;
    r.zeile1 = a->wert(QStringLiteral("StreetName"));
    r.zeile2 = a->wert(QStringLiteral("AdditionalStreetName"));
    r.zeile3 = a->wert(QStringLiteral("AddressLine/Line"));
    r.ort = a->wert(QStringLiteral("CityName"));
    r.plz = a->wert(QStringLiteral("PostalZone"));
    r.region = a->wert(QStringLiteral("CountrySubentity"));
    r.land = a->wert(QStringLiteral("Country/IdentificationCode"));
    return r;
}

Partei UblPartei(const Knoten* p)
{
    Partei t;
    if (!p) return t;
    t.elektronischeAdresse = KennungAus(p->kind(u"EndpointID"));
    for (const Knoten* k : p->alle(u"PartyIdentification")) t.kennungen << KennungAus(k->kind(u"ID"));
    t.handelsname = p->wert(QStringLiteral("PartyName/Name"));
    t.anschrift = UblAnschrift(p->kind(u"PostalAddress"));
    for (const Knoten* s : p->alle(u"PartyTaxScheme")) {
        const QString id = s->wert(QStringLiteral("CompanyID"));
        if (s->wert(QStringLiteral("TaxScheme/ID")).compare(QLatin1String("VAT"), Qt::CaseInsensitive) == 0)
            t.ustId = id;
        else
            t.steuernummer = id;
    }
    if (const Knoten* le = p->kind(u"PartyLegalEntity")) {
        t.name = le->wert(QStringLiteral("RegistrationName"));
        t.registernummer = KennungAus(le->kind(u"CompanyID"));
        t.rechtlicheAngaben = le->wert(QStringLiteral("CompanyLegalForm"));
    }
    if (const Knoten* c = p->kind(u"Contact")) {
        t.kontakt.name = c->wert(QStringLiteral("Name"));
        t.kontakt.telefon = c->wert(QStringLiteral("Telephone"));
        t.kontakt.email = c->wert(QStringLiteral("ElectronicMail"));
    }
    return t;
}

ZuAbschlag UblZuAbschlag(const Knoten* z, Leser& l)
{
    ZuAbschlag a;
    a.zuschlag = z->wert(QStringLiteral("ChargeIndicator")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    const QString art = a.zuschlag ? QStringLiteral("Zuschlag") : QStringLiteral("Abschlag");
    a.betrag = l.pflichtZahl(z->kind(u"Amount"), QStringLiteral("Betrag eines %1s").arg(art));
    a.basis = l.kannZahl(z->kind(u"BaseAmount"), QStringLiteral("Grundbetrag eines %1s").arg(art));
    a.prozent = l.kannZahl(z->kind(u"MultiplierFactorNumeric"), QStringLiteral("Prozentsatz eines %1s").arg(art));
    a.grund = z->wert(QStringLiteral("AllowanceChargeReason"));
    a.grundCode = z->wert(QStringLiteral("AllowanceChargeReasonCode"));
    if (const Knoten* s = z->kind(u"TaxCategory")) {
        a.ustKategorie = s->wert(QStringLiteral("ID"));
        a.ustSatz = l.kannZahl(s->kind(u"Percent"), QStringLiteral("Steuersatz eines %1s").arg(art));
    }
    return a;
}

Zeitraum UblZeitraum(const Knoten* z)
{
    Zeitraum r;
    if (!z) return r;
    r.von = DatumUbl(z->wert(QStringLiteral("StartDate")));
    r.bis = DatumUbl(z->wert(QStringLiteral("EndDate")));
    return r;
}

Position UblPosition(const Knoten* k, bool gutschrift, Leser& l, int nr)
{
    Position p;
    const QString pos = QStringLiteral("Position %1: ").arg(nr);
    p.id = k->wert(QStringLiteral("ID"));
    QStringList notizen;
    for (const Knoten* n : k->alle(u"Note")) notizen << n->text.trimmed();
    p.notiz = notizen.join(QLatin1Char('\n'));
    const Knoten* menge = k->kind(gutschrift ? u"CreditedQuantity" : u"InvoicedQuantity");
    p.menge = l.pflichtZahl(menge, pos + QStringLiteral("BT-129 Menge"));
    if (menge) p.einheitCode = menge->attribut(QStringLiteral("unitCode"));
    p.nettobetrag = l.pflichtZahl(k->kind(u"LineExtensionAmount"), pos + QStringLiteral("BT-131 Nettobetrag"));
    p.buchungskonto = k->wert(QStringLiteral("AccountingCost"));
    p.zeitraum = UblZeitraum(k->kind(u"InvoicePeriod"));
    p.bestellpositionRef = k->wert(QStringLiteral("OrderLineReference/LineID"));
    p.objektKennung = k->wert(QStringLiteral("DocumentReference/ID"));
    for (const Knoten* z : k->alle(u"AllowanceCharge")) p.zuAbschlaege << UblZuAbschlag(z, l);
    if (const Knoten* it = k->kind(u"Item")) {
        p.beschreibung = it->wert(QStringLiteral("Description"));
        p.name = it->wert(QStringLiteral("Name"));
        p.kaeuferArtikelNr = it->wert(QStringLiteral("BuyersItemIdentification/ID"));
        p.verkaeuferArtikelNr = it->wert(QStringLiteral("SellersItemIdentification/ID"));
        p.standardKennung = KennungAus(it->pfad(QStringLiteral("StandardItemIdentification/ID")));
        p.herkunftsland = it->wert(QStringLiteral("OriginCountry/IdentificationCode"));
        for (const Knoten* c : it->alle(u"CommodityClassification"))
            p.klassifikationen << KennungAus(c->kind(u"ItemClassificationCode"), QStringLiteral("listID"));
        if (const Knoten* s = it->kind(u"ClassifiedTaxCategory")) {
            p.ustKategorie = s->wert(QStringLiteral("ID"));
            p.ustSatz = l.kannZahl(s->kind(u"Percent"), pos + QStringLiteral("BT-152 Steuersatz"));
        }
        for (const Knoten* e : it->alle(u"AdditionalItemProperty"))
            p.eigenschaften << Eigenschaft{e->wert(QStringLiteral("Name")), e->wert(QStringLiteral("Value"))};
    }
    const Knoten* preis = k->kind(u"Price");
    p.nettopreis = l.pflichtZahl(Pfad(preis, QStringLiteral("PriceAmount")), pos + QStringLiteral("BT-146 Nettopreis"));
    if (const Knoten* b = Pfad(preis, QStringLiteral("BaseQuantity"))) {
        p.basismenge = l.kannZahl(b, pos + QStringLiteral("BT-149 Basismenge"));
        p.basismengeEinheit = b->attribut(QStringLiteral("unitCode"));
    }
    if (const Knoten* z = Pfad(preis, QStringLiteral("AllowanceCharge"))) {
        p.preisnachlass = l.kannZahl(z->kind(u"Amount"), pos + QStringLiteral("BT-147 Preisnachlass"));
        p.bruttopreis = l.kannZahl(z->kind(u"BaseAmount"), pos + QStringLiteral("BT-148 Bruttopreis"));
    }
    return p;
}

Eingang LiesUbl(const Knoten* w, bool gutschrift)
{
    Leser l;
    Eingang e;
    e.syntax = gutschrift ? QStringLiteral("UBL CreditNote") : QStringLiteral("UBL Invoice");
    ERechnung& r = e.rechnung;
    r.spezifikation = l.pflicht(w->wert(QStringLiteral("CustomizationID")), QStringLiteral("BT-24 Spezifikationskennung"));
    r.prozess = w->wert(QStringLiteral("ProfileID"));
    r.nummer = l.pflicht(w->wert(QStringLiteral("ID")), QStringLiteral("BT-1 Rechnungsnummer"));
    r.datum = l.pflicht(DatumUbl(w->wert(QStringLiteral("IssueDate"))), QStringLiteral("BT-2 Rechnungsdatum"));
    r.faelligkeit = DatumUbl(w->wert(QStringLiteral("DueDate")));
    r.artCode = l.pflicht(w->wert(gutschrift ? QStringLiteral("CreditNoteTypeCode") : QStringLiteral("InvoiceTypeCode")),
                          QStringLiteral("BT-3 Rechnungsart"));
    static const QRegularExpression betreff(QStringLiteral("^#([A-Z]{3})#(.*)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    for (const Knoten* n : w->alle(u"Note")) {
        const QString t = n->text.trimmed();
        const auto m = betreff.match(t);
        r.notizen << (m.hasMatch() ? Notiz{m.captured(2).trimmed(), m.captured(1)} : Notiz{t, QString()});
    }
    r.steuerdatum = DatumUbl(w->wert(QStringLiteral("TaxPointDate")));
    r.waehrung = l.pflicht(w->wert(QStringLiteral("DocumentCurrencyCode")), QStringLiteral("BT-5 Währung"));
    r.ustWaehrung = w->wert(QStringLiteral("TaxCurrencyCode"));
    r.buchungsreferenz = w->wert(QStringLiteral("AccountingCost"));
    r.kaeuferreferenz = w->wert(QStringLiteral("BuyerReference"));
    if (const Knoten* z = w->kind(u"InvoicePeriod")) {
        r.zeitraum = UblZeitraum(z);
        r.steuerdatumCode = z->wert(QStringLiteral("DescriptionCode"));
    }
    r.bestellung = w->wert(QStringLiteral("OrderReference/ID"));
    r.auftrag = w->wert(QStringLiteral("OrderReference/SalesOrderID"));
    if (const Knoten* v = w->pfad(QStringLiteral("BillingReference/InvoiceDocumentReference"))) {
        r.vorherigeRechnung = v->wert(QStringLiteral("ID"));
        r.vorherigeRechnungDatum = DatumUbl(v->wert(QStringLiteral("IssueDate")));
    }
    r.versandanzeige = w->wert(QStringLiteral("DespatchDocumentReference/ID"));
    r.wareneingang = w->wert(QStringLiteral("ReceiptDocumentReference/ID"));
    r.ausschreibung = w->wert(QStringLiteral("OriginatorDocumentReference/ID"));
    r.vertrag = w->wert(QStringLiteral("ContractDocumentReference/ID"));
    r.projekt = w->wert(QStringLiteral("ProjectReference/ID"));
    for (const Knoten* d : w->alle(u"AdditionalDocumentReference")) {
        if (d->wert(QStringLiteral("DocumentTypeCode")) == QLatin1String("130")) {
            r.objektKennung = KennungAus(d->kind(u"ID"));
            continue;
        }
        Beleg b;
        b.kennung = d->wert(QStringLiteral("ID"));
        b.beschreibung = d->wert(QStringLiteral("DocumentDescription"));
        b.uri = d->wert(QStringLiteral("Attachment/ExternalReference/URI"));
        if (const Knoten* a = d->pfad(QStringLiteral("Attachment/EmbeddedDocumentBinaryObject")))
            b.dateiname = a->attribut(QStringLiteral("filename"));
        r.belege << b;
    }
    r.verkaeufer = UblPartei(w->pfad(QStringLiteral("AccountingSupplierParty/Party")));
    r.kaeufer = UblPartei(w->pfad(QStringLiteral("AccountingCustomerParty/Party")));
    if (const Knoten* pe = w->kind(u"PayeeParty")) {
        r.zahlungsempfaenger.name = pe->wert(QStringLiteral("PartyName/Name"));
        r.zahlungsempfaenger.kennung = KennungAus(pe->pfad(QStringLiteral("PartyIdentification/ID")));
        r.zahlungsempfaenger.registernummer = KennungAus(pe->pfad(QStringLiteral("PartyLegalEntity/CompanyID")));
    }
    if (const Knoten* v = w->kind(u"TaxRepresentativeParty")) {
        r.steuervertreter.name = v->wert(QStringLiteral("PartyName/Name"));
        r.steuervertreter.ustId = v->wert(QStringLiteral("PartyTaxScheme/CompanyID"));
        r.steuervertreter.anschrift = UblAnschrift(v->kind(u"PostalAddress"));
    }
    if (const Knoten* d = w->kind(u"Delivery")) {
        r.lieferung.datum = DatumUbl(d->wert(QStringLiteral("ActualDeliveryDate")));
        r.lieferung.ortKennung = KennungAus(d->pfad(QStringLiteral("DeliveryLocation/ID")));
        r.lieferung.anschrift = UblAnschrift(d->pfad(QStringLiteral("DeliveryLocation/Address")));
        r.lieferung.name = d->wert(QStringLiteral("DeliveryParty/PartyName/Name"));
    }
    for (const Knoten* m : w->alle(u"PaymentMeans")) {
        Zahlungsanweisung z;
        const Knoten* code = m->kind(u"PaymentMeansCode");
        z.artCode = code ? code->text.trimmed() : QString();
        z.artText = code ? code->attribut(QStringLiteral("name")) : QString();
        z.verwendungszweck = m->wert(QStringLiteral("PaymentID"));
        z.kartennummer = m->wert(QStringLiteral("CardAccount/PrimaryAccountNumberID"));
        z.karteninhaber = m->wert(QStringLiteral("CardAccount/HolderName"));
        z.iban = m->wert(QStringLiteral("PayeeFinancialAccount/ID"));
        z.kontoname = m->wert(QStringLiteral("PayeeFinancialAccount/Name"));
        z.bic = m->wert(QStringLiteral("PayeeFinancialAccount/FinancialInstitutionBranch/ID"));
        z.mandat = m->wert(QStringLiteral("PaymentMandate/ID"));
        z.lastschriftIban = m->wert(QStringLiteral("PaymentMandate/PayerFinancialAccount/ID"));
        if (!r.faelligkeit.isValid()) r.faelligkeit = DatumUbl(m->wert(QStringLiteral("PaymentDueDate")));
        r.zahlungsanweisungen << z;
    }
    QStringList bedingungen;
    for (const Knoten* b : w->alle(u"PaymentTerms")) {
        const QString t = b->wert(QStringLiteral("Note"));
        if (!t.isEmpty()) bedingungen << t;
    }
    r.zahlungsbedingungen = bedingungen.join(QLatin1Char('\n'));
    for (const Knoten* z : w->alle(u"AllowanceCharge")) r.zuAbschlaege << UblZuAbschlag(z, l);
    for (const Knoten* tt : w->alle(u"TaxTotal")) {
        const Knoten* betrag = tt->kind(u"TaxAmount");
        const QString wae = betrag ? betrag->attribut(QStringLiteral("currencyID")) : QString();
        if (!r.ustWaehrung.isEmpty() && wae == r.ustWaehrung && r.ustWaehrung != r.waehrung) {
            r.summen.gesamtUStBuchungswaehrung = l.kannZahl(betrag, QStringLiteral("BT-111 Umsatzsteuer in Buchungswährung"));
            continue;
        }
        r.summen.gesamtUSt = l.kannZahl(betrag, QStringLiteral("BT-110 Summe der Umsatzsteuer"));
        for (const Knoten* s : tt->alle(u"TaxSubtotal")) {
            UStAufschluesselung u;
            u.basisbetrag = l.pflichtZahl(s->kind(u"TaxableAmount"), QStringLiteral("BT-116 steuerpflichtiger Betrag"));
            u.steuerbetrag = l.pflichtZahl(s->kind(u"TaxAmount"), QStringLiteral("BT-117 Steuerbetrag"));
            const Knoten* k = s->kind(u"TaxCategory");
            u.kategorie = Wert(k, QStringLiteral("ID"));
            u.satz = l.kannZahl(Pfad(k, QStringLiteral("Percent")), QStringLiteral("BT-119 Steuersatz"));
            u.befreiungsgrund = Wert(k, QStringLiteral("TaxExemptionReason"));
            u.befreiungsgrundCode = Wert(k, QStringLiteral("TaxExemptionReasonCode"));
            r.ust << u;
        }
    }
    const Knoten* s = w->kind(u"LegalMonetaryTotal");
    Summen& su = r.summen;
    su.summePositionen = l.pflichtZahl(Pfad(s, QStringLiteral("LineExtensionAmount")),
                                       QStringLiteral("BT-106 Summe der Positionen"));
    su.gesamtNetto = l.pflichtZahl(Pfad(s, QStringLiteral("TaxExclusiveAmount")),
                                   QStringLiteral("BT-109 Gesamtbetrag ohne Umsatzsteuer"));
    su.gesamtBrutto = l.pflichtZahl(Pfad(s, QStringLiteral("TaxInclusiveAmount")),
                                    QStringLiteral("BT-112 Gesamtbetrag mit Umsatzsteuer"));
    su.summeAbschlaege = l.kannZahl(Pfad(s, QStringLiteral("AllowanceTotalAmount")), QStringLiteral("BT-107 Summe der Abschläge"));
    su.summeZuschlaege = l.kannZahl(Pfad(s, QStringLiteral("ChargeTotalAmount")), QStringLiteral("BT-108 Summe der Zuschläge"));
    su.vorausbezahlt = l.kannZahl(Pfad(s, QStringLiteral("PrepaidAmount")), QStringLiteral("BT-113 vorausbezahlter Betrag"));
    su.rundung = l.kannZahl(Pfad(s, QStringLiteral("PayableRoundingAmount")), QStringLiteral("BT-114 Rundungsbetrag"));
    su.faellig = l.pflichtZahl(Pfad(s, QStringLiteral("PayableAmount")), QStringLiteral("BT-115 Zahlbetrag"));

    int nr = 0;
    for (const Knoten* k : w->alle(gutschrift ? u"CreditNoteLine" : u"InvoiceLine"))
        r.positionen << UblPosition(k, gutschrift, l, ++nr);

    l.pflicht(r.verkaeufer.name, QStringLiteral("BT-27 Name des Verkäufers"));
    l.pflicht(r.kaeufer.name, QStringLiteral("BT-44 Name des Käufers"));
    l.pruefeGemeinsam(r);
    e.fehlend = l.fehlend;
    return e;
}

// --- PDF -------------------------------------------------------------------

// Collects a decoded stream and stops at the size limit, so that a small
// compressed stream cannot unpack into gigabytes.
class Begrenzt : public Pipeline {
public:
    explicit Begrenzt(QByteArray& ziel) : Pipeline("eingebettete Rechnung", nullptr), m_ziel(ziel) {}
    void write(unsigned char const* daten, size_t laenge) override
    {
        if (qint64(m_ziel.size()) + qint64(laenge) > kGroessteEingangsdatei) throw ZuGross();
        m_ziel.append(reinterpret_cast<const char*>(daten), qsizetype(laenge));
    }
    void finish() override {}
    struct ZuGross {};

private:
    QByteArray& m_ziel;
};

bool IstRechnungsanhang(const QString& name)
{
    const QString n = name.trimmed().toLower();
    return n == QLatin1String("factur-x.xml") || n == QLatin1String("zugferd-invoice.xml") ||
           n == QLatin1String("xrechnung.xml");
}

bool IstPdf(const QByteArray& kopf) { return kopf.left(1024).contains("%PDF-"); }

}  // namespace

QByteArray EingebettetesXml(const QByteArray& pdfDaten, QString* dateiname)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    try {
        pdf.processMemoryFile("E-Rechnung", pdfDaten.constData(), size_t(pdfDaten.size()));
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            Refuse(QStringLiteral("Die PDF-Datei ist mit einem Kennwort geschützt und kann nicht geöffnet werden."));
        Refuse(QStringLiteral("Die PDF-Datei ist beschädigt und kann nicht gelesen werden."));
    } catch (const std::exception&) {
        Refuse(QStringLiteral("Die PDF-Datei ist beschädigt und kann nicht gelesen werden."));
    }
    try {
        QPDFEmbeddedFileDocumentHelper anhaenge(pdf);
        for (const auto& [schluessel, datei] : anhaenge.getEmbeddedFiles()) {
            const QString name = QString::fromStdString(datei->getFilename());
            if (!IstRechnungsanhang(name) && !IstRechnungsanhang(QString::fromStdString(schluessel))) continue;
            QByteArray xml;
            Begrenzt ziel(xml);
            bool ok = false;
            try {
                ok = datei->getEmbeddedFileStream().pipeStreamData(&ziel, 0, qpdf_dl_generalized,
                                                                                     true);
            } catch (const Begrenzt::ZuGross&) {
                Refuse(QStringLiteral("Die in der PDF-Datei eingebettete Rechnung ist größer als %1 und wird nicht "
                                      "geöffnet.")
                           .arg(GroesseText(kGroessteEingangsdatei)));
            }
            if (!ok) Refuse(QStringLiteral("Die in der PDF-Datei eingebettete Rechnung ist beschädigt."));
            if (dateiname) *dateiname = name.isEmpty() ? QString::fromStdString(schluessel) : name;
            return xml;
        }
    } catch (const data::Fehler&) {
        throw;
    } catch (const std::exception&) {
        Refuse(QStringLiteral("Die PDF-Datei ist beschädigt und kann nicht gelesen werden."));
    }
    Refuse(QStringLiteral("Die PDF-Datei enthält keine E-Rechnung (keine eingebettete Datei factur-x.xml, "
                          "zugferd-invoice.xml oder xrechnung.xml)."));
}

Eingang LiesEingangXml(const QByteArray& xml)
{
    const Dokument d = Parse(xml);
    const Knoten* w = d.wurzel.get();
    if (d.ns == kNsCii && w->name == QLatin1String("CrossIndustryInvoice")) return LiesCii(w);
    if (d.ns == kNsUblRechnung && w->name == QLatin1String("Invoice")) return LiesUbl(w, false);
    if (d.ns == kNsUblGutschrift && w->name == QLatin1String("CreditNote")) return LiesUbl(w, true);
    Refuse(QStringLiteral("Die XML-Datei ist keine E-Rechnung. Geöffnet werden Rechnungen in UN/CEFACT CII "
                          "(XRechnung, ZUGFeRD) und UBL 2.1 (Invoice, CreditNote); diese Datei enthält „%1“.")
               .arg(d.ns.isEmpty() ? w->name : QStringLiteral("%1 (%2)").arg(w->name, d.ns)));
}

Eingang LiesEingang(const QString& pfad)
{
    const QFileInfo info(pfad);
    const QString name = info.fileName();
    if (!info.exists()) Refuse(QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(name));
    if (info.size() > kGroessteEingangsdatei)
        Refuse(QStringLiteral("Die Datei „%1“ ist %2 groß. E-Rechnungen werden nur bis %3 geöffnet.")
                   .arg(name, GroesseText(info.size()), GroesseText(kGroessteEingangsdatei)));
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        Refuse(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2").arg(name, datei.errorString()));
    // Read no more than one byte past the limit, whatever the file claims.
    const QByteArray inhalt = datei.read(kGroessteEingangsdatei + 1);
    if (inhalt.size() > kGroessteEingangsdatei)
        Refuse(QStringLiteral("Die Datei „%1“ ist größer als %2. E-Rechnungen werden nur bis %2 geöffnet.")
                   .arg(name, GroesseText(kGroessteEingangsdatei)));
    if (inhalt.isEmpty()) Refuse(QStringLiteral("Die Datei „%1“ ist leer.").arg(name));
    if (IstPdf(inhalt)) {
        QString anhang;
        const QByteArray xml = EingebettetesXml(inhalt, &anhang);
        Eingang e = LiesEingangXml(xml);
        e.quelle = QStringLiteral("PDF-Datei mit eingebetteter %1").arg(anhang);
        return e;
    }
    Eingang e = LiesEingangXml(inhalt);
    e.quelle = QStringLiteral("XML-Datei");
    return e;
}

}  // namespace einvoice
