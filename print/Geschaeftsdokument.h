#pragma once
// The common A4 layout of delivery note, invoice and dunning letter: the
// letterhead from the company master data switched by its print flags, the
// recipient block for a window envelope, place and date, title and number,
// the item table and the totals block. The three documents derive from it
// and add their own title, recipient rule and closing texts.
//
// The document is driven by ADO_Druck_Lief (one row per item, filtered by the
// caller to one delivery note); the recipient and the date come from the
// current row of ADO_Lieferschein, the letterhead from ADO_Stammdaten.
#include "report/Bericht.h"

#include <QObject>
#include <QString>

namespace data {
class Dataset;
}

namespace print {

class Geschaeftsdokument : public QObject {
    Q_OBJECT
public:
    enum class Art { Lieferschein, Rechnung, Mahnung };

    // Lays the document out from the data module's datasets (for the preview and tests).
    report::Seiten Layout();
    // Shows the document in the modal preview; returns when the preview closes.
    void Preview();

    report::Bericht& bericht() { return m_bericht; }
    Art art() const { return m_art; }

protected:
    Geschaeftsdokument(Art art, QObject* parent);

    // Letterhead switch and recipient's postcode line; runs on every page.
    virtual void PageHeaderBand1BeforePrint(report::Band& band, bool& drucken);
    // The totals of the delivery note.
    void QRBand2BeforePrint(report::Band& band, bool& drucken);
    // The number after "Nr."; the dunning letter takes it from the open invoice.
    virtual QString Nummer();

    // "postcode town", or what of the two there is.
    static QString PlzOrt(const QString& plz, const QString& ort);
    // A column of a dataset's current row as text; "" without a row or column.
    static QString Wert(data::Dataset* ds, const QString& feld);
    static QString Datum(data::Dataset* ds, const QString& feld);

    report::Bericht m_bericht;
    Art m_art;

    // Page header.
    report::Text* labelFirma = nullptr;
    report::Text* LabelName = nullptr;
    report::Text* LabelAdresse = nullptr;
    report::Text* LabelStammd_plzort = nullptr;
    report::Text* LabelT = nullptr;
    report::Text* labelTel = nullptr;
    report::Text* LabelF = nullptr;
    report::Text* LabelFax = nullptr;
    report::Text* LabelM = nullptr;
    report::Text* LabelMobil = nullptr;
    report::Text* LabelE = nullptr;
    report::Text* LabelEmail = nullptr;
    report::Text* LabelUID = nullptr;
    report::Text* LabelUIDNummer = nullptr;
    report::Text* LabelAdr_Firma = nullptr;
    report::Text* LabelAdr_Name = nullptr;
    report::Text* LabelAdr_Adresse = nullptr;
    report::Text* LabelAdr_PlzOrt = nullptr;
    report::Text* LabelOrt = nullptr;
    report::Text* LabelDatum = nullptr;
    report::Text* LabelTitel = nullptr;
    report::Text* LabelNr = nullptr;
    report::Text* LabelNummer = nullptr;
    // Totals block.
    report::Text* LabelNetto = nullptr;
    report::Text* LabelMwSt = nullptr;
    report::Text* LabelBrutto = nullptr;

    report::Band* PageHeaderBand1 = nullptr;
    report::Gruppe* QRGroup1 = nullptr;
    report::Band* QRBand1 = nullptr;
    report::Band* QRBand2 = nullptr;
    report::Band* QRBand3 = nullptr;

private:
    // The print set as the driving dataset, the title with the number.
    void Vorbereiten();
    void Kopf();
    void Positionen();
    void Summen();
    void Schluss();
};

}  // namespace print
