#pragma once
// Enters and changes the header of a delivery note: date, number, customer,
// payment terms and, for an invoice, payment date and amount paid. It edits
// the current row of ADO_Lieferschein, which its caller has put into insert
// (new note, shown modeless) or edit (change, shown modally), and posts or
// cancels that row itself.
#include "ui/Formular.h"
#include "ui_Lieferschein_Kopfdaten.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>

class TLieferscheinkopf : public ui::Formular {
    Q_OBJECT
public:
    explicit TLieferscheinkopf(QWidget* parent = nullptr);
    ~TLieferscheinkopf() override;

    void Binden() override;

    // "Neuer Lieferschein": a new row in ADO_Lieferschein and this window for
    // it. A new note that is still open here only comes to the front.
    void NeuerLieferschein();
    // While this window holds an unsaved new note, nothing else may store or
    // extend that row: brings the window to the front and returns true.
    bool UngespeichertenNachVorne();

    void SchalterliefkopfOKClick();
    void SchalterliefkokfAbbrechenClick();
    void DateTimePicker1Change();
    void DateTimePicker2Change();

protected:
    void FormShow() override;
    void FormActivate() override;
    void FormDeactivate() override;
    void FormClose() override;

private:
    // The values proposed to the current new note; a field that still holds
    // its proposal counts as untouched and is proposed anew.
    struct Vorschlag {
        bool gesetzt = false;
        QVariant nummer;
        QDate datum;
        QString zahlungsbedingungen;
        QString bankverbindungen;
        QString zusatztext;
    };
    void Vorschlagen();
    void KundenfilterAus();

    Ui::TLieferscheinkopf ui;
    Vorschlag m_vorschlag;
    bool m_setzt = false;
};
