// Taking over a Jet database: reading the real Access files through the
// library, the mapping of awkward rows into the program's tables, the checks
// that stop a conversion, and the command-line tool.
#include "TestUmgebung.h"

#include "data/Fehler.h"
#include "import/Uebernahme.h"

#include <QProcess>
#include <algorithm>
#include <QtTest/QtTest>

using uebernahme::Jetart;
using uebernahme::QuellSpalte;
using uebernahme::Speicherquelle;
using uebernahme::Zeile;

namespace {

QString Jet(const QString& name) { return QStringLiteral("%1/../shared/jet/%2").arg(qEnvironmentVariable("ORDAVO_SOURCE_DIR"), name); }

QString Programm() { return qEnvironmentVariable("ORDAVO_BIN_DIR") + QStringLiteral("/datenuebernahme"); }

const QString kNull = QStringLiteral("\x01NULL");

// mdb-export's CSV: quoted fields with doubled quotes and line breaks inside.
QList<QStringList> Export(const QString& datei, const QString& tabelle)
{
    QProcess p;
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    umgebung.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));  // glib refuses arguments in an unknown locale
    p.setProcessEnvironment(umgebung);
    p.start(QStringLiteral("mdb-export"), {QStringLiteral("-H"), QStringLiteral("-0"), kNull, QStringLiteral("-T"),
                                           QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("-b"), QStringLiteral("strip"), datei, tabelle});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("mdb-export läuft nicht (Paket mdbtools): %s %s", qPrintable(p.errorString()), p.readAllStandardError().constData());
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QList<QStringList> zeilen;
    QStringList zeile;
    QString feld;
    bool inZitat = false, zitiert = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inZitat) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) feld += c, ++i;
            else if (c == QLatin1Char('"')) inZitat = false;
            else feld += c;
        } else if (c == QLatin1Char('"')) {
            inZitat = zitiert = true;
        } else if (c == QLatin1Char(',') || c == QLatin1Char('\n')) {
            zeile << ((!zitiert && feld.isEmpty()) ? QString() : feld);
            feld.clear();
            zitiert = false;
            if (c == QLatin1Char('\n')) zeilen << zeile, zeile.clear();
        } else {
            feld += c;
        }
    }
    return zeilen;
}

QList<Zeile> Lesen(const uebernahme::Zeilenquelle& q, const QString& tabelle)
{
    QList<Zeile> out;
    q.Lesen(tabelle, [&](const Zeile& z) { out << z; });
    return out;
}

