#include "einvoice/Nachrechnen.h"

#include <QLocale>

#include <cmath>

namespace einvoice {

namespace {

// Amounts in the file have at most two decimals; sums of them carry binary
// noise, which a tolerance of a cent (plus that noise) absorbs.
constexpr double kToleranz = 0.01 + 1e-9;

bool Gleich(double a, double b) { return std::fabs(a - b) <= kToleranz; }

double Cent(double v) { return std::round(v * 100.0) / 100.0; }

QString ZahlText(double v)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(v, 'f', 2);
}

bool GleicherSatz(const std::optional<double>& a, const std::optional<double>& b)
{
    return std::fabs(a.value_or(0) - b.value_or(0)) < 1e-6;
}

QString SatzText(const QString& kategorie, const std::optional<double>& satz)
{
    return QStringLiteral("%1 %2 %").arg(kategorie, QLocale(QLocale::German, QLocale::Germany).toString(satz.value_or(0), 'g', 6));
}

}  // namespace

QStringList Rechendifferenzen(const ERechnung& r)
{
    QStringList d;
    const Summen& s = r.summen;
    auto pruefe = [&d](double ist, double soll, const QString& was, const QString& wie) {
        if (!Gleich(ist, soll))
            d << QStringLiteral("%1 ist %2, %3 ergibt %4.").arg(was, ZahlText(ist), wie, ZahlText(soll));
    };

    double positionen = 0;
    for (const Position& p : r.positionen) positionen += p.nettobetrag;
    pruefe(s.summePositionen, positionen, QStringLiteral("Die Summe der Positionen"),
           QStringLiteral("die Summe der Positionsbeträge"));

    double abschlaege = 0, zuschlaege = 0;
    for (const ZuAbschlag& z : r.zuAbschlaege) (z.zuschlag ? zuschlaege : abschlaege) += z.betrag;
    if (s.summeAbschlaege || abschlaege != 0)
        pruefe(s.summeAbschlaege.value_or(0), abschlaege, QStringLiteral("Die Summe der Abschläge"),
               QStringLiteral("die Summe der einzelnen Abschläge"));
    if (s.summeZuschlaege || zuschlaege != 0)
        pruefe(s.summeZuschlaege.value_or(0), zuschlaege, QStringLiteral("Die Summe der Zuschläge"),
               QStringLiteral("die Summe der einzelnen Zuschläge"));

    pruefe(s.gesamtNetto, s.summePositionen - s.summeAbschlaege.value_or(0) + s.summeZuschlaege.value_or(0),
           QStringLiteral("Der Gesamtbetrag ohne Umsatzsteuer"),
           QStringLiteral("Positionen − Abschläge + Zuschläge"));

    double steuer = 0;
    for (const UStAufschluesselung& u : r.ust) steuer += u.steuerbetrag;
    pruefe(s.gesamtUSt.value_or(0), steuer, QStringLiteral("Die Summe der Umsatzsteuer"),
           QStringLiteral("die Summe der Steuerbeträge je Satz"));
    pruefe(s.gesamtBrutto, s.gesamtNetto + s.gesamtUSt.value_or(0), QStringLiteral("Der Gesamtbetrag mit Umsatzsteuer"),
           QStringLiteral("netto + Umsatzsteuer"));
    pruefe(s.faellig, s.gesamtBrutto - s.vorausbezahlt.value_or(0) + s.rundung.value_or(0),
           QStringLiteral("Der Zahlbetrag"), QStringLiteral("Gesamtbetrag − vorausbezahlt + Rundung"));

    // Per category and rate: the taxable amount is what the lines and the
    // document's allowances and charges of that rate add up to, and the tax
    // is that amount at the rate.
    for (const UStAufschluesselung& u : r.ust) {
        double basis = 0;
        for (const Position& p : r.positionen)
            if (p.ustKategorie == u.kategorie && GleicherSatz(p.ustSatz, u.satz)) basis += p.nettobetrag;
        for (const ZuAbschlag& z : r.zuAbschlaege)
            if (z.ustKategorie == u.kategorie && GleicherSatz(z.ustSatz, u.satz)) basis += z.zuschlag ? z.betrag : -z.betrag;
        const QString satz = SatzText(u.kategorie, u.satz);
        pruefe(u.basisbetrag, basis, QStringLiteral("Der steuerpflichtige Betrag zu %1").arg(satz),
               QStringLiteral("die Summe der Positionen und Zu-/Abschläge dieses Satzes"));
        pruefe(u.steuerbetrag, Cent(u.basisbetrag * u.satz.value_or(0) / 100.0),
               QStringLiteral("Die Umsatzsteuer zu %1").arg(satz), QStringLiteral("der Betrag mal Steuersatz"));
    }
    // A line whose rate has no breakdown is not taxed anywhere.
    for (const Position& p : r.positionen) {
        bool gefunden = false;
        for (const UStAufschluesselung& u : r.ust)
            gefunden = gefunden || (u.kategorie == p.ustKategorie && GleicherSatz(u.satz, p.ustSatz));
        if (!gefunden && !p.ustKategorie.isEmpty()) {
            d << QStringLiteral("Zu Position %1 (%2) gibt es keine Umsatzsteueraufschlüsselung.")
                     .arg(p.id, SatzText(p.ustKategorie, p.ustSatz));
        }
    }
    d.removeDuplicates();
    return d;
}

}  // namespace einvoice
