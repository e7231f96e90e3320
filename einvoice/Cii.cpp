#include "einvoice/Cii.h"

#include "einvoice/ERechnung.h"

#include <QBuffer>
#include <QXmlStreamWriter>
#include <cmath>

namespace einvoice {

namespace {

const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");

class Schreiber {
public:
    explicit Schreiber(QXmlStreamWriter& w) : x(w) {}

    void start(const char* name) { x.writeStartElement(kRam, QLatin1String(name)); }
    void ende() { x.writeEndElement(); }
    void text(const char* name, const QString& wert)
    {
        if (!wert.isEmpty()) x.writeTextElement(kRam, QLatin1String(name), wert);
    }
    void textMitSchema(const char* name, const Kennung& k)
    {
        if (k.wert.isEmpty()) return;
        start(name);
        if (!k.schema.isEmpty()) x.writeAttribute(QStringLiteral("schemeID"), k.schema);
        x.writeCharacters(k.wert);
        ende();
    }
    void betrag(const char* name, double wert, const QString& waehrung = QString())
    {
        start(name);
        if (!waehrung.isEmpty()) x.writeAttribute(QStringLiteral("currencyID"), waehrung);
        x.writeCharacters(Betrag(wert));
        ende();
    }
    void datum(const char* name, const QDate& d)
    {
        if (!d.isValid()) return;
        start(name);
        x.writeStartElement(kUdt, QStringLiteral("DateTimeString"));
        x.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
        x.writeCharacters(d.toString(QStringLiteral("yyyyMMdd")));
        x.writeEndElement();
        ende();
    }
    void id(const char* huelle, const QString& wert)
    {
        if (wert.isEmpty()) return;
        start(huelle);
        text("ID", wert);
        ende();
    }

    void anschrift(const Anschrift& a)
    {
        start("PostalTradeAddress");
        text("PostcodeCode", a.plz);
        text("LineOne", a.zeile1);
        text("LineTwo", a.zeile2);
        text("LineThree", a.zeile3);
        text("CityName", a.ort);
        text("CountryID", a.land);
        text("CountrySubDivisionName", a.region);
        ende();
    }

    void kontakt(const Kontakt& k)
    {
        if (k.name.isEmpty() && k.telefon.isEmpty() && k.email.isEmpty()) return;
        start("DefinedTradeContact");
        text("PersonName", k.name);
        if (!k.telefon.isEmpty()) {
            start("TelephoneUniversalCommunication");
            text("CompleteNumber", k.telefon);
            ende();
        }
        if (!k.email.isEmpty()) {
            start("EmailURIUniversalCommunication");
            text("URIID", k.email);
            ende();
        }
        ende();
    }

    void partei(const char* name, const Partei& p)
    {
        start(name);
        for (const Kennung& k : p.kennungen) {
            if (k.schema.isEmpty())
                text("ID", k.wert);
            else
                textMitSchema("GlobalID", k);
        }
        text("Name", p.name);
        text("Description", p.rechtlicheAngaben);
        if (!p.registernummer.wert.isEmpty() || !p.handelsname.isEmpty()) {
            start("SpecifiedLegalOrganization");
            textMitSchema("ID", p.registernummer);
            text("TradingBusinessName", p.handelsname);
            ende();
        }
        kontakt(p.kontakt);
        anschrift(p.anschrift);
        if (!p.elektronischeAdresse.wert.isEmpty()) {
            start("URIUniversalCommunication");
            textMitSchema("URIID", p.elektronischeAdresse);
            ende();
        }
        if (!p.ustId.isEmpty()) {
            start("SpecifiedTaxRegistration");
            textMitSchema("ID", {p.ustId, QStringLiteral("VA")});
            ende();
        }
        if (!p.steuernummer.isEmpty()) {
            start("SpecifiedTaxRegistration");
            textMitSchema("ID", {p.steuernummer, QStringLiteral("FC")});
            ende();
        }
        ende();
    }

    void steuer(const QString& kategorie, const std::optional<double>& satz)
    {
        start("ApplicableTradeTax");
        text("TypeCode", QStringLiteral("VAT"));
        text("CategoryCode", kategorie);
        if (satz) text("RateApplicablePercent", Dezimal(*satz));
        ende();
    }