// What the protocol beside the database says.
QString Protokoll(const test::Programmordner& o)
{
    QFile f(o.datei(uebernahme::ProtokollName()));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QuellSpalte S(const char* name, Jetart art, const char* typ) { return {QString::fromUtf8(name), QString::fromLatin1(typ), art}; }

// A Windows database with the awkward cases a real one may hold: names in
// other cases, a text where a number belongs, a date with a time and one
// that is no date, orphans, a key given twice, NULLs, an unknown column and
// an unknown table.
Speicherquelle Windowsdaten()
{
    Speicherquelle q(QStringLiteral("Testquelle"));
    const QDateTime mittag(QDate(2024, 3, 5), QTime(14, 30), Qt::UTC);
    const QDateTime mitternacht(QDate(2024, 3, 6), QTime(0, 0), Qt::UTC);
    q.Tabelle(QStringLiteral("T_Adressen"),
              {S("ID", Jetart::Ganzzahl, "Long Integer"), S("Adr_Firma", Jetart::Text, "Text"), S("ADR_KUNDE", Jetart::JaNein, "Boolean"),
               S("adr_PLZ", Jetart::Text, "Text"), S("adr_Geburtstag", Jetart::Datum, "DateTime")},
              {{1LL, QStringLiteral("Müller & Söhne"), true, QStringLiteral("80331"), mittag},
               {2LL, QVariant(), false, QVariant(), QVariant()},
               {2LL, QStringLiteral("Zweite Nummer 2"), true, QStringLiteral("01067"), QVariant()}});
    q.Tabelle(QStringLiteral("t_Lieferschein"),
              {S("id", Jetart::Ganzzahl, "Long Integer"), S("lief_nr", Jetart::Ganzzahl, "Long Integer"), S("lief_datum", Jetart::Datum, "DateTime"),
               S("LIEF_ADRESSE_ID", Jetart::Ganzzahl, "Long Integer"), S("lief_rechnungsdatum", Jetart::Datum, "DateTime"),
               S("lief_zahlbetrag", Jetart::Waehrung, "Currency")},
              {{10LL, QStringLiteral("12a"), mittag, 1LL, QStringLiteral("31.02.2024"), QStringLiteral("1234.5678")},
               {11LL, 11LL, mitternacht, 99LL, QStringLiteral("07.03.2024"), QStringLiteral("0.0100")},
               {12LL, QStringLiteral(" 13 "), QVariant(), QVariant(), QVariant(), QVariant()}});
    q.Tabelle(QStringLiteral("t_lieferschein_ARTIKEL"),
              {S("id", Jetart::Ganzzahl, "Long Integer"), S("la_lieferschein_id", Jetart::Ganzzahl, "Long Integer"),
               S("la_artikel_id", Jetart::Ganzzahl, "Long Integer"), S("la_anzahl", Jetart::Text, "Text"), S("la_preis", Jetart::Waehrung, "Currency")},
              {{1LL, 10LL, 7LL, QStringLiteral("1,5"), QStringLiteral("0.3333")},
               {2LL, 50LL, 7LL, QStringLiteral("zwei"), QStringLiteral("99999.9999")},
               {3LL, 11LL, 8LL, 2.0, QStringLiteral("-5.0000")}});
    q.Tabelle(QStringLiteral("t_artikel"),
              {S("id", Jetart::Ganzzahl, "Long Integer"), S("artikel_bez", Jetart::Text, "Text"), S("artikel_preis", Jetart::Waehrung, "Currency"),
               S("artikel_Mwst", Jetart::Gleitkomma, "Double")},
              {{7LL, QStringLiteral("Schraube"), QStringLiteral("0.1000"), 19.0}});
    q.Tabelle(QStringLiteral("T_PLU"), {S("plu", Jetart::Ganzzahl, "Long Integer"), S("artikel_ID", Jetart::Ganzzahl, "Long Integer")},
              {{100LL, 7LL}, {100LL, 8LL}});
    q.Tabelle(QStringLiteral("t_Stammdaten"),
              {S("stammd_firma", Jetart::Text, "Text"), S("stammd_firma_d", Jetart::Ganzzahl, "Integer"), S("Zahlungsbedingungen", Jetart::Text, "Memo/Hyperlink")},
              {{QStringLiteral("Über uns GmbH"), 1LL, QStringLiteral("14 Tage\nohne Abzug")}});
    q.Tabelle(QStringLiteral("Notizen"), {S("text", Jetart::Text, "Memo/Hyperlink")}, {{QStringLiteral("a")}, {QStringLiteral("b")}});
    return q;
}

// Says the row count is one more than it reads: a source that lost a row.
class Luegenquelle : public Speicherquelle {
public:
    qint64 Zeilenzahl(const QString& t) const override { return Speicherquelle::Zeilenzahl(t) + 1; }
};

}  // namespace

