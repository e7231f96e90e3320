// The server half of the test support: with ORDAVO_TEST_MOTOR=server, each
// program folder gets a database of its own on the private test server
// (ORDAVO_TEST_PG). Copying a template that holds the schema is much faster
// than creating the schema each time; the template is made once per test
// program and dropped at its end.
#include "TestUmgebung.h"
#include "Testserver.h"

#include "data/Fehler.h"
#include "server/PgMotor.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>

namespace {

QString Angabe()
{
    const QString angabe = qEnvironmentVariable("ORDAVO_TEST_PG");
    if (angabe.isEmpty())
        qFatal("ORDAVO_TEST_PG fehlt: der Testserver läuft nicht (ctest startet ihn mit server.testserver_start)");
    return angabe;
}

QString Praefix() { return QStringLiteral("ordavo_test_%1").arg(QCoreApplication::applicationPid()); }

// Runs administrative statements on the server's maintenance database.
void Verwalten(const QString& sql)
{
    try {
        server::PgVerbindung verwaltung(Angabe());
        verwaltung.Ausfuehren(sql);
    } catch (const data::Fehler& f) {
        qFatal("Testserver: %s\n%s", qPrintable(f.text()), qPrintable(sql));
    }
}

struct Vorlage {
    QString name;
    ~Vorlage()
    {
        if (name.isEmpty()) return;
        try {
            server::PgVerbindung verwaltung(Angabe());
            verwaltung.Ausfuehren(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        } catch (const data::Fehler& f) {
            std::fprintf(stderr, "Testserver: %s\n", qPrintable(f.text()));
        }
    }
};

const QString& VorlageName()
{
    static Vorlage vorlage;
    if (vorlage.name.isEmpty()) {
        const QString name = Praefix() + QStringLiteral("_vorlage");
        Verwalten(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        Verwalten(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name));
        vorlage.name = name;
        try {
            server::PgVerbindung db(Angabe() + QStringLiteral(" dbname=") + name);
            server::SchemaAnlegen(db);
        } catch (const data::Fehler& f) {
            qFatal("Testserver: Schema nicht angelegt: %s", qPrintable(f.text()));
        }
    }
    return vorlage.name;
}

QString& Aktuell()
{
    static QString name;
    return name;
}

void Anlegen()
{
    static int zaehler = 0;
    const QString name = QStringLiteral("%1_%2").arg(Praefix()).arg(++zaehler);
    Verwalten(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, VorlageName()));
    Aktuell() = name;
    server::ServerWaehlen(Angabe() + QStringLiteral(" dbname=") + name);
}

void Abbauen()
{
    server::ServerWaehlen(QString());
    if (Aktuell().isEmpty()) return;
    // FORCE: a connection the test left open must not keep the database.
    Verwalten(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(Aktuell()));
    Aktuell().clear();
}

[[maybe_unused]] const bool g_angemeldet = [] {
    test::SetzeServerhaken(&Anlegen, &Abbauen);
    return true;
}();

}  // namespace

namespace test {

QString ServerAngabe() { return Angabe(); }

Serverdatenbank::Serverdatenbank(bool mitSchema)
{
    static int zaehler = 0;
    m_name = Praefix() + QStringLiteral("_db%1").arg(++zaehler);
    Verwalten(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_name));
    Verwalten(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE %2")
                  .arg(m_name, mitSchema ? VorlageName() : QStringLiteral("template0")));
}

Serverdatenbank::~Serverdatenbank()
{
    try {
        server::PgVerbindung(Angabe()).Ausfuehren(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (const data::Fehler& f) {
        std::fprintf(stderr, "Testserver: %s\n", qPrintable(f.text()));
    }
}

QString Serverdatenbank::angabe() const { return Angabe() + QStringLiteral(" dbname=") + m_name; }

}  // namespace test
