// bench [--wiederholungen N] [--nur start,speicher,...] [--ausgabe ERGEBNISSE.md] datenbank.mdb
//
// Measures the program's own paths against the same statements on the raw
// sqlite3 API, in one run, on a private copy of the given database, and
// prints the medians and ratios as a Markdown table.
#include "tools/bench/Messen.h"

#include "backup/backend_komprimieren.h"
#include "backup/datensicherung1.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "report/Ausgabe.h"
#include "report/Bericht.h"
#include "report/Vorschau.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>

using bench::Millis;
using bench::Ms;
using bench::Roh;
using bench::Zeile;
using data::Dataset;

namespace {

struct Lauf {
    QString datei;       // the working copy, ordavo_tab.mdb in the current directory
    QString ordner;      // its folder
    int n = 5;           // repetitions of the heavy measures
    int nKlein = 200;    // repetitions of the small ones
    bench::Tabelle tab;
    // Facts of the data set.
    qint64 lieferscheine = 0, positionen = 0, artikel = 0, adressen = 0;
    int jahr = 0;          // the last complete year of the data
    qint64 kunde = 0;      // the customer with the most notes
    qint64 ersterLief = 0; // the first note of ADO_Lieferschein
};

QString Mit(const QString& sql, const QString& bedingung)
{
    // The detail condition goes where the data layer puts it: before ORDER BY.
    const int order = int(sql.lastIndexOf(QStringLiteral("ORDER BY"), -1, Qt::CaseInsensitive));
    QString s = sql.trimmed();
    while (s.endsWith(QLatin1Char(';'))) s.chop(1);
    if (order < 0) return s + QStringLiteral(" WHERE ") + bedingung;
    return s.left(order) + QStringLiteral(" WHERE ") + bedingung + QLatin1Char(' ') + s.mid(order);
}

QString DetailSql()
{
    return Mit(TDMOrdavo::SqlVon(QStringLiteral("ADO_Lieferschein_Artikel")),
               QStringLiteral("(t_lieferschein_artikel.la_lieferschein_id = :id)"));
}

// What the delivery note window does after each move.
void SummenAktualisieren(TDMOrdavo& dm, QString* texte)
{
    double netto = 0, steuer = 0;
    if (!dm.ADO_Lieferschein_Artikel->IsEmpty())
        dm.LieferscheinSummen(int(dm.ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger()), netto, steuer);
    texte[0] = data::Waehrung(netto);
    texte[1] = data::Waehrung(steuer);
    texte[2] = data::Waehrung(netto + steuer);
}

// Item insertion as the article selection does it: next key, INSERT on the
// scratch query, requery of the items, locate the new one.
void PositionAnlegen(TDMOrdavo& dm, int artikelId, double preis, double einkauf, const QString& menge)
{
    const double anzahl = data::LeseZahl(menge);
    const int neu = dm.NaechsteID(QStringLiteral("t_lieferschein_artikel"));
    const qint64 lieferschein = dm.ADO_Lieferschein->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
    Dataset* q = dm.ADOQuery;
    q->Close();
    q->clearParameters();
    q->setSql(QStringLiteral(
        "insert into t_lieferschein_artikel (id, la_lieferschein_id,la_artikel_id, la_anzahl, la_preis, "
        "la_artikel_einkauf) values (:id, :la_lieferschein_id, :la_artikel_id, :la_anzahl, :la_preis, :la_artikel_einkauf);"));
    q->setParameter(QStringLiteral("id"), neu);
    q->setParameter(QStringLiteral("la_lieferschein_id"), lieferschein);
    q->setParameter(QStringLiteral("la_artikel_id"), artikelId);
    q->setParameter(QStringLiteral("la_anzahl"), anzahl);
    q->setParameter(QStringLiteral("la_preis"), preis);
    q->setParameter(QStringLiteral("la_artikel_einkauf"), einkauf);
    q->ExecSQL();
    q->Close();
    q->clearParameters();
    dm.ADO_Lieferschein_Artikel->Requery();
    dm.ADO_Lieferschein_Artikel->Locate(QStringLiteral("t_lieferschein_artikel.id"), neu);
}

void Fakten(Lauf& l)
{
    Roh r(l.datei);
    l.lieferscheine = r.Wert(QStringLiteral("SELECT count(*) FROM t_lieferschein")).toLongLong();
    l.positionen = r.Wert(QStringLiteral("SELECT count(*) FROM t_lieferschein_artikel")).toLongLong();
    l.artikel = r.Wert(QStringLiteral("SELECT count(*) FROM t_artikel")).toLongLong();
    l.adressen = r.Wert(QStringLiteral("SELECT count(*) FROM t_adressen")).toLongLong();
    l.jahr = r.Wert(QStringLiteral("SELECT substr(max(lief_datum), 1, 4) FROM t_lieferschein")).toInt() - 1;
    l.kunde = r.Wert(QStringLiteral("SELECT lief_adresse_id FROM t_lieferschein GROUP BY lief_adresse_id ORDER BY count(*) DESC LIMIT 1")).toLongLong();
    l.ersterLief = r.Wert(QStringLiteral("SELECT min(t_lieferschein.id) FROM t_lieferschein JOIN t_adressen ON t_adressen.id = lief_adresse_id")).toLongLong();
}

// ---------------------------------------------------------------- start-up

void Start(Lauf& l)
{
    const QString tabellen[] = {QStringLiteral("t_adressen"), QStringLiteral("t_einheit"), QStringLiteral("t_kategorie"),
                                QStringLiteral("t_stammdaten"), QStringLiteral("t_PLU")};
    const QString befehle[] = {QStringLiteral("ADO_artikel"), QStringLiteral("ADO_Lieferschein"), QStringLiteral("ADO_Nochnichtbezahlt"),
                               QStringLiteral("ADO_PLU")};
    std::vector<double> p, r;
    for (int i = 0; i < l.n; ++i) {
        std::unique_ptr<TDMOrdavo> dm;
        p.push_back(Millis([&] { dm = std::make_unique<TDMOrdavo>(); }));
        dm.reset();
        r.push_back(Millis([&] {
            Roh roh(l.datei);
            for (const QString& t : tabellen) roh.AlleZeilen(QStringLiteral("SELECT * FROM ") + t);
            for (const QString& b : befehle) roh.AlleZeilen(TDMOrdavo::SqlVon(b));
            roh.AlleZeilen(DetailSql(), {{QStringLiteral("id"), l.ersterLief}});
        }));
    }
    Zeile z;
    z.messung = QStringLiteral("Programmstart: TDMOrdavo mit allen Datenmengen des Starts");
    z.programm = bench::Median(p);
    z.roh = bench::Median(r);
    z.bezug = QStringLiteral("dieselben SELECTs, jede Zeile und Spalte");
    z.verhaeltnis = bench::Faktor(z.programm / z.roh);
    z.ziel = QStringLiteral("≤ 1,5 × roh");
    z.erreicht = z.programm <= 1.5 * z.roh;
    l.tab.Hinzu(z);
}

// ---------------------------------------------------------------- memory

void Speicher(Lauf& l)
{
    TDMOrdavo dm;
    Dataset* ls = dm.ADO_Lieferschein;
    ls->Close();
    bench::SpeicherZurueckgeben();
    const qint64 vorher = bench::Resident();
    ls->Open();
    const qint64 nachher = bench::Resident();
    const int zeilen = ls->RecordCount();
    // What stays when freed heap blocks are given back: the snapshot itself.
    bench::SpeicherZurueckgeben();
    const qint64 belegt = bench::Resident();

    // What the rows hold: 8 bytes per number, the bytes of each text.
    Roh r(l.datei);
    const double nutz = r.Wert(QStringLiteral(
        "SELECT avg(8 * 27 + length(CAST(coalesce(lief_zahlungsbed,'') AS BLOB)) + length(CAST(coalesce(lief_Bankverbindungen,'') AS BLOB))"
        " + length(CAST(coalesce(lief_Zusatztext,'') AS BLOB)) + length(CAST(coalesce(lief_Mahnungstext,'') AS BLOB))"
        " + length(CAST(coalesce(adr_firma,'') || coalesce(adr_ganzername,'') || coalesce(adr_adresse,'') || coalesce(adr_plz,'')"
        " || coalesce(adr_ort,'') || coalesce(adr_tel,'') || coalesce(adr_fax,'') || coalesce(adr_mobil,'') || coalesce(adr_email,'')"
        " || coalesce(adr_uidnr,'') || coalesce(adr_lief_firma,'') || coalesce(adr_lief_ganzername,'') || coalesce(adr_lief_adresse,'')"
        " || coalesce(adr_lief_plz,'') || coalesce(adr_lief_ort,'') || coalesce(adr_lief_tel,'') || coalesce(adr_lief_fax,'')"
        " || coalesce(adr_lief_mobil,'') || coalesce(adr_lief_email,'') AS BLOB)))"
        " FROM t_lieferschein JOIN t_adressen ON t_adressen.id = lief_adresse_id")).toDouble();

    const double jeZeile = zeilen > 0 ? double(nachher - vorher) / zeilen : 0;
    Zeile z;
    z.messung = QStringLiteral("Speicher: Schnappschuss ADO_Lieferschein (%1 Zeilen)").arg(zeilen);
    z.bezug = QStringLiteral("Nutzdaten der Zeile: %1 Byte").arg(nutz, 0, 'f', 0);
    z.verhaeltnis = QStringLiteral("%1 Byte/Zeile").arg(jeZeile, 0, 'f', 0);
    z.ziel = QStringLiteral("einige hundert Byte/Zeile");
    // "A few hundred": at most the row's own data plus a small overhead.
    z.erreicht = jeZeile <= nutz + 100;
    l.tab.Hinzu(z);
    l.tab.Notiz(QStringLiteral("Speicher: Zuwachs des Resident Set beim Öffnen von ADO_Lieferschein %1 MiB für %2 Zeilen; "
                               "die Zeilen selbst halten im Mittel %3 Byte (Zahlen zu 8 Byte gerechnet; darin die drei aus den "
                               "Stammdaten kopierten Texte). Gibt man danach den freien Heap zurück (malloc_trim), bleiben %4 Byte/Zeile: "
                               "der Rest sind freie Blöcke, die das schrittweise Wachsen des Zeilenpuffers im Heap zurücklässt.")
                    .arg(double(nachher - vorher) / (1024.0 * 1024.0), 0, 'f', 1)
                    .arg(zeilen)
                    .arg(nutz, 0, 'f', 0)
                    .arg(zeilen > 0 ? double(belegt - vorher) / zeilen : 0, 0, 'f', 0));
}

// ---------------------------------------------------------------- moving

void Wechseln(Lauf& l)
{
    TDMOrdavo dm;
    Dataset* ls = dm.ADO_Lieferschein;
    Roh r(l.datei);
    const QString detail = DetailSql();
    const QString summen = TDMOrdavo::SqlVon(QStringLiteral("LieferscheinSummen"));
    ls->setRecNo(ls->RecordCount() / 2);
    QString texte[3];
    std::vector<double> p, rr;
    for (int i = 0; i < l.nKlein && !ls->Eof(); ++i) {
        p.push_back(Millis([&] {
            ls->Next();
            SummenAktualisieren(dm, texte);
        }));
        const qint64 id = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
        rr.push_back(Millis([&] {
            r.AlleZeilen(detail, {{QStringLiteral("id"), id}});
            r.AlleZeilen(summen, {{QStringLiteral("id"), id}});
        }));
    }
    Zeile z;
    z.messung = QStringLiteral("Lieferschein wechseln: Next + Positionen + SummenAktualisieren");
    z.programm = bench::Median(p);
    z.roh = bench::Median(rr);
    z.bezug = QStringLiteral("Positions-SELECT + Summen-SELECT des Lieferscheins");
    z.verhaeltnis = bench::Faktor(z.programm / z.roh);
    z.ziel = QStringLiteral("≤ 2 ms");
    z.erreicht = z.programm <= 2.0;
    l.tab.Hinzu(z);
}

// ---------------------------------------------------------------- entering an item

void Position(Lauf& l)
{
    TDMOrdavo dm;
    Dataset* ls = dm.ADO_Lieferschein;
    Dataset* art = dm.ADO_artikel;
    Roh r(l.datei);
    const QString einfuegen = QStringLiteral(
        "insert into t_lieferschein_artikel (id, la_lieferschein_id,la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) "
        "values (:id, :la_lieferschein_id, :la_artikel_id, :la_anzahl, :la_preis, :la_artikel_einkauf);");
    std::vector<double> p, rr;
    const int n = std::min(l.nKlein, 50);
    for (int i = 0; i < n; ++i) {
        // A different note and article each time, as a user would enter them.
        ls->setRecNo((ls->RecordCount() / (n + 1)) * (i + 1));
        art->setRecNo((art->RecordCount() / (n + 1)) * (i + 1));
        const int artikelId = int(art->FieldByName(QStringLiteral("id")).asInteger());
        const double preis = art->FieldByName(QStringLiteral("artikel_preis")).asFloat();
        const double einkauf = art->FieldByName(QStringLiteral("artikel_einkauf")).asFloat();
        p.push_back(Millis([&] { PositionAnlegen(dm, artikelId, preis, einkauf, QStringLiteral("2")); }));

        const qint64 id = r.Wert(QStringLiteral("SELECT max(id) + 1 FROM t_lieferschein_artikel")).toLongLong();
        const qint64 lief = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
        rr.push_back(Millis([&] {
            r.AlleZeilen(einfuegen, {{QStringLiteral("id"), id}, {QStringLiteral("la_lieferschein_id"), lief},
                                     {QStringLiteral("la_artikel_id"), artikelId}, {QStringLiteral("la_anzahl"), 2.0},
                                     {QStringLiteral("la_preis"), preis}, {QStringLiteral("la_artikel_einkauf"), einkauf}});
        }));
    }
    Zeile z;
    z.messung = QStringLiteral("Position anlegen: NaechsteID + INSERT + Requery + Locate");
    z.programm = bench::Median(p);
    z.roh = bench::Median(rr);
    z.bezug = QStringLiteral("ein INSERT mit Commit");
    const double mehr = z.programm - z.roh;
    z.verhaeltnis = QStringLiteral("+ ") + Ms(mehr);
    z.ziel = QStringLiteral("≤ 5 ms + Commit");
    z.erreicht = mehr <= 5.0;
    l.tab.Hinzu(z);

    // Where the program's time goes, step by step (same steps, on further notes).
    std::vector<double> tId, tIns, tReq, tLoc;
    for (int i = 0; i < n; ++i) {
        ls->setRecNo((ls->RecordCount() / (n + 1)) * (i + 1) + 1);
        int neu = 0;
        tId.push_back(Millis([&] { neu = dm.NaechsteID(QStringLiteral("t_lieferschein_artikel")); }));
        const qint64 lief = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
        tIns.push_back(Millis([&] {
            Dataset* q = dm.ADOQuery;
            q->Close();
            q->clearParameters();
            q->setSql(einfuegen);
            q->setParameter(QStringLiteral("id"), neu);
            q->setParameter(QStringLiteral("la_lieferschein_id"), lief);
            q->setParameter(QStringLiteral("la_artikel_id"), 1);
            q->setParameter(QStringLiteral("la_anzahl"), 1.0);
            q->setParameter(QStringLiteral("la_preis"), 1.0);
            q->setParameter(QStringLiteral("la_artikel_einkauf"), 0.5);
            q->ExecSQL();
            q->Close();
        }));
        tReq.push_back(Millis([&] { dm.ADO_Lieferschein_Artikel->Requery(); }));
        tLoc.push_back(Millis([&] { dm.ADO_Lieferschein_Artikel->Locate(QStringLiteral("t_lieferschein_artikel.id"), neu); }));
    }
    l.tab.Notiz(QStringLiteral("Position anlegen, Schritte (Mediane): NaechsteID %1, INSERT auf ADOQuery mit Commit %2, "
                               "Requery der Positionen %3, Locate %4. Der Commit (fsync) ist hier der größte Teil.")
                    .arg(Ms(bench::Median(tId)), Ms(bench::Median(tIns)), Ms(bench::Median(tReq)), Ms(bench::Median(tLoc))));
}

// ---------------------------------------------------------------- statistics

void Statistiken(Lauf& l)
{
    Roh r(l.datei);
    const QString scanSql = QStringLiteral("SELECT sum(la_preis*la_anzahl) FROM t_lieferschein_artikel");
    std::vector<double> s;
    for (int i = 0; i < l.n; ++i) s.push_back(Millis([&] { r.AlleZeilen(scanSql); }));
    const double scan = bench::Median(s);
    {
        Zeile z;
        z.messung = QStringLiteral("Scan: SELECT sum(la_preis*la_anzahl) FROM t_lieferschein_artikel");
        z.roh = scan;
        z.bezug = QStringLiteral("roh");
        l.tab.Hinzu(z);
    }

    TDMOrdavo dm;
    struct Statistik {
        const char* name;
        Dataset* ds;
        bool mitKunde;
    };
    const Statistik stats[] = {
        {"ADO_Auswertung_Artikel", dm.ADO_Auswertung_Artikel, false},
        {"ADO_Auswertung_Artikel_summen", dm.ADO_Auswertung_Artikel_summen, false},
        {"ADO_Auswertung_ArtikelKategorie_summen", dm.ADO_Auswertung_ArtikelKategorie_summen, false},
        {"ADO_Auswertung_Adressen", dm.ADO_Auswertung_Adressen, true},
        {"ADO_Auswertung_alle_Adressen", dm.ADO_Auswertung_alle_Adressen, false},
    };
    const struct {
        QString name;
        QDate von, bis;
    } zeitraeume[] = {
        {QStringLiteral("Jahr %1").arg(l.jahr), QDate(l.jahr, 1, 1), QDate(l.jahr, 12, 31)},
        {QStringLiteral("alle"), QDate(1000, 1, 1), QDate(9999, 12, 31)},
    };
    for (const Statistik& st : stats) {
        for (const auto& zr : zeitraeume) {
            QVariantMap par{{QStringLiteral("von"), zr.von}, {QStringLiteral("bis"), zr.bis}};
            // The customer id goes in as decimal text, as the customer statistics give it.
            if (st.mitKunde) par[QStringLiteral("id")] = QString::number(l.kunde);
            int zeilen = 0;
            const bench::Paar paar = bench::Abwechselnd(
                l.n,
                [&] {
                    st.ds->Close();
                    for (auto it = par.begin(); it != par.end(); ++it) st.ds->setParameter(it.key(), it.value());
                    st.ds->Open();
                    zeilen = st.ds->RecordCount();
                },
                [&] { r.AlleZeilen(TDMOrdavo::SqlVon(QString::fromLatin1(st.name)), par); });
            st.ds->Close();
            Zeile z;
            z.messung = QStringLiteral("Statistik %1, %2 (%3 Zeilen)").arg(QString::fromLatin1(st.name), zr.name).arg(zeilen);
            z.programm = paar.programm;
            z.roh = paar.roh;
            z.bezug = QStringLiteral("derselbe SELECT roh");
            z.verhaeltnis = bench::Faktor(paar.programm / scan) + QStringLiteral(" Scan (") + bench::Faktor(paar.programm / paar.roh) +
                            QStringLiteral(" roh)");
            z.ziel = QStringLiteral("≤ 3 × Scan");
            z.erreicht = paar.programm <= 3.0 * scan;
            l.tab.Hinzu(z);
        }
    }
    l.tab.Notiz(QStringLiteral("Statistiken: gemessen ist das Öffnen der Datenmenge des Katalogs mit den Parametern, wie das "
                               "Fenster es tut; das Layout des Berichts steht in der Zeile des 500-Seiten-Berichts."));
}

// ---------------------------------------------------------------- the long report

// The article statistics, all time: the report of the statistics windows,
// built here on the report engine with its bands and hooks.
struct Artikelbericht {
    report::Bericht b{QStringLiteral("Artikelstatistik")};
    double gesamt = 0;

