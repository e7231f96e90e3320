#include "masterdata/Artikel_editieren.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "masterdata/Einheit_.h"
#include "masterdata/Kategorie_.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"
#include "ui/Fehler.h"
#include "masterdata/Stammdatenfenster.h"

#include <QEvent>
#include <QPushButton>
#include <QWindow>
#include <cmath>

using data::Dataset;

TArtikeleditieren::TArtikeleditieren(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    ui::Verbinde(ui.SchalterneueEinheit, &QPushButton::clicked, this, &TArtikeleditieren::SchalterneueEinheitClick);
    ui::Verbinde(ui.SchalterneueKategorie, &QPushButton::clicked, this, &TArtikeleditieren::SchalterneueKategorieClick);
    ui::Verbinde(ui.SchaleterArtikeleditOK, &QPushButton::clicked, this, &TArtikeleditieren::SchaleterArtikeleditOKClick);
    SetzeModalErgebnis(ui.SchalterArtikeleditAbbrechen, false);
    for (QWidget* w : {static_cast<QWidget*>(ui.DBEdit5), static_cast<QWidget*>(ui.DBEdit3), static_cast<QWidget*>(ui.DBEdit1)})
        w->installEventFilter(this);
}

TArtikeleditieren::~TArtikeleditieren() = default;

