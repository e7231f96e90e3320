#include "masterdata/adressen_edit.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"

#include <QLayout>

using data::Dataset;

TAdressen_bearbeiten::TAdressen_bearbeiten(QWidget* parent)
    : ui::Formular(parent)
{
    ui.setupUi(this);
    SetzeModalErgebnis(ui.SchalterAdresseneditOK, true);
    SetzeModalErgebnis(ui.SchalterAdresseneditAbbrechen, false);
    // Both rules also follow the row's values as they are shown.
    ui::Verbinde(ui.DBCheckBox2, &QCheckBox::toggled, this, &TAdressen_bearbeiten::DBCheckBox2Click);
    ui::Verbinde(ui.DBCheckBox3, &QCheckBox::toggled, this, &TAdressen_bearbeiten::DBCheckBox3Click);
}

TAdressen_bearbeiten::~TAdressen_bearbeiten() = default;

void TAdressen_bearbeiten::Binden()
{
    data::DataSource* q = App().DMOrdavo->Data_t_adressen;
    const struct {
        ui::DBEdit* edit;
        const char* spalte;
    } felder[] = {
        {ui.DBEdit1, "adr_firma"},       {ui.DBEdit2, "adr_ganzername"},   {ui.DBEdit3, "adr_adresse"},
        {ui.DBEdit4, "adr_plz"},         {ui.DBEdit5, "adr_ort"},          {ui.DBEdit6, "adr_tel"},
        {ui.DBEdit7, "adr_fax"},         {ui.DBEdit8, "adr_mobil"},        {ui.DBEdit9, "adr_email"},
        {ui.DBEdit20, "adr_uidnr"},      {ui.DBEdit11, "adr_lief_firma"},  {ui.DBEdit12, "adr_lief_ganzername"},
        {ui.DBEdit13, "adr_lief_adresse"}, {ui.DBEdit14, "adr_lief_plz"},  {ui.DBEdit15, "adr_lief_ort"},
        {ui.DBEdit16, "adr_lief_tel"},   {ui.DBEdit17, "adr_lief_fax"},    {ui.DBEdit18, "adr_lief_mobil"},
        {ui.DBEdit19, "adr_lief_email"},
    };
    for (const auto& f : felder) {
        // An emptied field is stored as one blank, an untouched one stays without value.
        f.edit->setLeerzeichenRegel(true);
        f.edit->setDataSource(q, QLatin1String(f.spalte));
    }
    ui.DBCheckBox2->setDataSource(q, QStringLiteral("adr_kunde"));
    ui.DBCheckBox1->setDataSource(q, QStringLiteral("adr_lieferant"));
    ui.DBCheckBox3->setDataSource(q, QStringLiteral("adr_hatlieferadr"));
    ui.DB_ID->setDataSource(q, QStringLiteral("id"));
}

void TAdressen_bearbeiten::FormShow()
{
    TDMOrdavo* dm = App().DMOrdavo;
    Dataset* ds = dm->ADO_t_adressen;
    if (ds->State() == Dataset::Zustand::Insert) {
        ds->Vorschlag(QStringLiteral("id"), dm->NaechsteID(QStringLiteral("t_adressen")),
                      [dm] { return dm->NaechsteID(QStringLiteral("t_adressen")); });
        // A new address is a customer; set once per opening, so that coming
        // back to the dialog does not undo a "Kunde" the user has unticked.
        ds->FieldByName(QStringLiteral("adr_kunde")).setValue(qint64(-1));
    }
    DBCheckBox2Click();
    DBCheckBox3Click();
    FormActivate();
}

void TAdressen_bearbeiten::FormActivate()
{
    const bool neu = App().DMOrdavo->ADO_t_adressen->State() == Dataset::Zustand::Insert;
    ui.StaticText2->setVisible(neu);
    ui.StaticText1->setVisible(!neu);
    setWindowTitle(neu ? QStringLiteral("Neue Adresse") : QStringLiteral("Adresse bearbeiten"));
}

void TAdressen_bearbeiten::DBCheckBox2Click() { ui.DBCheckBox3->setVisible(ui.DBCheckBox2->isChecked()); }

void TAdressen_bearbeiten::DBCheckBox3Click()
{
    const bool lieferadresse = ui.DBCheckBox3->isChecked();
    ui.Panel2->setVisible(lieferadresse);
    layout()->activate();
    resize(width(), lieferadresse ? HoeheLang : HoeheKurz);
}
