#include "delivery/Lieferschein_Kopfdaten.h"

#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "delivery/Lieferschein_.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"
#include "delivery/Lieferfenster.h"

#include <QApplication>
#include <QScreen>

using data::Dataset;

namespace {

Dataset* Lieferscheine() { return App().DMOrdavo->ADO_Lieferschein; }

bool InBearbeitung(Dataset* ds)
{
    return ds->State() == Dataset::Zustand::Edit || ds->State() == Dataset::Zustand::Insert;
}

}  // namespace

TLieferscheinkopf::TLieferscheinkopf(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TLieferscheinkopf"));

    for (QWidget* w : {static_cast<QWidget*>(ui.DBEdit2), static_cast<QWidget*>(ui.DBEdit1),
                       static_cast<QWidget*>(ui.DB_id), static_cast<QWidget*>(ui.Label8),
                       static_cast<QWidget*>(ui.DBMemo2), static_cast<QWidget*>(ui.Label9),
                       static_cast<QWidget*>(ui.DBMemo3)})
        w->setVisible(false);
    ui.DateTimePicker1->setDate(QDate::currentDate());
    ui.DateTimePicker2->setDate(QDate::currentDate());
    ui.SchalterliefkokfAbbrechen->setAutoDefault(false);

    ui::Verbinde(ui.SchalterliefkopfOK, &QPushButton::clicked, this, &TLieferscheinkopf::SchalterliefkopfOKClick);
    ui::Verbinde(ui.SchalterliefkokfAbbrechen, &QPushButton::clicked, this,
                 &TLieferscheinkopf::SchalterliefkokfAbbrechenClick);
    ui::Verbinde(ui.DateTimePicker1, &QDateEdit::dateChanged, this, &TLieferscheinkopf::DateTimePicker1Change);
    ui::Verbinde(ui.DateTimePicker2, &QDateEdit::dateChanged, this, &TLieferscheinkopf::DateTimePicker2Change);
}

TLieferscheinkopf::~TLieferscheinkopf() = default;

void TLieferscheinkopf::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::DataSource* lief = dm->Data_Lieferschein;
    ui.DBEdit2->setDataSource(lief, QStringLiteral("lief_datum"));
    ui.DB_LiefNR->setDataSource(lief, QStringLiteral("lief_nr"));
    ui.DBName->setListSource(dm->Data_t_adressen, QStringLiteral("id"), QStringLiteral("adr_ganzername"));
    ui.DBName->setDataSource(lief, QStringLiteral("lief_adresse_id"));
    ui.DBMemo1->setDataSource(lief, QStringLiteral("lief_zahlungsbed"));
    ui.DBEdit1->setDataSource(lief, QStringLiteral("lief_zahldatum"));
    ui.DBEdit3->setDataSource(lief, QStringLiteral("lief_zahlbetrag"));
    ui.DB_id->setDataSource(lief, QStringLiteral("t_lieferschein.id"));
    ui.DBMemo2->setDataSource(lief, QStringLiteral("lief_Bankverbindungen"));
    ui.DBMemo3->setDataSource(lief, QStringLiteral("lief_Zusatztext"));

    ui.DB_LiefNR->setLeerzeichenRegel(true);
    ui.DBEdit3->setLeerzeichenRegel(true);
    ui.DBMemo1->setLeerzeichenRegel(true);
    ui.DBMemo2->setLeerzeichenRegel(true);
    ui.DBMemo3->setLeerzeichenRegel(true);
}

void TLieferscheinkopf::NeuerLieferschein()
{
    if (UngespeichertenNachVorne()) return;
    Lieferscheine()->Insert();
    Zeige();
}

bool TLieferscheinkopf::UngespeichertenNachVorne()
{
    if (!isVisible() || !App().DMOrdavo || !InBearbeitung(Lieferscheine())) return false;
    Zeige();
    return true;
}

void TLieferscheinkopf::FormShow()
{
    AufHauptfensterZentrieren();
    m_vorschlag = Vorschlag();
    Dataset* ls = Lieferscheine();
    const bool rechnung = !ls->FieldByName(QStringLiteral("lief_Rechnungsdatum")).isNull();
    // An invoice keeps its date, number and customer; only its payment can
    // be entered here.
    ui.DateTimePicker1->setEnabled(!rechnung);
    ui.DB_LiefNR->setReadOnly(rechnung);
    ui.DBName->setEnabled(!rechnung);
    ui.DateTimePicker2->setVisible(rechnung);
    ui.DBEdit3->setVisible(rechnung);
    ui.Label5->setVisible(rechnung);
    ui.Label6->setVisible(rechnung);
    if (rechnung) {
        data::Field zahldatum = ls->FieldByName(QStringLiteral("lief_zahldatum"));
        if (zahldatum.isNull() && InBearbeitung(ls)) zahldatum.setValue(QDate::currentDate());
        m_setzt = true;
        if (!zahldatum.isNull()) ui.DateTimePicker2->setDate(zahldatum.asDate());
        m_setzt = false;
    }
    // The proposals are there at once, before the window system reports the
    // activation; activating again keeps what they are by then.
    FormActivate();
}

