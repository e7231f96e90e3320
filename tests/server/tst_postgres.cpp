// The program's tables and statements on the private PostgreSQL server of the
// test run: the schema there, leere_datenbank --server, and every statement of
// the data module and the windows, translated, returning what it returns on
// the file.
#include "TestUmgebung.h"
#include "Testserver.h"

#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "server/Dialekt.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"
#include "server/Uebertragen.h"

#include <QCoreApplication>
#include <QDate>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sqlite3.h>

namespace {

using test::ServerAngabe;
using test::Serverdatenbank;

// --- the same statement on both engines -----------------------------------

using Parameter = QList<QPair<QString, QVariant>>;

struct Ergebnis {
    QStringList spalten;
    QList<QList<QVariant>> zeilen;
    qint64 geaendert = 0;
};

QVariant Wert(const Parameter& p, const QString& name)
{
    for (const auto& [n, w] : p)
        if (n == name) return w;
    return QVariant();
}

Ergebnis AufDatei(sqlite3* db, const QString& sql, const Parameter& p)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray b = sql.toUtf8();
    if (sqlite3_prepare_v2(db, b.constData(), int(b.size()), &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("Datei: ") + sqlite3_errmsg(db));
    for (int i = 1; i <= sqlite3_bind_parameter_count(st); ++i) {
        const QVariant w = Wert(p, QString::fromUtf8(sqlite3_bind_parameter_name(st, i) + 1));
        if (w.isNull()) sqlite3_bind_null(st, i);
        else if (w.typeId() == QMetaType::Double) sqlite3_bind_double(st, i, w.toDouble());
        else if (w.typeId() == QMetaType::Int || w.typeId() == QMetaType::LongLong) sqlite3_bind_int64(st, i, w.toLongLong());
        else {
            const QByteArray t = w.typeId() == QMetaType::QDate ? w.toDate().toString(Qt::ISODate).toUtf8() : w.toString().toUtf8();
            sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
    }
    Ergebnis e;
    // Through nested joins the file numbers repeated names ("id:2"); the program drops the number.
    static const QRegularExpression nummer(QStringLiteral(":[0-9]+$"));
    for (int k = 0; k < sqlite3_column_count(st); ++k)
        e.spalten << QString::fromUtf8(sqlite3_column_name(st, k)).remove(nummer);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QList<QVariant> z;
        for (int k = 0; k < sqlite3_column_count(st); ++k) {
            switch (sqlite3_column_type(st, k)) {
            case SQLITE_NULL: z << QVariant(); break;
            case SQLITE_INTEGER: z << QVariant(double(sqlite3_column_int64(st, k))); break;
            case SQLITE_FLOAT: z << QVariant(sqlite3_column_double(st, k)); break;
            default: z << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, k))));
            }
        }
        e.zeilen << z;
    }
    const QString fehler = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    if (!fehler.isEmpty()) throw std::runtime_error("Datei: " + fehler.toStdString());
    e.geaendert = sqlite3_changes(db);
    return e;
}

Ergebnis AufServer(server::PgVerbindung& db, const QString& sql, const Parameter& p)
{
    const server::Uebersetzung u = server::NachPostgres(sql);
    QList<QVariant> werte;
    for (const QString& n : u.parameter) werte << Wert(p, n);
    server::PgErgebnis r;
    try {
        r = db.Abfrage(u.sql, werte);
    } catch (const data::Fehler& f) {
        throw std::runtime_error(QStringLiteral("Server: %1\n%2").arg(f.text(), u.sql).toStdString());
    }
    Ergebnis e;
    e.spalten = r.spalten;
    e.geaendert = r.geaendert;
    for (const auto& zeile : r.zeilen) {
        QList<QVariant> z;
        for (const QVariant& w : zeile) {
            if (w.isNull()) z << QVariant();
            else if (w.typeId() == QMetaType::QDate) z << QVariant(w.toDate().toString(Qt::ISODate));
            else if (w.typeId() == QMetaType::LongLong || w.typeId() == QMetaType::Double) z << QVariant(w.toDouble());
            else z << w;
        }
        e.zeilen << z;
    }
    return e;
}