class TstDatenuebernahme : public QObject {
    Q_OBJECT

private slots:
    // Every table of the three real files, every value against mdb-export.
    void jetDateienLesen_data()
    {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("format");
        QTest::newRow("Jet 3") << "nwind.mdb" << "Jet 3";
        QTest::newRow("Jet 4") << "DateTestDatabase.mdb" << "Jet 4";
        QTest::newRow("ACE") << "ASampleDatabase.accdb" << "ACE";
    }
    void jetDateienLesen()
    {
        QFETCH(QString, datei);
        QFETCH(QString, format);
        QVERIFY(uebernahme::IstJetDatei(Jet(datei)));
        const auto q = uebernahme::JetQuelleOeffnen(Jet(datei));
        QVERIFY2(q->Beschreibung().endsWith("(" + format + ")"), qPrintable(q->Beschreibung()));
        QVERIFY(!q->Tabellen().isEmpty());
        int umlaute = 0, jaNein = 0, daten = 0, geld = 0;
        for (const QString& t : q->Tabellen()) {
            const QList<QuellSpalte> spalten = q->Spalten(t);
            const QList<Zeile> gelesen = Lesen(*q, t);
            const QList<QStringList> erwartet = Export(Jet(datei), t);
            QCOMPARE(gelesen.size(), erwartet.size());
            QCOMPARE(q->Zeilenzahl(t), qint64(erwartet.size()));
            for (int c = 0; c < spalten.size(); ++c) {
                qint64 summe = 0, summeExport = 0;
                for (int r = 0; r < gelesen.size(); ++r) {
                    const QVariant& v = gelesen[r][c];
                    const QString& e = erwartet[r][c];
                    const QString wo = QStringLiteral("%1.%2 Zeile %3: %4 / %5").arg(t, spalten[c].name).arg(r).arg(v.toString(), e);
                    if (spalten[c].art == Jetart::Binaer) continue;
                    if (spalten[c].art == Jetart::JaNein) {
                        QCOMPARE(uebernahme::Umwandeln(v, data::Feldart::JaNein).wert, QVariant(e == "1" ? -1LL : 0LL));
                        ++jaNein;
                        continue;
                    }
                    if (e == kNull) {
                        QVERIFY2(!v.isValid(), qPrintable(wo));
                        continue;
                    }
                    switch (spalten[c].art) {
                    case Jetart::Text:
                        QVERIFY2(v.toString() == e, qPrintable(wo));
                        if (std::any_of(e.cbegin(), e.cend(), [](QChar ch) { return ch.unicode() > 127; })) ++umlaute;
                        break;
                    case Jetart::Ganzzahl: QVERIFY2(v.toLongLong() == e.toLongLong(), qPrintable(wo)); break;
                    case Jetart::Gleitkomma: QVERIFY2(qFuzzyCompare(v.toDouble(), e.toDouble()), qPrintable(wo)); break;
                    case Jetart::Waehrung:
                        summe += *uebernahme::Zehntausendstel(v);
                        summeExport += *uebernahme::Zehntausendstel(e);
                        ++geld;
                        break;
                    case Jetart::Datum: {
                        // The library writes no date outside 1900 to about 4637; there the
                        // value must at least be a real date.
                        const auto u = uebernahme::Umwandeln(v, data::Feldart::Datum);
                        QVERIFY2(u.wert.toString().contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d$")), qPrintable(wo));
                        if (!e.startsWith("1900-01-00")) {
                            QVERIFY2(u.wert.toString() == e.left(10), qPrintable(wo));
                            QCOMPARE(u.uhrzeitWeg, !e.endsWith("00:00:00"));
                        }
                        ++daten;
                        break;
                    }
                    default: break;
                    }
                }
                QCOMPARE(summe, summeExport);
            }
        }
        if (datei == "nwind.mdb") {
            QVERIFY(q->Tabellen().contains("Umsätze"));
            QVERIFY(umlaute > 0);
            QVERIFY(jaNein > 0);
            QVERIFY(geld > 0);
        }
        QVERIFY(daten > 0);
    }

    // Dates the library cannot write as text are taken from the stored value.
    void datumAusserhalbDesTextbereichs()
    {
        const auto q = uebernahme::JetQuelleOeffnen(Jet("DateTestDatabase.mdb"));
        QMap<QString, QString> nachText;
        q->Lesen("DateTest", [&](const Zeile& z) {
            nachText[z.at(5).toString()] = uebernahme::Umwandeln(z.at(2), data::Feldart::Datum).wert.toString();
        });
        QVERIFY2(nachText.value("Year 1999").startsWith("9999-"), qPrintable(nachText.value("Year 1999")));
        QVERIFY2(nachText.value("Pre-1900 years").left(4).toInt() < 1900, qPrintable(nachText.value("Pre-1900 years")));
    }

    void umwandeln_data()
    {
        QTest::addColumn<QVariant>("quelle");
        QTest::addColumn<int>("art");
        QTest::addColumn<QVariant>("wert");
        QTest::addColumn<bool>("geaendert");
        const int ganz = int(data::Feldart::Ganzzahl), geld = int(data::Feldart::Geld), ja = int(data::Feldart::JaNein),
                  datum = int(data::Feldart::Datum), text = int(data::Feldart::Text);
        QTest::newRow("NULL bleibt NULL") << QVariant() << geld << QVariant() << false;
        QTest::newRow("Ganzzahl") << QVariant(42LL) << ganz << QVariant(42LL) << false;
        QTest::newRow("Zahl als Text") << QVariant(" 13 ") << ganz << QVariant(13LL) << false;
        QTest::newRow("Text in Zahlspalte") << QVariant("12a") << ganz << QVariant() << true;
        QTest::newRow("Bruch in Ganzzahl") << QVariant(2.5) << ganz << QVariant(3LL) << true;
        QTest::newRow("Währung genau") << QVariant("1234.5678") << geld << QVariant(1234.5678) << false;
        QTest::newRow("deutsches Komma") << QVariant("1.234,50") << geld << QVariant(1234.5) << false;
        QTest::newRow("Ja") << QVariant(true) << ja << QVariant(-1LL) << false;
        QTest::newRow("Nein") << QVariant(false) << ja << QVariant(0LL) << false;
        QTest::newRow("1 als Ja") << QVariant(1LL) << ja << QVariant(-1LL) << true;
        QTest::newRow("Datum Mitternacht") << QVariant(QDateTime(QDate(2024, 2, 29), QTime(0, 0), Qt::UTC)) << datum << QVariant("2024-02-29") << false;
        QTest::newRow("Datum mit Uhrzeit") << QVariant(QDateTime(QDate(2024, 2, 29), QTime(9, 15), Qt::UTC)) << datum << QVariant("2024-02-29") << true;
        QTest::newRow("deutsches Datum") << QVariant("07.03.2024") << datum << QVariant("2024-03-07") << false;
        QTest::newRow("kein Datum") << QVariant("31.02.2024") << datum << QVariant() << true;
        QTest::newRow("Jahr außerhalb") << QVariant(QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)) << datum << QVariant() << true;
        QTest::newRow("Umlaute") << QVariant("Größe ÄÖÜ ß") << text << QVariant("Größe ÄÖÜ ß") << false;
        QTest::newRow("Zahl in Textspalte") << QVariant(5LL) << text << QVariant("5") << true;
        QTest::newRow("Binärdaten") << QVariant(QByteArray("OLE")) << text << QVariant() << true;
    }
    void umwandeln()
    {
        QFETCH(QVariant, quelle);
        QFETCH(int, art);
        QFETCH(QVariant, wert);
        QFETCH(bool, geaendert);
        const auto u = uebernahme::Umwandeln(quelle, data::Feldart(art));
        QCOMPARE(u.wert, wert);
        QVERIFY2(u.grund.isEmpty() != geaendert, qPrintable(u.grund));
    }

