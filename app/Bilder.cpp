#include "app/Bilder.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace app {

QPixmap Titelbild(const QSize& groesse)
{
    QPixmap bild(groesse);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient verlauf(0, 0, groesse.width(), groesse.height());
    verlauf.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    verlauf.setColorAt(1, QColor(0x5b, 0x9b, 0xd5));
    p.fillRect(bild.rect(), verlauf);
    // A stack of sheets: delivery note and invoice.
    for (int i = 0; i < 3; ++i) {
        QRectF blatt(groesse.width() * 0.18 + i * 14, groesse.height() * 0.30 + i * 12, groesse.width() * 0.36,
                     groesse.height() * 0.46);
        p.setPen(QPen(QColor(0x20, 0x30, 0x40), 1.5));
        p.setBrush(QColor(255, 255, 255, 235 - i * 20));
        p.drawRect(blatt);
        p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 2));
        for (int z = 1; z < 7; ++z)
            p.drawLine(QPointF(blatt.left() + 12, blatt.top() + z * blatt.height() / 8),
                       QPointF(blatt.right() - 12 - (z % 3) * 10, blatt.top() + z * blatt.height() / 8));
    }
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(groesse.height() / 7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, groesse.height() * 0.04, groesse.width(), groesse.height() * 0.22), Qt::AlignCenter,
               QStringLiteral("Ordavo"));
    f.setPixelSize(groesse.height() / 22);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRectF(0, groesse.height() * 0.84, groesse.width(), groesse.height() * 0.12), Qt::AlignCenter,
               QStringLiteral("Lieferscheine · Rechnungen · Statistik"));
    return bild;
}

QPixmap Programmsymbol(int kante)
{
    QPixmap bild(kante, kante);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, kante, kante), kante / 6.0, kante / 6.0);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(kante * 0.7));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, kante, kante), Qt::AlignCenter, QStringLiteral("O"));
    return bild;
}

QPixmap Herstellerlogo(const QSize& groesse)
{
    QPixmap bild(groesse);
    bild.fill(Qt::white);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 2));
    p.drawRect(QRectF(1, 1, groesse.width() - 2, groesse.height() - 2));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(groesse.height() / 2);
    f.setBold(true);
    p.setFont(f);
    p.drawText(bild.rect(), Qt::AlignCenter, QStringLiteral("Torsil"));
    return bild;
}

}  // namespace app