QString Text(const QVariant& w)
{
    if (w.isNull()) return QStringLiteral("NULL");
    if (w.typeId() == QMetaType::Double) return QString::number(w.toDouble(), 'g', 12);
    return QLatin1Char('\'') + w.toString() + QLatin1Char('\'');
}

QString Zeile(const QList<QVariant>& z)
{
    QStringList t;
    for (const QVariant& w : z) t << Text(w);
    return t.join(QStringLiteral(" | "));
}

bool Gleich(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    const bool za = a.typeId() == QMetaType::Double, zb = b.typeId() == QMetaType::Double;
    if (za != zb) return false;
    if (za) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::fabs(x - y) <= 1e-9 * std::max({1.0, std::fabs(x), std::fabs(y)});
    }
    return a.toString() == b.toString();
}

// Compares the two results; rows in order when the statement orders them.
QString Unterschied(Ergebnis datei, Ergebnis srv, bool geordnet)
{
    if (datei.spalten.size() != srv.spalten.size())
        return QStringLiteral("Spalten: %1 / %2").arg(datei.spalten.join(QLatin1Char(',')), srv.spalten.join(QLatin1Char(',')));
    // An expression without AS gets a name of each engine's own making; the
    // program reads such a column by position, so only given names must match.
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
    for (int k = 0; k < datei.spalten.size(); ++k)
        if (kName.match(datei.spalten[k]).hasMatch() && datei.spalten[k].compare(srv.spalten[k], Qt::CaseInsensitive) != 0)
            return QStringLiteral("Spalte %1: %2 / %3").arg(k).arg(datei.spalten[k], srv.spalten[k]);
    if (!geordnet) {
        auto sortieren = [](QList<QList<QVariant>>& z) {
            std::sort(z.begin(), z.end(), [](const auto& a, const auto& b) { return Zeile(a) < Zeile(b); });
        };
        sortieren(datei.zeilen);
        sortieren(srv.zeilen);
    }
    if (datei.zeilen.size() != srv.zeilen.size())
        return QStringLiteral("%1 Zeilen in der Datei, %2 auf dem Server").arg(datei.zeilen.size()).arg(srv.zeilen.size());
    for (int i = 0; i < datei.zeilen.size(); ++i)
        for (int k = 0; k < datei.spalten.size(); ++k)
            if (!Gleich(datei.zeilen[i][k], srv.zeilen[i][k]))
                return QStringLiteral("Zeile %1:\n  Datei:  %2\n  Server: %3").arg(i).arg(Zeile(datei.zeilen[i]), Zeile(srv.zeilen[i]));
    if (datei.geaendert != srv.geaendert && datei.spalten.isEmpty())
        return QStringLiteral("geänderte Zeilen: %1 / %2").arg(datei.geaendert).arg(srv.geaendert);
    return QString();
}

// --- the statements the program runs ----------------------------------------

struct Fall {
    QString name;
    QString sql;
    Parameter parameter;
};

const QDate kVon(2024, 1, 1), kBis(2024, 6, 30);

// The catalogue and the data module's operations.
// A next-number statement of the data module for one table and column.
QString NummerSql(const QString& muster, const QString& tabelle, const QString& spalte)
{
    return QString(muster).arg(spalte, tabelle).arg(std::numeric_limits<qint32>::max() - 1);
}

