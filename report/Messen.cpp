#include "report/Messen.h"

#include <QImage>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <memory>
#include <unordered_map>

namespace report {

namespace {

// Metrics at 2540 dpi, 100 device pixels to the mm: hinting plays no part,
// the same numbers come out whatever the screen or printer, and the font
// engine's whole-pixel font sizes are within 0.15 % of the true size. Painting
// (report/Ausgabe.cpp) draws text in the same unit, so layout and paint agree.
constexpr double kProMm = kTextEinheitenProMm;
constexpr double kDpi = kProMm * 25.4;

const QImage& Messgeraet()
{
    static const QImage bild = [] {
        QImage b(1, 1, QImage::Format_ARGB32);
        const int dpm = int(kDpi / 0.0254 + 0.5);
        b.setDotsPerMeterX(dpm);
        b.setDotsPerMeterY(dpm);
        return b;
    }();
    return bild;
}

}  // namespace

Messer::Messer(const QFont& schrift)
    : m_schrift(schrift), m_fm(schrift, &Messgeraet())
{
    m_hoehe = m_fm.height() / kProMm;
    m_abstand = m_fm.lineSpacing() / kProMm;
    for (int c = 0; c < 256; ++c) {
        m_zeichen[c] = (c < 32) ? 0.0 : m_fm.horizontalAdvance(QChar(c)) / kProMm;
        m_maxZeichen = std::max(m_maxZeichen, m_zeichen[c]);
    }
}

Messer& Messer::fuer(const QFont& schrift)
{
    static std::unordered_map<std::string, std::unique_ptr<Messer>> alle;
    const std::string key = schrift.key().toStdString();
    auto it = alle.find(key);
    if (it == alle.end()) it = alle.emplace(key, std::make_unique<Messer>(schrift)).first;
    return *it->second;
}

bool Messer::passtSicher(const QString& text, double breite) const
{
    // Kerning only narrows Latin text; a margin of 5 % covers the rest.
    double summe = 0;
    for (QChar c : text) {
        const ushort u = c.unicode();
        summe += u < 256 ? m_zeichen[u] : m_maxZeichen * 2;
    }
    return summe * 1.05 <= breite;
}

double Messer::breite(const QString& text)
{
    auto it = m_breiten.constFind(text);
    if (it != m_breiten.constEnd()) return *it;
    const double b = m_fm.horizontalAdvance(text) / kProMm;
    if (m_breiten.size() > 20000) m_breiten.clear();
    m_breiten.insert(text, b);
    return b;
}

QString Messer::passend(const QString& text, double breite)
{
    if (passtSicher(text, breite) || this->breite(text) <= breite) return text;
    int lo = 0, hi = int(text.size());  // lo fits, hi does not
    while (hi - lo > 1) {
        const int mitte = (lo + hi) / 2;
        if (m_fm.horizontalAdvance(text.left(mitte)) / kProMm <= breite)
            lo = mitte;
        else
            hi = mitte;
    }
    return text.left(lo);
}

QStringList Messer::umbrechen(const QString& text, double breite)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    const QStringList absaetze = t.split(QChar('\n'));
    QStringList zeilen;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& absatz : absaetze) {
        if (absatz.isEmpty() || passtSicher(absatz, breite)) {
            zeilen << absatz;
            continue;
        }
        QTextLayout layout(absatz, m_schrift, &Messgeraet());
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine zeile = layout.createLine();
            if (!zeile.isValid()) break;
            zeile.setLineWidth(breite * kProMm);
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine z = layout.lineAt(i);
            QString s = absatz.mid(z.textStart(), z.textLength());
            while (!s.isEmpty() && s.back().isSpace()) s.chop(1);
            zeilen << s;
        }
    }
    return zeilen;
}

}  // namespace report
