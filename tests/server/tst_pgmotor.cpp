// Statements the program runs again and again on the database server: each
// run takes its own values, a refused statement is refused every time, and a
// refused change leaves the statement usable.
#include "TestUmgebung.h"
#include "Testserver.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "server/PgMotor.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

using test::ServerAngabe;

// A database of its own on the test server with the program's tables.
class Serverdatenbank : public test::Serverdatenbank {
public:
    Serverdatenbank() : test::Serverdatenbank(true) {}
};

}  // namespace

class TestPgMotor : public QObject {
    Q_OBJECT
private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup()
    {
        server::ServerWaehlen(QString());
        m_ordner.reset();
    }

    void wiederholteAnweisungen()
    {
        Serverdatenbank sdb;
        server::PgVerbindung db(sdb.angabe());
        db.Ausfuehren(QStringLiteral("INSERT INTO t_einheit (id, einheit) VALUES (1, 'Stk'), (2, 'kg'), (3, 'm')"));
        server::ServerWaehlen(sdb.angabe());
        data::Verbindung v;
        v.Oeffnen();

        // Often enough that the server keeps the statement; every run sees its own value.
        data::Dataset q(&v, QStringLiteral("q"), data::Dataset::Art::Abfrage);
        q.setSql(QStringLiteral("SELECT einheit FROM t_einheit WHERE id = :id"));
        const QStringList namen{QStringLiteral("Stk"), QStringLiteral("kg"), QStringLiteral("m")};
        for (int runde = 0; runde < 3; ++runde)
            for (int id : {3, 1, 2}) {
                q.Close();
                q.setParameter(QStringLiteral("id"), id);
                q.Open();
                QCOMPARE(q.RecordCount(), 1);
                QCOMPARE(q.FieldByName(QStringLiteral("einheit")).asString(), namen.at(id - 1));
            }
        q.Close();
        q.setParameter(QStringLiteral("id"), QVariant());
        q.Open();
        QCOMPARE(q.RecordCount(), 0);

        // Refused by the server: each time, with the server's reason, and the connection goes on.
        data::Dataset falsch(&v, QStringLiteral("falsch"), data::Dataset::Art::Abfrage);
        falsch.setSql(QStringLiteral("SELECT gibt_es_nicht FROM t_einheit WHERE id = :id"));
        for (int i = 0; i < 3; ++i) {
            falsch.Close();
            falsch.setParameter(QStringLiteral("id"), 1);
            try {
                falsch.Open();
                QFAIL("Eine Anweisung mit einer unbekannten Spalte lief durch.");
            } catch (const data::Fehler& f) {
                QVERIFY2(f.text().contains(QLatin1String("gibt_es_nicht")), qPrintable(f.text()));
            }
        }

        // The same INSERT again and again: a taken key is refused, the next one is stored.
        data::Dataset ein(&v, QStringLiteral("ein"), data::Dataset::Art::Abfrage);
        ein.setSql(QStringLiteral("INSERT INTO t_einheit (id, einheit) VALUES (:id, :einheit)"));
        const struct {
            int id;
            const char* einheit;
            bool gespeichert;
        } faelle[] = {{4, "l", true}, {5, "t", true}, {5, "doppelt", false}, {2, "doppelt", false}, {6, "h", true}};
        for (const auto& f : faelle) {
            ein.setParameter(QStringLiteral("id"), f.id);
            ein.setParameter(QStringLiteral("einheit"), QString::fromLatin1(f.einheit));
            bool gespeichert = true;
            try {
                QCOMPARE(ein.ExecSQL(), 1);
            } catch (const data::Fehler&) {
                gespeichert = false;
            }
            QCOMPARE(gespeichert, f.gespeichert);
        }
        QCOMPARE(db.Wert(QStringLiteral("SELECT string_agg(einheit, ',' ORDER BY id) FROM t_einheit")).toString(),
                 QStringLiteral("Stk,kg,m,l,t,h"));
        q.Close();
        q.setParameter(QStringLiteral("id"), 6);
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("einheit")).asString(), QStringLiteral("h"));
    }

private:
    std::unique_ptr<test::Programmordner> m_ordner;
};

QTEST_MAIN(TestPgMotor)
#include "tst_pgmotor.moc"
