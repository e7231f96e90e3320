#include "platform/Adressen.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

void AdresseOeffnen(const QString& adresse)
{
    QUrl url(adresse.trimmed());
    if (url.scheme().isEmpty()) url = QUrl::fromUserInput(adresse.trimmed());
    if (!url.isValid()) return;
    QDesktopServices::openUrl(url);
}

}  // namespace platform
