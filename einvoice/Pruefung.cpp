#include "einvoice/Pruefung.h"

#include "einvoice/ERechnung.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace einvoice {

double AufCent(double betrag)
{
    // Through the shortest decimal text, so that the stored 2.675 (really
    // 2.67499…) rounds as the user wrote it.
    const double cents = QString::number(betrag * 100.0, 'g', 15).toDouble();
    return std::round(cents) / 100.0 + 0.0;
}

QString IbanNormal(const QString& iban)
{
    QString s;
    for (QChar c : iban)
        if (!c.isSpace()) s += c.toUpper();
    return s;
}

bool IbanGueltig(const QString& eingabe)
{
    const QString iban = IbanNormal(eingabe);
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    if (!form.match(iban).hasMatch()) return false;
    if (!LandGueltig(iban.left(2))) return false;
    const QString umgestellt = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (QChar c : umgestellt) {
        const int wert = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        rest = (wert >= 10 ? rest * 100 + wert : rest * 10 + wert) % 97;
    }
    return rest == 1;
}

QString IbanFinden(const QString& text)
{
    // Country, check digits, then groups of letters and digits that may be
    // separated by single blanks (as printed: "DE89 3704 0044 0532 0130 00").
    static const QRegularExpression kandidat(QStringLiteral("\\b[A-Za-z]{2}[0-9]{2}(?:[ ]?[A-Za-z0-9]){11,30}"));
    auto it = kandidat.globalMatch(text);
    while (it.hasNext()) {
        const QString treffer = IbanNormal(it.next().captured(0));
        // A longer match may have swallowed the next word; try shorter ends.
        for (int n = treffer.size(); n >= 15; --n)
            if (IbanGueltig(treffer.left(n))) return treffer.left(n);
    }
    return QString();
}

bool BicGueltig(const QString& bic)
{
    static const QRegularExpression form(QStringLiteral("^[A-Z]{4}[A-Z]{2}[A-Z0-9]{2}([A-Z0-9]{3})?$"));
    return form.match(bic).hasMatch() && LandGueltig(bic.mid(4, 2));
}

bool LandGueltig(const QString& code)
{
    if (code.size() != 2 || code != code.toUpper()) return false;
    return QLocale::codeToTerritory(code) != QLocale::AnyTerritory;
}

namespace {

bool AufCentGleich(double a, double b) { return std::fabs(a - b) < 0.005; }

QString GeldInEuro(double b) { return QLocale(QLocale::German, QLocale::Germany).toString(b, 'f', 2) + QStringLiteral(" €"); }

}  // namespace

