// Writes an empty database with the schema, e.g. build/bin/ordavo_neu.mdb, or
// creates the tables in an empty database on a server:
//   leere_datenbank --server "host=buero dbname=ordavo user=laden"
#include "data/Fehler.h"
#include "data/Schema.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool server = args.size() == 3 && args.at(1) == QLatin1String("--server");
    if (args.size() != 2 && !server) {
        std::fprintf(stderr, "Aufruf: leere_datenbank <datei>\n"
                             "        leere_datenbank --server \"<Verbindungsangabe>\"\n");
        return 2;
    }
    try {
        if (server) {
            server::PgVerbindung db(args.at(2));
            server::SchemaAnlegen(db);
            std::printf("%s\n", QStringLiteral("Die Tabellen wurden in der Datenbank %1 angelegt.")
                                    .arg(db.Datenbank()).toLocal8Bit().constData());
        } else {
            data::LeereDatenbankSchreiben(args.at(1));
        }
    } catch (const data::Fehler& f) {
        std::fprintf(stderr, "%s\n", f.text().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