    explicit Artikelbericht(Dataset* ds)
    {
        using report::Maske;
        using report::Schrift;
        b.setRaender(10, 10, 10, 20);
        report::Band& kopf = b.seitenkopf();
        kopf.setHoehe(38.9);
        kopf.setRahmenUnten(report::Strich::Einfach);
        kopf.label(QStringLiteral("QRLabel1"), QStringLiteral("Artikelstatistik vom"), {10.0, 0, 0, 0}, Schrift(14, true));
        kopf.label(QStringLiteral("LabelDatum"), data::Datumstext(QDate::currentDate()), {58.7, 0, 0, 0}, Schrift(14, true));
        const struct {
            const char* text;
            double x;
        } spalten[] = {{"Artikel-NR", 10.0}, {"Artikelbezeichnung", 26.9}, {"Menge", 73.5}, {"Verkauf", 103.1},
                       {"%", 116.6},         {"Einkauf", 134.9},           {"%", 182.5}};
        int k = 0;
        for (const auto& s : spalten)
            kopf.label(QStringLiteral("Kopf%1").arg(++k), QString::fromUtf8(s.text), {s.x, 33.9, 0, 0});
        kopf.label(QStringLiteral("KopfSpanne"), QStringLiteral("Spanne"), {150.0, 33.9, 30.9, 0}, std::nullopt, Qt::AlignRight);

        report::Band& d = b.detail();
        d.setHoehe(6.1);
        d.feld(QStringLiteral("artikel_nr"), QStringLiteral("artikel_nr"), {12.1, 0.8, 0, 0}, Maske::Text);
        d.feld(QStringLiteral("artikel_bez"), QStringLiteral("artikel_bez"), {26.9, 0.8, 40.5, 0});
        d.feld(QStringLiteral("Anzahl"), QStringLiteral("Anzahl"), {60.0, 0.8, 19.8, 0}, Maske::Zahl, std::nullopt, Qt::AlignRight);
        d.feld(QStringLiteral("einheit"), QStringLiteral("einheit"), {80.4, 0.8, 0, 0});
        d.feld(QStringLiteral("gesamt"), QStringLiteral("gesamt"), {92.6, 0.8, 22.8, 0}, Maske::Waehrung, std::nullopt, Qt::AlignRight);
        report::Text* anteil = d.label(QStringLiteral("label_gesamt_pro"), QString(), {115.8, 0.8, 7.9, 0}, Schrift(6), Qt::AlignRight);
        d.feld(QStringLiteral("einkaufspreis"), QStringLiteral("einkaufspreis"), {124.3, 0.8, 22.8, 0}, Maske::Waehrung, std::nullopt,
               Qt::AlignRight);
        d.feld(QStringLiteral("spanne"), QStringLiteral("spanne"), {158.2, 0.8, 22.8, 0}, Maske::Waehrung, std::nullopt, Qt::AlignRight);
        report::Text* aufschlag = d.label(QStringLiteral("Label_spanne_pro"), QString(), {181.4, 0.8, 7.9, 0}, Schrift(6), Qt::AlignRight);
        d.vorDemDruck = [this, ds, anteil, aufschlag](report::Band&, bool&) {
            const double s = ds->FieldByName(QStringLiteral("gesamt")).asFloat();
            anteil->setText(data::Prozent2(gesamt != 0 ? s / (gesamt / 100) : 0));
            const double m = ds->FieldByName(QStringLiteral("spanne")).asFloat();
            const double e = ds->FieldByName(QStringLiteral("einkaufspreis")).asFloat();
            aufschlag->setText(data::Prozent2(m != 0 && e != 0 ? 100 / e * (m + e) - 100 : 0));
        };

        report::Gruppe& g = b.neueGruppe(QStringLiteral("QRGroup1"));
        g.fuss.setName(QStringLiteral("QRBand2"));
        g.fuss.setHoehe(15.1);
        g.fuss.setRahmenOben(report::Strich::Doppelt);
        g.fuss.label(QStringLiteral("Gesamtumsatz"), QStringLiteral("Gesamtumsatz:"), {65.0, 6.3, 0, 0});
        report::Text* summe = g.fuss.label(QStringLiteral("LabelVerkauf"), QString(), {92.6, 6.3, 23.0, 0}, Schrift(12), Qt::AlignRight);
        g.fuss.vorDemDruck = [this, summe](report::Band&, bool&) { summe->setText(data::Waehrung(gesamt)); };
        b.setDataset(ds);
    }
};

// Waits for the first paint of the preview's pages, then closes the preview.
class ErsteSeite : public QObject {
public:
    std::chrono::steady_clock::time_point zeit;
    bool gesehen = false;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (!gesehen && e->type() == QEvent::Paint) {
            for (QObject* o = obj; o; o = o->parent()) {
                // The preview's page view; the system's print preview widget as well.
                auto* w = qobject_cast<QWidget*>(o);
                if (w && (w->objectName() == QLatin1String("Seitenansicht") || qobject_cast<QPrintPreviewWidget*>(o))) {
                    gesehen = true;
                    zeit = std::chrono::steady_clock::now();
                    QWidget* fenster = w->window();
                    QTimer::singleShot(0, fenster, [fenster] { fenster->close(); });
                    break;
                }
            }
        }
        return false;
    }
};

