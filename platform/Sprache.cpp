#include "platform/Sprache.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

namespace {
bool OhneSprache(const QByteArray& wert)
{
    const QByteArray name = wert.left(wert.indexOf('.'));  // "C.UTF-8" is "C"
    return name.isEmpty() || name == "C" || name == "POSIX";
}
}  // namespace

void DeutschOhneSystemsprache()
{
    // Where Qt and the C library look: LC_ALL beats LC_<category> beats LANG.
    const QByteArray alle = qgetenv("LC_ALL");
    if (!alle.isEmpty()) {
        if (OhneSprache(alle)) qputenv("LC_ALL", "de_DE.UTF-8");
        return;
    }
    const QByteArray lang = qgetenv("LANG");
    for (const char* kategorie : {"LC_NUMERIC", "LC_TIME", "LC_MONETARY", "LC_MESSAGES", "LC_MEASUREMENT"}) {
        const QByteArray wert = qgetenv(kategorie);
        if (OhneSprache(wert.isEmpty() ? lang : wert)) qputenv(kategorie, "de_DE.UTF-8");
    }
}

bool QtAufDeutsch(QCoreApplication& anwendung)
{
    auto* qt = new QTranslator(&anwendung);
    if (!qt->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

}  // namespace platform