QList<Fall> Katalog()
{
    const Parameter zeitraum{{QStringLiteral("von"), kVon}, {QStringLiteral("bis"), kBis}, {QStringLiteral("id"), 1}};
    QList<Fall> f;
    for (const char* n : {"ADO_artikel", "ADO_Lieferschein", "ADO_Lieferschein_Artikel", "ADO_Druck_Lief", "ADO_suchen_Adressen",
                          "ADO_suchen_Lieferschein", "ADO_Nochnichtbezahlt", "ADO_PLU", "ADO_Auswertung_Artikel",
                          "ADO_Auswertung_Artikel_summen", "ADO_Auswertung_ArtikelKategorie_summen", "ADO_Auswertung_Adressen",
                          "ADO_Auswertung_alle_Adressen", "LieferscheinSummen"}) {
        const QString sql = TDMOrdavo::SqlVon(QString::fromLatin1(n));
        f << Fall{QString::fromLatin1(n), sql, zeitraum};
        if (sql.contains(QLatin1String(":von")))
            f << Fall{QString::fromLatin1(n) + QStringLiteral(" ohne Zeilen"), sql,
                      {{QStringLiteral("von"), QDate(1990, 1, 1)}, {QStringLiteral("bis"), QDate(1990, 12, 31)}, {QStringLiteral("id"), 1}}};
    }
    f << Fall{QStringLiteral("LieferscheinSummen ohne Posten"), TDMOrdavo::SqlVon(QStringLiteral("LieferscheinSummen")),
              {{QStringLiteral("id"), 5}}};
    // The next key or number: the highest in range, whether one is taken, the first gap.
    const QList<QPair<QString, QString>> nummern = {
        {"t_adressen", "ID"}, {"t_artikel", "ID"}, {"t_einheit", "ID"}, {"t_kategorie", "ID"}, {"t_Lieferschein", "ID"},
        {"t_lieferschein_artikel", "ID"}, {"t_lieferschein", "lief_nr"}, {"t_Artikel", "Artikel_nr"}};
    for (const auto& [t, sp] : nummern) {
        f << Fall{QStringLiteral("Nächste Nummer ") + t + QLatin1Char('.') + sp,
                  NummerSql(QStringLiteral("select max(%1) from %2 where %1 between 0 and %3"), t, sp), {}};
        f << Fall{QStringLiteral("Nummer vergeben ") + t + QLatin1Char('.') + sp,
                  QStringLiteral("select 1 from %1 where %2 = :nr").arg(t, sp), {{QStringLiteral("nr"), 1}}};
        f << Fall{QStringLiteral("Erste Lücke ") + t + QLatin1Char('.') + sp,
                  NummerSql(QStringLiteral("select min(a.%1) + 1 from %2 a where a.%1 between 1 and %3 and not exists "
                                           "(select 1 from %2 b where b.%1 = a.%1 + 1)"),
                            t, sp),
                  {}};
    }
    for (const char* s : {"select Zahlungsbedingungen from t_Stammdaten", "select Mahnungstext from t_Stammdaten",
                          "select Bankverbindungen from t_Stammdaten", "select Zusatztext from t_Stammdaten"})
        f << Fall{QString::fromLatin1(s), QString::fromLatin1(s), {}};
    // A write names the row by the values it had when read; NULL must equal NULL.
    const QString aendern = QStringLiteral("UPDATE t_artikel SET \"artikel_bez\" = :neu WHERE id = :id AND \"artikel_einkauf\" IS :alt");
    f << Fall{QStringLiteral("Ändern, Wert war NULL"), aendern, {{"neu", "Hammer 2"}, {"id", 2}, {"alt", QVariant()}}};
    f << Fall{QStringLiteral("Ändern, Wert war anders"), aendern, {{"neu", "Apfel 2"}, {"id", 1}, {"alt", 9.99}}};
    for (const char* t : {"t_adressen", "t_einheit", "t_kategorie", "t_stammdaten", "t_PLU"})
        f << Fall{QStringLiteral("Tabelle ") + QLatin1String(t), QStringLiteral("SELECT * FROM ") + QLatin1String(t), {}};
    return f;
}

