#pragma once
// "Als E-Rechnung speichern …" in the preview of the invoice: asks for the
// format and the customer's country and buyer reference (stored for the
// customer), checks the invoice, names what is missing, and writes the XML
// (XRechnung) or the PDF with embedded XML (ZUGFeRD) through a temporary
// file. Nothing is written while anything is missing.
#include "report/Bericht.h"
#include "ui/Formular.h"

#include <memory>

namespace Ui {
class TERechnungSpeichern;
}

class TERechnungSpeichern : public ui::Formular {
    Q_OBJECT
public:
    TERechnungSpeichern(int adresseId, QWidget* parent = nullptr);
    ~TERechnungSpeichern() override;

    bool Zugferd() const;

    void BitBtn1Click();
    void SchalterEinrichtenClick();

protected:
    void FormShow() override;

private:
    std::unique_ptr<Ui::TERechnungSpeichern> ui;
    int m_adresse;
};

namespace einvoice {

// The preview action: the invoice of the current delivery note, whose pages
// the preview shows.
void ERechnungSpeichern(const report::Seiten& seiten, QWidget* parent);

// Registers the action with a report (the invoice).
void AlsERechnungAnbieten(report::Bericht& bericht);

}  // namespace einvoice
