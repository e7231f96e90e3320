#pragma once
// An invoice as the business terms of EN 16931 (BT-/BG- numbers in the
// comments), independent of the syntax it is written in or read from. The CII
// writer fills it from the program's data; a reader fills it from CII or UBL.
// Plain values only: empty texts, invalid dates and empty optionals mean the
// term is absent. Amounts are in the invoice currency.
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace einvoice {

// BG-5 / BG-8 / BG-15: postal address.
struct Anschrift {
    QString zeile1;   // BT-35 / BT-50 / BT-75 street and number
    QString zeile2;   // BT-36 / BT-51 / BT-76
    QString zeile3;   // BT-162 / BT-163 / BT-165
    QString ort;      // BT-37 / BT-52 / BT-77
    QString plz;      // BT-38 / BT-53 / BT-78
    QString region;   // BT-39 / BT-54 / BT-79
    QString land;     // BT-40 / BT-55 / BT-80 ISO 3166-1 alpha-2
};

// BG-6 / BG-9: contact.
struct Kontakt {
    QString name;     // BT-41 / BT-56
    QString telefon;  // BT-42 / BT-57
    QString email;    // BT-43 / BT-58
};

// An identifier with its optional scheme (ISO 6523 ICD, EAS code, ...).
struct Kennung {
    QString wert;
    QString schema;
};

// BG-4 seller / BG-7 buyer.
struct Partei {
    QString name;                      // BT-27 / BT-44
    QString handelsname;               // BT-28 / BT-45
    QList<Kennung> kennungen;          // BT-29 / BT-46
    Kennung registernummer;            // BT-30 / BT-47 legal registration
    QString ustId;                     // BT-31 / BT-48 VAT identifier
    QString steuernummer;              // BT-32 tax registration (seller only)
    QString rechtlicheAngaben;         // BT-33 (seller only)
    Kennung elektronischeAdresse;      // BT-34 / BT-49 with scheme (EAS), e.g. "EM"
    Anschrift anschrift;               // BG-5 / BG-8
    Kontakt kontakt;                   // BG-6 / BG-9
};

// BG-10 payee, BG-11 seller's tax representative: only what a reader shows.
struct Zahlungsempfaenger {
    QString name;                      // BT-59
    Kennung kennung;                   // BT-60
    Kennung registernummer;            // BT-61
};
struct Steuervertreter {
    QString name;                      // BT-62
    QString ustId;                     // BT-63
    Anschrift anschrift;               // BG-12
};

// BG-13 delivery information.
struct Lieferung {
    QString name;                      // BT-70 deliver-to party
    Kennung ortKennung;                // BT-71 location identifier
    QDate datum;                       // BT-72 actual delivery date
    Anschrift anschrift;               // BG-15 deliver-to address (empty: none)
    bool hatAnschrift() const { return !anschrift.zeile1.isEmpty() || !anschrift.ort.isEmpty() || !anschrift.plz.isEmpty(); }
};

// BG-14 invoicing period / BG-26 line period.
struct Zeitraum {
    QDate von;                         // BT-73 / BT-134
    QDate bis;                         // BT-74 / BT-135
    bool leer() const { return !von.isValid() && !bis.isValid(); }
};

// BG-1 invoice note.
struct Notiz {
    QString text;                      // BT-22
    QString betreffCode;               // BT-21
};

// BG-20 document allowance / BG-21 document charge; BG-27 / BG-28 on a line.
struct ZuAbschlag {
    bool zuschlag = false;             // false: allowance, true: charge
    double betrag = 0;                 // BT-92 / BT-99 / BT-136 / BT-141
    std::optional<double> basis;       // BT-93 / BT-100 / BT-137 / BT-142
    std::optional<double> prozent;     // BT-94 / BT-101 / BT-138 / BT-143
    QString ustKategorie;              // BT-95 / BT-102 (document level only)
    std::optional<double> ustSatz;     // BT-96 / BT-103
    QString grund;                     // BT-97 / BT-104 / BT-139 / BT-144
    QString grundCode;                 // BT-98 / BT-105 / BT-140 / BT-145
};

// BG-32 item attribute.
struct Eigenschaft {
    QString name;                      // BT-160
    QString wert;                      // BT-161
};

// BG-24 additional supporting document.
struct Beleg {
    QString kennung;                   // BT-122
    QString beschreibung;              // BT-123
    QString uri;                       // BT-124 external location
    QString dateiname;                 // BT-125 attached document's file name
};

// BG-25 invoice line.
struct Position {
    QString id;                        // BT-126
    QString notiz;                     // BT-127
    QString objektKennung;             // BT-128
    double menge = 0;                  // BT-129 invoiced quantity
    QString einheitCode;               // BT-130 UN/ECE Recommendation 20 (C62, H87, ...)
    double nettobetrag = 0;            // BT-131 line net amount
    QString bestellpositionRef;        // BT-132
    QString buchungskonto;             // BT-133
    Zeitraum zeitraum;                 // BG-26
    QList<ZuAbschlag> zuAbschlaege;    // BG-27 / BG-28
    double nettopreis = 0;             // BT-146 item net price
    std::optional<double> preisnachlass;   // BT-147
    std::optional<double> bruttopreis;     // BT-148
    std::optional<double> basismenge;      // BT-149 price base quantity
    QString basismengeEinheit;         // BT-150
    QString ustKategorie;              // BT-151 (S, Z, E, AE, K, G, O, L, M)
    std::optional<double> ustSatz;     // BT-152 percent
    QString name;                      // BT-153 item name
    QString beschreibung;              // BT-154
    QString verkaeuferArtikelNr;       // BT-155
    QString kaeuferArtikelNr;          // BT-156
    Kennung standardKennung;           // BT-157 (e.g. GTIN, scheme 0160)
    QList<Kennung> klassifikationen;   // BT-158 with its list (scheme)
    QString herkunftsland;             // BT-159
    QList<Eigenschaft> eigenschaften;  // BG-32
};

// BG-23 VAT breakdown, one per category and rate.
struct UStAufschluesselung {
    double basisbetrag = 0;            // BT-116 taxable amount
    double steuerbetrag = 0;           // BT-117
    QString kategorie;                 // BT-118
    std::optional<double> satz;        // BT-119 percent
    QString befreiungsgrund;           // BT-120 exemption reason text
    QString befreiungsgrundCode;       // BT-121
};

// BG-22 document totals.
struct Summen {
    double summePositionen = 0;        // BT-106 sum of line net amounts
    std::optional<double> summeAbschlaege;  // BT-107
    std::optional<double> summeZuschlaege;  // BT-108
    double gesamtNetto = 0;            // BT-109 total without VAT
    std::optional<double> gesamtUSt;   // BT-110 total VAT
    std::optional<double> gesamtUStBuchungswaehrung;  // BT-111 (in BT-6)
    double gesamtBrutto = 0;           // BT-112 total with VAT
    std::optional<double> vorausbezahlt;    // BT-113 paid amount
    std::optional<double> rundung;     // BT-114 rounding amount
    double faellig = 0;                // BT-115 amount due for payment
};

// BG-16 payment instructions.
struct Zahlungsanweisung {
    QString artCode;                   // BT-81 UNTDID 4461 (58 = SEPA credit transfer, 59 = SEPA direct debit)
    QString artText;                   // BT-82
    QString verwendungszweck;          // BT-83 remittance information
    QString iban;                      // BT-84 payment account identifier
    QString kontoname;                 // BT-85
    QString bic;                       // BT-86 payment service provider
    QString kartennummer;              // BT-87 (last digits only)
    QString karteninhaber;             // BT-88
    QString mandat;                    // BT-89 mandate reference
    QString glaeubigerId;              // BT-90 bank assigned creditor identifier
    QString lastschriftIban;           // BT-91 debited account
};

// BT-3 invoice type codes the program names.
inline constexpr const char* kRechnung = "380";
inline constexpr const char* kGutschrift = "381";
inline constexpr const char* kKorrigierteRechnung = "384";

struct ERechnung {
    QString nummer;                    // BT-1
    QDate datum;                       // BT-2 issue date
    QString artCode = QString::fromLatin1(kRechnung);  // BT-3
    QString waehrung = QStringLiteral("EUR");           // BT-5
    QString ustWaehrung;               // BT-6 VAT accounting currency
    QDate steuerdatum;                 // BT-7
    QString steuerdatumCode;           // BT-8 VAT point date code
    QDate faelligkeit;                 // BT-9 payment due date
    QString kaeuferreferenz;           // BT-10 buyer reference / Leitweg-ID
    QString projekt;                   // BT-11
    QString vertrag;                   // BT-12
    QString bestellung;                // BT-13 purchase order reference
    QString auftrag;                   // BT-14 sales order reference
    QString wareneingang;              // BT-15
    QString versandanzeige;            // BT-16
    QString ausschreibung;             // BT-17
    Kennung objektKennung;             // BT-18 invoiced object identifier
    QString buchungsreferenz;          // BT-19
    QString zahlungsbedingungen;       // BT-20
    QList<Notiz> notizen;              // BG-1
    QString prozess;                   // BT-23 business process
    QString spezifikation;             // BT-24 guideline the invoice follows
    QString vorherigeRechnung;         // BT-25 preceding invoice (BG-3)
    QDate vorherigeRechnungDatum;      // BT-26

    Partei verkaeufer;                 // BG-4
    Partei kaeufer;                    // BG-7
    Zahlungsempfaenger zahlungsempfaenger;  // BG-10
    Steuervertreter steuervertreter;   // BG-11
    Lieferung lieferung;               // BG-13
    Zeitraum zeitraum;                 // BG-14 invoicing period
    QList<Zahlungsanweisung> zahlungsanweisungen;  // BG-16 (BG-17..19 folded in)
    QList<ZuAbschlag> zuAbschlaege;    // BG-20 / BG-21
    Summen summen;                     // BG-22
    QList<UStAufschluesselung> ust;    // BG-23
    QList<Position> positionen;        // BG-25
    QList<Beleg> belege;               // BG-24
};

}  // namespace einvoice
