#pragma once
// A PDF read back as the words on its pages, with their boxes in mm, through
// pdftotext -bbox (poppler-utils); and the width a word has in the font itself.
#include <QFont>
#include <QFontMetricsF>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>
#include <QStandardPaths>
#include <QString>
#include <QtTest/QtTest>
#include <vector>

namespace test {

struct PdfWort {
    QString text;
    QRectF box;  // mm from the sheet's top-left corner
    int seite = 0;  // 0-based
};

// Fails the test (QVERIFY) when pdftotext is missing or fails; the words are in `woerter`.
inline void PdfWoerterLesen(const QString& pdf, std::vector<PdfWort>& woerter)
{
    woerter.clear();
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) fehlt");
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral(
        "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    constexpr double mmProPt = 25.4 / 72.0;
    int seite = -1;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++seite;
            continue;
        }
        QString t = m.captured(5);
        t.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"));
        t.replace(QLatin1String("&quot;"), QLatin1String("\"")).replace(QLatin1String("&amp;"), QLatin1String("&"));
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
        woerter.push_back({t, QRectF(QPointF(x0 * mmProPt, y0 * mmProPt), QPointF(x1 * mmProPt, y1 * mmProPt)), seite});
    }
}

// The words equal to `text` (on any page).
inline std::vector<PdfWort> Woerter(const std::vector<PdfWort>& alle, const QString& text)
{
    std::vector<PdfWort> r;
    for (const PdfWort& w : alle)
        if (w.text == text) r.push_back(w);
    return r;
}

// Words of one page whose boxes overlap ("a" / "b" on page n), for a failure message.
inline QStringList Ueberlappungen(const std::vector<PdfWort>& alle)
{
    QStringList r;
    for (size_t i = 0; i < alle.size(); ++i)
        for (size_t j = i + 1; j < alle.size(); ++j) {
            const PdfWort& a = alle[i];
            const PdfWort& b = alle[j];
            if (a.seite != b.seite) continue;
            // Touching boxes are allowed; a glyph's box is its advance, not its ink.
            const QRectF schnitt = a.box.adjusted(0.05, 0.05, -0.05, -0.05) & b.box.adjusted(0.05, 0.05, -0.05, -0.05);
            if (!schnitt.isEmpty())
                r << QStringLiteral("\"%1\" / \"%2\" auf Seite %3").arg(a.text, b.text).arg(a.seite + 1);
        }
    return r;
}

// The advance width in mm of `text` set in Liberation Sans at `pt` points,
// from the font's outlines at a large size (no hinting, no rounding to pixels).
inline double Schriftbreite(const QString& text, double pt, bool fett = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(2000);
    f.setBold(fett);
    f.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF fm(f);
    return fm.horizontalAdvance(text) / 2000.0 * pt * 25.4 / 72.0;
}

}  // namespace test
