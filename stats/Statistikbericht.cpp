#include "stats/Statistikbericht.h"

#include "data/Regional.h"
#include "report/Messen.h"

#include <algorithm>

namespace stats {

QRectF Box(double x, double y, double breite) { return QRectF(x, y, breite, 0); }

QRectF BisRechts(double rechts, double y, double breite) { return QRectF(rechts - breite, y, breite, 0); }

namespace {

double Breite(const report::Text* t, const QString& text)
{
    const QFont schrift = t->schrift() ? *t->schrift() : report::Schrift(10);
    return report::Messer::fuer(schrift).breite(text) + 0.1;
}

}  // namespace

void SetzeSchmal(report::Text* t, const QRectF& box, const QString& text)
{
    QRectF b = box;
    b.setWidth(std::max(box.width(), Breite(t, text)));
    t->setBox(b);
    t->setText(text);
}

void VorDemBetrag(report::Text* beschriftung, const QRectF& box, const report::Text* betrag)
{
    const double w = Breite(beschriftung, beschriftung->text());
    const double betragLinks = betrag->box().right() - std::max(betrag->box().width(), Breite(betrag, betrag->text()));
    const double x = std::min(box.left(), betragLinks - 1.0 - w);
    beschriftung->setBox(QRectF(x, box.top(), box.width(), box.height()));
}

Statistikbericht::Statistikbericht(const QString& titel, QObject* parent) : QObject(parent), report::Bericht(titel) {}

void Statistikbericht::SetzeZeitraum(const QDate& von, const QDate& bis, bool ZeitraumZeigen)
{
    m_von = von;
    m_bis = bis;
    m_ZeitraumZeigen = ZeitraumZeigen;
}

void Statistikbericht::Titelzeile(const QString& titel, double xDatum)
{
    report::Band& kopf = seitenkopf();
    kopf.label(QStringLiteral("QRLabelTitel"), titel, Box(10.0, 0.0), report::Schrift(14, true));
    LabelDatum = kopf.label(QStringLiteral("LabelDatum"), QString(), Box(xDatum, 0.0), report::Schrift(14, true));
}

void Statistikbericht::Zeitraumzeilen(const QString& nameVon, const QString& textVon, const QString& nameVonDatum,
                                      const QString& nameBis, const QString& textBis, const QString& nameBisDatum,
                                      double captionRechts)
{
    report::Band& kopf = seitenkopf();
    if (captionRechts > 0) {
        m_captionVon = kopf.label(nameVon, textVon, BisRechts(captionRechts, 8.5, 8.0), std::nullopt, Qt::AlignRight);
        m_captionBis = kopf.label(nameBis, textBis, BisRechts(captionRechts, 14.8, 8.0), std::nullopt, Qt::AlignRight);
    } else {
        m_captionVon = kopf.label(nameVon, textVon, Box(10.0, 8.5));
        m_captionBis = kopf.label(nameBis, textBis, Box(10.0, 14.8));
    }
    m_datumVon = kopf.label(nameVonDatum, QString(), Box(18.5, 8.5));
    m_datumBis = kopf.label(nameBisDatum, QString(), Box(18.5, 14.8));
}

void Statistikbericht::KopfAusfuellen()
{
    LabelDatum->setText(data::Datumstext(QDate::currentDate()));
    m_datumVon->setText(data::Datumstext(m_von));
    m_datumBis->setText(data::Datumstext(m_bis));
    for (report::Text* t : {m_captionVon, m_datumVon, m_captionBis, m_datumBis}) t->setEnabled(m_ZeitraumZeigen);
}

}  // namespace stats
