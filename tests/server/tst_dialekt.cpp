// The statements of the embedded database, turned into the server's dialect.
#include "server/Dialekt.h"

#include <QtTest>

class TestDialekt : public QObject {
    Q_OBJECT
private slots:
    void uebersetzen_data();
    void uebersetzen();
};

void TestDialekt::uebersetzen_data()
{
    QTest::addColumn<QString>("ein");
    QTest::addColumn<QString>("aus");
    QTest::addColumn<QStringList>("parameter");
    const QStringList keine;

    QTest::newRow("Klammernamen klein und gequotet, Semikolon weg")
        << "SELECT Sum([la_preis]*[la_anzahl]) AS gesamt FROM t_Artikel;"
        << "SELECT Sum(\"la_preis\"*\"la_anzahl\") AS gesamt FROM t_Artikel" << keine;
    QTest::newRow("temporäre Tabelle")
        << "SELECT s.gesamt FROM temp.stat_artikel AS s" << "SELECT s.gesamt FROM pg_temp.stat_artikel AS s" << keine;
    QTest::newRow("Count AS [Anzahl] mit Parameter")
        << "SELECT Count(lief_adresse_id) AS [Anzahl] FROM t_lieferschein WHERE lief_adresse_id=:id;"
        << "SELECT Count(lief_adresse_id) AS \"anzahl\" FROM t_lieferschein WHERE lief_adresse_id=$1" << QStringList{"id"};
    QTest::newRow("doppelter Parameter behält seine Nummer")
        << "WHERE lief_datum Between :von And :bis AND a = :id AND b = :id AND c = :von"
        << "WHERE lief_datum Between $1 And $2 AND a = $3 AND b = $3 AND c = $1" << QStringList{"von", "bis", "id"};
    QTest::newRow("Fragezeichen der Reihe nach")
        << "UPDATE t_artikel SET \"artikel_Mwst\" = ?, artikel_bez = ? WHERE id = ?"
        << "UPDATE t_artikel SET \"artikel_mwst\" = $1, artikel_bez = $2 WHERE id = $3" << QStringList{"", "", ""};
    QTest::newRow("nummerierte Fragezeichen")
        << "SELECT id FROM t WHERE d BETWEEN ?1 AND ?2 AND a = ?1" << "SELECT id FROM t WHERE d BETWEEN $1 AND $2 AND a = $1"
        << QStringList{"", ""};
    QTest::newRow("Doppelpunkt in Text, Cast und Kommentar bleibt")
        << "select ':x', a::text, [b] -- :y [c]\nfrom t" << "select ':x', a::text, \"b\" -- :y [c]\nfrom t" << keine;
    QTest::newRow("Text mit Anführungszeichen und Klammern")
        << "select 'it''s [x] / 0' from t" << "select 'it''s [x] / 0' from t" << keine;
    QTest::newRow("IIf mit Ja/Nein-Spalte")
        << "SELECT IIf([adr_hatlieferadr],1,0) AS lieferadrJa"
        << "SELECT CASE WHEN (\"adr_hatlieferadr\") <> 0 THEN 1 ELSE 0 END AS lieferadrJa" << keine;
    QTest::newRow("IIf mit Vergleich, verschachtelt")
        << "select iif(a > 1, IIf(b Is Null, 'x', b), 'y') from t"
        << "select CASE WHEN a > 1 THEN CASE WHEN b Is Null THEN 'x' ELSE b END ELSE 'y' END from t" << keine;
    QTest::newRow("like mit Parameter")
        << "select * from t_Adressen where adr_PLZ like :suche"
        << "select * from t_Adressen where adr_PLZ ILIKE ($1) COLLATE \"und-x-icu\" ESCAPE ''" << QStringList{"suche"};
    QTest::newRow("not like mit Verkettung, dann and")
        << "where a NOT LIKE '%' || :s || '%' and b = 1"
        << "where a NOT ILIKE ('%' || $1 || '%') COLLATE \"und-x-icu\" ESCAPE '' and b = 1" << QStringList{"s"};
    QTest::newRow("like mit eigenem Escape")
        << "where a like 'x!%%' escape '!'" << "where a ILIKE ('x!%%') COLLATE \"und-x-icu\" escape '!'" << keine;
    QTest::newRow("Division durch Summe")
        << "(100/Sum([la_artikel_einkauf]*[la_anzahl])*Sum([la_preis]*[la_anzahl]))-100 AS spannePro"
        << "(100/NULLIF(Sum(\"la_artikel_einkauf\"*\"la_anzahl\"), 0)*Sum(\"la_preis\"*\"la_anzahl\"))-100 AS spannePro" << keine;
    QTest::newRow("Division durch Spalte und Zahl")
        << "[la_anzahl]*[la_preis]*([artikel_mwst]/100+1), a / t.b, c/-d"
        << "\"la_anzahl\"*\"la_preis\"*(\"artikel_mwst\"/NULLIF(100, 0)+1), a /NULLIF(t.b, 0), c/NULLIF(-d, 0)" << keine;
    QTest::newRow("ORDER BY: NULL zuerst, absteigend zuletzt")
        << "ORDER BY t_adressen.adr_ganzername, t_lieferschein.id,Sum([la_preis]*[la_anzahl]) DESC;"
        << "ORDER BY t_adressen.adr_ganzername NULLS FIRST, t_lieferschein.id NULLS FIRST,Sum(\"la_preis\"*\"la_anzahl\") DESC NULLS LAST"
        << keine;
    QTest::newRow("ORDER BY in Unterabfrage, dann LIMIT")
        << "select x from (select a from t order by a desc) order by x limit 3"
        << "select x from (select a from t order by a desc NULLS LAST) order by x NULLS FIRST limit 3" << keine;
    QTest::newRow("ORDER BY mit eigener NULLS-Angabe bleibt")
        << "order by a nulls last" << "order by a nulls last" << keine;
    QTest::newRow("wahr und falsch als -1 und 0, == als =")
        << "where adr_Kunde = true and b == false" << "where adr_Kunde = -1 and b = 0" << keine;
    QTest::newRow("IS mit Wert vergleicht NULL gleich NULL, Is Null bleibt")
        << "UPDATE t SET a = ? WHERE id = ? AND \"b\" IS ? AND c IS NOT :c AND d Is Null AND e Is Not Null"
        << "UPDATE t SET a = $1 WHERE id = $2 AND \"b\" IS NOT DISTINCT FROM $3 AND c IS DISTINCT FROM $4 AND d Is Null AND e Is Not Null"
        << QStringList{"", "", "", "c"};
    QTest::newRow("Zahlen mit Exponent bleiben")
        << "select 1.5e3, .5, 2 from t" << "select 1.5e3, .5, 2 from t" << keine;
}

void TestDialekt::uebersetzen()
{
    QFETCH(QString, ein);
    QFETCH(QString, aus);
    QFETCH(QStringList, parameter);
    const server::Uebersetzung u = server::NachPostgres(ein);
    QCOMPARE(u.sql, aus);
    QCOMPARE(u.parameter, parameter);
}

QTEST_GUILESS_MAIN(TestDialekt)
#include "tst_dialekt.moc"
