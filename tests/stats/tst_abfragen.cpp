// The statistics sum the items in one pass and read the sums with statements
// of their own instead of the catalogue's; on the same data both must give the
// same columns and rows in the same order. On the server whole years come
// from the yearly sums it keeps, which must follow every change of the items.
#include "TestUmgebung.h"
#include "Statistikdaten.h"

#include "data/Anweisung.h"
#include "data/Dataset.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "server/PgSchema.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"

#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <optional>

class TstAbfragen : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;
    // Each comparison runs once in one pass and once with the items split in
    // two halves, summed on two connections at once and then merged; on the
    // server once with and once without the yearly sums.
    bool m_haelften = false;
    bool m_geteilt = false;  // a pass was split, as it should be in that row
    bool m_jahressummen = false;
    bool m_ausJahren = false;  // whole years came from the yearly sums
    qint64 m_vorher = 0;
    bool m_vorherJahre = true;

    static void Durchlaeufe()
    {
        QTest::addColumn<bool>("haelften");
        if (test::AufServer()) {
            QTest::newRow("Jahressummen") << false;
            QTest::newRow("ohne Jahressummen") << false;
        } else {
            QTest::newRow("ein Durchlauf") << false;
            QTest::newRow("zwei Hälften") << true;
        }
    }

    struct Ergebnis {
        QStringList spalten;
        QList<data::Feldart> arten;
        QList<QList<QVariant>> zeilen;
    };

    // Without `schluessel` the statement is the catalogue's and reads the tables.
    Ergebnis Lesen(const QString& sql, const QDate& von, const QDate& bis, const QVariant& id,
                   std::optional<stats::Schluessel> schluessel = std::nullopt)
    {
        if (schluessel) {
            stats::Summieren(*dm->ADO_ordavo, *schluessel, von, bis, id);
            m_geteilt = m_geteilt || stats::ZuletztGeteilt();
            m_ausJahren = m_ausJahren || stats::ZuletztAusJahressummen();
        }
        data::Dataset* q = dm->ADOQuery;
        q->Close();
        q->clearParameters();
        q->setSql(sql);
        stats::SetzeZeitraum(q, von, bis);
        if (id.isValid()) q->setParameter(QStringLiteral("id"), id);
        q->Open();
        Ergebnis e;
        for (int c = 0; c < q->FieldCount(); ++c) {
            e.spalten << q->Spaltenname(c);
            e.arten << q->Spaltenart(c);
        }
        for (int r = 0; r < q->RecordCount(); ++r) {
            QList<QVariant> z;
            for (int c = 0; c < q->FieldCount(); ++c) z << q->WertAn(r, c);
            e.zeilen << z;
        }
        q->Close();
        return e;
    }

    static bool Gleich(const QVariant& a, const QVariant& b)
    {
        if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
        if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double) {
            // Sums added in another order may differ in the last bits.
            const double x = a.toDouble(), y = b.toDouble();
            return std::abs(x - y) <= 1e-9 * std::max(1.0, std::max(std::abs(x), std::abs(y)));
        }
        return a == b;
    }

    void Vergleichen(const QString& katalog, const QString& schnell, stats::Schluessel schluessel,
                     const QVariant& id = QVariant())
    {
        const QList<QPair<QDate, QDate>> zeitraeume = {
            {QDate(1000, 1, 1), QDate(9999, 12, 31)}, {QDate(2023, 1, 1), QDate(2023, 12, 31)},
            {QDate(2023, 6, 15), QDate(2023, 6, 15)}, {QDate(2022, 12, 31), QDate(2022, 12, 31)},
            {QDate(2030, 1, 1), QDate(2030, 12, 31)}, {QDate(2024, 1, 1), QDate(2023, 1, 1)},
            // Whole years with days before and after them.
            {QDate(2022, 12, 31), QDate(2024, 1, 1)}, {QDate(2023, 2, 1), QDate(2030, 12, 31)},
        };
        for (const auto& z : zeitraeume) {
            const QString wo = QStringLiteral("%1 – %2, id %3").arg(z.first.toString(Qt::ISODate), z.second.toString(Qt::ISODate), id.toString());
            const Ergebnis a = Lesen(TDMOrdavo::SqlVon(katalog), z.first, z.second, id);
            const Ergebnis b = Lesen(schnell, z.first, z.second, id, schluessel);
            QVERIFY2(a.spalten == b.spalten, qPrintable(wo + ": " + a.spalten.join(',') + " / " + b.spalten.join(',')));
            if (!a.zeilen.isEmpty()) QVERIFY2(a.arten == b.arten, qPrintable(wo));
            QVERIFY2(a.zeilen.size() == b.zeilen.size(),
                     qPrintable(QStringLiteral("%1: %2 / %3 Zeilen").arg(wo).arg(a.zeilen.size()).arg(b.zeilen.size())));
            for (int r = 0; r < a.zeilen.size(); ++r)
                for (int c = 0; c < a.spalten.size(); ++c)
                    QVERIFY2(Gleich(a.zeilen[r][c], b.zeilen[r][c]),
                             qPrintable(QStringLiteral("%1: Zeile %2, %3: %4 / %5").arg(wo).arg(r).arg(a.spalten[c],
                                 a.zeilen[r][c].toString(), b.zeilen[r][c].toString())));
        }
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        statistikdaten::Anlegen();
        dm = new TDMOrdavo();
        m_haelften = QTest::currentDataTag() == QByteArrayLiteral("zwei Hälften");
        m_jahressummen = QTest::currentDataTag() == QByteArrayLiteral("Jahressummen");
        m_geteilt = false;
        m_ausJahren = false;
        m_vorher = stats::SetzeZweiKerneAb(m_haelften ? 1 : std::numeric_limits<qint64>::max());
        m_vorherJahre = stats::SetzeJahressummen(m_jahressummen);
    }
    void cleanup()
    {
        stats::SetzeZweiKerneAb(m_vorher);
        stats::SetzeJahressummen(m_vorherJahre);
        delete dm;
        dm = nullptr;
        m_ordner.reset();
        // Only a failed check may leave the split or the yearly sums untried.
        if (m_haelften && !QTest::currentTestFailed()) QVERIFY2(m_geteilt, "Die Positionen wurden nie geteilt summiert.");
        if (m_jahressummen && !QTest::currentTestFailed())
            QVERIFY2(m_ausJahren, "Die Jahressummen des Servers wurden nie gelesen.");
        if (!m_jahressummen) QVERIFY(!m_ausJahren);
    }

    void artikel_data() { Durchlaeufe(); }
    void artikel()
    {
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
        // The totals come from the same pass, with either key.
        for (auto s : {stats::Schluessel::Artikel, stats::Schluessel::Kunde})
            Vergleichen(QStringLiteral("ADO_Auswertung_Artikel_summen"), stats::SqlAuswertungArtikelSummen(), s);
    }

    void kategorien_data() { Durchlaeufe(); }
    void kategorien()
    {
        Vergleichen(QStringLiteral("ADO_Auswertung_ArtikelKategorie_summen"), stats::SqlAuswertungKategorie(),
                    stats::Schluessel::Artikel);
    }

    void einKunde_data() { Durchlaeufe(); }
    void einKunde()
    {
        // One customer's sums always come from the items.
        m_jahressummen = false;
        // The window passes the address id as text.
        for (int id = 1; id <= 6; ++id)
            Vergleichen(QStringLiteral("ADO_Auswertung_Adressen"), stats::SqlAuswertungAdressen(),
                        stats::Schluessel::Artikel, QString::number(id));
    }

    void alleKunden_data() { Durchlaeufe(); }
    void alleKunden()
    {
        Vergleichen(QStringLiteral("ADO_Auswertung_alle_Adressen"), stats::SqlAuswertungAlleAdressen(),
                    stats::Schluessel::Kunde);
    }

    // Items the joins leave out (a note without address, an item without
    // article), integer sums, and a period whose few notes
    // are read through the index next to one read by stepping all items.
    void randfaelle_data() { Durchlaeufe(); }
    void randfaelle()
    {
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES "
                  "(20, 20, '2021-05-05', NULL), (21, 21, '2021-05-06', 5)");
        test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) VALUES "
                  "(40, 20, 1, 3, 7, 2), (41, 21, 2, 2, 4, 1), (43, 20, NULL, 1, 5, 5), "
                  "(44, 21, 7, 1.5, NULL, NULL)");
        for (auto s : {stats::Schluessel::Artikel, stats::Schluessel::Kunde})
            Vergleichen(QStringLiteral("ADO_Auswertung_Artikel_summen"), stats::SqlAuswertungArtikelSummen(), s);
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
        Vergleichen(QStringLiteral("ADO_Auswertung_ArtikelKategorie_summen"), stats::SqlAuswertungKategorie(),
                    stats::Schluessel::Artikel);
        Vergleichen(QStringLiteral("ADO_Auswertung_alle_Adressen"), stats::SqlAuswertungAlleAdressen(),
                    stats::Schluessel::Kunde);
        const QList<QPair<QDate, QDate>> kurz = {{QDate(2021, 5, 5), QDate(2021, 5, 6)}, {QDate(2021, 5, 6), QDate(2021, 5, 6)}};
        for (const auto& z : kurz) {
            const Ergebnis a = Lesen(TDMOrdavo::SqlVon(QStringLiteral("ADO_Auswertung_Artikel")), z.first, z.second, {});
            const Ergebnis b = Lesen(stats::SqlAuswertungArtikel(), z.first, z.second, {}, stats::Schluessel::Artikel);
            QCOMPARE(b.zeilen.size(), a.zeilen.size());
            for (int r = 0; r < a.zeilen.size(); ++r)
                for (int c = 0; c < a.spalten.size(); ++c) QVERIFY(Gleich(a.zeilen[r][c], b.zeilen[r][c]));
        }
    }

    // While the program's connection has a transaction open, a second
    // connection would not see its changes: the pass stays on one connection.
    // On the server the yearly sums are made inside it, and go with its end.
    void offeneTransaktion()
    {
        stats::SetzeZweiKerneAb(1);
        m_jahressummen = test::AufServer();
        stats::SetzeJahressummen(m_jahressummen);
        {
            data::Transaktion offen(*dm->ADO_ordavo);
            // Items 1 and 2 lie in the part a second connection would read.
            dm->ADO_ordavo->Ausfuehren(QStringLiteral("UPDATE t_lieferschein_artikel SET la_anzahl = 100 WHERE id IN (1, 2)"));
            Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
            QVERIFY(!m_geteilt);
        }
        QCOMPARE(test::Wert("SELECT la_anzahl FROM t_lieferschein_artikel WHERE id = 1").toDouble(), 1.0);
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
    }

    // Every change of items and notes after the sums were first made: the
    // statistics follow it, over whole years and the days around them.
    void aenderungen_data() { Durchlaeufe(); }
    void aenderungen()
    {
        const auto alle = [&] {
            Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
            Vergleichen(QStringLiteral("ADO_Auswertung_Artikel_summen"), stats::SqlAuswertungArtikelSummen(),
                        stats::Schluessel::Kunde);
            Vergleichen(QStringLiteral("ADO_Auswertung_alle_Adressen"), stats::SqlAuswertungAlleAdressen(),
                        stats::Schluessel::Kunde);
        };
        alle();
        const char* schritte[] = {
            "INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) "
            "VALUES (30, 3, 1, 7, 9.5, 4)",
            "UPDATE t_lieferschein_artikel SET la_preis = 12.25, la_anzahl = 3 WHERE id = 2",
            "UPDATE t_lieferschein_artikel SET la_artikel_id = 4 WHERE id = 3",
            "UPDATE t_lieferschein_artikel SET la_lieferschein_id = 5 WHERE id = 4",  // from 2023 into 2024
            "UPDATE t_lieferschein SET lief_datum = '2024-02-29' WHERE id = 3",     // a note with its items
            "UPDATE t_lieferschein SET lief_adresse_id = 5 WHERE id = 2",
            "UPDATE t_lieferschein SET lief_datum = NULL WHERE id = 6",
            "DELETE FROM t_lieferschein_artikel WHERE id = 8",
            "DELETE FROM t_lieferschein WHERE id = 1",  // its items go with it
            "INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (40, 40, '2030-07-01', 2)",
            "INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) "
            "VALUES (50, 40, 2, 3, 2.5, 1), (51, 40, NULL, 1, 8, 2)",
            "UPDATE t_lieferschein SET lief_datum = '2023-03-03' WHERE id = 6",
            "DELETE FROM t_adressen WHERE id = 2",  // its notes and their items go with it
        };
        for (const char* schritt : schritte) {
            test::Sql(QString::fromUtf8(schritt));
            alle();
            if (QTest::currentTestFailed()) QFAIL(schritt);
        }
        if (test::AufServer()) {
            test::Sql("TRUNCATE t_lieferschein_artikel");
            alle();
        }
    }

    // Another workstation is summing the years just now: the statistic does
    // not wait for it and sums the items itself.
    void jahressummenBelegt()
    {
        if (!test::AufServer()) QSKIP("Nur der Server hält Jahressummen.");
        m_jahressummen = true;
        stats::SetzeJahressummen(true);
        test::Sql("UPDATE t_lieferschein_artikel SET la_anzahl = 9 WHERE id = 5");
        test::Sql("BEGIN");
        test::Sql("SELECT pg_advisory_xact_lock(?)", {server::JahressummenSperre()});
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
        QVERIFY(!m_ausJahren);
        test::Sql("ROLLBACK");
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
    }

    // Yearly sums that cannot be written (here: a table gone, as for a login
    // that may only read): the items are summed, and a transaction the
    // program has open goes on.
    void jahressummenNichtZuSchreiben()
    {
        if (!test::AufServer()) QSKIP("Nur der Server hält Jahressummen.");
        stats::SetzeJahressummen(true);
        test::Sql("ALTER TABLE stat_jahr_artikel RENAME TO stat_jahr_artikel_weg");
        test::Sql("UPDATE t_lieferschein_artikel SET la_anzahl = 9 WHERE id = 5");
        data::Transaktion offen(*dm->ADO_ordavo);
        Vergleichen(QStringLiteral("ADO_Auswertung_alle_Adressen"), stats::SqlAuswertungAlleAdressen(), stats::Schluessel::Kunde);
        Vergleichen(QStringLiteral("ADO_Auswertung_Artikel"), stats::SqlAuswertungArtikel(), stats::Schluessel::Artikel);
        QVERIFY(!m_ausJahren);
        dm->ADO_ordavo->Ausfuehren(QStringLiteral("UPDATE t_lieferschein_artikel SET la_anzahl = 8 WHERE id = 5"));
        offen.commit();
        QCOMPARE(test::Wert("SELECT la_anzahl FROM t_lieferschein_artikel WHERE id = 5").toDouble(), 8.0);
    }

    // Equal sums keep one order in both forms.
    void gleicheUmsaetze_data() { Durchlaeufe(); }
    void gleicheUmsaetze()
    {
        // The catalogue orders by the sum alone; the file's grouping leaves
        // equal sums in the order of their columns, the server's in none.
        if (test::AufServer()) QSKIP("Gleiche Summen ordnet der Katalog auf dem Server in keiner festen Reihenfolge.");
        test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_kunde) VALUES (6, 'Zeta', 'Zora', -1), (7, 'Aa', 'Zora', -1), (8, 'Mu', NULL, -1), (9, 'Ab', 'Zora', -1)");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES (7, 7, '2025-03-01', 6), (8, 8, '2025-03-01', 7), (9, 9, '2025-03-02', 8), (10, 10, '2025-03-02', 6), (11, 11, '2025-03-03', 9)");
        test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) VALUES "
                  "(20, 7, 7, 1, 20, 0), (21, 7, 1, 2, 10, 6), (22, 8, 2, 8, 2.5, 1), (23, 9, 1, 2, 10, 6), (24, 10, 4, 5, 4, 1), (25, 10, 2, 8, 2.5, 1), (26, 11, 7, 1, 20, 0)");
        Vergleichen(QStringLiteral("ADO_Auswertung_alle_Adressen"), stats::SqlAuswertungAlleAdressen(),
                    stats::Schluessel::Kunde);
        for (int id : {6, 7, 8, 9})
            Vergleichen(QStringLiteral("ADO_Auswertung_Adressen"), stats::SqlAuswertungAdressen(),
                        stats::Schluessel::Artikel, QString::number(id));
    }
};

QTEST_MAIN(TstAbfragen)
#include "tst_abfragen.moc"
