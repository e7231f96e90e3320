// Moving a database onto the server with datenuebernahme --server: a file of
// this program or a Jet file, into an empty database or one with empty
// tables; a database holding data is refused and left alone, and a failure
// while copying leaves nothing behind.
#include "TestUmgebung.h"
#include "Testserver.h"

#include "data/Fehler.h"
#include "import/Uebernahme.h"
#include "import/Zeilenquelle.h"
#include "server/Dialekt.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <memory>

namespace {

using uebernahme::Jetart;

using test::ServerAngabe;
using test::Serverdatenbank;

struct Lauf {
    int code = -1;
    QString ausgabe, meldung;
};

Lauf Uebernahme(const QString& angabe, const QString& datei)
{
    QProcess p;
    p.start(qEnvironmentVariable("ORDAVO_BIN_DIR") + QStringLiteral("/datenuebernahme"), {QStringLiteral("--server"), angabe, datei});
    Lauf l;
    if (!p.waitForFinished(120000)) return l;
    l.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    l.ausgabe = QString::fromUtf8(p.readAllStandardOutput());
    l.meldung = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return l;
}

// A value as text, the same from either engine.
QString Text(const QVariant& w)
{
    if (w.isNull()) return QStringLiteral("NULL");
    if (w.typeId() == QMetaType::QDate) return QLatin1Char('\'') + w.toDate().toString(Qt::ISODate) + QLatin1Char('\'');
    if (w.typeId() == QMetaType::Double || w.typeId() == QMetaType::LongLong || w.typeId() == QMetaType::Int)
        return QString::number(w.toDouble(), 'g', 17);
    return QLatin1Char('\'') + w.toString() + QLatin1Char('\'');
}

QStringList Inhalt(const QList<QList<QVariant>>& zeilen)
{
    QStringList out;
    for (const auto& z : zeilen) {
        QStringList werte;
        for (const QVariant& w : z) werte << Text(w);
        out << werte.join(QStringLiteral(" | "));
    }
    return out;
}

// Rows per table of the program on the server; an absent table is -1.
QMap<QString, qint64> Zeilenzahlen(server::PgVerbindung& db)
{
    QMap<QString, qint64> out;
    for (const QString& t : server::Tabellen()) {
        const bool da = !db.Wert(QStringLiteral("SELECT to_regclass($1)"), {t}).isNull();
        out[t] = da ? db.Wert(QStringLiteral("SELECT count(*) FROM %1").arg(t)).toLongLong() : -1;
    }
    return out;
}

qint64 TabellenAufDemServer(server::PgVerbindung& db)
{
    return db.Wert(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")).toLongLong();
}

QString ProtokollNeben(const QString& datei)
{
    QFile f(QFileInfo(datei).absoluteDir().filePath(uebernahme::ProtokollName()));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A small shop: awkward money values (a tenth, four decimals, negative),
// umlauts, line breaks, NULLs.
void Laden()
{
    test::Sql(QStringLiteral("INSERT INTO t_einheit VALUES (1, 'Stück'), (2, 'kg')"));
    test::Sql(QStringLiteral("INSERT INTO t_kategorie VALUES (1, 'Obst'), (2, 'Werkzeug')"));
    const QString artikel = QStringLiteral("INSERT INTO t_artikel VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    test::Sql(artikel, {1, 10, "Äpfel", "rot\r\nknackig", 0.1, 3.0, 7.0, 1234.5678, 2, 1});
    test::Sql(artikel, {2, 11, "Hammer", QVariant(), 12.99, QVariant(), 19.0, QVariant(), 1, 2});
    const QString adresse = QStringLiteral("INSERT INTO t_adressen (id, adr_firma, adr_ort, adr_kunde) VALUES (?, ?, ?, ?)");
    test::Sql(adresse, {1, "Müller GmbH", "München", -1});
    test::Sql(adresse, {7, "Ärzte am Markt", "Köln", -1});
    const QString schein = QStringLiteral(
        "INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id, lief_rechnungsdatum, lief_zahldatum, lief_zahlbetrag) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    test::Sql(schein, {1, 100, "2024-01-15", 1, "2024-01-20", "2024-02-01", 99999.9999});
    test::Sql(schein, {2, 101, "2024-02-29", 7, QVariant(), QVariant(), QVariant()});
    test::Sql(schein, {5, 105, "2024-03-01", 7, "2024-03-01", "2024-03-05", -5.0});
    const QString posten = QStringLiteral("INSERT INTO t_lieferschein_artikel VALUES (?, ?, ?, ?, ?, ?)");
    test::Sql(posten, {1, 1, 1, 1.5, 0.1, 1234.5678});
    test::Sql(posten, {2, 1, 2, 3.0, 12.99, 0.0});
    test::Sql(posten, {9, 5, 1, 0.25, 0.3333, QVariant()});
    test::Sql(QStringLiteral("INSERT INTO t_PLU VALUES (1000, 1), (1001, 2)"));
    test::Sql(QStringLiteral("INSERT INTO t_stammdaten (stammd_firma, stammd_firma_d, Zahlungsbedingungen) VALUES ('Laden', -1, 'sofort')"));
}

QByteArray Pruefsumme(const QString& datei)
{
    return QCryptographicHash::hash(test::Lies(datei), QCryptographicHash::Sha256);
}

uebernahme::QuellSpalte S(const char* name, Jetart art, const char* typ) { return {QString::fromUtf8(name), QString::fromLatin1(typ), art}; }

}  // namespace

class TstServeruebernahme : public QObject {
    Q_OBJECT

private slots:
    void init() { m_ordner = std::make_unique<test::Programmordner>(); }
    void cleanup() { m_ordner.reset(); }

    void dateiAufDenServer_data();
    void dateiAufDenServer();
    void belegteDatenbankBleibtUnberuehrt_data();
    void belegteDatenbankBleibtUnberuehrt();
    void fehlerBeimKopierenLaesstNichtsZurueck_data();
    void fehlerBeimKopierenLaesstNichtsZurueck();
    void doppelteLieferscheinnummer();
    void jetDateiAufDenServer();

private:
    std::unique_ptr<test::Programmordner> m_ordner;
};

void TstServeruebernahme::dateiAufDenServer_data()
{
    QTest::addColumn<bool>("mitTabellen");
    QTest::addColumn<bool>("alteDatei");
    QTest::newRow("leere Datenbank") << false << false;
    QTest::newRow("leere Tabellen von leere_datenbank") << true << false;
    QTest::newRow("Datei ohne die neueren Tabellen") << false << true;
}

void TstServeruebernahme::dateiAufDenServer()
{
    QFETCH(bool, mitTabellen);
    QFETCH(bool, alteDatei);
    Laden();
    if (alteDatei) {
        // As written before the e-invoice tables came; the file itself stays so.
        for (const char* t : {"t_erechnung_firma", "t_erechnung_kunde", "t_erechnung_einheit"})
            test::Sql(QStringLiteral("DROP TABLE %1").arg(QLatin1String(t)));
        test::Sql(QStringLiteral("PRAGMA user_version = 0"));
    }
    const QString datei = m_ordner->datenbank();
    const QByteArray vorher = Pruefsumme(datei);
    Serverdatenbank sdb;
    server::PgVerbindung db(sdb.angabe());
    if (mitTabellen) {
        server::SchemaAnlegen(db);
        // Should the server ever number a key itself, it goes on after the copied keys.
        db.Ausfuehren(QStringLiteral("ALTER TABLE t_einheit ALTER COLUMN id ADD GENERATED BY DEFAULT AS IDENTITY"));
    }

    const Lauf l = Uebernahme(sdb.angabe(), datei);
    QVERIFY2(l.code == 0, qPrintable(l.meldung));
    QCOMPARE(Pruefsumme(datei), vorher);  // the file itself is only read

    // Every row, every value as in the file.
    for (const QString& t : server::Tabellen()) {
        const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(t);
        const bool inDerDatei = test::Wert(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE lower(name) = ?"), {t}).toLongLong() > 0;
        QCOMPARE(Inhalt(db.Abfrage(sql).zeilen), inDerDatei ? Inhalt(test::Zeilen(sql)) : QStringList());
    }
    QCOMPARE(db.Wert(QStringLiteral("SELECT version FROM t_schemaversion")).toLongLong(), qint64(server::SchemaVersion()));
    // The statistics' yearly sums come with the copy.
    QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM stat_jahr_offen")).toLongLong(), qint64(0));
    const QString summe = db.Wert(QStringLiteral(
        "SELECT round(CAST(sum(a.la_preis*a.la_anzahl) AS numeric), 4) FROM t_lieferschein_artikel a "
        "JOIN t_lieferschein l ON l.id = a.la_lieferschein_id WHERE l.lief_datum IS NOT NULL")).toString();
    QVERIFY(!summe.isEmpty());
    for (const char* t : {"stat_jahr_artikel", "stat_jahr_kunden"})
        QCOMPARE(db.Wert(QStringLiteral("SELECT round(CAST(sum(gesamt) AS numeric), 4) FROM %1 WHERE jahr IS NULL")
                             .arg(QLatin1String(t))).toString(), summe);

    // The protocol beside the file says what was counted where.
    const QString protokoll = ProtokollNeben(datei);
    QCOMPARE(l.ausgabe, protokoll);
    for (const QString& zeile : {QStringLiteral("  t_lieferschein_artikel: 3 Zeilen in der Datei, 3 auf dem Server\n"),
                                 QStringLiteral("  t_lieferschein.lief_zahlbetrag: 99994.9999 in der Datei, 99994.9999 auf dem Server\n"),
                                 QStringLiteral("  t_artikel.artikel_preis: 13.0900 in der Datei, 13.0900 auf dem Server\n"),
                                 QStringLiteral("\nDie Daten wurden vollständig übernommen.\n")})
        QVERIFY2(protokoll.contains(zeile), qPrintable(protokoll));

    // The program's next key and number follow the highest copied one, and the row goes in.
    const auto naechste = [&](const QString& tabelle, const QString& spalte) {
        const server::Uebersetzung u = server::NachPostgres(
            QStringLiteral("select max(%1) from %2 where %1 between 0 and 2147483646").arg(spalte, tabelle));
        return db.Wert(u.sql).toLongLong() + 1;
    };
    QCOMPARE(naechste(QStringLiteral("t_Lieferschein"), QStringLiteral("ID")), qint64(6));
    QCOMPARE(naechste(QStringLiteral("t_lieferschein"), QStringLiteral("lief_nr")), qint64(106));
    db.Abfrage(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES ($1, $2, '2024-12-01', 7)"),
               {naechste(QStringLiteral("t_lieferschein"), QStringLiteral("id")), naechste(QStringLiteral("t_lieferschein"), QStringLiteral("lief_nr"))});
    QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM t_lieferschein WHERE lief_adresse_id = 7")).toLongLong(), qint64(3));
    if (mitTabellen)
        QCOMPARE(db.Wert(QStringLiteral("INSERT INTO t_einheit (einheit) VALUES ('Karton') RETURNING id")).toLongLong(), qint64(3));
}

void TstServeruebernahme::belegteDatenbankBleibtUnberuehrt_data()
{
    QTest::addColumn<QStringList>("vorbereitung");
    QTest::addColumn<QString>("meldung");
    QTest::newRow("Daten von Ordavo") << QStringList{QStringLiteral("INSERT INTO t_einheit VALUES (5, 'Kiste')")}
                                       << QStringLiteral("enthält bereits Daten von Ordavo (t_einheit: 1 Zeilen)");
    QTest::newRow("nur in einer neuen Tabelle") << QStringList{QStringLiteral("INSERT INTO t_erechnung_firma (id) VALUES (1)")}
                                                << QStringLiteral("enthält bereits Daten von Ordavo (t_erechnung_firma: 1 Zeilen)");
    QTest::newRow("Tabellen eines anderen Programms")
        << QStringList{QStringLiteral("DROP TABLE t_plu"), QStringLiteral("CREATE TABLE kunden (id integer)")}
        << QStringLiteral("es fehlt t_plu");
    QTest::newRow("andere Schemaversion") << QStringList{QStringLiteral("UPDATE t_schemaversion SET version = version + 1")}
                                          << QStringLiteral("Schemaversion");
}

void TstServeruebernahme::belegteDatenbankBleibtUnberuehrt()
{
    QFETCH(QStringList, vorbereitung);
    QFETCH(QString, meldung);
    Laden();
    Serverdatenbank sdb;
    server::PgVerbindung db(sdb.angabe());
    server::SchemaAnlegen(db);
    for (const QString& sql : vorbereitung) db.Ausfuehren(sql);
    const auto vorher = Zeilenzahlen(db);
    const qint64 tabellen = TabellenAufDemServer(db);

    const Lauf l = Uebernahme(sdb.angabe(), m_ordner->datenbank());
    QCOMPARE(l.code, 1);
    QVERIFY2(l.meldung.contains(meldung) && l.meldung.contains(QStringLiteral("es wurde nichts verändert")), qPrintable(l.meldung));
    QCOMPARE(Zeilenzahlen(db), vorher);
    QCOMPARE(TabellenAufDemServer(db), tabellen);
    // A refused database is no takeover: an earlier protocol stays as it was.
    QCOMPARE(ProtokollNeben(m_ordner->datenbank()), QString());
}

void TstServeruebernahme::fehlerBeimKopierenLaesstNichtsZurueck_data()
{
    QTest::addColumn<bool>("mitTabellen");
    QTest::newRow("leere Datenbank") << false;
    QTest::newRow("leere Tabellen") << true;
}

void TstServeruebernahme::fehlerBeimKopierenLaesstNichtsZurueck()
{
    QFETCH(bool, mitTabellen);
    Laden();
    // The file's pattern check lets the 31st of February pass; the server's
    // date type does not. Addresses and articles are copied by then.
    test::Sql(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (8, 108, '2024-02-31', 1)"));
    Serverdatenbank sdb;
    server::PgVerbindung db(sdb.angabe());
    if (mitTabellen) server::SchemaAnlegen(db);

    const Lauf l = Uebernahme(sdb.angabe(), m_ordner->datenbank());
    QCOMPARE(l.code, 1);
    QVERIFY2(l.meldung.startsWith(QStringLiteral("Eine Zeile der Tabelle t_lieferschein (id 8) lässt sich auf dem Server nicht speichern")),
             qPrintable(l.meldung));
    QVERIFY2(l.meldung.contains(QLatin1String("2024-02-31")), qPrintable(l.meldung));
    if (mitTabellen) {
        for (const qint64 n : Zeilenzahlen(db)) QCOMPARE(n, qint64(0));
        QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM t_schemaversion")).toLongLong(), qint64(1));
    } else {
        // What the run made is gone again, so a second run can make it anew.
        QCOMPARE(TabellenAufDemServer(db), qint64(0));
        QCOMPARE(db.Wert(QStringLiteral("SELECT count(*) FROM pg_proc WHERE pronamespace = 'public'::regnamespace")).toLongLong(), qint64(0));
    }
    const QString protokoll = ProtokollNeben(m_ordner->datenbank());
    QVERIFY2(protokoll.contains(QStringLiteral("Die Daten wurden NICHT übernommen: Eine Zeile der Tabelle t_lieferschein")),
             qPrintable(protokoll));

    // Mended in the file, the same database takes it.
    test::Sql(QStringLiteral("UPDATE t_lieferschein SET lief_datum = '2024-02-29' WHERE id = 8"));
    const Lauf zweiter = Uebernahme(sdb.angabe(), m_ordner->datenbank());
    QVERIFY2(zweiter.code == 0, qPrintable(zweiter.meldung));
    QCOMPARE(Zeilenzahlen(db).value(QStringLiteral("t_lieferschein")), qint64(4));
}

void TstServeruebernahme::doppelteLieferscheinnummer()
{
    Laden();
    test::Sql(QStringLiteral("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (9, 100, '2024-05-01', 1)"));
    Serverdatenbank sdb;
    const Lauf l = Uebernahme(sdb.angabe(), m_ordner->datenbank());
    QCOMPARE(l.code, 1);
    QVERIFY2(l.meldung.contains(QStringLiteral("Lieferscheinnummern mehrfach: Nr. 100 (id 1, 9).")), qPrintable(l.meldung));
    server::PgVerbindung db(sdb.angabe());
    QCOMPARE(TabellenAufDemServer(db), qint64(0));
}

void TstServeruebernahme::jetDateiAufDenServer()
{
    Serverdatenbank sdb;
    server::PgVerbindung db(sdb.angabe());

    // A real Jet file is recognised by its first bytes and read; this one holds
    // no tables of the program, so nothing reaches the server.
    const QString nwind = m_ordner->datei(QStringLiteral("nwind.mdb"));
    QVERIFY(QFile::copy(QStringLiteral("%1/../shared/jet/nwind.mdb").arg(qEnvironmentVariable("ORDAVO_SOURCE_DIR")), nwind));
    Lauf l = Uebernahme(sdb.angabe(), nwind);
    QCOMPARE(l.code, 1);
    QVERIFY2(l.meldung.startsWith(QStringLiteral("Die Datei enthält keine Tabelle von Ordavo (gefunden: Order Details")), qPrintable(l.meldung));
    QCOMPARE(TabellenAufDemServer(db), qint64(0));

    // The Windows version's tables, as the Jet reader gives them, go through
    // the same takeover into the file and on to the server.
    const auto windows = [](qint64 adresse) {
        auto q = std::make_unique<uebernahme::Speicherquelle>(QStringLiteral("Windows-Datenbank"));
        q->Tabelle(QStringLiteral("T_Adressen"), {S("ID", Jetart::Ganzzahl, "Long Integer"), S("Adr_Firma", Jetart::Text, "Text")},
                   {{adresse, QStringLiteral("Müller & Söhne")}});
        q->Tabelle(QStringLiteral("t_Lieferschein"),
                   {S("id", Jetart::Ganzzahl, "Long Integer"), S("lief_nr", Jetart::Ganzzahl, "Long Integer"),
                    S("lief_datum", Jetart::Datum, "DateTime"), S("LIEF_ADRESSE_ID", Jetart::Ganzzahl, "Long Integer"),
                    S("lief_zahlbetrag", Jetart::Waehrung, "Currency")},
                   {{10LL, 10LL, QDateTime(QDate(2024, 3, 5), QTime(14, 30), Qt::UTC), 1LL, QStringLiteral("1234.5678")},
                    {11LL, 11LL, QDateTime(QDate(2024, 3, 6), QTime(0, 0), Qt::UTC), 1LL, QStringLiteral("0.0100")}});
        return q;
    };
    const QString neben = m_ordner->datei(QStringLiteral("ordavo_tab_windows.mdb"));
    const QString protokoll = uebernahme::UebernehmenAufServer(*windows(1), sdb.angabe(), neben).protokoll;
    QCOMPARE(ProtokollNeben(neben), protokoll);
    for (const QString& zeile : {QStringLiteral("Datenübernahme aus Windows-Datenbank\n"),
                                 QStringLiteral("Uhrzeit 14:30:00 weggelassen"),
                                 QStringLiteral("  t_lieferschein.lief_zahlbetrag: 1234.5778 in der Datei, 1234.5778 auf dem Server\n")})
        QVERIFY2(protokoll.contains(zeile), qPrintable(protokoll));
    QVERIFY2(protokoll.endsWith(QStringLiteral("\n\nDie Daten wurden vollständig übernommen.\n")), qPrintable(protokoll));
    QCOMPARE(protokoll.count(QStringLiteral("vollständig übernommen")), 1);
    QCOMPARE(Inhalt(db.Abfrage(QStringLiteral("SELECT id, lief_datum, lief_zahlbetrag FROM t_lieferschein ORDER BY id")).zeilen),
             (QStringList{QStringLiteral("10 | '2024-03-05' | 1234.5678"), QStringLiteral("11 | '2024-03-06' | 0.01")}));

    // A delivery note for an address the Windows file lacks: the file takes it
    // (and says so), the server's foreign key would not; refused before copying.
    Serverdatenbank zweite;
    try {
        uebernahme::UebernehmenAufServer(*windows(2), zweite.angabe(), neben);
        QFAIL("Bezug ins Leere nicht abgewiesen");
    } catch (const data::Fehler& f) {
        QVERIFY2(f.text().contains(QStringLiteral("t_lieferschein id 10 verweist auf eine fehlende Zeile in t_adressen")), qPrintable(f.text()));
    }
    server::PgVerbindung db2(zweite.angabe());
    QCOMPARE(TabellenAufDemServer(db2), qint64(0));
    QVERIFY(ProtokollNeben(neben).contains(QStringLiteral("Die Daten wurden NICHT übernommen")));
}

QTEST_MAIN(TstServeruebernahme)
#include "tst_serveruebernahme.moc"
