#include "app/Start.h"

#include "app/Datenuebernahme.h"
#include "app/Erzeugung.h"
#include "app/ordavo.h"
#include "app/tools.h"
#include "data/Fehler.h"
#include "platform/Pfade.h"
#include "server/PgMotor.h"
#include "platform/Sprache.h"
#include "ui/Anwendung.h"
#include "ui/Meldungen.h"
#include "app/Programmfenster.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <clocale>

namespace app {

void UebergabeUndUpdate(const QString& programmordner)
{
    const QString tab = programmordner + QStringLiteral("ordavo_tab.mdb");
    const QString neu = programmordner + QStringLiteral("ordavo_neu.mdb");
    if (!QFile::exists(tab)) QFile::rename(neu, tab);  // fails harmlessly without ordavo_neu.mdb
    if (QFile::exists(neu)) StarteUndWarte(programmordner + platform::Programmname(QStringLiteral("check_update")), QString(), 1);
}

void AnwendungEinrichten()
{
    // Qt switches the C library to the user's number format; keep "%.2f" and strtod as C.
    std::setlocale(LC_NUMERIC, "C");
    QLocale loc = QLocale::system();
    if (loc.language() == QLocale::C) loc = QLocale(QLocale::German, QLocale::Germany);
    QLocale::setDefault(loc);
    platform::QtAufDeutsch(*qApp);
}

int Starten(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Without it Qt warns at every start.
        const QString rt = QDir::temp().filePath(QStringLiteral("ordavo-runtime-%1").arg(qgetenv("USER").constData()));
        QDir().mkpath(rt);
        QFile::setPermissions(rt, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", rt.toLocal8Bit());
    }
    platform::DeutschOhneSystemsprache();
    QApplication anwendung(argc, argv);
    UebergabeUndUpdate(platform::Programmordner());
    // The name of the task-bar button and of notices. No display name: the
    // platform would add it to every window title.
    QApplication::setApplicationName(QStringLiteral("Ordavo"));
    AnwendungEinrichten();
    // With a database server named in the settings the file is not used.
    const QString server = platform::Datenbankserver();
    if (server.isEmpty() && !WindowsDatenbankUebernehmen(QDir::current().filePath(QStringLiteral("ordavo_tab.mdb")))) return 1;
    try {
        server::ServerWaehlen(server);
        AlleErzeugen();
    } catch (const data::Fehler& f) {
        // Without the database there is nothing to work on: the message, then the end.
        ui::Fehlermeldung(f.text());
        AlleZerstoeren();
        return 1;
    }
    int ergebnis = 1;
    if (TOrdavo* haupt = Programm().Ordavo) {
        haupt->show();
        ergebnis = anwendung.exec();
    }
    AlleZerstoeren();
    return ergebnis;
}

}  // namespace app
