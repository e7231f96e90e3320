// Writes while another program works on the same database file: rows
// changed or deleted meanwhile, values kept exactly, the engine's errors in
// German, and whole numbers within 32 bits.
#include "TestUmgebung.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"

#include <QFile>
#include <QtTest/QtTest>
#include <sqlite3.h>

using data::Dataset;

namespace {

const QString kVeraltet = QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Programm geändert oder gelöscht. Bitte neu laden.");

// A second program on the same file, holding its connection open.
struct AnderesProgramm {
    sqlite3* db = nullptr;
    explicit AnderesProgramm(const QString& datei) { sqlite3_open(datei.toUtf8().constData(), &db); }
    ~AnderesProgramm() { sqlite3_close(db); }
    void sql(const QString& s) const { QCOMPARE(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK); }
};

}  // namespace

class TstGleichzeitig : public QObject {
    Q_OBJECT
    std::unique_ptr<test::Programmordner> m_ordner;
    TDMOrdavo* dm = nullptr;

    void Fuellen()
    {
        test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk'), (2, 'kg')");
        test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren')");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einheit_id, artikel_kategorie_id) "
                  "VALUES (1, 100, 'Schraube', 10.0, 20, 1, 1), (2, 101, 'Mutter', 2.5, 20, 1, 1)");
        test::Sql("INSERT INTO t_PLU VALUES (431, 1)");
    }
    QString Fehlertext(const std::function<void()>& aktion)
    {
        try {
            aktion();
        } catch (const data::Fehler& f) {
            return f.text();
        }
        return QString();
    }