// What the windows run on the scratch query and the statistics windows' own
// statements. A %1 stands for a column the window puts in.
QList<Fall> Fenster()
{
    const Parameter zeitraum{{QStringLiteral("von"), kVon}, {QStringLiteral("bis"), kBis}, {QStringLiteral("id"), 1}};
    QList<Fall> f;
    auto fall = [&](const QString& sql, const Parameter& p) { f << Fall{sql.left(60), sql, p}; };
    fall(QStringLiteral("SELECT Count(lief_adresse_id) AS [Anzahl] FROM t_lieferschein WHERE lief_adresse_id=:id;"), {{"id", 1}});
    fall(QStringLiteral("SELECT Count(la_artikel_id) AS [Anzahl] FROM t_lieferschein_artikel WHERE la_artikel_id=:id;"), {{"id", 1}});
    fall(QStringLiteral("SELECT Count(artikel_einheit_id) AS [Anzahl] FROM t_artikel WHERE artikel_einheit_id=:id;"), {{"id", 1}});
    fall(QStringLiteral("SELECT Count(artikel_kategorie_id) AS [Anzahl] FROM t_artikel WHERE artikel_kategorie_id=:id;"), {{"id", 3}});
    fall(QStringLiteral("delete From t_artikel where id = :id"), {{"id", 1}});
    fall(QStringLiteral("delete from t_plu\r\nwhere plu = :plu ;"), {{"plu", 1001}});
    fall(QStringLiteral("select Artikel_nr from t_artikel\r\nwhere id = :a_id ;"), {{"a_id", 2}});
    fall(QStringLiteral("select artikel_id from t_PLU\r\nwhere PLU = :PLU"), {{"PLU", 1002}});
    fall(QStringLiteral("delete from t_lieferschein where id = :id"), {{"id", 1}});
    fall(QStringLiteral("delete from t_lieferschein_artikel where id = :id;"), {{"id", 2}});
    fall(QStringLiteral("select * from t_Adressen"), {});
    fall(QStringLiteral("insert into t_lieferschein_artikel (id, la_lieferschein_id,la_artikel_id, la_anzahl, la_preis, "
                        "la_artikel_einkauf) values (:id, :la_lieferschein_id, :la_artikel_id, :la_anzahl, :la_preis, "
                        ":la_artikel_einkauf);"),
         {{"id", 50}, {"la_lieferschein_id", 2}, {"la_artikel_id", 2}, {"la_anzahl", 1.25}, {"la_preis", 12.9}, {"la_artikel_einkauf", 0.0}});
    fall(QStringLiteral("SELECT Sum([la_anzahl]*[la_preis]) AS gesamt FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON "
                        "t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id WHERE (((t_lieferschein.lief_datum) Between :von And :bis));"),
         zeitraum);
    fall(QStringLiteral("SELECT Sum([la_preis]*[la_anzahl]) AS gesamt FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON "
                        "t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
                        " WHERE (((t_lieferschein.lief_adresse_id)=:id)) and ( lief_datum between :von and :bis)"),
         zeitraum);
    // The search binds what the user typed plus "%"; the patterns show case,
    // umlauts, "_" and a backslash, which is no escape character.
    const QString suche = QStringLiteral("select * from t_Adressen where %1 like :suche or %1 like :sucheNachLeerzeichen");
    const QList<QPair<QString, QString>> muster{{"adr_firma", "mü%"},  {"adr_firma", "ÄRZTE%"}, {"adr_Ganzername", "%"},
                                                {"adr_Adresse", "_auptstr%"}, {"adr_PLZ", "1%"}, {"adr_Ort", "a\\b%"},
                                                {"adr_Ort", "ÜBER%"}, {"adr_Ort", "MÜL%"}};
    for (const auto& [spalte, m] : muster)
        f << Fall{QStringLiteral("Suche %1 %2").arg(spalte, m), suche.arg(spalte),
                  {{QStringLiteral("suche"), m}, {QStringLiteral("sucheNachLeerzeichen"), QStringLiteral(" ") + m}}};
    return f;
}