    // The awkward rows all arrive, and the protocol names every change.
    void abbildung()
    {
        test::Programmordner ordner(false);
        const uebernahme::Ergebnis e = uebernahme::UebernehmenNach(Windowsdaten(), ordner.datenbank());
        QCOMPARE(e.protokoll, Protokoll(ordner));

        const QList<QPair<QString, QVariant>> werte = {
            {"SELECT count(*) FROM t_adressen", 3LL},
            {"SELECT adr_firma FROM t_adressen WHERE id = 1", "Müller & Söhne"},
            {"SELECT adr_kunde FROM t_adressen WHERE id = 1", -1LL},
            {"SELECT adr_kunde FROM t_adressen WHERE id = 2", 0LL},
            {"SELECT adr_firma IS NULL FROM t_adressen WHERE id = 2", 1LL},
            {"SELECT id FROM t_adressen WHERE adr_firma = 'Zweite Nummer 2'", 3LL},
            {"SELECT lief_nr IS NULL FROM t_lieferschein WHERE id = 10", 1LL},
            {"SELECT lief_nr FROM t_lieferschein WHERE id = 12", 13LL},
            {"SELECT lief_datum FROM t_lieferschein WHERE id = 10", "2024-03-05"},
            {"SELECT lief_datum FROM t_lieferschein WHERE id = 11", "2024-03-06"},
            {"SELECT lief_rechnungsdatum IS NULL FROM t_lieferschein WHERE id = 10", 1LL},
            {"SELECT lief_rechnungsdatum FROM t_lieferschein WHERE id = 11", "2024-03-07"},
            {"SELECT lief_zahlbetrag FROM t_lieferschein WHERE id = 10", 1234.5678},
            {"SELECT lief_adresse_id FROM t_lieferschein WHERE id = 11", 99LL},
            {"SELECT count(*) FROM t_lieferschein_artikel", 3LL},
            {"SELECT la_anzahl FROM t_lieferschein_artikel WHERE id = 1", 1.5},
            {"SELECT la_anzahl IS NULL FROM t_lieferschein_artikel WHERE id = 2", 1LL},
            {"SELECT la_preis FROM t_lieferschein_artikel WHERE id = 2", 99999.9999},
            {"SELECT count(*) FROM t_PLU WHERE PLU = 100", 1LL},
            {"SELECT count(*) FROM t_PLU WHERE PLU IS NULL AND Artikel_id = 8", 1LL},
            {"SELECT stammd_firma_d FROM t_stammdaten", -1LL},
            {"SELECT Zahlungsbedingungen FROM t_stammdaten", "14 Tage\nohne Abzug"},
            {"SELECT count(*) FROM sqlite_master WHERE name LIKE 'notizen'", 0LL},
        };
        for (const auto& w : werte) QVERIFY2(test::Wert(w.first) == w.second, qPrintable(w.first + " → " + test::Wert(w.first).toString()));

        const QString p = e.protokoll;
        const QStringList zeilen = {
            "t_adressen (aus „T_Adressen“): 3 Zeilen gelesen, 3 geschrieben",
            "t_einheit (die ganze Tabelle)",
            "Tabelle „Notizen“ (2 Zeilen)",
            "Spalte „adr_Geburtstag“ der Tabelle „T_Adressen“ (DateTime)",
            "t_adressen ID 2, id: Schlüssel „2“ gibt es schon; neuer Schlüssel 3",
            "t_lieferschein id 10, lief_nr: „12a“ ist keine ganze Zahl; leer gelassen",
            "t_lieferschein id 10, lief_datum: Uhrzeit 14:30:00 weggelassen",
            "t_lieferschein id 10, lief_rechnungsdatum: „31.02.2024“ ist kein gültiges Datum; leer gelassen",
            "t_lieferschein_artikel id 2, la_anzahl: „zwei“ ist keine Zahl; leer gelassen",
            "t_PLU plu 100, PLU: „100“ gibt es schon; leer gelassen",
            "t_stammdaten Zeile 1, stammd_firma_d: „1“ als Ja (-1) übernommen",
            "Geänderte Werte: 7 (davon Uhrzeiten weggelassen: 1)",
            "t_lieferschein id 11: verweist auf eine fehlende Zeile in t_adressen",
            "t_lieferschein_artikel id 2: verweist auf eine fehlende Zeile in t_lieferschein",
            "t_lieferschein_artikel id 3: la_artikel_id = 8 gibt es in t_artikel nicht",
            "Die Daten wurden vollständig übernommen.",
        };
        for (const QString& z : zeilen) QVERIFY2(p.contains(z), qPrintable(z + "\n---\n" + p));
        QCOMPARE(e.geaendert, 7);
        QCOMPARE(e.verwaist, 3);
        QVERIFY(!p.contains("„1“ ist"));  // stammd_firma_d is no number column problem
        // Nothing else lies in the folder: no temporary file left behind.
        QCOMPARE(QDir(ordner.pfad()).entryList(QDir::Files | QDir::Hidden), QStringList({"datenuebernahme.txt", "ordavo_tab.mdb"}));
    }