private slots:
    void init()
    {
        m_ordner = std::make_unique<test::Programmordner>();
        Fuellen();
        dm = new TDMOrdavo();
    }
    void cleanup()
    {
        delete dm;
        dm = nullptr;
        m_ordner.reset();
    }

    // The other program acts between reading and posting; a post that would
    // overwrite or miss its work is refused and keeps what the user typed.
    void schreibenNachAnderemProgramm_data()
    {
        QTest::addColumn<QString>("datenmenge");
        QTest::addColumn<QString>("anderes");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("pruefen");  // what the database holds afterwards
        QTest::addColumn<bool>("abgewiesen");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("Tabelle, gelöscht") << "ADO_t_Einheit" << "DELETE FROM t_einheit WHERE id = 1" << "einheit"
                                           << "SELECT count(*) FROM t_einheit WHERE id = 1" << true << "0";
        QTest::newRow("Tabelle, geändert") << "ADO_t_Einheit" << "UPDATE t_einheit SET einheit = 'Kiste' WHERE id = 1" << "einheit"
                                           << "SELECT einheit FROM t_einheit WHERE id = 1" << true << "Kiste";
        QTest::newRow("Tabelle, unverändert") << "ADO_t_Einheit" << "" << "einheit"
                                              << "SELECT einheit FROM t_einheit WHERE id = 1" << false << "Neu";
        QTest::newRow("Join, gelöscht") << "ADO_artikel" << "DELETE FROM t_artikel WHERE id = 1" << "artikel_bez"
                                        << "SELECT count(*) FROM t_artikel WHERE id = 1" << true << "0";
        QTest::newRow("Join, geändert") << "ADO_artikel" << "UPDATE t_artikel SET artikel_bez = 'Nagel' WHERE id = 1" << "artikel_bez"
                                        << "SELECT artikel_bez FROM t_artikel WHERE id = 1" << true << "Nagel";
        QTest::newRow("Join, andere Spalte geändert")
            << "ADO_artikel" << "UPDATE t_artikel SET artikel_preis = 12.5 WHERE id = 1" << "artikel_bez"
            << "SELECT artikel_bez || '/' || artikel_preis FROM t_artikel WHERE id = 1" << false << "Neu/12.5";
        QTest::newRow("Join, unverändert, vorher NULL") << "ADO_artikel" << "" << "artikel_langtext"
                                                        << "SELECT artikel_langtext FROM t_artikel WHERE id = 1" << false << "Neu";
    }
    void schreibenNachAnderemProgramm()
    {
        QFETCH(QString, datenmenge);
        QFETCH(QString, anderes);
        QFETCH(QString, feld);
        QFETCH(QString, pruefen);
        QFETCH(bool, abgewiesen);
        QFETCH(QString, erwartet);
        Dataset* ds = dm->findChild<Dataset*>(datenmenge);
        QVERIFY(ds);
        ds->Requery();
        QVERIFY(ds->Locate("id", 1));
        ds->Edit();
        ds->FieldByName(feld).setAsString("Neu");
        // test::Sql is a connection of its own: the other program.
        if (!anderes.isEmpty()) test::Sql(anderes);

        const QString fehler = Fehlertext([&] { ds->Post(); });
        QCOMPARE(test::Wert(pruefen).toString(), erwartet);
        if (abgewiesen) {
            QCOMPARE(fehler, kVeraltet);
            // Still being edited, with the typed value: the user can copy it and reload.
            QCOMPARE(ds->State(), Dataset::Zustand::Edit);
            QCOMPARE(ds->FieldByName(feld).asString(), QString("Neu"));
            ds->Cancel();
        } else {
            QCOMPARE(fehler, QString());
            QCOMPARE(ds->State(), Dataset::Zustand::Browse);
            // The next edit compares with what was written, not with the old value.
            ds->Edit();
            ds->FieldByName(feld).setAsString("Wieder");
            ds->Post();
            QCOMPARE(test::Wert(QString(pruefen).replace("'/' || artikel_preis", "''")).toString(), QString("Wieder"));
        }
    }

    void loeschenEinesGeloeschtenSatzes()
    {
        Dataset* ds = dm->ADO_t_Einheit;
        test::Sql("DELETE FROM t_einheit WHERE id = 2");
        QVERIFY(ds->Locate("id", 2));
        QCOMPARE(Fehlertext([&] { ds->Delete(); }), kVeraltet);
        QCOMPARE(ds->RecordCount(), 2);
        ds->Requery();
        QCOMPARE(ds->RecordCount(), 1);
    }

    // A row inserted through a joined dataset without a typed key knows it,
    // so that its next edit reaches it.
    void einfuegenOhneSchluesselKenntDenSchluessel()
    {
        Dataset* a = dm->ADO_artikel;
        a->Insert();
        a->FieldByName("artikel_bez").setAsString("Dübel");
        a->Post();
        const QVariant id = a->FieldByName("id").value();
        QVERIFY(!id.isNull());
        QCOMPARE(test::Wert("SELECT artikel_bez FROM t_artikel WHERE id = ?", {id}).toString(), QString("Dübel"));
        a->Edit();
        a->FieldByName("artikel_bez").setAsString("Dübel 6 mm");
        a->Post();
        QCOMPARE(test::Wert("SELECT artikel_bez FROM t_artikel WHERE id = ?", {id}).toString(), QString("Dübel 6 mm"));

        Dataset* e = dm->ADO_t_Einheit;
        e->Insert();
        e->FieldByName("einheit").setAsString("m");
        e->Post();
        QCOMPARE(e->FieldByName("id").asInteger(), 3);
        e->Edit();
        e->FieldByName("einheit").setAsString("Meter");
        e->Post();
        QCOMPARE(test::Wert("SELECT einheit FROM t_einheit WHERE id = 3").toString(), QString("Meter"));
    }

    // Every cell keeps its own kind, whatever the first row of its column had.
    void werteBehaltenIhreArt()
    {
        // Mixed kinds in one column and STRICT tables are the file's own.
        if (test::AufServer()) QSKIP("Nur die Datenbankdatei mischt Arten in einer Spalte.");
        Dataset* q = dm->ADOQuery;
        q->setSql("SELECT 1 AS w UNION ALL SELECT 2.5 UNION ALL SELECT 'Text' UNION ALL SELECT NULL "
                  "UNION ALL SELECT x'00FF41' UNION ALL SELECT 9007199254740993");
        q->Open();
        const QList<QVariant> erwartet{qint64(1), 2.5, QString("Text"), QVariant(), QByteArray("\x00\xff" "A", 3), qint64(9007199254740993LL)};
        QCOMPARE(q->RecordCount(), int(erwartet.size()));
        for (int i = 0; i < erwartet.size(); ++i, q->Next()) {
            const QVariant v = q->FieldByName("w").value();
            QCOMPARE(v.isNull(), erwartet[i].isNull());
            if (v.isNull()) continue;
            QCOMPARE(v.typeId(), erwartet[i].typeId());
            QCOMPARE(v, erwartet[i]);
        }
        q->Close();
        // A blob written through a dataset comes back unchanged.
        dm->ADO_ordavo->Ausfuehren("CREATE TABLE t_anhang (id INTEGER PRIMARY KEY, daten BLOB) STRICT");
        Dataset anhang(dm->ADO_ordavo, "anhang", Dataset::Art::Tabelle);
        anhang.setTableName("t_anhang");
        anhang.Open();
        const QByteArray bytes("\x00\x01\xfe\xff", 4);
        anhang.Insert();
        anhang.FieldByName("daten").setValue(bytes);
        anhang.Post();
        QCOMPARE(test::Wert("SELECT typeof(daten) || length(daten) FROM t_anhang").toString(), QString("blob4"));
        anhang.Requery();
        QCOMPARE(anhang.FieldByName("daten").value().toByteArray(), bytes);
    }

    // The engine's errors, each produced by the real situation: a German
    // sentence, and the engine's text in the second line. Only the taken
    // numbers can happen on the server as well; the rest are the file's.
    void fehlerAufDeutsch_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("satz");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("server");  // the server's text; empty: only the file has the case
        QTest::newRow("gesperrt") << "gesperrt" << "Die Datenbank wird gerade von einem anderen Programm benutzt." << "database is locked" << "";
        QTest::newRow("schreibgeschützt") << "schreibgeschuetzt" << "Die Datenbank ist schreibgeschützt" << "readonly database" << "";
        QTest::newRow("PLU doppelt") << "plu" << "Der PLU-Code 431 ist schon vergeben." << "UNIQUE constraint failed: t_PLU.PLU"
                                     << "duplicate key value violates unique constraint";
        QTest::newRow("Nummer doppelt") << "id" << "Die Nummer 2 ist schon vergeben." << "UNIQUE constraint failed: t_einheit.id"
                                        << "duplicate key value violates unique constraint";
        QTest::newRow("voll") << "voll" << "Der Datenträger ist voll" << "database or disk is full" << "";
        QTest::newRow("keine Datenbank") << "kaputt" << "Die Datei ordavo_tab.mdb ist keine Ordavo-Datenbank" << "file is not a database" << "";
        QTest::newRow("fehlt") << "fehlt" << "Die Datenbank ordavo_tab.mdb konnte nicht geöffnet werden." << "unable to open database file" << "";
    }
    void fehlerAufDeutsch()
    {
        QFETCH(QString, fall);
        QFETCH(QString, satz);
        QFETCH(QString, engine);
        QFETCH(QString, server);
        if (test::AufServer()) {
            if (server.isEmpty()) QSKIP("Nur die Datenbankdatei kennt diesen Fall.");
            engine = server;
        }
        std::unique_ptr<AnderesProgramm> anderes;
        if (!test::AufServer()) sqlite3_busy_timeout(dm->ADO_ordavo->Handle(), 50);
        QString text;
        Dataset* e = dm->ADO_t_Einheit;
        auto einheitAendern = [&] {
            e->Edit();
            e->FieldByName("einheit").setAsString("Karton");
            e->Post();
        };
        if (fall == "gesperrt") {
            anderes = std::make_unique<AnderesProgramm>(m_ordner->datenbank());
            anderes->sql("BEGIN IMMEDIATE; UPDATE t_kategorie SET kategorie = 'x'");
            text = Fehlertext(einheitAendern);
        } else if (fall == "schreibgeschuetzt") {
            delete dm;
            QFile::setPermissions(m_ordner->datenbank(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            dm = new TDMOrdavo();
            e = dm->ADO_t_Einheit;
            // The administrator writes a write-protected file anyway; then only the connection can refuse.
            if (QFileInfo(m_ordner->datenbank()).isWritable()) dm->ADO_ordavo->Ausfuehren("PRAGMA query_only = ON");
            text = Fehlertext(einheitAendern);
        } else if (fall == "plu") {
            Dataset* plu = dm->Table_PLU;
            plu->Insert();
            plu->FieldByName("PLU").setAsString("431");
            plu->FieldByName("Artikel_id").setValue(2);
            text = Fehlertext([&] { plu->Post(); });
            QCOMPARE(plu->State(), Dataset::Zustand::Insert);
            QCOMPARE(plu->FieldByName("PLU").asInteger(), 431);
        } else if (fall == "id") {
            e->Insert();
            e->FieldByName("id").setValue(2);
            text = Fehlertext([&] { e->Post(); });
        } else if (fall == "voll") {
            const qint64 seiten = test::Wert("PRAGMA page_count").toLongLong();
            dm->ADO_ordavo->Ausfuehren(QStringLiteral("PRAGMA max_page_count = %1").arg(seiten));
            text = Fehlertext([&] {
                for (int i = 0; i < 200; ++i) {
                    e->Insert();
                    e->FieldByName("einheit").setAsString(QString(2000, QLatin1Char('x')));
                    e->Post();
                }
            });
        } else if (fall == "kaputt" || fall == "fehlt") {
            delete dm;
            dm = nullptr;
            QFile::remove(m_ordner->datenbank());
            if (fall == "kaputt") {
                QFile f(m_ordner->datenbank());
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(8192, 'x'));
            }
            text = Fehlertext([&] { dm = new TDMOrdavo(); });
        }
        // The server's own text may take more than one line (its DETAIL).
        const QStringList zeilen = text.split('\n');
        QVERIFY2(zeilen.size() == 2 || (test::AufServer() && zeilen.size() > 2), qPrintable(text));
        QVERIFY2(zeilen[0].startsWith(satz), qPrintable(text));
        QVERIFY2(zeilen[1].contains(engine), qPrintable(text));
    }

    // Whole numbers of the tables are 32-bit; beyond that they are refused as
    // any other unreadable number.
    void ganzzahlenIn32Bit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("gut");
        QTest::newRow("größte") << "2147483647" << true;
        QTest::newRow("kleinste") << "-2147483648" << true;
        QTest::newRow("eins zu groß") << "2147483648" << false;
        QTest::newRow("eins zu klein") << "-2147483649" << false;
        QTest::newRow("viel zu groß") << "99999999999" << false;
    }
    void ganzzahlenIn32Bit()
    {
        QFETCH(QString, text);
        QFETCH(bool, gut);
        Dataset* a = dm->ADO_artikel;
        a->Edit();
        const QString fehler = Fehlertext([&] { a->FieldByName("artikel_nr").setAsString(text); });
        QCOMPARE(fehler, gut ? QString() : QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
        a->Post();
        QCOMPARE(test::Wert("SELECT artikel_nr FROM t_artikel WHERE id = 1").toString(), gut ? text : QString("100"));
    }

    // Numbers stored before they were checked never make a proposal collide.
    void naechsteNummerIstFrei()
    {
        // The server's 32-bit columns cannot hold the number beyond them at all.
        const QString zuGross = test::AufServer() ? QStringLiteral("NULL") : QStringLiteral("99999999999");
        test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez) VALUES (3, 2147483647, 'a'), (4, " + zuGross + ", 'b'), (2147483647, 1, 'c')");
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id) VALUES (1, 2147483646, NULL), (2, 2147483647, NULL)");
        const auto vergeben = [](const QString& sql, int nr) { return test::Wert(sql, {nr}).toInt() > 0; };
        const int artikelNr = dm->NaechsteArtikelNr();
        QVERIFY(artikelNr >= 1);
        QVERIFY2(!vergeben("SELECT count(*) FROM t_artikel WHERE artikel_nr = ?", artikelNr), qPrintable(QString::number(artikelNr)));
        const int id = dm->NaechsteID("t_artikel");
        QCOMPARE(id, 5);
        const int liefNr = dm->NaechsteLiefNr();
        QCOMPARE(liefNr, 1);
        test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_adresse_id) VALUES (3, 1, NULL), (4, 2, NULL)");
        QCOMPARE(dm->NaechsteLiefNr(), 3);
    }
};

QTEST_MAIN(TstGleichzeitig)
#include "tst_gleichzeitig.moc"
