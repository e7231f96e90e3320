#include "delivery/PLU_ArtikelEingabe.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "delivery/Artikelauswahl_.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

using data::Dataset;

TPLUArtikelEingabe::TPLUArtikelEingabe(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TPLUArtikelEingabe"));
    // A small window at its own place, not centred.
    move(430, 330);

    ui.Edit_PLU->installEventFilter(this);
    ui.Edit_Menge->installEventFilter(this);
    // The quantity is selected whenever it receives the focus, so typing replaces it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* jetzt) {
        if (jetzt == ui.Edit_Menge) ui.Edit_Menge->selectAll();
    });

    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TPLUArtikelEingabe::BitBtn1Click);
    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &TPLUArtikelEingabe::BitBtn2Click);
}

TPLUArtikelEingabe::~TPLUArtikelEingabe() = default;

void TPLUArtikelEingabe::Vorbelegen(const QString& plu, const QString& menge)
{
    ui.Edit_PLU->setText(plu);
    ui.Edit_Menge->setText(menge);
}

void TPLUArtikelEingabe::FormShow()
{
    // Showing a dialog gives its first edit a Tab focus, which selects the
    // digit: the caret is placed once the showing is done, and again when the
    // window system activates the window, whichever comes first.
    m_frischGeoeffnet = true;
    QTimer::singleShot(0, this, [this] { EingabeBeginnen(); });
}

void TPLUArtikelEingabe::FormActivate()
{
    EingabeBeginnen();
}

void TPLUArtikelEingabe::EingabeBeginnen()
{
    // Once per opening only: after a message of its own the user goes on
    // where he was. The caret stands after the typed start with nothing
    // selected, so that further digits extend the code.
    if (!m_frischGeoeffnet || !isVisible()) return;
    m_frischGeoeffnet = false;
    ui.Edit_PLU->setFocus();
    ui.Edit_PLU->deselect();
    ui.Edit_PLU->setCursorPosition(qMin(2, int(ui.Edit_PLU->text().size())));
}

bool TPLUArtikelEingabe::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent*>(e)->key();
        if (taste == Qt::Key_Return || taste == Qt::Key_Enter) {
            if (obj == ui.Edit_PLU) {
                ui::Geschuetzt([this] { Edit_PLUKeyPress(); });
                return true;
            }
            if (obj == ui.Edit_Menge) {
                ui::Geschuetzt([this] { Edit_MengeKeyPress(); });
                return true;
            }
        }
    }
    return ui::Formular::eventFilter(obj, e);
}

void TPLUArtikelEingabe::Edit_PLUKeyPress()
{
    ui.Edit_Menge->setFocus();
    ui.Edit_Menge->selectAll();
}

void TPLUArtikelEingabe::Edit_MengeKeyPress()
{
    BitBtn1Click();
}

void TPLUArtikelEingabe::BitBtn1Click()
{
    TDMOrdavo* dm = App().DMOrdavo;
    const QString plu = ui.Edit_PLU->text();
    // A code that is no whole number is refused here; the window stays open.
    const qint64 code = data::LeseGanzzahl(plu);

    int artikelId = -1;
    Dataset* q = dm->ADOQuery;
    q->Close();
    q->clearParameters();
    q->setSql(QStringLiteral("select artikel_id from t_PLU\r\nwhere PLU = :PLU"));
    q->setParameter(QStringLiteral("PLU"), code);
    q->Open();
    if (!q->IsEmpty() && !q->Fields(0).isNull()) artikelId = int(q->Fields(0).asInteger());
    q->Close();
    q->clearParameters();

    if (artikelId == -1) {
        ui::Hinweis(QStringLiteral("Der PLU ") + plu + QStringLiteral(" ist kein Artikel zugeordnet"), this);
        SchliesseMitAbbrechen();
        return;
    }

    // Deleting an article keeps its codes: a code whose article is gone must
    // not take another article's price.
    Dataset* artikel = dm->ADO_artikel;
    bool gefunden = artikel->Locate(QStringLiteral("id"), artikelId);
    if (!gefunden) {
        artikel->Requery();
        gefunden = artikel->Locate(QStringLiteral("id"), artikelId);
    }
    if (!gefunden) {
        ui::Hinweis(QStringLiteral("Der Artikel der PLU %1 existiert nicht mehr. Es wurde nichts hinzugefügt.").arg(plu),
                    this);
        SchliesseMitAbbrechen();
        return;
    }

    const data::Field preis = artikel->FieldByName(QStringLiteral("artikel_preis"));
    if (preis.isNull())
        throw data::Fehler(QStringLiteral("Der Artikel „%1“ hat keinen Preis.")
                               .arg(artikel->FieldByName(QStringLiteral("artikel_bez")).asString()));
    const data::Field einkauf = artikel->FieldByName(QStringLiteral("artikel_einkauf"));
    App().Artikelauswahl->PositionAnlegen(artikelId, preis.asFloat(), einkauf.isNull() ? 0.0 : einkauf.asFloat(),
                                          ui.Edit_Menge->text());
    SchliesseMitOk();
}

void TPLUArtikelEingabe::BitBtn2Click()
{
    SchliesseMitAbbrechen();
}
