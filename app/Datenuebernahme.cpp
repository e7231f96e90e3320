#include "app/Datenuebernahme.h"

#include "data/Fehler.h"
#include "import/Uebernahme.h"
#include "ui/Meldungen.h"

#include <QFileInfo>

namespace app {

bool WindowsDatenbankUebernehmen(const QString& pfad, const JetOeffner& oeffnen)
{
    if (!uebernahme::IstJetDatei(pfad)) return true;
    if (!ui::Bestaetigen(QStringLiteral("Diese Datenbank stammt aus der Windows-Fassung von Ordavo. Sollen die Daten jetzt übernommen werden?")))
        return false;
    const QString name = QFileInfo(pfad).fileName();
    try {
        auto quelle = oeffnen ? oeffnen(pfad) : uebernahme::JetQuelleOeffnen(pfad);
        const uebernahme::AmOrt e = uebernahme::UebernehmenAmOrt(std::move(quelle), pfad);
        QString text = QStringLiteral("Die Daten wurden übernommen. Die Datei der Windows-Fassung liegt unverändert unter %1.")
                           .arg(QFileInfo(e.original).fileName());
        if (e.geaendert > 0 || e.verwaist > 0)
            text += QStringLiteral("\n\n%1 Werte mussten angepasst werden, %2 Zeilen verweisen auf fehlende Daten.").arg(e.geaendert).arg(e.verwaist);
        text += QStringLiteral("\n\nEinzelheiten stehen in %1.").arg(uebernahme::ProtokollName());
        ui::Hinweis(text);
        return true;
    } catch (const data::Fehler& f) {
        ui::Fehlermeldung(QStringLiteral("Die Daten konnten nicht übernommen werden.\n\n%1\n\nDie Datei %2 bleibt unverändert.").arg(f.text(), name));
        return false;
    }
}

}  // namespace app
