// datenuebernahme QUELLE.mdb ZIEL.mdb: takes the data of a Jet database of
// the Windows version over into a new database, without a window.
// datenuebernahme --server "host=buero dbname=ordavo user=laden" ordavo_tab.mdb:
// moves a database of this program, or a Jet file, onto a database server.
// datenuebernahme --inhalt QUELLE.mdb: lists what the file holds.
#include "data/Fehler.h"
#include "import/Uebernahme.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool inhalt = args.size() == 3 && args.at(1) == QLatin1String("--inhalt");
    const bool server = args.size() == 4 && args.at(1) == QLatin1String("--server");
    if (!inhalt && !server && (args.size() != 3 || args.at(1).startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "Aufruf: datenuebernahme QUELLE.mdb ZIEL.mdb\n"
                             "       datenuebernahme --server \"<Verbindungsangabe>\" QUELLE.mdb\n"
                             "       datenuebernahme --inhalt QUELLE.mdb\n");
        return 2;
    }
    try {
        QString text;
        if (server) {
            text = uebernahme::UebernehmenAufServer(args.at(3), args.at(2)).protokoll;
        } else {
            const auto quelle = uebernahme::JetQuelleOeffnen(args.at(inhalt ? 2 : 1));
            text = inhalt ? uebernahme::Inhalt(*quelle) : uebernahme::UebernehmenNach(*quelle, args.at(2)).protokoll;
        }
        std::fputs(text.toUtf8().constData(), stdout);
    } catch (const data::Fehler& f) {
        std::fprintf(stderr, "%s\n", f.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
