#include "einvoice/ERechnung_speichern.h"


#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "einvoice/Cii.h"
#include "einvoice/ERechnung_einrichten.h"
#include "einvoice/Erfassen.h"
#include "einvoice/Pruefung.h"
#include "einvoice/Zugferd.h"
#include "ui/Anwendung.h"
#include "ui/Fehler.h"
#include "ui/Meldungen.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

using namespace einvoice;

namespace {

data::Verbindung& Db()
{
    if (!App().DMOrdavo) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));
    return *App().DMOrdavo->ADO_ordavo;
}

void Schreiben(const QString& pfad, const QByteArray& inhalt)
{
    // Through a temporary file beside the target: a failure leaves no half file.
    QSaveFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly) || datei.write(inhalt) != inhalt.size() || !datei.commit())
        throw data::Fehler(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                               .arg(QFileInfo(pfad).fileName(), datei.errorString()));
}

// Names what is missing; true when the user wants to complete the set-up now.
bool MaengelZeigen(const QStringList& maengel, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("E-Rechnung"),
                    QStringLiteral("Die E-Rechnung kann so nicht erstellt werden; es wurde keine Datei geschrieben.\n\n"
                                   "Bitte ergänzen oder berichtigen Sie:\n• %1")
                        .arg(maengel.join(QStringLiteral("\n• "))),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("ERechnungMaengel"));
    QPushButton* einrichten = box.addButton(QStringLiteral("E-Rechnung einrichten …"), QMessageBox::ActionRole);
    einrichten->setObjectName(QStringLiteral("SchalterEinrichten"));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("SchalterOk"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return box.clickedButton() == einrichten;
}

}  // namespace

TERechnungSpeichern::TERechnungSpeichern(int adresseId, QWidget* parent)
    : ui::Formular(parent), m_adresse(adresseId)
{
    ui.setupUi(this);
    setObjectName(QStringLiteral("TERechnungSpeichern"));
    ui::Verbinde(ui.BitBtn1, &QPushButton::clicked, this, &TERechnungSpeichern::BitBtn1Click);
    ui::Verbinde(ui.SchalterEinrichten, &QPushButton::clicked, this, &TERechnungSpeichern::SchalterEinrichtenClick);
    SetzeModalErgebnis(ui.BitBtn2, false);
}

TERechnungSpeichern::~TERechnungSpeichern() = default;

bool TERechnungSpeichern::Zugferd() const { return ui.RadioZugferd->isChecked(); }

void TERechnungSpeichern::FormShow()
{
    const Kundendaten k = LeseKundendaten(Db(), m_adresse);
    ui.LabelKunde->setText(QStringLiteral("Kunde: %1").arg(k.name));
    ui.EditLand->setText(k.land);
    ui.EditReferenz->setText(k.referenz);
}

void TERechnungSpeichern::SchalterEinrichtenClick() { TERechnungEinrichten::Einrichten(this); }

void TERechnungSpeichern::BitBtn1Click()
{
    Kundendaten k;
    k.land = ui.EditLand->text().trimmed().toUpper();
    k.referenz = ui.EditReferenz->text().trimmed();
    if (!LandGueltig(k.land)) {
        ui::Hinweis(QStringLiteral("Das Land des Kunden muss ein Ländercode aus zwei Buchstaben sein (z. B. DE, AT)."), this);
        ui.EditLand->setFocus();
        return;
    }
    SchreibeKundendaten(Db(), m_adresse, k);
    SchliesseMitOk();
}

namespace einvoice {

void ERechnungSpeichern(const report::Seiten& seiten, QWidget* parent)
{
    data::Verbindung& db = Db();
    data::Dataset* lief = App().DMOrdavo->ADO_Lieferschein;
    const int id = (lief && lief->Active() && lief->RecNo() >= 0)
                       ? int(lief->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger())
                       : 0;
    const int adresse = id ? AdresseVonLieferschein(db, id) : 0;
    if (!adresse) throw data::Fehler(QStringLiteral("Es ist kein Lieferschein ausgewählt."));

    TERechnungSpeichern dialog(adresse, parent);
    if (!dialog.ZeigeModal()) return;
    const bool zugferd = dialog.Zugferd();
    const Profil profil = zugferd ? Profil::EN16931 : Profil::XRechnung;

    ERechnung r;
    for (;;) {
        QStringList maengel;
        r = AusLieferschein(db, id, profil, &maengel);
        maengel << Maengel(r, profil);
        if (maengel.isEmpty()) break;
        if (!MaengelZeigen(maengel, parent) || !TERechnungEinrichten::Einrichten(parent)) return;
    }
    const QByteArray xml = SchreibeCii(r);

    QFileDialog dlg(parent, QStringLiteral("Als E-Rechnung speichern"));
    dlg.setObjectName(QStringLiteral("ERechnungDateiDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    const QString endung = zugferd ? QStringLiteral("pdf") : QStringLiteral("xml");
    dlg.setNameFilter(zugferd ? QStringLiteral("ZUGFeRD-PDF-Dateien (*.pdf)") : QStringLiteral("XRechnung-Dateien (*.xml)"));
    dlg.setDefaultSuffix(endung);
    dlg.setDirectory(QDir::homePath());
    dlg.selectFile(QStringLiteral("Rechnung Nr. %1.%2").arg(r.nummer, endung));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const QString pfad = dlg.selectedFiles().constFirst();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Cursor {
        ~Cursor() { QApplication::restoreOverrideCursor(); }
    } cursor;
    if (zugferd)
        Schreiben(pfad, ZugferdPdf(seiten, QStringLiteral("Rechnung Nr. %1").arg(r.nummer), xml));
    else
        Schreiben(pfad, xml);
}

void AlsERechnungAnbieten(report::Bericht& bericht)
{
    bericht.addZusatzaktion({QStringLiteral("AktionERechnung"), QStringLiteral("Als E-Rechnung speichern …"),
                             &ERechnungSpeichern});
}

}  // namespace einvoice
