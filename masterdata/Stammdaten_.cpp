#include "masterdata/Stammdaten_.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"


using data::Dataset;

TStammdaten::TStammdaten(QWidget* parent) : ui::Formular(parent)
{
    ui.setupUi(this);
    SetzeModalErgebnis(ui.BitBtn1, true);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TStammdaten::~TStammdaten() = default;

void TStammdaten::Binden()
{
    data::DataSource* q = App().DMOrdavo->Data_Stammdaten;
    const struct {
        ui::DBEdit* edit;
        const char* spalte;
    } felder[] = {
        {ui.DBEdit1, "stammd_firma"}, {ui.DBEdit2, "stammd_ganzername"}, {ui.DBEdit3, "stammd_adresse"},
        {ui.DBEdit4, "stammd_plz"},   {ui.DBEdit5, "stammd_ort"},        {ui.DBEdit6, "stammd_tel"},
        {ui.DBEdit7, "stammd_fax"},   {ui.DBEdit8, "stammd_mobil"},      {ui.DBEdit9, "stammd_email"},
        {ui.DBEdit10, "stammd_uidnr"},
    };
    // An emptied field is stored as one blank; an untouched one keeps its value.
    for (const auto& f : felder) {
        f.edit->setLeerzeichenRegel(true);
        f.edit->setDataSource(q, QLatin1String(f.spalte));
    }
    const struct {
        ui::DBMemo* memo;
        const char* spalte;
    } texte[] = {
        {ui.DBMemo1, "Zahlungsbedingungen"},
        {ui.DBMemo3, "Bankverbindungen"},
        {ui.DBMemo4, "Zusatztext"},
        {ui.DBMemo2, "Mahnungstext"},
    };
    for (const auto& t : texte) {
        t.memo->setLeerzeichenRegel(true);
        t.memo->setDataSource(q, QLatin1String(t.spalte));
    }
    const struct {
        ui::DBCheckBox* box;
        const char* spalte;
    } flaggen[] = {
        {ui.DBCheckBox2, "stammd_firma_d"}, {ui.DBCheckBox3, "stammd_ganzername_d"}, {ui.DBCheckBox4, "stammd_adresse_d"},
        {ui.DBCheckBox5, "stammd_plz_d"},   {ui.DBCheckBox7, "stammd_tel_d"},        {ui.DBCheckBox8, "stammd_fax_d"},
        {ui.DBCheckBox9, "stammd_mobil_d"}, {ui.DBCheckBox10, "stammd_email_d"},     {ui.DBCheckBox11, "stammd_uidnr_d"},
    };
    for (const auto& f : flaggen) f.box->setDataSource(q, QLatin1String(f.spalte));
}

void TStammdaten::Bearbeiten()
{
    Dataset* ds = App().DMOrdavo->ADO_Stammdaten;
    if (ds->RecordCount() > 0) {
        ds->Edit();
    } else {
        ds->Insert();
        ds->FieldByName(QStringLiteral("stammd_drucken")).setValue(qint64(0));
    }
    // The size its fields need (at least the designed one), smaller only
    // where the screen is; centred on the main window, inside the screen.
    resize(size().expandedTo(sizeHint()));
    AufHauptfensterZentrieren();
    if (ZeigeModal()) ds->Post();
    else ds->Cancel();
}
