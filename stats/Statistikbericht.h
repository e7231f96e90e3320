#pragma once
// What the four statistics reports share: the period they print, today's
// date in the title, and the period lines printed only when asked for.
#include "report/Bericht.h"

#include <QDate>
#include <QObject>

namespace stats {

class Statistikbericht : public QObject, public report::Bericht {
    Q_OBJECT
public:
    explicit Statistikbericht(const QString& titel, QObject* parent = nullptr);

    // Stores the period for the page header (and the totals that use it).
    void SetzeZeitraum(const QDate& von, const QDate& bis, bool ZeitraumZeigen);
    QDate von() const { return m_von; }
    QDate bis() const { return m_bis; }
    bool ZeitraumZeigen() const { return m_ZeitraumZeigen; }

protected:
    // The title line: `titel` at x 10 and LabelDatum at `xDatum`, 14 pt bold.
    void Titelzeile(const QString& titel, double xDatum);
    // The period lines: `von`/`bis` captions at 8.5 and 14.8 mm, the dates at x 18.5.
    // The caption boxes end at `captionRechts` when it is above 0 (right-aligned).
    void Zeitraumzeilen(const QString& nameVon, const QString& textVon, const QString& nameVonDatum,
                        const QString& nameBis, const QString& textBis, const QString& nameBisDatum,
                        double captionRechts);
    // Today, the dates, and the period lines enabled exactly when ZeitraumZeigen.
    void KopfAusfuellen();

    report::Text* LabelDatum = nullptr;

private:
    QDate m_von;
    QDate m_bis;
    bool m_ZeitraumZeigen = false;
    report::Text* m_captionVon = nullptr;
    report::Text* m_captionBis = nullptr;
    report::Text* m_datumVon = nullptr;
    report::Text* m_datumBis = nullptr;
};

// Sets a right-aligned text of a narrow column. A text wider than `box`
// widens it to the right instead of being cut ("300,00 %" in a 6 pt column
// of 7.9 mm would lose its sign).
void SetzeSchmal(report::Text* t, const QRectF& box, const QString& text);

// Puts a caption at `box`, or further left when the right-aligned amount
// after it prints wider than its box (amounts are never cut; they grow to the left).
void VorDemBetrag(report::Text* beschriftung, const QRectF& box, const report::Text* betrag);

// Boxes and fonts used by the reports.
QRectF Box(double x, double y, double breite = 0);
// A box that ends at `rechts` (for right-aligned texts).
QRectF BisRechts(double rechts, double y, double breite);

}  // namespace stats