    void zuAbschlag(const ZuAbschlag& z, bool kopf, const QString& waehrung)
    {
        Q_UNUSED(waehrung);
        start("SpecifiedTradeAllowanceCharge");
        x.writeStartElement(kRam, QStringLiteral("ChargeIndicator"));
        x.writeTextElement(kUdt, QStringLiteral("Indicator"), z.zuschlag ? QStringLiteral("true") : QStringLiteral("false"));
        x.writeEndElement();
        if (z.prozent) text("CalculationPercent", Dezimal(*z.prozent));
        if (z.basis) betrag("BasisAmount", *z.basis);
        betrag("ActualAmount", z.betrag);
        text("ReasonCode", z.grundCode);
        text("Reason", z.grund);
        if (kopf) steuer(z.ustKategorie, z.ustSatz);
        ende();
    }

    void position(const Position& p, const QString& waehrung)
    {
        x.writeStartElement(kRam, QStringLiteral("IncludedSupplyChainTradeLineItem"));
        start("AssociatedDocumentLineDocument");
        text("LineID", p.id);
        if (!p.notiz.isEmpty()) {
            start("IncludedNote");
            text("Content", p.notiz);
            ende();
        }
        ende();

        start("SpecifiedTradeProduct");
        textMitSchema("GlobalID", p.standardKennung);
        text("SellerAssignedID", p.verkaeuferArtikelNr);
        text("BuyerAssignedID", p.kaeuferArtikelNr);
        text("Name", p.name);
        text("Description", p.beschreibung);
        if (!p.herkunftsland.isEmpty()) {
            start("OriginTradeCountry");
            text("ID", p.herkunftsland);
            ende();
        }
        ende();

        start("SpecifiedLineTradeAgreement");
        if (!p.bestellpositionRef.isEmpty()) {
            start("BuyerOrderReferencedDocument");
            text("LineID", p.bestellpositionRef);
            ende();
        }
        if (p.bruttopreis) {
            start("GrossPriceProductTradePrice");
            text("ChargeAmount", Dezimal(*p.bruttopreis, 2));
            if (p.preisnachlass) {
                start("AppliedTradeAllowanceCharge");
                x.writeStartElement(kRam, QStringLiteral("ChargeIndicator"));
                x.writeTextElement(kUdt, QStringLiteral("Indicator"), QStringLiteral("false"));
                x.writeEndElement();
                text("ActualAmount", Dezimal(*p.preisnachlass, 2));
                ende();
            }
            ende();
        }
        start("NetPriceProductTradePrice");
        text("ChargeAmount", Dezimal(p.nettopreis, 2));
        if (p.basismenge) {
            start("BasisQuantity");
            if (!p.basismengeEinheit.isEmpty()) x.writeAttribute(QStringLiteral("unitCode"), p.basismengeEinheit);
            x.writeCharacters(Dezimal(*p.basismenge));
            ende();
        }
        ende();
        ende();

        start("SpecifiedLineTradeDelivery");
        start("BilledQuantity");
        x.writeAttribute(QStringLiteral("unitCode"), p.einheitCode);
        x.writeCharacters(Dezimal(p.menge));
        ende();
        ende();

        start("SpecifiedLineTradeSettlement");
        steuer(p.ustKategorie, p.ustSatz);
        if (!p.zeitraum.leer()) {
            start("BillingSpecifiedPeriod");
            datum("StartDateTime", p.zeitraum.von);
            datum("EndDateTime", p.zeitraum.bis);
            ende();
        }
        for (const ZuAbschlag& z : p.zuAbschlaege) zuAbschlag(z, false, waehrung);
        start("SpecifiedTradeSettlementLineMonetarySummation");
        betrag("LineTotalAmount", p.nettobetrag);
        ende();
        if (!p.buchungskonto.isEmpty()) {
            start("ReceivableSpecifiedTradeAccountingAccount");
            text("ID", p.buchungskonto);
            ende();
        }
        ende();
        x.writeEndElement();
    }

