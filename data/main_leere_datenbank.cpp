// Writes an empty database with the schema, e.g. build/bin/ordavo_neu.mdb.
#include "data/Fehler.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "Aufruf: leere_datenbank <datei>\n");
        return 2;
    }
    try {
        data::LeereDatenbankSchreiben(args.at(1));
    } catch (const data::Fehler& f) {
        std::fprintf(stderr, "%s\n", f.text().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