void Bericht(Lauf& l)
{
    TDMOrdavo dm;
    Dataset* ds = dm.ADO_Auswertung_Artikel;
    ds->setParameter(QStringLiteral("von"), QDate(1000, 1, 1));
    ds->setParameter(QStringLiteral("bis"), QDate(9999, 12, 31));
    ds->Open();
    Artikelbericht a(ds);
    {
        Roh r(l.datei);
        a.gesamt = r.Wert(TDMOrdavo::SqlVon(QStringLiteral("ADO_Auswertung_Artikel_summen")),
                          {{QStringLiteral("von"), QDate(1000, 1, 1)}, {QStringLiteral("bis"), QDate(9999, 12, 31)}})
                       .toDouble();
    }

    std::vector<double> layout, erste;
    size_t seitenzahl = 0;
    const int n = std::max(1, std::min(l.n, 3));
    for (int i = 0; i < n; ++i) {
        report::Seiten seiten;
        layout.push_back(Millis([&] { seiten = a.b.Layout(); }));
        seitenzahl = seiten.size();

        ErsteSeite warten;
        qApp->installEventFilter(&warten);
        const auto t0 = std::chrono::steady_clock::now();
        // Should the preview never paint (no display), it is closed after a minute.
        QTimer notbremse;
        notbremse.setSingleShot(true);
        QObject::connect(&notbremse, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
        notbremse.start(60000);
        report::Vorschau(a.b);  // lays out as the statistics windows do
        qApp->removeEventFilter(&warten);
        if (warten.gesehen) erste.push_back(std::chrono::duration<double, std::milli>(warten.zeit - t0).count());
    }
    // Painting one page at printer resolution, as the preview does for each page before it shows any.
    double jeSeite = -1;
    {
        const report::Seiten seiten = a.b.Layout();
        if (!seiten.empty()) {
            QImage bild(1240, 1754, QImage::Format_RGB32);  // A4 at 150 dpi
            std::vector<double> t;
            for (int i = 0; i < 5; ++i) {
                bild.fill(Qt::white);
                t.push_back(Millis([&] {
                    QPainter maler(&bild);
                    report::ZeichneSeite(maler, seiten[seiten.size() / 2], 1240 / 210.0, 1754 / 297.0);
                }));
            }
            jeSeite = bench::Median(t);
        }
    }
    l.tab.Notiz(QStringLiteral("Bericht: gemessen ist report::Vorschau(bericht) vom Aufruf bis die Seitenansicht zum ersten Mal "
                               "gezeichnet ist; die Vorschau legt die erste Seite sofort an und die übrigen, während sie offen ist. "
                               "Eine Seite zu zeichnen kostet %1 (150 dpi).")
                    .arg(Ms(jeSeite)));
    Zeile z;
    z.messung = QStringLiteral("Bericht Artikelstatistik, alle (%1 Seiten): Layout aller Seiten").arg(seitenzahl);
    z.programm = bench::Median(layout);
    l.tab.Hinzu(z);
    Zeile v;
    v.messung = QStringLiteral("Bericht Artikelstatistik, alle (%1 Seiten): erste Seite der Vorschau").arg(seitenzahl);
    v.programm = bench::Median(erste);
    v.ziel = QStringLiteral("< 0,5 s");
    v.erreicht = erste.empty() ? -1 : v.programm < 500.0;
    l.tab.Hinzu(v);
    if (erste.empty()) l.tab.Notiz(QStringLiteral("Bericht: die Vorschau hat ihre Seiten nicht gezeichnet (keine Anzeige?)."));
}

// ---------------------------------------------------------------- the print set

void Druckdaten(Lauf& l)
{
    TDMOrdavo dm;
    Dataset* ls = dm.ADO_Lieferschein;
    ls->setRecNo(ls->RecordCount() / 2);
    const qint64 id = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
    Dataset* druck = dm.ADO_Druck_Lief;
    Roh r(l.datei);
    const QString sql = Mit(TDMOrdavo::SqlVon(QStringLiteral("ADO_Druck_Lief")), QStringLiteral("(t_lieferschein_artikel.la_lieferschein_id = :id)"));
    int zeilen = 0;
    qint64 zuwachs = 0;
    const bench::Paar paar = bench::Abwechselnd(
        std::max(1, std::min(l.n, 3)),
        [&] {
            // As the delivery note window prints: close, filter, open, and the filter off again.
            druck->Close();
            bench::SpeicherZurueckgeben();
            const qint64 vorher = bench::Resident();
            druck->setFilter(QStringLiteral("la_lieferschein_id = ") + QString::number(id));
            druck->setFiltered(true);
            druck->Open();
            zeilen = druck->RecordCount();
            zuwachs = bench::Resident() - vorher;
            druck->setFilter(QString());
            druck->setFiltered(false);
        },
        [&] { r.AlleZeilen(sql, {{QStringLiteral("id"), id}}); });
    druck->Close();
    Zeile z;
    z.messung = QStringLiteral("Druckdaten ADO_Druck_Lief für einen Lieferschein (%1 Zeilen)").arg(zeilen);
    z.programm = paar.programm;
    z.roh = paar.roh;
    z.bezug = QStringLiteral("derselbe SELECT mit WHERE la_lieferschein_id");
    z.verhaeltnis = bench::Faktor(paar.programm / paar.roh);
    l.tab.Hinzu(z);
    l.tab.Notiz(QStringLiteral("Druckdaten: ADO_Druck_Lief holt mit dem clientseitigen Filter alle %1 Positionen samt Join und "
                               "filtert danach; das Resident Set wächst dabei um %2 MiB, und die Datenmenge bleibt nach dem Druck offen.")
                    .arg(l.positionen)
                    .arg(double(zuwachs) / (1024.0 * 1024.0), 0, 'f', 0));
}

// ---------------------------------------------------------------- backup

// Answers every message box with its default button.
class Antworter : public QObject {
public:
    QStringList texte;
    Antworter()
    {
        m_uhr.setInterval(5);
        connect(&m_uhr, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texte << box->text();
                if (box->defaultButton()) box->defaultButton()->click();
                else box->accept();
            }
        });
        m_uhr.start();
    }

