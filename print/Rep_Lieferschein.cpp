#include "print/Rep_Lieferschein.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"

#include <QWidget>

TRepLieferschein::TRepLieferschein(QWidget* parent) : print::Geschaeftsdokument(Art::Lieferschein, parent)
{
    setObjectName(QStringLiteral("TRepLieferschein"));
    // The delivery address lies on the places of the main address; exactly
    // one of the two sets prints.
    const double oben = m_bericht.randOben();
    const QFont f12 = report::Schrift(12);
    auto box = [&](double y) { return QRectF(20.6, y - oben, 85.0, 0); };
    LabelLief_Firma = PageHeaderBand1->label(QStringLiteral("LabelLief_Firma"), QString(), box(54.7), f12);
    LabelLief_Name = PageHeaderBand1->label(QStringLiteral("LabelLief_Name"), QString(), box(61.3), f12);
    LabelLief_Adresse = PageHeaderBand1->label(QStringLiteral("LabelLief_Adresse"), QString(), box(67.9), f12);
}

void TRepLieferschein::PageHeaderBand1BeforePrint(report::Band& band, bool& drucken)
{
    print::Geschaeftsdokument::PageHeaderBand1BeforePrint(band, drucken);

    data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
    bool lieferadresse = false;
    if (lief->Active() && lief->RecNo() >= 0) {
        const data::Field f = lief->FindField(QStringLiteral("adr_hatlieferadr"));
        lieferadresse = f.gueltig() && !f.isNull() && f.asInteger() == -1;
    }
    LabelAdr_Firma->setEnabled(!lieferadresse);
    LabelAdr_Name->setEnabled(!lieferadresse);
    LabelAdr_Adresse->setEnabled(!lieferadresse);
    LabelLief_Firma->setEnabled(lieferadresse);
    LabelLief_Name->setEnabled(lieferadresse);
    LabelLief_Adresse->setEnabled(lieferadresse);
    LabelLief_Firma->setText(Wert(lief, QStringLiteral("adr_lief_firma")));
    LabelLief_Name->setText(Wert(lief, QStringLiteral("adr_lief_ganzername")));
    LabelLief_Adresse->setText(Wert(lief, QStringLiteral("adr_lief_adresse")));
    // Set on every page from the address that prints, so a missing postcode
    // or town never leaves another customer's line standing.
    if (lieferadresse)
        LabelAdr_PlzOrt->setText(
            PlzOrt(Wert(lief, QStringLiteral("adr_lief_plz")), Wert(lief, QStringLiteral("adr_lief_ort"))));
}