void TLieferscheinkopf::Vorschlagen()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ls = dm->ADO_Lieferschein;
    const bool erstes = !m_vorschlag.gesetzt;
    m_vorschlag.gesetzt = true;

    ls->Vorschlag(QStringLiteral("t_lieferschein.id"), qint64(dm->NaechsteID(QStringLiteral("t_Lieferschein"))),
                  [dm] { return qint64(dm->NaechsteID(QStringLiteral("t_Lieferschein"))); });

    // Only what still holds its proposal is proposed anew; what the user
    // changed stays.
    data::Field datum = ls->FieldByName(QStringLiteral("lief_datum"));
    if (erstes || datum.asDate() == m_vorschlag.datum) {
        const QDate heute = QDate::currentDate();
        m_setzt = true;
        ui.DateTimePicker1->setDate(heute);
        m_setzt = false;
        datum.setValue(heute);
        m_vorschlag.datum = heute;
    }
    data::Field nummer = ls->FieldByName(QStringLiteral("lief_nr"));
    if (!ui.DB_LiefNR->benutzerGeaendert() && (erstes || nummer.value() == m_vorschlag.nummer)) {
        m_vorschlag.nummer = qint64(dm->NaechsteLiefNr());
        // Another workstation may store the same number first: the note then takes the next.
        ls->Vorschlag(QStringLiteral("lief_nr"), m_vorschlag.nummer, [dm] { return qint64(dm->NaechsteLiefNr()); });
    }
    struct Text {
        ui::DBMemo* memo;
        const char* feld;
        QString Vorschlag::*vorschlag;
        QString (TDMOrdavo::*lesen)();
    };
    const Text texte[] = {
        {ui.DBMemo1, "lief_zahlungsbed", &Vorschlag::zahlungsbedingungen, &TDMOrdavo::LeseZahlungsbedingungen},
        {ui.DBMemo2, "lief_Bankverbindungen", &Vorschlag::bankverbindungen, &TDMOrdavo::LeseBankverbindungen},
        {ui.DBMemo3, "lief_Zusatztext", &Vorschlag::zusatztext, &TDMOrdavo::LeseZusatztext},
    };
    for (const Text& t : texte) {
        data::Field f = ls->FieldByName(QString::fromLatin1(t.feld));
        if (t.memo->benutzerGeaendert() || (!erstes && f.asString() != m_vorschlag.*t.vorschlag)) continue;
        m_vorschlag.*t.vorschlag = (dm->*t.lesen)();
        f.setValue(m_vorschlag.*t.vorschlag);
    }
}

void TLieferscheinkopf::FormActivate()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ls = dm->ADO_Lieferschein;
    if (ls->State() == Dataset::Zustand::Insert) {
        Vorschlagen();
    } else {
        const QDate datum = ls->FieldByName(QStringLiteral("lief_datum")).asDate();
        m_setzt = true;
        if (datum.isValid()) ui.DateTimePicker1->setDate(datum);
        m_setzt = false;
    }
    // The name list offers customers only, and only while this window is active.
    dm->ADO_t_adressen->setFilter(QStringLiteral("adr_Kunde = true"));
    dm->ADO_t_adressen->setFiltered(true);
}

void TLieferscheinkopf::KundenfilterAus()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (!dm) return;
    dm->ADO_t_adressen->setFilter(QString());
    dm->ADO_t_adressen->setFiltered(false);
}

void TLieferscheinkopf::FormDeactivate()
{
    KundenfilterAus();
}

void TLieferscheinkopf::FormClose()
{
    // However the window closes without OK (Abbrechen, Escape, the frame),
    // the row is discarded.
    if (App().DMOrdavo && InBearbeitung(Lieferscheine())) Lieferscheine()->Cancel();
    KundenfilterAus();
}

void TLieferscheinkopf::DateTimePicker1Change()
{
    if (m_setzt || !InBearbeitung(Lieferscheine())) return;
    Lieferscheine()->FieldByName(QStringLiteral("lief_datum")).setValue(ui.DateTimePicker1->date());
}

void TLieferscheinkopf::DateTimePicker2Change()
{
    if (m_setzt || !InBearbeitung(Lieferscheine())) return;
    Lieferscheine()->FieldByName(QStringLiteral("lief_zahldatum")).setValue(ui.DateTimePicker2->date());
}

void TLieferscheinkopf::SchalterliefkopfOKClick()
{
    Dataset* ls = Lieferscheine();
    // The stored key counts, not the list entry: a note whose address is no
    // longer a customer keeps its address.
    if (ls->FieldByName(QStringLiteral("lief_adresse_id")).isNull()) {
        ui::Hinweis(QStringLiteral("Kein Name angegegeben"), this);
        return;
    }
    try {
        ls->Post();
    } catch (...) {
        // A refused text or write leaves the row in its state for correction
        // and the window open.
        if (!InBearbeitung(ls)) SchliesseMitAbbrechen();
        throw;
    }
    const qint64 id = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
    ls->Requery();
    ls->Locate(QStringLiteral("t_lieferschein.id"), id);
    Lieferung().Lieferschein->Zeige();
    SchliesseMitOk();
}

void TLieferscheinkopf::SchalterliefkokfAbbrechenClick()
{
    Lieferscheine()->Cancel();
    SchliesseMitAbbrechen();
}