    QXmlStreamWriter& x;
};

}  // namespace

QString Dezimal(double wert, int minStellen, int maxStellen)
{
    QString s = QString::number(wert, 'f', maxStellen);
    if (s.startsWith(QLatin1Char('-')) && s.count(QLatin1Char('0')) == s.size() - 2) s.remove(0, 1);  // no "-0"
    const int punkt = s.indexOf(QLatin1Char('.'));
    if (punkt < 0) return s;
    int ende = s.size();
    while (ende > punkt + 1 + minStellen && s.at(ende - 1) == QLatin1Char('0')) --ende;
    if (ende == punkt + 1) --ende;  // no trailing point
    return s.left(ende);
}

QString Betrag(double wert)
{
    QString s = QString::number(std::round(wert * 100.0) / 100.0 + 0.0, 'f', 2);
    if (s == QLatin1String("-0.00")) s = QStringLiteral("0.00");
    return s;
}

QByteArray SchreibeCii(const ERechnung& r)
{
    QByteArray out;
    QBuffer puffer(&out);
    puffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter x(&puffer);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(2);
    x.writeStartDocument(QStringLiteral("1.0"));
    x.writeNamespace(kRsm, QStringLiteral("rsm"));
    x.writeNamespace(kRam, QStringLiteral("ram"));
    x.writeNamespace(kUdt, QStringLiteral("udt"));
    x.writeNamespace(kQdt, QStringLiteral("qdt"));
    x.writeStartElement(kRsm, QStringLiteral("CrossIndustryInvoice"));
    Schreiber s(x);

    x.writeStartElement(kRsm, QStringLiteral("ExchangedDocumentContext"));
    s.id("BusinessProcessSpecifiedDocumentContextParameter", r.prozess);
    s.id("GuidelineSpecifiedDocumentContextParameter", r.spezifikation);
    x.writeEndElement();

    x.writeStartElement(kRsm, QStringLiteral("ExchangedDocument"));
    s.text("ID", r.nummer);
    s.text("TypeCode", r.artCode);
    s.datum("IssueDateTime", r.datum);
    for (const Notiz& n : r.notizen) {
        s.start("IncludedNote");
        s.text("Content", n.text);
        s.text("SubjectCode", n.betreffCode);
        s.ende();
    }
    x.writeEndElement();

    x.writeStartElement(kRsm, QStringLiteral("SupplyChainTradeTransaction"));
    for (const Position& p : r.positionen) s.position(p, r.waehrung);

    s.start("ApplicableHeaderTradeAgreement");
    s.text("BuyerReference", r.kaeuferreferenz);
    s.partei("SellerTradeParty", r.verkaeufer);
    s.partei("BuyerTradeParty", r.kaeufer);
    if (!r.steuervertreter.name.isEmpty()) {
        Partei v;
        v.name = r.steuervertreter.name;
        v.ustId = r.steuervertreter.ustId;
        v.anschrift = r.steuervertreter.anschrift;
        s.partei("SellerTaxRepresentativeTradeParty", v);
    }
    if (!r.auftrag.isEmpty()) {
        s.start("SellerOrderReferencedDocument");
        s.text("IssuerAssignedID", r.auftrag);
        s.ende();
    }
    if (!r.bestellung.isEmpty()) {
        s.start("BuyerOrderReferencedDocument");
        s.text("IssuerAssignedID", r.bestellung);
        s.ende();
    }
    if (!r.vertrag.isEmpty()) {
        s.start("ContractReferencedDocument");
        s.text("IssuerAssignedID", r.vertrag);
        s.ende();
    }
    if (!r.projekt.isEmpty()) {
        s.start("SpecifiedProcuringProject");
        s.text("ID", r.projekt);
        s.text("Name", QStringLiteral("Projekt"));
        s.ende();
    }
    s.ende();

    s.start("ApplicableHeaderTradeDelivery");
    if (r.lieferung.hatAnschrift() || !r.lieferung.name.isEmpty()) {
        s.start("ShipToTradeParty");
        s.textMitSchema("ID", r.lieferung.ortKennung);
        s.text("Name", r.lieferung.name);
        if (r.lieferung.hatAnschrift()) s.anschrift(r.lieferung.anschrift);
        s.ende();
    }
    if (r.lieferung.datum.isValid()) {
        s.start("ActualDeliverySupplyChainEvent");
        s.datum("OccurrenceDateTime", r.lieferung.datum);
        s.ende();
    }
    s.ende();

    s.start("ApplicableHeaderTradeSettlement");
    const QString zahlungsreferenz = r.zahlungsanweisungen.isEmpty() ? QString() : r.zahlungsanweisungen.first().verwendungszweck;
    s.text("PaymentReference", zahlungsreferenz);
    s.text("TaxCurrencyCode", r.ustWaehrung);
    s.text("InvoiceCurrencyCode", r.waehrung);
    if (!r.zahlungsempfaenger.name.isEmpty()) {
        Partei z;
        z.name = r.zahlungsempfaenger.name;
        if (!r.zahlungsempfaenger.kennung.wert.isEmpty()) z.kennungen << r.zahlungsempfaenger.kennung;
        s.partei("PayeeTradeParty", z);
    }
    for (const Zahlungsanweisung& z : r.zahlungsanweisungen) {
        s.start("SpecifiedTradeSettlementPaymentMeans");
        s.text("TypeCode", z.artCode);
        s.text("Information", z.artText);
        if (!z.kartennummer.isEmpty()) {
            s.start("ApplicableTradeSettlementFinancialCard");
            s.text("ID", z.kartennummer);
            s.text("CardholderName", z.karteninhaber);
            s.ende();
        }
        if (!z.lastschriftIban.isEmpty()) {
            s.start("PayerPartyDebtorFinancialAccount");
            s.text("IBANID", z.lastschriftIban);
            s.ende();
        }
        if (!z.iban.isEmpty()) {
            s.start("PayeePartyCreditorFinancialAccount");
            s.text("IBANID", z.iban);
            s.text("AccountName", z.kontoname);
            s.ende();
        }
        if (!z.bic.isEmpty()) {
            s.start("PayeeSpecifiedCreditorFinancialInstitution");
            s.text("BICID", z.bic);
            s.ende();
        }
        s.ende();
    }
    for (const UStAufschluesselung& u : r.ust) {
        s.start("ApplicableTradeTax");
        s.betrag("CalculatedAmount", u.steuerbetrag);
        s.text("TypeCode", QStringLiteral("VAT"));
        s.text("ExemptionReason", u.befreiungsgrund);
        s.betrag("BasisAmount", u.basisbetrag);
        s.text("CategoryCode", u.kategorie);
        s.text("ExemptionReasonCode", u.befreiungsgrundCode);
        if (u.satz) s.text("RateApplicablePercent", Dezimal(*u.satz));
        s.ende();
    }
    if (!r.zeitraum.leer()) {
        s.start("BillingSpecifiedPeriod");
        s.datum("StartDateTime", r.zeitraum.von);
        s.datum("EndDateTime", r.zeitraum.bis);
        s.ende();
    }
    for (const ZuAbschlag& z : r.zuAbschlaege) s.zuAbschlag(z, true, r.waehrung);
    const bool mandat = !r.zahlungsanweisungen.isEmpty() && !r.zahlungsanweisungen.first().mandat.isEmpty();
    if (!r.zahlungsbedingungen.isEmpty() || r.faelligkeit.isValid() || mandat) {
        s.start("SpecifiedTradePaymentTerms");
        s.text("Description", r.zahlungsbedingungen);
        s.datum("DueDateDateTime", r.faelligkeit);
        if (mandat) s.text("DirectDebitMandateID", r.zahlungsanweisungen.first().mandat);
        s.ende();
    }
    const Summen& m = r.summen;
    s.start("SpecifiedTradeSettlementHeaderMonetarySummation");
    s.betrag("LineTotalAmount", m.summePositionen);
    if (m.summeZuschlaege) s.betrag("ChargeTotalAmount", *m.summeZuschlaege);
    if (m.summeAbschlaege) s.betrag("AllowanceTotalAmount", *m.summeAbschlaege);
    s.betrag("TaxBasisTotalAmount", m.gesamtNetto);
    if (m.gesamtUSt) s.betrag("TaxTotalAmount", *m.gesamtUSt, r.waehrung);
    if (m.gesamtUStBuchungswaehrung) s.betrag("TaxTotalAmount", *m.gesamtUStBuchungswaehrung, r.ustWaehrung);
    if (m.rundung) s.betrag("RoundingAmount", *m.rundung);
    s.betrag("GrandTotalAmount", m.gesamtBrutto);
    if (m.vorausbezahlt) s.betrag("TotalPrepaidAmount", *m.vorausbezahlt);
    s.betrag("DuePayableAmount", m.faellig);
    s.ende();
    if (!r.vorherigeRechnung.isEmpty()) {
        s.start("InvoiceReferencedDocument");
        s.text("IssuerAssignedID", r.vorherigeRechnung);
        if (r.vorherigeRechnungDatum.isValid()) {
            s.start("FormattedIssueDateTime");
            x.writeStartElement(kQdt, QStringLiteral("DateTimeString"));
            x.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
            x.writeCharacters(r.vorherigeRechnungDatum.toString(QStringLiteral("yyyyMMdd")));
            x.writeEndElement();
            s.ende();
        }
        s.ende();
    }
    if (!r.buchungsreferenz.isEmpty()) {
        s.start("ReceivableSpecifiedTradeAccountingAccount");
        s.text("ID", r.buchungsreferenz);
        s.ende();
    }
    s.ende();

    x.writeEndElement();  // SupplyChainTradeTransaction
    x.writeEndElement();  // CrossIndustryInvoice
    x.writeEndDocument();
    return out;
}

}  // namespace einvoice
