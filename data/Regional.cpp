#include "data/Regional.h"

#include "data/Fehler.h"

#include <cmath>

namespace data {

QLocale Gebietsschema()
{
    static const QLocale loc = [] {
        QLocale sys = QLocale::system();
        if (sys.language() == QLocale::C) return QLocale(QLocale::German, QLocale::Germany);
        return sys;
    }();
    return loc;
}

double AufCent(double betrag)
{
    double r = std::round(betrag * 100.0) / 100.0;
    return r + 0.0;  // folds -0.0
}

static QString Fest2(double wert)
{
    double r = AufCent(wert);
    if (r == 0.0) r = 0.0;
    return Gebietsschema().toString(r, 'f', 2);
}

QString Waehrung(double betrag) { return Fest2(betrag) + QStringLiteral(" €"); }

QString Zahl2(double wert) { return Fest2(wert); }

QString Prozent(double wert)
{
    double r = std::round(wert) + 0.0;
    QLocale loc = Gebietsschema();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(r, 'f', 0) + QStringLiteral(" %");
}

QString Prozent2(double wert)
{
    QLocale loc = Gebietsschema();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(AufCent(wert), 'f', 2) + QStringLiteral(" %");
}

QString AllgemeineZahl(double wert)
{
    QLocale loc = Gebietsschema();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    if (wert == 0.0) wert = 0.0;
    return loc.toString(wert, 'g', 15);
}

QString Wertetext(const QVariant& wert, Feldart art, Textart textart)
{
    if (!wert.isValid() || wert.isNull()) return QString();
    const int typ = wert.typeId();
    const bool zahl = typ == QMetaType::Double || typ == QMetaType::Float || typ == QMetaType::Int || typ == QMetaType::UInt ||
                      typ == QMetaType::LongLong || typ == QMetaType::ULongLong;
    switch (art) {
    case Feldart::Geld:
        if (zahl) return textart == Textart::Anzeige ? Waehrung(wert.toDouble()) : AllgemeineZahl(wert.toDouble());
        break;
    case Feldart::Zahl:
        if (zahl) return AllgemeineZahl(wert.toDouble());
        break;
    case Feldart::Datum:
        if (typ == QMetaType::QString) {
            const QDate d = QDate::fromString(wert.toString(), Qt::ISODate);
            if (d.isValid()) return Datumstext(d);
        }
        break;
    default: break;
    }
    if (typ == QMetaType::QDate) return Datumstext(wert.toDate());
    if (typ == QMetaType::Double || typ == QMetaType::Float) return AllgemeineZahl(wert.toDouble());
    return wert.toString();
}

QString Datumstext(const QDate& datum)
{
    if (!datum.isValid()) return QString();
    return datum.toString(QStringLiteral("dd.MM.yyyy"));
}

double LeseZahl(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    double d = Gebietsschema().toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        throw Fehler(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text));
    return d;
}

qint64 LeseGanzzahl(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = Gebietsschema().toLongLong(t, &ok);
    if (!ok) v = t.toLongLong(&ok);
    if (!ok) throw Fehler(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    return v;
}

QDate LeseDatum(const QString& text)
{
    const QString t = text.trimmed();
    // Four-digit years only: Qt's short format reads "24" as 1924.
    static const char* formate[] = {"d.M.yyyy", "dd.MM.yyyy", "yyyy-MM-dd"};
    for (const char* f : formate) {
        QDate d = QDate::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    throw Fehler(QStringLiteral("'%1' ist kein gültiges Datum").arg(text));
}

}  // namespace data