private:
    QTimer m_uhr;
};

void Sicherung(Lauf& l)
{
    const QString ziel = QDir(l.ordner).filePath(QStringLiteral("ziel"));
    const QString arbeit = QDir(l.ordner).filePath(QStringLiteral("arbeit"));
    const QString ini = QDir(l.ordner).filePath(QStringLiteral("Ordavo.ini"));
    QDir().mkpath(ziel);
    {
        QFile f(ini);
        if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("Ordavo.ini");
        f.write(QStringLiteral("[Datensicherung]\nZiel=%1/\n").arg(ziel).toUtf8());
    }
    const QString rohDb = QDir(l.ordner).filePath(QStringLiteral("roh.vacuum"));
    const QString rohZip = QDir(l.ordner).filePath(QStringLiteral("roh.zip"));
    bool fehlgeschlagen = false;
    std::vector<double> vacuum, zip;
    Antworter antworter;
    const bench::Paar paar = bench::Abwechselnd(
        std::max(1, std::min(l.n, 3)),
        [&] {
            backup::Datensicherungspfade pfade;
            pfade.einstellungsdatei = ini;
            pfade.datenbank = l.datei;
            pfade.arbeitsordner = arbeit;
            backup::TForm_Datensicherung fenster(pfade);
            fenster.show();
            fenster.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            if (!QFileInfo::exists(QDir(ziel).filePath(QStringLiteral("Ordavo.zip")))) fehlgeschlagen = true;
            QFile::remove(QDir(ziel).filePath(QStringLiteral("Ordavo.zip")));
        },
        [&] {
            QFile::remove(rohDb);
            QFile::remove(rohZip);
            vacuum.push_back(Millis([&] {
                Roh r(l.datei);
                r.Ausfuehren(QStringLiteral("VACUUM INTO '%1'").arg(rohDb));
            }));
            zip.push_back(Millis([&] {
                if (QProcess::execute(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-9"), QStringLiteral("-j"), rohZip, rohDb}) != 0)
                    throw std::runtime_error("zip -9 fehlgeschlagen (Paket zip installiert?)");
            }));
        });
    // The compaction alone, to tell it from the archive.
    std::vector<double> komprimieren;
    for (size_t i = 0; i < vacuum.size(); ++i) {
        QString fehler;
        komprimieren.push_back(Millis([&] {
            if (!backup::DatenbankKomprimieren(l.datei, &fehler)) throw std::runtime_error(fehler.toStdString());
        }));
    }
    const double k = bench::Median(komprimieren);
    l.tab.Notiz(QStringLiteral("Datensicherung, Teile (Mediane): DatenbankKomprimieren %1 gegen VACUUM INTO %2; "
                               "Archiv mit libzip (Stufe 9) samt Verschieben etwa %3 gegen zip -9 %4.")
                    .arg(Ms(k), Ms(bench::Median(vacuum)), Ms(paar.programm - k), Ms(bench::Median(zip))));
    QFile::remove(rohDb);
    QFile::remove(rohZip);
    Zeile z;
    z.messung = QStringLiteral("Datensicherung: DatenbankKomprimieren + Archiv (Fenster, „Jetzt sichern“)");
    z.programm = paar.programm;
    z.roh = paar.roh;
    z.bezug = QStringLiteral("VACUUM INTO + zip -9 derselben Datei");
    z.verhaeltnis = bench::Faktor(paar.programm / paar.roh);
    z.ziel = QStringLiteral("≤ 1,2 × roh");
    z.erreicht = fehlgeschlagen ? 0 : int(paar.programm <= 1.2 * paar.roh);
    l.tab.Hinzu(z);
    if (fehlgeschlagen)
        l.tab.Notiz(QStringLiteral("Datensicherung: das Archiv fehlte nach „Jetzt sichern“; Meldungen: ") +
                    antworter.texte.join(QStringLiteral(" / ")));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString rt = QDir::temp().filePath(QStringLiteral("ordavo-bench-xdg"));
        QDir().mkpath(rt);
        QFile::setPermissions(rt, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", rt.toLocal8Bit());
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Misst die Wege des Programms gegen dieselben Anweisungen direkt auf SQLite."));
    p.addHelpOption();
    p.addOption({QStringLiteral("wiederholungen"), QStringLiteral("Wiederholungen der großen Messungen (Vorgabe 5)."), QStringLiteral("n"),
                 QStringLiteral("5")});
    p.addOption({QStringLiteral("nur"),
                 QStringLiteral("Nur diese Messungen, durch Komma getrennt: start, speicher, wechseln, position, statistik, "
                                "bericht, druck, sicherung."),
                 QStringLiteral("liste")});
    p.addOption({QStringLiteral("ausgabe"), QStringLiteral("Schreibt die Tabelle zusätzlich in diese Datei."), QStringLiteral("datei")});
    p.addOption({QStringLiteral("arbeitsordner"), QStringLiteral("Ordner für die Arbeitskopie (Vorgabe: der temporäre Ordner)."),
                 QStringLiteral("ordner"), QDir::tempPath()});
    p.addPositionalArgument(QStringLiteral("datenbank"), QStringLiteral("Die Datenbank, z. B. /work/daten/gross.mdb (wird nicht verändert)."));
    p.process(app);
    if (p.positionalArguments().size() != 1) {
        std::fprintf(stderr, "bench: bitte genau eine Datenbank angeben (--help).\n");
        return 2;
    }
    const QString quelle = QFileInfo(p.positionalArguments().at(0)).absoluteFilePath();
    if (!QFileInfo::exists(quelle)) {
        std::fprintf(stderr, "bench: %s existiert nicht.\n", quelle.toLocal8Bit().constData());
        return 2;
    }
    QStringList nur = p.value(QStringLiteral("nur")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    auto an = [&nur](const char* name) { return nur.isEmpty() || nur.contains(QLatin1String(name)); };

    // The measures write (items, compaction): they work on a copy.
    QTemporaryDir tmp(QDir(p.value(QStringLiteral("arbeitsordner"))).filePath(QStringLiteral("ordavo-bench-XXXXXX")));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench: kein Arbeitsordner.\n");
        return 1;
    }
    Lauf l;
    l.ordner = tmp.path();
    l.datei = QDir(tmp.path()).filePath(QStringLiteral("ordavo_tab.mdb"));
    l.n = std::max(1, p.value(QStringLiteral("wiederholungen")).toInt());
    if (!QFile::copy(quelle, l.datei)) {
        std::fprintf(stderr, "bench: %s kann nicht kopiert werden.\n", quelle.toLocal8Bit().constData());
        return 1;
    }
    const QString ausgabe = p.isSet(QStringLiteral("ausgabe")) ? QFileInfo(p.value(QStringLiteral("ausgabe"))).absoluteFilePath() : QString();
    QDir::setCurrent(tmp.path());

    try {
        Fakten(l);
        std::fprintf(stderr, "%s: %lld Lieferscheine, %lld Positionen, %lld Artikel, %lld Adressen\n", quelle.toLocal8Bit().constData(),
                     l.lieferscheine, l.positionen, l.artikel, l.adressen);
        if (an("start")) Start(l);
        if (an("speicher")) Speicher(l);
        if (an("wechseln")) Wechseln(l);
        if (an("statistik")) Statistiken(l);
        if (an("bericht")) Bericht(l);
        if (an("druck")) Druckdaten(l);
        if (an("position")) Position(l);
        if (an("sicherung")) Sicherung(l);
    } catch (const data::Fehler& f) {
        std::fprintf(stderr, "bench: %s\n", f.text().toLocal8Bit().constData());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        return 1;
    }

    QString md;
    md += QStringLiteral("Gemessen am %1 auf %2.\n\n").arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")), bench::Maschine());
    md += QStringLiteral("Datenbank %1: %2 Lieferscheine, %3 Positionen, %4 Artikel, %5 Adressen; Mediane aus %6 Wiederholungen "
                         "(kleine Messungen: bis %7).\n\n")
              .arg(QFileInfo(quelle).fileName())
              .arg(l.lieferscheine)
              .arg(l.positionen)
              .arg(l.artikel)
              .arg(l.adressen)
              .arg(l.n)
              .arg(l.nKlein);
    md += l.tab.Markdown();
    std::printf("%s", md.toUtf8().constData());
    if (!ausgabe.isEmpty()) {
        QFile f(ausgabe);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "bench: %s kann nicht geschrieben werden.\n", f.fileName().toLocal8Bit().constData());
            return 1;
        }
        f.write(md.toUtf8());
    }
    return 0;
}
