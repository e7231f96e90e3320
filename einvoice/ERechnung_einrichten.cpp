#include "einvoice/ERechnung_einrichten.h"


#include "data/Anweisung.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "einvoice/Einheiten.h"
#include "einvoice/Erfassen.h"
#include "einvoice/Pruefung.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QHeaderView>
#include <QTableWidgetItem>

using namespace einvoice;

TERechnungEinrichten::TERechnungEinrichten(QWidget* parent)
    : ui::Formular(parent)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TERechnungEinrichten"));
    ui.TabelleEinheiten->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TERechnungEinrichten::BitBtn1Click);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TERechnungEinrichten::~TERechnungEinrichten() = default;

bool TERechnungEinrichten::Einrichten(QWidget* parent)
{
    TERechnungEinrichten fenster(parent);
    return fenster.ZeigeModal();
}

data::Verbindung& TERechnungEinrichten::Db() const
{
    if (!App().DMOrdavo) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));
    return *App().DMOrdavo->ADO_ordavo;
}

void TERechnungEinrichten::FormShow()
{
    const Firmendaten f = LeseFirmendaten(Db());
    ui.EditLand->setText(f.land);
    ui.EditSteuernummer->setText(f.steuernummer);
    ui.EditIban->setText(f.iban);
    ui.EditBic->setText(f.bic);
    ui.EditBefreiungsgrund->setText(f.befreiungsgrund);
    const QList<Einheitcode> codes = LeseEinheitcodes(Db());
    QTableWidget* t = ui.TabelleEinheiten;
    t->setRowCount(int(codes.size()));
    for (int i = 0; i < codes.size(); ++i) {
        auto* name = new QTableWidgetItem(codes.at(i).einheit);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        name->setData(Qt::UserRole, codes.at(i).id);
        t->setItem(i, 0, name);
        t->setItem(i, 1, new QTableWidgetItem(codes.at(i).code));
    }
    ui.EditLand->setFocus();
}

void TERechnungEinrichten::BitBtn1Click()
{
    Firmendaten f;
    f.land = ui.EditLand->text().trimmed().toUpper();
    f.steuernummer = ui.EditSteuernummer->text().trimmed();
    f.iban = IbanNormal(ui.EditIban->text());
    f.bic = IbanNormal(ui.EditBic->text());
    f.befreiungsgrund = ui.EditBefreiungsgrund->text().trimmed();

    QStringList falsch;
    if (!LandGueltig(f.land))
        falsch << QStringLiteral("Das Land muss ein Ländercode aus zwei Buchstaben sein (z. B. DE, AT).");
    if (!f.iban.isEmpty() && !IbanGueltig(f.iban))
        falsch << QStringLiteral("Die IBAN \"%1\" ist ungültig (Prüfziffer oder Aufbau falsch).").arg(f.iban);
    if (!f.bic.isEmpty() && !BicGueltig(f.bic))
        falsch << QStringLiteral("Die BIC \"%1\" ist ungültig (8 oder 11 Zeichen).").arg(f.bic);
    QList<Einheitcode> codes;
    QTableWidget* t = ui.TabelleEinheiten;
    for (int i = 0; i < t->rowCount(); ++i) {
        Einheitcode e;
        e.id = t->item(i, 0)->data(Qt::UserRole).toInt();
        e.einheit = t->item(i, 0)->text();
        e.code = t->item(i, 1) ? t->item(i, 1)->text().trimmed().toUpper() : QString();
        if (!Rec20Form(e.code))
            falsch << QStringLiteral("Der Code \"%1\" der Einheit \"%2\" ist ungültig (2 oder 3 Buchstaben oder Ziffern, "
                                     "z. B. H87 oder C62).")
                          .arg(e.code, e.einheit);
        codes << e;
    }
    if (!falsch.isEmpty()) {
        ui::Hinweis(falsch.join(QLatin1Char('\n')), this);
        return;
    }
    data::Verbindung& db = Db();
    data::Transaktion transaktion(db);
    SchreibeFirmendaten(db, f);
    SchreibeEinheitcodes(db, codes);
    transaktion.commit();
    SchliesseMitOk();
}
