#include "delivery/Lieferschein_suchen.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

TLieferscheinsuche::TLieferscheinsuche(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TLieferscheinsuche"));

    for (QLineEdit* feld : {ui.sucheFirma, ui.sucheName, ui.sucheAdresse, ui.suchePLZ, ui.sucheOrt})
        feld->installEventFilter(this);

    ui::Verbinde(ui.SchalterLiefsucheOK, &QPushButton::clicked, this, &TLieferscheinsuche::SchalterLiefsucheOKClick);
    ui::Verbinde(ui.DBGrid2, &ui::DBGrid::doppelklick, this, &TLieferscheinsuche::SchalterLiefsucheOKClick);
    SetzeModalErgebnis(ui.SchalterLiefsucheAbbrechen, false);
}

TLieferscheinsuche::~TLieferscheinsuche() = default;

void TLieferscheinsuche::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    ui.DBGrid1->setDataSource(dm->Data_suchen_Adressen);
    ui.DBGrid1->setSpalten({{QStringLiteral("adr_firma"), QStringLiteral("Firma"), ui.DBGrid1->Spaltenbreite(ui::muster::Firma, 140), {}},
                             {QStringLiteral("adr_ganzername"), QStringLiteral("Name"), 140, {}},
                             {QStringLiteral("adr_adresse"), QStringLiteral("Adresse"), 140, {}},
                             {QStringLiteral("adr_plz"), QStringLiteral("PLZ"), 60, {}},
                             {QStringLiteral("adr_ort"), QStringLiteral("Ort"), 120, {}}});
    ui.DBGrid2->setDataSource(dm->Data_suchen_Lieferschein);
    ui.DBGrid2->setSpalten({{QStringLiteral("lief_nr"), QStringLiteral("Lief-Nr."), 80, {}},
                             {QStringLiteral("lief_datum"), QStringLiteral("Lieferdatum"), 100, {}}});
}

void TLieferscheinsuche::FormShow()
{
    AufHauptfensterZentrieren();
}

bool TLieferscheinsuche::eventFilter(QObject* obj, QEvent* e)
{
    // Every released key searches, also navigation keys and the Tab that
    // moved the focus into the field; a held key searches once.
    if (e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat()) {
        void (TLieferscheinsuche::*handler)() = nullptr;
        if (obj == ui.sucheFirma) handler = &TLieferscheinsuche::sucheFirmaKeyUp;
        else if (obj == ui.sucheName) handler = &TLieferscheinsuche::sucheNameKeyUp;
        else if (obj == ui.sucheAdresse) handler = &TLieferscheinsuche::sucheAdresseKeyUp;
        else if (obj == ui.suchePLZ) handler = &TLieferscheinsuche::suchePLZKeyUp;
        else if (obj == ui.sucheOrt) handler = &TLieferscheinsuche::sucheOrtKeyUp;
        if (handler) ui::Geschuetzt([this, handler] { (this->*handler)(); });
    }
    return ui::Formular::eventFilter(obj, e);
}

void TLieferscheinsuche::sucheFirmaKeyUp() { Suchen(ui.sucheFirma, QStringLiteral("adr_firma")); }
void TLieferscheinsuche::sucheNameKeyUp() { Suchen(ui.sucheName, QStringLiteral("adr_Ganzername")); }
void TLieferscheinsuche::sucheAdresseKeyUp() { Suchen(ui.sucheAdresse, QStringLiteral("adr_Adresse")); }
void TLieferscheinsuche::suchePLZKeyUp() { Suchen(ui.suchePLZ, QStringLiteral("adr_PLZ")); }
void TLieferscheinsuche::sucheOrtKeyUp() { Suchen(ui.sucheOrt, QStringLiteral("adr_Ort")); }

void TLieferscheinsuche::Suchen(QLineEdit* feld, const QString& spalte)
{
    data::Dataset* adressen = App().DMOrdavo->ADO_suchen_Adressen;
    const QString text = feld->text();
    adressen->Close();
    adressen->clearParameters();
    if (text.isEmpty()) {
        adressen->setSql(QStringLiteral("select * from t_Adressen"));
    } else {
        // The typed text is bound, never spliced into the statement: a quote
        // cannot break it. "%" and "_" typed by the user still act as patterns.
        // Texts stored with a leading blank (typed after the blank of an
        // emptied field by earlier versions) are found as well.
        adressen->setSql(
            QStringLiteral("select * from t_Adressen where %1 like :suche or %1 like :sucheNachLeerzeichen").arg(spalte));
        adressen->setParameter(QStringLiteral("suche"), QString(text + QLatin1Char('%')));
        adressen->setParameter(QStringLiteral("sucheNachLeerzeichen"), QString(QLatin1Char(' ') + text + QLatin1Char('%')));
    }
    adressen->Open();
}

void TLieferscheinsuche::SchalterLiefsucheOKClick()
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::Dataset* gefunden = dm->ADO_suchen_Lieferschein;
    if (gefunden->Active() && !gefunden->IsEmpty()) {
        const QVariant id = gefunden->FieldByName(QStringLiteral("t_lieferschein.id")).value();
        if (!dm->ADO_Lieferschein->Locate(QStringLiteral("t_lieferschein.id"), id)) {
            // Never close as if it had gone there.
            ui::Hinweis(QStringLiteral("Der Lieferschein Nr. %1 wurde nicht gefunden.")
                            .arg(gefunden->FieldByName(QStringLiteral("lief_nr")).asString()),
                        this);
            return;
        }
    }
    SchliesseMitOk();
}