QStringList Maengel(const ERechnung& r, Profil profil)
{
    const bool xr = profil == Profil::XRechnung;
    QStringList m;
    auto fehlt = [&m](bool bedingung, const QString& text) {
        if (bedingung) m << text;
    };
    const Partei& v = r.verkaeufer;
    const Partei& k = r.kaeufer;

    fehlt(r.nummer.isEmpty(), QStringLiteral("Die Rechnungsnummer fehlt."));
    fehlt(!r.datum.isValid(), QStringLiteral("Das Rechnungsdatum fehlt."));

    fehlt(v.name.isEmpty(), QStringLiteral("Der Name der eigenen Firma fehlt (Stammdaten: Firma oder Name)."));
    fehlt(xr && v.anschrift.plz.isEmpty(), QStringLiteral("Die Postleitzahl der eigenen Firma fehlt (Stammdaten)."));
    fehlt(xr && v.anschrift.ort.isEmpty(), QStringLiteral("Der Ort der eigenen Firma fehlt (Stammdaten)."));
    if (v.anschrift.land.isEmpty())
        m << QStringLiteral("Das Land der eigenen Firma fehlt (E-Rechnung einrichten).");
    else if (!LandGueltig(v.anschrift.land))
        m << QStringLiteral("Das Land der eigenen Firma \"%1\" ist kein gültiger Ländercode (zwei Buchstaben, z. B. DE).")
                 .arg(v.anschrift.land);
    fehlt(v.ustId.isEmpty() && v.steuernummer.isEmpty(),
          QStringLiteral("Die USt-IdNr. (Stammdaten: Uid) oder die Steuernummer (E-Rechnung einrichten) der eigenen "
                         "Firma fehlt."));
    static const QRegularExpression ustForm(QStringLiteral("^[A-Z]{2}[A-Z0-9+*.]{2,13}$"));
    fehlt(!v.ustId.isEmpty() && !ustForm.match(v.ustId).hasMatch(),
          QStringLiteral("Die USt-IdNr. der eigenen Firma \"%1\" muss mit dem Ländercode beginnen (z. B. DE123456789).")
              .arg(v.ustId));
    fehlt(!k.ustId.isEmpty() && !ustForm.match(k.ustId).hasMatch(),
          QStringLiteral("Die USt-IdNr. des Kunden \"%1\" muss mit dem Ländercode beginnen (z. B. DE123456789).")
              .arg(k.ustId));
    if (xr) {
        fehlt(v.kontakt.name.isEmpty(), QStringLiteral("Der Name des Ansprechpartners fehlt (Stammdaten: Name)."));
        fehlt(v.kontakt.telefon.isEmpty(), QStringLiteral("Die Telefonnummer der eigenen Firma fehlt (Stammdaten: Tel)."));
        fehlt(v.kontakt.email.isEmpty() || v.elektronischeAdresse.wert.isEmpty(),
              QStringLiteral("Die E-Mail-Adresse der eigenen Firma fehlt (Stammdaten: E-Mail)."));
    }

    fehlt(k.name.isEmpty(), QStringLiteral("Der Name des Kunden fehlt (Adresse: Firma oder Name)."));
    fehlt(xr && k.anschrift.plz.isEmpty(), QStringLiteral("Die Postleitzahl des Kunden fehlt (Adresse)."));
    fehlt(xr && k.anschrift.ort.isEmpty(), QStringLiteral("Der Ort des Kunden fehlt (Adresse)."));
    if (k.anschrift.land.isEmpty())
        m << QStringLiteral("Das Land des Kunden fehlt.");
    else if (!LandGueltig(k.anschrift.land))
        m << QStringLiteral("Das Land des Kunden \"%1\" ist kein gültiger Ländercode (zwei Buchstaben, z. B. DE).")
                 .arg(k.anschrift.land);
    fehlt(xr && r.kaeuferreferenz.isEmpty(), QStringLiteral("Die Käuferreferenz bzw. Leitweg-ID des Kunden fehlt."));
    fehlt(xr && k.elektronischeAdresse.wert.isEmpty(),
          QStringLiteral("Die E-Mail-Adresse des Kunden fehlt (Adresse: E-Mail)."));

    if (r.lieferung.hatAnschrift()) {
        const Anschrift& a = r.lieferung.anschrift;
        fehlt(xr && a.plz.isEmpty(), QStringLiteral("Die Postleitzahl der Lieferadresse fehlt (Adresse)."));
        fehlt(xr && a.ort.isEmpty(), QStringLiteral("Der Ort der Lieferadresse fehlt (Adresse)."));
        fehlt(!a.land.isEmpty() && !LandGueltig(a.land), QStringLiteral("Das Land der Lieferadresse ist ungültig."));
    }

    if (r.zahlungsanweisungen.isEmpty()) {
        fehlt(xr, QStringLiteral("Die Zahlungsangaben fehlen."));
    }
    for (const Zahlungsanweisung& z : r.zahlungsanweisungen) {
        if ((z.artCode == QLatin1String("58") || z.artCode == QLatin1String("30")) && z.iban.isEmpty())
            m << QStringLiteral("Die IBAN der eigenen Firma fehlt (E-Rechnung einrichten).");
        else if (!z.iban.isEmpty() && !IbanGueltig(z.iban))
            m << QStringLiteral("Die IBAN \"%1\" ist ungültig (Prüfziffer oder Aufbau falsch; E-Rechnung einrichten).")
                     .arg(z.iban);
        fehlt(!z.bic.isEmpty() && !BicGueltig(z.bic),
              QStringLiteral("Die BIC \"%1\" ist ungültig (8 oder 11 Zeichen; E-Rechnung einrichten).").arg(z.bic));
    }

    fehlt(r.positionen.isEmpty(), QStringLiteral("Die Rechnung hat keine Positionen."));
    double summe = 0;
    for (const Position& p : r.positionen) {
        const QString wo = QStringLiteral("Position %1").arg(p.id);
        fehlt(p.name.isEmpty(), QStringLiteral("%1: Die Artikelbezeichnung fehlt.").arg(wo));
        fehlt(p.einheitCode.isEmpty(), QStringLiteral("%1: Der Code der Einheit fehlt (E-Rechnung einrichten).").arg(wo));
        fehlt(!p.ustSatz || p.ustKategorie.isEmpty(), QStringLiteral("%1: Der Umsatzsteuersatz fehlt.").arg(wo));
        fehlt(p.ustSatz && *p.ustSatz < 0, QStringLiteral("%1: Der Umsatzsteuersatz ist negativ.").arg(wo));
        fehlt(p.nettopreis < 0, QStringLiteral("%1: Der Preis ist negativ.").arg(wo));
        fehlt(!AufCentGleich(p.nettobetrag, AufCent(p.menge * p.nettopreis)),
              QStringLiteral("%1: Der Betrag passt nicht zu Menge und Preis.").arg(wo));
        summe += p.nettobetrag;
    }

    // The arithmetic of the totals and of the VAT breakdown.
    const Summen& s = r.summen;
    double steuern = 0, basen = 0;
    for (const UStAufschluesselung& u : r.ust) {
        steuern += u.steuerbetrag;
        basen += u.basisbetrag;
        fehlt(u.kategorie == QLatin1String("E") && u.befreiungsgrund.isEmpty() && u.befreiungsgrundCode.isEmpty(),
              QStringLiteral("Der Grund der Steuerbefreiung für Positionen mit 0 % fehlt (E-Rechnung einrichten)."));
        fehlt(u.satz && !AufCentGleich(u.steuerbetrag, AufCent(u.basisbetrag * *u.satz / 100.0)),
              QStringLiteral("Die Umsatzsteuer zu %1 % passt nicht zu ihrer Bemessungsgrundlage.").arg(*u.satz));
    }
    const double abschlaege = s.summeAbschlaege.value_or(0), zuschlaege = s.summeZuschlaege.value_or(0);
    bool stimmig = AufCentGleich(s.summePositionen, summe) && AufCentGleich(s.gesamtNetto, s.summePositionen - abschlaege + zuschlaege) &&
                   AufCentGleich(basen, s.gesamtNetto) && AufCentGleich(s.gesamtUSt.value_or(0), steuern) &&
                   AufCentGleich(s.gesamtBrutto, s.gesamtNetto + s.gesamtUSt.value_or(0)) &&
                   AufCentGleich(s.faellig, s.gesamtBrutto - s.vorausbezahlt.value_or(0) + s.rundung.value_or(0));
    fehlt(!r.positionen.isEmpty() && !stimmig,
          QStringLiteral("Die Summen der Rechnung sind nicht stimmig (Netto %1, Umsatzsteuer %2, Brutto %3).")
              .arg(GeldInEuro(s.gesamtNetto), GeldInEuro(s.gesamtUSt.value_or(0)), GeldInEuro(s.gesamtBrutto)));
    fehlt(s.faellig > 0.005 && r.zahlungsbedingungen.isEmpty() && !r.faelligkeit.isValid(),
          QStringLiteral("Die Zahlungsbedingungen fehlen (Lieferschein: Zahlungsbedingungen)."));
    return m;
}

}  // namespace einvoice
