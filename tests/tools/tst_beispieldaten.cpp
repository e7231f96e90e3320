// The sample data generator: sizes, proportions, references, determinism.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/dm_ordavo.h"
#include "tools/beispieldaten/Beispieldaten.h"

#include <QtTest/QtTest>
#include <sqlite3.h>

namespace {

// Every row of every table, as text, in key order.
QStringList Inhalt(const QString& datei)
{
    QStringList out;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(datei.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) qFatal("nicht zu öffnen");
    for (const char* t : {"t_adressen", "t_einheit", "t_kategorie", "t_artikel", "t_lieferschein", "t_lieferschein_artikel",
                          "t_PLU", "t_stammdaten"}) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT * FROM ").append(t).append(" ORDER BY rowid").constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QString zeile = QString::fromLatin1(t);
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                zeile += QLatin1Char('|') + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << zeile;
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

qint64 Zahl(const char* sql) { return test::Wert(QString::fromUtf8(sql)).toLongLong(); }

}  // namespace

class TstBeispieldaten : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    tools::Umfang m_mini;

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>(false);
        QVERIFY(tools::UmfangFuer(QStringLiteral("mini"), &m_mini));
    }
    void cleanup() { m_ordner.reset(); }

    void mengenAnteileUndBezuege()
    {
        const tools::Ergebnis e = tools::BeispieldatenSchreiben(m_ordner->datenbank(), m_mini, 1);
        QCOMPARE(Zahl("SELECT count(*) FROM t_adressen"), qint64(m_mini.adressen));
        QCOMPARE(Zahl("SELECT count(*) FROM t_artikel"), qint64(m_mini.artikel));
        QCOMPARE(Zahl("SELECT count(*) FROM t_einheit"), qint64(m_mini.einheiten));
        QCOMPARE(Zahl("SELECT count(*) FROM t_kategorie"), qint64(m_mini.kategorien));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein"), qint64(m_mini.lieferscheine));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein_artikel"), qint64(m_mini.positionen));
        QCOMPARE(Zahl("SELECT count(DISTINCT PLU) FROM t_PLU"), qint64(m_mini.plu));
        QCOMPARE(Zahl("SELECT count(*) FROM t_stammdaten WHERE stammd_firma <> '' AND Zahlungsbedingungen <> ''"), qint64(1));
        QCOMPARE(e.positionen, qint64(m_mini.positionen));

        // About a third invoiced, most of those paid; payments follow invoices.
        const double rechnungen = double(Zahl("SELECT count(*) FROM t_lieferschein WHERE lief_rechnungsdatum IS NOT NULL"));
        const double bezahlt = double(Zahl("SELECT count(*) FROM t_lieferschein WHERE lief_zahldatum IS NOT NULL"));
        QVERIFY2(rechnungen > 0.25 * m_mini.lieferscheine && rechnungen < 0.42 * m_mini.lieferscheine, qPrintable(QString::number(rechnungen)));
        QVERIFY2(bezahlt > 0.8 * rechnungen && bezahlt < rechnungen, qPrintable(QString::number(bezahlt)));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein WHERE lief_zahldatum IS NOT NULL AND (lief_rechnungsdatum IS NULL "
                      "OR lief_zahldatum < lief_rechnungsdatum OR lief_rechnungsdatum < lief_datum OR lief_zahlbetrag <= 0)"),
                 qint64(0));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein WHERE lief_datum NOT BETWEEN '2011-12-01' AND '2026-11-30'"), qint64(0));

        // Every reference leads to an existing row; notes go to customers only.
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein_artikel la LEFT JOIN t_lieferschein l ON l.id = la.la_lieferschein_id "
                      "LEFT JOIN t_artikel a ON a.id = la.la_artikel_id WHERE l.id IS NULL OR a.id IS NULL"),
                 qint64(0));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein l LEFT JOIN t_adressen a ON a.id = l.lief_adresse_id "
                      "WHERE a.id IS NULL OR a.adr_kunde <> -1"),
                 qint64(0));
        QCOMPARE(Zahl("SELECT count(*) FROM t_artikel a LEFT JOIN t_einheit e ON e.id = a.artikel_einheit_id "
                      "LEFT JOIN t_kategorie k ON k.id = a.artikel_kategorie_id WHERE e.id IS NULL OR k.id IS NULL"),
                 qint64(0));
        QCOMPARE(Zahl("SELECT count(*) FROM t_PLU p LEFT JOIN t_artikel a ON a.id = p.Artikel_id WHERE a.id IS NULL"), qint64(0));
        QCOMPARE(Zahl("SELECT count(*) FROM t_lieferschein l WHERE NOT EXISTS "
                      "(SELECT 1 FROM t_lieferschein_artikel WHERE la_lieferschein_id = l.id)"),
                 qint64(0));
        QVERIFY(Zahl("SELECT count(*) FROM sqlite_stat1") > 0);  // ANALYZE ran

        // The program opens it and sees every note with its items.
        TDMOrdavo dm;
        QCOMPARE(dm.ADO_Lieferschein->RecordCount(), m_mini.lieferscheine);
        QVERIFY(dm.ADO_Lieferschein_Artikel->RecordCount() > 0);
    }

    void gleicherStartwertGleicheDaten()
    {
        const QString a = m_ordner->datei(QStringLiteral("a.mdb")), b = m_ordner->datei(QStringLiteral("b.mdb")),
                      c = m_ordner->datei(QStringLiteral("c.mdb"));
        tools::BeispieldatenSchreiben(a, m_mini, 7);
        tools::BeispieldatenSchreiben(b, m_mini, 7);
        tools::BeispieldatenSchreiben(c, m_mini, 8);
        const QStringList inhaltA = Inhalt(a);
        QCOMPARE(inhaltA.size(), m_mini.adressen + m_mini.einheiten + m_mini.kategorien + m_mini.artikel +
                                     m_mini.lieferscheine + m_mini.positionen + m_mini.plu + 1);
        QCOMPARE(Inhalt(b), inhaltA);
        QVERIFY(Inhalt(c) != inhaltA);
    }

    void vorhandeneDateiBleibt()
    {
        const QString pfad = m_ordner->datenbank();
        {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("nicht überschreiben");
        }
        QVERIFY_THROWS_EXCEPTION(data::Fehler, tools::BeispieldatenSchreiben(pfad, m_mini, 1));
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("nicht überschreiben"));
        QCOMPARE(QDir(m_ordner->pfad()).entryList(QDir::Files), QStringList{QStringLiteral("ordavo_tab.mdb")});
    }
};

QTEST_MAIN(TstBeispieldaten)
#include "tst_beispieldaten.moc"