void Fixture()
{
    test::Sql(QStringLiteral("INSERT INTO t_einheit VALUES (1, 'Stück'), (2, 'kg')"));
    test::Sql(QStringLiteral("INSERT INTO t_kategorie VALUES (1, 'Obst'), (2, 'Werkzeug'), (3, 'Geschenke')"));
    const QString artikel = QStringLiteral("INSERT INTO t_artikel VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    test::Sql(artikel, {1, 10, "Apfel", "rot\r\nknackig", 2.5, 3.0, 7.0, 1.2, 2, 1});
    test::Sql(artikel, {2, 11, "Hammer", QVariant(), 12.9, 14.0, 19.0, QVariant(), 1, 2});
    test::Sql(artikel, {3, 12, "ohne Einheit", QVariant(), 1.0, QVariant(), 19.0, 0.5, QVariant(), QVariant()});
    // Bought for nothing: the category's markup divides by zero.
    test::Sql(artikel, {4, 13, "Werbegeschenk", QVariant(), 5.0, QVariant(), 19.0, 0.0, 1, 3});
    const QString adresse = QStringLiteral(
        "INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_kunde, adr_lieferant, "
        "adr_hatlieferadr, adr_lief_firma) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    test::Sql(adresse, {1, "Müller GmbH", "Hans Müller", "Hauptstraße 1", "10115", "Berlin", -1, 0, -1, "Lager Müller"});
    test::Sql(adresse, {2, "Meier", QVariant(), "Hauptstr. 2", "20095", "a\\b", -1, 0, 0, QVariant()});
    test::Sql(adresse, {3, "Ärzte am Markt", " ", "Markt 3", "80331", "über", -1, -1, 0, QVariant()});
    test::Sql(adresse, {4, "MÜLHEIM", "Zoe", "Weg 4", "45468", " Mülheim", 0, -1, 0, QVariant()});
    const QString schein = QStringLiteral(
        "INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahldatum, "
        "lief_zahlbetrag, lief_zahlungsbed, lief_Mahnungstext) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    test::Sql(schein, {1, 100, "2024-01-15", 1, "2024-01-20", QVariant(), QVariant(), "14 Tage netto", QVariant()});
    test::Sql(schein, {2, 101, "2024-02-01", 2, QVariant(), QVariant(), QVariant(), " ", ""});
    test::Sql(schein, {3, 102, "2024-03-10", 1, "2024-03-10", "2024-04-01", 99.5, QVariant(), QVariant()});
    test::Sql(schein, {4, 103, "2023-12-31", 3, "2024-01-02", QVariant(), QVariant(), QVariant(), "Bitte zahlen"});
    test::Sql(schein, {5, 104, "2024-06-30", 2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    test::Sql(schein, {6, 105, "2024-06-30", 3, "2024-07-01", QVariant(), QVariant(), QVariant(), QVariant()});
    const QString posten = QStringLiteral("INSERT INTO t_lieferschein_artikel VALUES (?, ?, ?, ?, ?, ?)");
    test::Sql(posten, {1, 1, 1, 1.5, 2.5, 1.2});
    test::Sql(posten, {2, 1, 2, 3.0, 12.9, 0.0});
    test::Sql(posten, {3, 2, 1, 10.0, 2.4, 1.2});
    test::Sql(posten, {4, 3, 4, 2.0, 5.0, 0.0});
    test::Sql(posten, {5, 3, 3, 7.0, 1.0, 0.5});  // its article has no unit: the item lists leave it out
    test::Sql(posten, {6, 4, 2, 1.0, 11.0, 8.0});
    test::Sql(posten, {7, 6, 1, 0.25, 2.6, 1.2});
    test::Sql(QStringLiteral("INSERT INTO t_PLU VALUES (1000, 1), (1001, 2), (1002, 99)"));
    test::Sql(QStringLiteral("INSERT INTO t_stammdaten (stammd_firma, stammd_firma_d, stammd_drucken, Zahlungsbedingungen, "
                             "Bankverbindungen, Zusatztext, Mahnungstext) VALUES ('Laden', -1, 0, 'sofort', 'Bank', ' ', NULL)"));
}

// Every statement text in the sources of the data module and the windows.
QStringList SqlImQuelltext()
{
    const QString wurzel = qEnvironmentVariable("ORDAVO_SOURCE_DIR");
    QStringList dateien{wurzel + QStringLiteral("/data/dm_ordavo.cpp")};
    for (const char* ordner : {"app", "masterdata", "delivery", "print", "stats"}) {
        QDirIterator it(wurzel + QLatin1Char('/') + QLatin1String(ordner), {QStringLiteral("*.cpp")}, QDir::Files);
        while (it.hasNext()) {
            // The file's own fast path of the statistics: sums in temporary
            // tables of the connection, with a function of the program.
            const QString d = it.next();
            if (!d.endsWith(QLatin1String("/Summieren.cpp")) && !d.endsWith(QLatin1String("/Statistikabfragen.cpp"))) dateien << d;
        }
    }
    // Adjacent string literals form one text, as the compiler joins them.
    static const QRegularExpression literale(QStringLiteral(R"re(("(?:[^"\\\n]|\\.)*"\s*)+)re"));
    static const QRegularExpression einzeln(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    static const QRegularExpression sql(QStringLiteral(R"(^\s*(select|insert|update|delete|with)\s)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (const QString& pfad : dateien) {
        QFile d(pfad);
        if (!d.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(d.readAll());
        for (auto m = literale.globalMatch(text); m.hasNext();) {
            QString s;
            for (auto e = einzeln.globalMatch(m.next().captured(0)); e.hasNext();) s += e.next().captured(1);
            s.replace(QLatin1String("\\r"), QLatin1String("\r")).replace(QLatin1String("\\n"), QLatin1String("\n"));
            s.replace(QLatin1String("\\\""), QLatin1String("\"")).replace(QLatin1String("\\\\"), QLatin1String("\\"));
            if (sql.match(s).hasMatch()) out << s;
        }
    }
    return out;
}

}  // namespace

class TestPostgres : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("ORDAVO_TEST_PG").isEmpty(),
                 "ORDAVO_TEST_PG fehlt: der Testserver läuft nicht (ctest startet ihn mit server.testserver_start)");
    }
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup() { m_ordner.reset(); }

    void leereDatenbankAufDemServer();
    void schemaWieInDerDatei();
    void anweisungenLiefernDasselbe();
    void jedeAnweisungDerFensterIstVerglichen();

private:
    std::unique_ptr<test::Programmordner> m_ordner;
};

void TestPostgres::leereDatenbankAufDemServer()
{
    Serverdatenbank sdb;
    const QString programm = qEnvironmentVariable("ORDAVO_BIN_DIR") + QStringLiteral("/leere_datenbank");
    auto lauf = [&](const QString& angabe, QString* meldung) {
        QProcess p;
        p.start(programm, {QStringLiteral("--server"), angabe});
        if (!p.waitForFinished(60000)) return -1;
        *meldung = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return p.exitCode();
    };
    QString meldung;
    QCOMPARE(lauf(sdb.angabe() + QStringLiteral(" password=geheim"), &meldung), 1);
    QVERIFY2(meldung.contains(QLatin1String("~/.pgpass")), qPrintable(meldung));
    QCOMPARE(lauf(sdb.angabe(), &meldung), 0);
    server::PgVerbindung db(sdb.angabe());
    QCOMPARE(db.Wert(QStringLiteral("SELECT version FROM t_schemaversion")).toLongLong(), qint64(server::SchemaVersion()));

    // A second run finds the tables and changes nothing.
    db.Ausfuehren(QStringLiteral("INSERT INTO t_einheit VALUES (1, 'Stück')"));
    QCOMPARE(lauf(sdb.angabe(), &meldung), 1);
    QVERIFY2(meldung.contains(QStringLiteral("enthält bereits Tabellen")), qPrintable(meldung));
    QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM t_einheit")).toLongLong(), qint64(1));

    // A database with a table of someone else is refused as well.
    Serverdatenbank fremd;
    server::PgVerbindung(fremd.angabe()).Ausfuehren(QStringLiteral("CREATE TABLE kunden (id integer)"));
    QCOMPARE(lauf(fremd.angabe(), &meldung), 1);
    QVERIFY2(meldung.contains(QLatin1String("kunden")), qPrintable(meldung));
    QCOMPARE(server::PgVerbindung(fremd.angabe()).Wert(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")).toLongLong(),
             qint64(1));

    QCOMPARE(lauf(ServerAngabe() + QStringLiteral(" dbname=gibt_es_nicht"), &meldung), 1);
    QVERIFY2(meldung.startsWith(QLatin1String("Die Datenbank oder der Benutzer ist auf dem Datenbankserver nicht vorhanden")),
             qPrintable(meldung));
}

void TestPostgres::schemaWieInDerDatei()
{
    Serverdatenbank sdb;
    server::PgVerbindung db(sdb.angabe());
    server::SchemaAnlegen(db);

    // Tables and columns in the same order, names in lower case.
    const auto tabellen = test::Zeilen(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
    QVERIFY(!tabellen.isEmpty());
    for (const auto& t : tabellen) {
        QStringList datei;
        for (const auto& s : test::Zeilen(QStringLiteral("PRAGMA table_info(%1)").arg(t.at(0).toString()))) datei << s.at(1).toString().toLower();
        QStringList srv;
        for (const auto& z : db.Abfrage(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_name = $1 "
                                                       "ORDER BY ordinal_position"),
                                        {t.at(0).toString().toLower()})
                                 .zeilen)
            srv << z.at(0).toString();
        QCOMPARE(srv, datei);
    }
    QStringList indizesDatei;
    for (const auto& z : test::Zeilen(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL")))
        indizesDatei << z.at(0).toString().toLower();
    QStringList indizesServer;
    for (const auto& z : db.Abfrage(QStringLiteral("SELECT indexname, tablename FROM pg_indexes WHERE schemaname = 'public' AND indexname LIKE 'ix\\_%'")).zeilen)
        // The statistics' yearly sums are the server's own.
        if (!server::Hilfstabellen().contains(z.at(1).toString())) indizesServer << z.at(0).toString();
    // Several workstations propose note numbers at once: the server refuses a clash.
    indizesDatei << QStringLiteral("ix_lief_nr");
    indizesDatei.sort();
    indizesServer.sort();
    QCOMPARE(indizesServer, indizesDatei);

    // Keys the program assigns, and what the database must refuse.
    db.Ausfuehren(QStringLiteral("INSERT INTO t_adressen (id, adr_kunde) VALUES (7, -1)"));
    const QStringList falsch{
        QStringLiteral("INSERT INTO t_adressen (id) VALUES (7)"),                       // key twice
        QStringLiteral("INSERT INTO t_adressen (id, adr_kunde) VALUES (8, 1)"),         // yes is -1
        QStringLiteral("INSERT INTO t_lieferschein (id, lief_adresse_id) VALUES (1, 99)"),  // no such address
        QStringLiteral("INSERT INTO t_lieferschein (id, lief_datum) VALUES (2, '31.01.2024')"),
        QStringLiteral("INSERT INTO t_plu VALUES (5, 1), (5, 2)"),
        QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr) VALUES (3, 40), (4, 40)"),  // note number twice
    };
    for (const QString& sql : falsch) {
        bool abgelehnt = false;
        try {
            db.Ausfuehren(sql);
        } catch (const data::Fehler&) {
            abgelehnt = true;
        }
        QVERIFY2(abgelehnt, qPrintable(sql));
    }
}

void TestPostgres::anweisungenLiefernDasselbe()
{
    Fixture();
    Serverdatenbank sdb;
    server::PgVerbindung srv(sdb.angabe());
    server::SchemaAnlegen(srv);
    data::Verbindung datei;
    datei.Oeffnen();
    const auto kopiert = server::TabellenKopieren(datei.Handle(), srv);
    QCOMPARE(kopiert.size(), server::Tabellen().size());

    const QStringList tabellen = server::Tabellen();
    auto alles = [&](auto&& lauf) {
        Ergebnis e;
        for (const QString& t : tabellen) {
            const Ergebnis r = lauf(QStringLiteral("SELECT '%1' AS t, * FROM %1").arg(t));
            e.spalten = QStringList{QStringLiteral("tabelle"), QStringLiteral("zeile")};
            for (const auto& z : r.zeilen) e.zeilen << QList<QVariant>{t, Zeile(z)};
        }
        return e;
    };

    int geprueft = 0;
    QStringList fehler;
    for (const Fall& f : Katalog() + Fenster()) {
        const bool aendert = QRegularExpression(QStringLiteral(R"(^\s*(insert|update|delete)\s)"), QRegularExpression::CaseInsensitiveOption)
                                 .match(f.sql)
                                 .hasMatch();
        const bool geordnet = f.sql.contains(QLatin1String("order by"), Qt::CaseInsensitive);
        QString unterschied;
        try {
            if (aendert) {
                datei.Ausfuehren(QStringLiteral("BEGIN"));
                srv.Ausfuehren(QStringLiteral("BEGIN"));
            }
            unterschied = Unterschied(AufDatei(datei.Handle(), f.sql, f.parameter), AufServer(srv, f.sql, f.parameter), geordnet);
            // A change must leave both databases alike, cascades included.
            if (unterschied.isEmpty() && aendert)
                unterschied = Unterschied(alles([&](const QString& s) { return AufDatei(datei.Handle(), s, {}); }),
                                          alles([&](const QString& s) { return AufServer(srv, s, {}); }), false);
        } catch (const std::exception& e) {
            unterschied = QString::fromStdString(e.what());
        }
        if (aendert) {
            datei.Ausfuehren(QStringLiteral("ROLLBACK"));
            srv.Ausfuehren(QStringLiteral("ROLLBACK"));
        }
        if (!unterschied.isEmpty()) {
            // The test's own message would be cut short; each difference in full here.
            qWarning().noquote() << f.name << "\n" << unterschied;
            fehler << f.name;
        }
        ++geprueft;
    }
    QVERIFY(geprueft > 0);
    QVERIFY2(fehler.isEmpty(), qPrintable(QStringLiteral("Anders auf dem Server: ") + fehler.join(QStringLiteral("; "))));
}

void TestPostgres::jedeAnweisungDerFensterIstVerglichen()
{
    // A statement added to a window or the data module must be added to the
    // comparison above, or nobody knows whether it runs on the server.
    QStringList bekannt;
    for (const Fall& f : Katalog() + Fenster()) bekannt << f.sql;
    bekannt << QStringLiteral("select * from t_Adressen where %1 like :suche or %1 like :sucheNachLeerzeichen");
    // The next-number statements name their table and column through placeholders.
    bekannt << QStringLiteral("select max(%1) from %2 where %1 between 0 and %3") << QStringLiteral("select 1 from %1 where %2 = :nr")
            << QStringLiteral("select min(a.%1) + 1 from %2 a where a.%1 between 1 and %3 and not exists "
                              "(select 1 from %2 b where b.%1 = a.%1 + 1)");
    const QStringList gefunden = SqlImQuelltext();
    QVERIFY2(gefunden.size() > 20, qPrintable(gefunden.join(QLatin1Char('\n'))));
    for (const QString& s : gefunden) {
        const bool dabei = std::any_of(bekannt.begin(), bekannt.end(), [&](const QString& b) { return b.contains(s); });
        QVERIFY2(dabei, qPrintable(QStringLiteral("Nicht auf dem Server verglichen:\n") + s));
    }
}

QTEST_MAIN(TestPostgres)
#include "tst_postgres.moc"