void TArtikeleditieren::Binden()
{
    TDMOrdavo* dm = App().DMOrdavo;
    data::DataSource* q = dm->Data_artikel;
    // An emptied name is stored as one blank; an emptied VAT rate has no value.
    ui.DBEdit2->setLeerzeichenRegel(true);
    ui.DBEdit4->setLeerzeichenRegel(true);
    ui.DB_ArtikelNR->setDataSource(q, QStringLiteral("artikel_nr"));
    ui.DBEdit2->setDataSource(q, QStringLiteral("artikel_bez"));
    ui.DBMemo1->setDataSource(q, QStringLiteral("artikel_langtext"));
    ui.DBEdit5->setDataSource(q, QStringLiteral("artikel_einkauf"));
    ui.DBEdit3->setDataSource(q, QStringLiteral("artikel_preis"));
    ui.DBEdit1->setDataSource(q, QStringLiteral("artikel_preis_2"));
    ui.DBEdit4->setDataSource(q, QStringLiteral("artikel_Mwst"));
    ui.DBLookupComboBox1->setDataSource(q, QStringLiteral("artikel_einheit_id"));
    ui.DBLookupComboBox1->setListSource(dm->Data_t_Einheit, QStringLiteral("id"), QStringLiteral("einheit"));
    ui.DBLookupComboBox2->setDataSource(q, QStringLiteral("artikel_kategorie_id"));
    ui.DBLookupComboBox2->setListSource(dm->Data_t_Kategorie, QStringLiteral("id"), QStringLiteral("kategorie"));
    ui.db_ID->setDataSource(q, QStringLiteral("id"));

    // A committed price shows its markup at once.
    connect(q, &data::DataSource::feldGeaendert, this, [this, q](int spalte) {
        if (!isVisible()) return;
        const QString name = q->DataSet()->Spaltenname(spalte);
        if (name.compare(QLatin1String("artikel_einkauf"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("artikel_preis"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("artikel_preis_2"), Qt::CaseInsensitive) == 0)
            ui::Geschuetzt([this] { ZeigeSpannePro(); });
    });
}

QString TArtikeleditieren::SpanneText(double einkauf, double preis)
{
    const double wert = 100.0 / einkauf * preis - 100.0;
    // Six significant digits, then two decimals.
    double r = QString::number(wert, 'g', 6).toDouble();
    QLocale loc = data::Gebietsschema();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text;
    if (std::fabs(r) >= 1e6) {
        // More than six digits before the decimal point: exponent form.
        const int exponent = int(std::floor(std::log10(std::fabs(r))));
        const double mantisse = r / std::pow(10.0, exponent);
        text = loc.toString(mantisse, 'g', 6) + QStringLiteral("E") + QString::number(exponent);
    } else {
        r = std::round(r * 100.0) / 100.0 + 0.0;  // never "-0,00"
        text = loc.toString(r, 'f', 2);
    }
    return text + QStringLiteral(" %");
}

void TArtikeleditieren::ZeigeSpannePro()
{
    Dataset* ds = App().DMOrdavo->ADO_artikel;
    if (!ds->Active()) return;
    const data::Field einkauf = ds->FieldByName(QStringLiteral("artikel_einkauf"));
    if (einkauf.isNull() || einkauf.asFloat() == 0.0) {
        ui.Label_preis1Pro->clear();
        ui.Label_preis2Pro->clear();
        return;
    }
    auto zeige = [&](const char* spalte, QLabel* label) {
        const data::Field preis = ds->FieldByName(QLatin1String(spalte));
        if (preis.isNull()) return;  // keeps its text
        if (preis.asFloat() == 0.0) label->clear();
        else label->setText(SpanneText(einkauf.asFloat(), preis.asFloat()));
    };
    zeige("artikel_preis", ui.Label_preis1Pro);
    zeige("artikel_preis_2", ui.Label_preis2Pro);
}

void TArtikeleditieren::FormShow()
{
    m_vorschlagNr = QVariant();
    // The new form is complete even before the window system activates the dialog.
    FormActivate();
}

void TArtikeleditieren::FormActivate()
{
    // After a refused entry the focus stays there for the correction.
    auto* fokus = qobject_cast<ui::DBEdit*>(focusWidget());
    const bool zurNummer = !fokus || !fokus->benutzerGeaendert();
    if (zurNummer) ui.DB_ArtikelNR->setFocus();
    ZeigeSpannePro();
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ds = dm->ADO_artikel;
    const bool neu = ds->State() == Dataset::Zustand::Insert;
    if (neu) {
        ds->Vorschlag(QStringLiteral("id"), dm->NaechsteID(QStringLiteral("t_artikel")),
                      [dm] { return dm->NaechsteID(QStringLiteral("t_artikel")); });
        // Only an untouched proposal is replaced by the next free number.
        const data::Field nr = ds->FieldByName(QStringLiteral("artikel_nr"));
        const bool getippt = ui.DB_ArtikelNR->benutzerGeaendert() || (m_vorschlagNr.isValid() && nr.value() != m_vorschlagNr);
        if (!getippt) {
            m_vorschlagNr = qint64(dm->NaechsteArtikelNr());
            nr.setValue(m_vorschlagNr);
        }
    }
    ui.StaticText2->setVisible(neu);
    ui.StaticText1->setVisible(!neu);
    setWindowTitle(neu ? QStringLiteral("Neuer Artikel") : QStringLiteral("Artikel bearbeiten"));
    // Typing replaces the number, as after entering the field with Tab.
    if (zurNummer) ui.DB_ArtikelNR->selectAll();
}

bool TArtikeleditieren::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::KeyRelease && (obj == ui.DBEdit5 || obj == ui.DBEdit3 || obj == ui.DBEdit1))
        ui::Geschuetzt([this] { ZeigeSpannePro(); });
    return ui::Formular::eventFilter(obj, e);
}

void TArtikeleditieren::UeberDemEditorZeigen(ui::Formular* liste)
{
    if (!liste) return;
    // The editor is modal; as its child window the list stays usable.
    liste->winId();
    if (QWindow* w = liste->windowHandle()) w->setTransientParent(windowHandle());
    liste->Zeige();
}

void TArtikeleditieren::SchalterneueEinheitClick() { UeberDemEditorZeigen(Stamm().einheit); }

void TArtikeleditieren::SchalterneueKategorieClick() { UeberDemEditorZeigen(Stamm().Kategorie); }

void TArtikeleditieren::SchaleterArtikeleditOKClick()
{
    // Text that is not a number is refused here, and the editor stays open
    // with the text selected for correction.
    for (ui::DBEdit* e : {ui.DB_ArtikelNR, ui.DBEdit2, ui.DBEdit5, ui.DBEdit3, ui.DBEdit1, ui.DBEdit4})
        e->Uebernehmen();
    ui.DBMemo1->Uebernehmen();
    SchliesseMitOk();
}
