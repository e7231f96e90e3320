#include "app/ordavo.h"

#include "app/Bilder.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "einvoice/ERechnung_einrichten.h"
#include "platform/Desktopeintrag.h"
#include "platform/IniDatei.h"
#include "platform/Pfade.h"
#include "platform/Prozesse.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"
#include "ui/Formular.h"
#include "ui/Meldungen.h"

#include <QCloseEvent>
#include <QDir>
#include <QTimer>

#include "masterdata/adressen_.h"
#include "masterdata/Artikel_.h"
#include "masterdata/Stammdaten_.h"
#include "masterdata/PLUUebersicht_.h"
#include "delivery/Lieferschein_.h"
#include "delivery/Lieferschein_Kopfdaten.h"
#include "delivery/nochnichtbezahlt_.h"
#include "app/info.h"
#include "app/Programmfenster.h"
#include "delivery/Lieferfenster.h"
#include "masterdata/Stammdatenfenster.h"
#include "einvoice/Anzeige.h"

namespace {

template <typename T>
void Zeigen(T* fenster)
{
    if (fenster) static_cast<ui::Formular*>(fenster)->Zeige();
}

}  // namespace

TOrdavo::TOrdavo(QWidget* parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TOrdavo"));
    setWindowIcon(app::Programmsymbol(64));
    ui.Image1->setPixmap(app::Titelbild(QSize(480, 400)));

    ui::Verbinde(ui.BitBtn2, &QPushButton::clicked, this, &TOrdavo::Lieferschein1Click);
    ui::Verbinde(ui.Lieferschein1, &QAction::triggered, this, &TOrdavo::Lieferschein1Click);
    ui::Verbinde(ui.BitBtn4, &QPushButton::clicked, this, &TOrdavo::BitBtn4Click);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TOrdavo::ArtikelstammClick);
    ui::Verbinde(ui.Artikelstamm1, &QAction::triggered, this, &TOrdavo::ArtikelstammClick);
    ui::Verbinde(ui.BitBtn3, &QPushButton::clicked, this, &TOrdavo::AdressenstammClick);
    ui::Verbinde(ui.Adressenstamm1, &QAction::triggered, this, &TOrdavo::AdressenstammClick);
    ui::Verbinde(ui.BitBtn6, &QPushButton::clicked, this, &TOrdavo::BitBtn6Click);
    ui::Verbinde(ui.BitBtn7, &QPushButton::clicked, this, &TOrdavo::Stammdaten1Click);
    ui::Verbinde(ui.Stammdaten1, &QAction::triggered, this, &TOrdavo::Stammdaten1Click);
    ui::Verbinde(ui.ERechnungEinrichten1, &QAction::triggered, this, &TOrdavo::ERechnungEinrichten1Click);
    ui::Verbinde(ui.PLUverwalten1, &QAction::triggered, this, &TOrdavo::PLUverwalten1Click);
    ui::Verbinde(ui.IconErstellen1, &QAction::triggered, this, &TOrdavo::IconErstellen1Click);
    ui::Verbinde(ui.AlleLieferscheine1, &QAction::triggered, this, &TOrdavo::AlleLieferscheine1Click);
    ui::Verbinde(ui.Info1, &QAction::triggered, this, &TOrdavo::Info1Click);
    ui::Verbinde(ui.ERechnungAnzeigen1, &QAction::triggered, this, &TOrdavo::ERechnungAnzeigen1Click);
    connect(ui.BitBtn5, &QPushButton::clicked, this, &QWidget::close);
    connect(ui.Beenden1, &QAction::triggered, this, &QWidget::close);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    ui::Verbinde(Timer1, &QTimer::timeout, this, &TOrdavo::Timer1Timer);

    ui::Geschuetzt([this] { FormCreate(); });
}

void TOrdavo::FormCreate()
{
    // The desktop entry is made once, at the first start; "false" counts
    // exactly (a "False" written by hand means: already done).
    platform::IniDatei ini(platform::OrdavoIni());
    if (ini.lesen(QStringLiteral("Einstellungen"), QStringLiteral("DesktopIcon"), QStringLiteral("false")) ==
        QLatin1String("false")) {
        platform::DesktopeintragSchreiben();
        if (!ini.schreiben(QStringLiteral("Einstellungen"), QStringLiteral("DesktopIcon"), QStringLiteral("true")))
            ui::Hinweis(QStringLiteral("In %1 kann nicht geschrieben werden").arg(QDir::toNativeSeparators(ini.pfad())));
    }
}

