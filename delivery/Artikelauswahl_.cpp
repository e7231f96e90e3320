#include "delivery/Artikelauswahl_.h"

#include "data/Abfrage.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/DBGrid.h"
#include "ui/Fehler.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <cmath>

using data::Dataset;

namespace {

QString Prozentsatz(const QVariant& v)
{
    return v.isNull() ? QString() : data::Prozent(v.toDouble());
}

}  // namespace

TArtikelauswahl::TArtikelauswahl(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TArtikelauswahl"));
    ui.Edit1->installEventFilter(this);

    ui::Verbinde(ui.SchalterArtikelauswahlOK, &QPushButton::clicked, this, &TArtikelauswahl::SchalterArtikelauswahlOKClick);
    ui::Verbinde(ui.DBGrid1, &ui::DBGrid::doppelklick, this, &TArtikelauswahl::SchalterArtikelauswahlOKClick);
    SetzeModalErgebnis(ui.SchalterArtikelauswahlAbbrechen, false);
    connect(ui.UpDown1Hoch, &QToolButton::clicked, this, [this] { UpDown1Click(1); });
    connect(ui.UpDown1Runter, &QToolButton::clicked, this, [this] { UpDown1Click(-1); });
}

TArtikelauswahl::~TArtikelauswahl() = default;

void TArtikelauswahl::Binden()
{
    const Qt::Alignment links = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment rechts = Qt::AlignRight | Qt::AlignVCenter;
    ui.DBGrid1->setDataSource(App().DMOrdavo->Data_artikel);
    ui.DBGrid1->setSpalten({
        {QStringLiteral("artikel_nr"), QStringLiteral("Artikel-Nr."), 80, {}, rechts},
        {QStringLiteral("artikel_bez"), QStringLiteral("Artikelbezeichnung"), 240, {}, links},
        {QStringLiteral("artikel_preis"), QStringLiteral("Einzelpreis"), 100, {}, rechts},
        {QStringLiteral("artikel_Mwst"), QStringLiteral("Mwst"), 60, Prozentsatz, rechts},
        {QStringLiteral("kategorie"), QStringLiteral("Kategorie"), ui.DBGrid1->Spaltenbreite(ui::muster::Kategorie, 100), {}, links},
        {QStringLiteral("einheit"), QStringLiteral("Einheit"), ui.DBGrid1->Spaltenbreite(ui::muster::Einheit, 70), {}, links},
    });
}

void TArtikelauswahl::FormShow()
{
    AufHauptfensterZentrieren();
    // Every opening starts with one piece. Set here rather than on each
    // activation, so that a refused quantity stays for correction after its
    // message box closes.
    ui.Edit1->setText(QStringLiteral("1"));
}

bool TArtikelauswahl::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == ui.Edit1 && e->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent*>(e)->key();
        if (taste == Qt::Key_Up || taste == Qt::Key_Down) {
            UpDown1Click(taste == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return ui::Formular::eventFilter(obj, e);
}

void TArtikelauswahl::UpDown1Click(int schritt)
{
    // The arrows step between 0 and 100; typing is not limited.
    bool ok = false;
    const double wert = data::Gebietsschema().toDouble(ui.Edit1->text().trimmed(), &ok);
    const int start = ok && std::isfinite(wert) ? int(qBound(-1.0, std::round(wert), 101.0)) : 1;
    ui.Edit1->setText(QString::number(qBound(0, start + schritt, 100)));
}

void TArtikelauswahl::SchalterArtikelauswahlOKClick()
{
    Dataset* artikel = App().DMOrdavo->ADO_artikel;
    if (!artikel->Active() || artikel->IsEmpty()) throw data::Fehler(QStringLiteral("Es ist kein Artikel ausgewählt."));
    const qint64 id = artikel->FieldByName(QStringLiteral("id")).asInteger();
    const data::Field preis = artikel->FieldByName(QStringLiteral("artikel_preis"));
    if (preis.isNull())
        throw data::Fehler(QStringLiteral("Der Artikel „%1“ hat keinen Preis.")
                               .arg(artikel->FieldByName(QStringLiteral("artikel_bez")).asString()));
    const data::Field einkauf = artikel->FieldByName(QStringLiteral("artikel_einkauf"));
    PositionAnlegen(int(id), preis.asFloat(), einkauf.isNull() ? 0.0 : einkauf.asFloat(), ui.Edit1->text());
    SchliesseMitOk();
}

void TArtikelauswahl::PositionAnlegen(int artikelId, double preis, double einkauf, const QString& menge)
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ls = dm->ADO_Lieferschein;
    // Items belong to a stored note; a new one still being entered has none yet.
    if (!ls->Active() || ls->IsEmpty() || ls->State() != Dataset::Zustand::Browse)
        throw data::Fehler(QStringLiteral("Es ist kein gespeicherter Lieferschein ausgewählt."));
    // Read with the regional settings ("1,5"), so the column gets a number.
    const double anzahl = data::LeseZahl(menge);
    const qint64 lieferschein = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();

    // The next key and the insert; should another workstation take the key
    // first, the next one is taken.
    int neu = 0;
    for (int versuch = 0;; ++versuch) {
        neu = dm->NaechsteID(QStringLiteral("t_lieferschein_artikel"));
        try {
            data::AbfrageAusfuehren(dm->ADOQuery,
                            QStringLiteral("insert into t_lieferschein_artikel (id, la_lieferschein_id,la_artikel_id, la_anzahl, la_preis, "
                                           "la_artikel_einkauf) values (:id, :la_lieferschein_id, :la_artikel_id, :la_anzahl, :la_preis, "
                                           ":la_artikel_einkauf);"),
                            {{QStringLiteral("id"), neu},
                             {QStringLiteral("la_lieferschein_id"), lieferschein},
                             {QStringLiteral("la_artikel_id"), artikelId},
                             {QStringLiteral("la_anzahl"), anzahl},
                             {QStringLiteral("la_preis"), preis},
                             {QStringLiteral("la_artikel_einkauf"), einkauf}});
            break;
        } catch (const data::Fehler& f) {
            if (versuch >= 50 || f.doppelt() != QLatin1String("t_lieferschein_artikel.id")) throw;
        }
    }

    Dataset* pos = dm->ADO_Lieferschein_Artikel;
    pos->Requery();
    pos->Locate(QStringLiteral("t_lieferschein_artikel.id"), neu);
}
