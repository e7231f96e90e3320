#pragma once
// Text measurement for laying out, at a fixed resolution independent of the
// screen and of the device that paints later. All results are in mm.
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringList>

namespace report {

// Text is measured and painted in units of 1/100 mm (see Messen.cpp).
constexpr double kTextEinheitenProMm = 100.0;

class Messer {
public:
    explicit Messer(const QFont& schrift);

    double breite(const QString& text);      // advance width of one line
    double hoehe() const { return m_hoehe; } // ascent + descent
    double zeilenabstand() const { return m_abstand; }

    // The longest start of `text` that fits into `breite`.
    QString passend(const QString& text, double breite);
    // Wraps `text` (line breaks kept) at `breite`.
    QStringList umbrechen(const QString& text, double breite);

    // The measurer of a font; lives for the process.
    static Messer& fuer(const QFont& schrift);

private:
    // A quick upper estimate, so that most texts need no exact measurement.
    bool passtSicher(const QString& text, double breite) const;

    QFont m_schrift;  // at the measuring resolution
    QFontMetricsF m_fm;
    double m_hoehe = 0;
    double m_abstand = 0;
    double m_zeichen[256];
    double m_maxZeichen = 0;
    QHash<QString, double> m_breiten;
};

}  // namespace report