void TOrdavo::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // The reminder's timer runs from the first showing: the window is shown
    // right after it is created, and a window that is never shown (tests)
    // reminds no one.
    if (!m_timerGestartet) {
        m_timerGestartet = true;
        Timer1->start();
    }
}

void TOrdavo::Timer1Timer()
{
    Timer1->stop();
    TDMOrdavo* dm = App().DMOrdavo;
    if (dm && dm->ADO_Stammdaten->RecordCount() == 0) ui::Hinweis(QStringLiteral("Sie müssen noch die Stammdaten eintragen"), this);
}

void TOrdavo::Lieferschein1Click()
{
    if (Lieferung().Lieferscheinkopf) Lieferung().Lieferscheinkopf->NeuerLieferschein();
}

void TOrdavo::Stammdaten1Click()
{
    if (Stamm().Stammdaten) Stamm().Stammdaten->Bearbeiten();
}

void TOrdavo::ERechnungEinrichten1Click()
{
    if (App().DMOrdavo) TERechnungEinrichten::Einrichten(this);
}

namespace {

// A list as it is now, also with the rows another workstation stored since
// it was read; the current row stays current. A row being entered or
// changed keeps the list as it is: reading again would discard what was typed.
void NeuLesen(data::Dataset* ds, const QString& schluessel)
{
    if (!ds || !ds->Active() || ds->State() != data::Dataset::Zustand::Browse) return;
    const QVariant aktuell = ds->IsEmpty() ? QVariant() : ds->FieldByName(schluessel).value();
    ds->Requery();
    if (!aktuell.isNull()) ds->Locate(schluessel, aktuell);
}

}  // namespace

void TOrdavo::LieferscheineNeuLesen()
{
    if (TDMOrdavo* dm = App().DMOrdavo) NeuLesen(dm->ADO_Lieferschein, QStringLiteral("t_lieferschein.id"));
}

void TOrdavo::BitBtn4Click()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (!dm) return;
    LieferscheineNeuLesen();
    if (dm->ADO_Lieferschein->RecordCount() == 0) return;
    Zeigen(Lieferung().Lieferschein);
}

void TOrdavo::AlleLieferscheine1Click()
{
    LieferscheineNeuLesen();
    Zeigen(Lieferung().Lieferschein);
}

void TOrdavo::BitBtn6Click()
{
    // The list reads the open invoices afresh at each showing; shown already,
    // it is brought to the front with the invoices as they are now.
    Tnochnichtbezahlt* liste = Lieferung().nochnichtbezahlt;
    TDMOrdavo* dm = App().DMOrdavo;
    if (dm && liste && liste->isVisible()) dm->ADO_Nochnichtbezahlt->Requery();
    Zeigen(Lieferung().nochnichtbezahlt);
}

void TOrdavo::ArtikelstammClick()
{
    if (TDMOrdavo* dm = App().DMOrdavo) NeuLesen(dm->ADO_artikel, QStringLiteral("id"));
    Zeigen(Stamm().Artikel);
}

void TOrdavo::AdressenstammClick()
{
    if (TDMOrdavo* dm = App().DMOrdavo) NeuLesen(dm->ADO_t_adressen, QStringLiteral("id"));
    Zeigen(Stamm().Adressen);
}

void TOrdavo::PLUverwalten1Click()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (dm) dm->ADO_PLU->Requery();
    Zeigen(Stamm().PLUUebersicht);
}

void TOrdavo::IconErstellen1Click()
{
    if (!ui::Bestaetigen(QStringLiteral("Wollen sie einen Icon auf dem Desktop erstellen?"), this)) return;
    platform::DesktopeintragSchreiben();
}

void TOrdavo::Info1Click()
{
    if (Programm().AboutBox) Programm().AboutBox->ZeigeModal();
}

void TOrdavo::ERechnungAnzeigen1Click()
{
    einvoice::ERechnungAnzeigen(this);
}

void TOrdavo::FormClose()
{
    // The backup tool lies beside the database, in the working directory.
    const QString ordner = QDir::currentPath();
    platform::StarteLosgeloest(QDir(ordner).filePath(platform::Programmname(QStringLiteral("datensicherung"))), ordner);
}

void TOrdavo::closeEvent(QCloseEvent* e)
{
    if (!m_geschlossen) {
        m_geschlossen = true;
        ui::Geschuetzt([this] { FormClose(); });
    }
    QMainWindow::closeEvent(e);
    // Closing the main window ends the program, also while list windows are
    // open (each would keep it running): the backup tool just started needs
    // the database free.
    QCoreApplication::quit();
}