    // A conversion that cannot be checked leaves nothing half-written.
    void pruefungSchlaegtFehl()
    {
        test::Programmordner ordner(false);
        Luegenquelle q;
        q.Tabelle("t_einheit", {S("id", Jetart::Ganzzahl, "Long Integer"), S("einheit", Jetart::Text, "Text")}, {{1LL, QStringLiteral("Stück")}});
        try {
            uebernahme::UebernehmenNach(q, ordner.datenbank());
            QFAIL("übernommen trotz falscher Zeilenzahl");
        } catch (const data::Fehler& f) {
            QVERIFY2(f.text().contains("Zeilenzahl der Tabelle t_einheit stimmt nicht"), qPrintable(f.text()));
        }
        QCOMPARE(QDir(ordner.pfad()).entryList(QDir::Files | QDir::Hidden), QStringList({"datenuebernahme.txt"}));
        QVERIFY(Protokoll(ordner).contains("Die Daten wurden NICHT übernommen: Die Zeilenzahl"));
    }

    void zielVorhanden()
    {
        test::Programmordner ordner;
        const QByteArray vorher = [&] { QFile f(ordner.datenbank()); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY_THROWS_EXCEPTION(data::Fehler, uebernahme::UebernehmenNach(Windowsdaten(), ordner.datenbank()));
        QFile f(ordner.datenbank());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), vorher);
    }

    void werkzeug_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("rc");
        QTest::addColumn<QString>("ausgabe");
        QTest::newRow("keine Tabellen von Ordavo") << QStringList{Jet("nwind.mdb"), "x.mdb"} << 1
                                                   << "Die Datei enthält keine Tabelle von Ordavo (gefunden: ";
        QTest::newRow("Inhalt Jet 3") << QStringList{"--inhalt", Jet("nwind.mdb")} << 0 << "Umsätze: 830 Zeilen";
        QTest::newRow("Spaltentypen") << QStringList{"--inhalt", Jet("nwind.mdb")} << 0 << "  UnitPrice  Currency\n";
        QTest::newRow("Inhalt ACE") << QStringList{"--inhalt", Jet("ASampleDatabase.accdb")} << 0 << "Asset Items: 65 Zeilen";
        QTest::newRow("keine Jet-Datei") << QStringList{"--inhalt", "keine.mdb"} << 1 << "keine.mdb gibt es nicht";
        QTest::newRow("Aufruf") << QStringList{"x.mdb"} << 2 << "Aufruf: datenuebernahme QUELLE.mdb ZIEL.mdb";
    }
    void werkzeug()
    {
        QFETCH(QStringList, argumente);
        QFETCH(int, rc);
        QFETCH(QString, ausgabe);
        test::Programmordner ordner(false);
        QProcess p;
        p.start(Programm(), argumente);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), rc);
        const QString text = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(text.contains(ausgabe), qPrintable(text));
        if (rc != 0) QCOMPARE(QDir(ordner.pfad()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A cut-off file is refused with a message, however far it reaches.
    void abgeschnitteneDatei_data()
    {
        QTest::addColumn<int>("bytes");
        for (int n : {100, 8192, 65536, 200000}) QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void abgeschnitteneDatei()
    {
        QFETCH(int, bytes);
        test::Programmordner ordner(false);
        QFile quelle(Jet("DateTestDatabase.mdb"));
        QVERIFY(quelle.open(QIODevice::ReadOnly));
        QFile kurz(ordner.datei("kurz.mdb"));
        QVERIFY(kurz.open(QIODevice::WriteOnly));
        kurz.write(quelle.read(bytes));
        kurz.close();
        try {
            const auto q = uebernahme::JetQuelleOeffnen(kurz.fileName());
            uebernahme::UebernehmenNach(*q, ordner.datei("neu.mdb"));
            QFAIL("abgeschnittene Datei übernommen");
        } catch (const data::Fehler& f) {
            QVERIFY(!f.text().isEmpty());
        }
        QVERIFY(!QFile::exists(ordner.datei("neu.mdb")));
    }
};

QTEST_GUILESS_MAIN(TstDatenuebernahme)
#include "tst_datenuebernahme.moc"
