#include "report/Ausgabe.h"

#include "data/Fehler.h"
#include "report/Messen.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>

namespace report {

void ZeichneSeite(QPainter& p, const Seite& seite, double dotsProMmX, double dotsProMmY)
{
    p.save();
    p.scale(dotsProMmX, dotsProMmY);
    for (const LinienPrimitiv& l : seite.linien) {
        QPen stift(Qt::black);
        stift.setWidthF(l.staerke);
        stift.setCapStyle(Qt::FlatCap);
        p.setPen(stift);
        p.drawLine(l.linie);
    }
    p.setPen(Qt::black);
    // Font engines size fonts in whole device pixels. On a painter scaled to
    // mm a 10 pt font (3.53 mm) would print at 4 mm; text is therefore drawn
    // in hundredths of a mm, the unit the layout measured in, where a whole
    // pixel is 0.01 mm. The point size is given so that the device's own
    // resolution turns it into exactly that many units.
    constexpr double k = kTextEinheitenProMm;
    p.scale(1.0 / k, 1.0 / k);
    const int dpi = p.device() ? p.device()->logicalDpiY() : 72;
    const double korrektur = 25.4 * k / (dpi > 0 ? dpi : 72);
    for (const TextPrimitiv& t : seite.texte) {
        if (t.text.isEmpty()) continue;
        QFont f = t.schrift;
        f.setPointSizeF(t.schrift.pointSizeF() * korrektur);
        p.setFont(f);
        // Texts were fitted to their boxes and broken into lines when laid
        // out; each line is placed exactly where the layout measured it.
        const Qt::Alignment waagrecht = t.ausrichtung & Qt::AlignHorizontal_Mask;
        const int flags = int(waagrecht ? waagrecht : Qt::AlignLeft) | Qt::AlignTop | Qt::TextDontClip |
                          Qt::TextSingleLine;
        const QStringList zeilen = t.text.split(QChar('\n'));
        double y = t.box.top();
        for (const QString& z : zeilen) {
            p.drawText(QRectF(t.box.left() * k, y * k, t.box.width() * k, t.zeilenabstand * k), flags, z);
            y += t.zeilenabstand;
        }
    }
    p.restore();
}

void Drucke(const Seiten& seiten, QPagedPaintDevice& geraet, int von, int bis)
{
    const int n = int(seiten.size());
    von = std::max(1, von);
    bis = (bis <= 0 || bis > n) ? n : bis;
    if (von > bis) return;
    if (auto* drucker = dynamic_cast<QPrinter*>(&geraet)) {
        drucker->setFullPage(true);
        drucker->setPageSize(QPageSize(QPageSize::A4));
        drucker->setPageOrientation(QPageLayout::Portrait);
    } else {
        geraet.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
    }
    QPainter p;
    if (!p.begin(&geraet)) throw data::Fehler(QStringLiteral("Der Druck konnte nicht gestartet werden."));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double dx = geraet.logicalDpiX() / 25.4;
    const double dy = geraet.logicalDpiY() / 25.4;
    for (int i = von - 1; i < bis; ++i) {
        if (i > von - 1 && !geraet.newPage()) {
            p.end();
            throw data::Fehler(QStringLiteral("Der Druck wurde abgebrochen."));
        }
        ZeichneSeite(p, seiten[size_t(i)], dx, dy);
    }
    if (!p.end()) throw data::Fehler(QStringLiteral("Der Druck konnte nicht abgeschlossen werden."));
}

void SchreibePdf(const Seiten& seiten, const QString& pfad, const QString& titel)
{
    // Written to a temporary file first, so a failure leaves no half file.
    QSaveFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly))
        throw data::Fehler(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                               .arg(QFileInfo(pfad).fileName(), datei.errorString()));
    {
        QPdfWriter pdf(&datei);
        pdf.setResolution(1200);
        pdf.setTitle(titel);
        pdf.setCreator(QStringLiteral("Ordavo"));
        Drucke(seiten, pdf);
    }
    if (!datei.commit())
        throw data::Fehler(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                               .arg(QFileInfo(pfad).fileName(), datei.errorString()));
}

void SchreibePdf(Bericht& bericht, const QString& pfad)
{
    SchreibePdf(bericht.Layout(), pfad, bericht.titel());
}

}  // namespace report
