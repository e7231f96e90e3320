// bench [--wiederholungen N] [--nur start,speicher,...] [--ausgabe ERGEBNISSE.md] [--server "…"] datenbank.mdb
//
// Measures the program's own paths against the same statements on the raw
// sqlite3 API, in one run, on a private copy of the given database, and
// prints the medians and ratios as a Markdown table. With --server the
// program works on that PostgreSQL database (loaded from the given file when
// it is empty) and the reference is libpq with the same translated statements.
#include "tools/bench/Messen.h"
#include "tools/bench/RohPg.h"

#include "app/Erzeugung.h"
#include "backup/backend_komprimieren.h"
#include "backup/ZipArchiv.h"
#include "backup/datensicherung1.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/Verbindung.h"
#include "data/dm_ordavo.h"
#include "report/Ausgabe.h"
#include "report/Bericht.h"
#include "report/Vorschau.h"
#include "delivery/Artikelauswahl_.h"
#include "delivery/Lieferschein_.h"
#include "platform/Pfade.h"
#include "server/PgMotor.h"
#include "server/PgSchema.h"
#include "server/PgVerbindung.h"
#include "server/Uebertragen.h"
#include "stats/Artikel_auswertung.h"
#include "stats/Rep_Artikelauswertung.h"
#include "stats/Datum_Adressenauswertung.h"
#include "stats/Datum_alle_Adressen_auswertung.h"
#include "stats/Kategorie_auswertung.h"
#include "stats/Statistikabfragen.h"
#include "stats/Summieren.h"
#include "ui/Anwendung.h"
#include "ui/DBNavigator.h"
#include "delivery/Lieferfenster.h"
#include "stats/Statistikfenster.h"

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
#include <QThread>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <libpq-fe.h>
#include <sqlite3.h>

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
    QString server;        // libpq connection string; empty: the file

    // The reference connection: raw SQLite on the file, or libpq on the server.
    std::unique_ptr<bench::Bezug> NeuerBezug() const
    {
        if (server.isEmpty()) return std::make_unique<Roh>(datei);
        return std::make_unique<bench::RohPg>(server);
    }
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
            const auto roh = l.NeuerBezug();
            for (const QString& t : tabellen) roh->AlleZeilen(QStringLiteral("SELECT * FROM ") + t);
            for (const QString& b : befehle) roh->AlleZeilen(TDMOrdavo::SqlVon(b));
            roh->AlleZeilen(DetailSql(), {{QStringLiteral("id"), l.ersterLief}});
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
                               "Stammdaten kopierten Texte). Gibt man danach den freien Heap zurück (malloc_trim), bleiben %4 Byte/Zeile "
                               "(ein großer Unterschied hieße: freie Blöcke, die der Zeilenpuffer im Heap zurücklässt).")
                    .arg(double(nachher - vorher) / (1024.0 * 1024.0), 0, 'f', 1)
                    .arg(zeilen)
                    .arg(nutz, 0, 'f', 0)
                    .arg(zeilen > 0 ? double(belegt - vorher) / zeilen : 0, 0, 'f', 0));
}

// CPU time of the whole process (all threads), in ms.
double ProzessCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Waits for the first paint of the preview's pages, then closes the preview.
class ErsteSeite : public QObject {
public:
    std::chrono::steady_clock::time_point zeit;
    double cpu = 0;  // ProzessCpu() at that moment
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
                    cpu = ProzessCpu();
                    QWidget* fenster = w->window();
                    QTimer::singleShot(0, fenster, [fenster] { fenster->close(); });
                    break;
                }
            }
        }
        return false;
    }
};


// Runs `aktion`, which opens a report preview, and returns the ms until the
// preview has painted its first page (the preview is then closed); -1 when
// it never painted. `cpu` gets the process's CPU time until then.
double BisErsteSeite(const std::function<void()>& aktion, double* bisZurueck = nullptr, double* cpu = nullptr)
{
    ErsteSeite warten;
    qApp->installEventFilter(&warten);
    // Should the preview never paint (no display), it is closed after a minute.
    QTimer notbremse;
    notbremse.setSingleShot(true);
    QObject::connect(&notbremse, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    notbremse.start(60000);
    const double cpu0 = ProzessCpu();
    const auto t0 = std::chrono::steady_clock::now();
    aktion();
    if (cpu && warten.gesehen) *cpu = warten.cpu - cpu0;
    if (bisZurueck) *bisZurueck = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    qApp->removeEventFilter(&warten);
    return warten.gesehen ? std::chrono::duration<double, std::milli>(warten.zeit - t0).count() : -1;
}

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

// The program as at start: the data module and every window.
struct Programm {
    Programm() { app::AlleErzeugen(); }
    ~Programm() { app::AlleZerstoeren(); }
    TDMOrdavo& dm() { return *App().DMOrdavo; }
};

// ---------------------------------------------------------------- moving

void Wechseln(Lauf& l)
{
    Programm prog;
    TDMOrdavo& dm = prog.dm();
    Dataset* ls = dm.ADO_Lieferschein;
    TLieferschein* fenster = Lieferung().Lieferschein;
    fenster->Zeige();
    auto* navigator = fenster->findChild<ui::DBNavigator*>(QStringLiteral("DBNavigator2"));
    if (!navigator) throw std::runtime_error("DBNavigator2 fehlt");
    QCoreApplication::processEvents();
    const auto r = l.NeuerBezug();
    const QString detail = DetailSql();
    const QString summen = TDMOrdavo::SqlVon(QStringLiteral("LieferscheinSummen"));
    ls->setRecNo(ls->RecordCount() / 2);
    std::vector<double> p, rr;
    for (int i = 0; i < l.nKlein && !ls->Eof(); ++i) {
        // A click on "next": the note moves, the items follow, the totals are shown.
        p.push_back(Millis([&] { navigator->Klick(ui::DBNavigator::Next); }));
        const qint64 id = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
        rr.push_back(Millis([&] {
            r->AlleZeilen(detail, {{QStringLiteral("id"), id}});
            r->AlleZeilen(summen, {{QStringLiteral("id"), id}});
        }));
        QCoreApplication::processEvents();  // the window repaints between clicks, as for a user
    }
    fenster->hide();
    Zeile z;
    z.messung = QStringLiteral("Lieferschein wechseln: „nächster“ in TLieferschein (Next, Positionen, SummenAktualisieren)");
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
    Programm prog;
    TDMOrdavo& dm = prog.dm();
    Dataset* ls = dm.ADO_Lieferschein;
    Dataset* art = dm.ADO_artikel;
    Lieferung().Lieferschein->Zeige();  // its grid shows the items, as when a user enters one
    QCoreApplication::processEvents();
    const auto r = l.NeuerBezug();
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
        QCoreApplication::processEvents();
        p.push_back(Millis([&] { Lieferung().Artikelauswahl->PositionAnlegen(artikelId, preis, einkauf, QStringLiteral("2")); }));

        const qint64 id = r->Wert(QStringLiteral("SELECT max(id) + 1 FROM t_lieferschein_artikel")).toLongLong();
        const qint64 lief = ls->FieldByName(QStringLiteral("t_lieferschein.id")).asInteger();
        rr.push_back(Millis([&] {
            r->AlleZeilen(einfuegen, {{QStringLiteral("id"), id}, {QStringLiteral("la_lieferschein_id"), lief},
                                     {QStringLiteral("la_artikel_id"), artikelId}, {QStringLiteral("la_anzahl"), 2.0},
                                     {QStringLiteral("la_preis"), preis}, {QStringLiteral("la_artikel_einkauf"), einkauf}});
        }));
    }
    Lieferung().Lieferschein->hide();
    Zeile z;
    z.messung = QStringLiteral("Position anlegen: TArtikelauswahl::PositionAnlegen (NaechsteID, INSERT, Requery, Locate)");
    z.programm = bench::Median(p);
    z.roh = bench::Median(rr);
    z.bezug = QStringLiteral("ein INSERT mit Commit");
    const double mehr = z.programm - z.roh;
    z.verhaeltnis = (mehr < 0 ? QStringLiteral("− ") : QStringLiteral("+ ")) + Ms(std::abs(mehr));
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

// ---------------------------------------------------------------- printing one note

void Drucken(Lauf& l)
{
    Programm prog;
    TDMOrdavo& dm = prog.dm();
    Dataset* ls = dm.ADO_Lieferschein;
    ls->setRecNo(ls->RecordCount() / 2);
    Lieferung().Lieferschein->Zeige();
    auto* knopf = Lieferung().Lieferschein->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    if (!knopf) throw std::runtime_error("BitBtn1 fehlt");
    Antworter antworter;
    std::vector<double> t, ganz;
    for (int i = 0; i < std::max(1, std::min(l.n, 3)); ++i) {
        double zurueck = 0;
        const double ms = BisErsteSeite([&] { knopf->click(); }, &zurueck);
        if (ms >= 0) {
            t.push_back(ms);
            ganz.push_back(zurueck);
        }
    }
    Lieferung().Lieferschein->hide();
    Zeile z;
    z.messung = QStringLiteral("Lieferschein drucken: „Lieferschein“ bis zur ersten Seite der Vorschau");
    z.programm = bench::Median(t);
    l.tab.Hinzu(z);
    Zeile g;
    g.messung = QStringLiteral("Lieferschein drucken: bis das Fenster nach dem Schließen der Vorschau wieder bereit ist");
    g.programm = bench::Median(ganz);
    l.tab.Hinzu(g);
    if (t.empty()) l.tab.Notiz(QStringLiteral("Lieferschein drucken: die Vorschau hat nicht gezeichnet."));
}

// ---------------------------------------------------------------- statistics

void Statistiken(Lauf& l)
{
    const auto r = l.NeuerBezug();
    const QString scanSql = QStringLiteral("SELECT sum(la_preis*la_anzahl) FROM t_lieferschein_artikel");
    std::vector<double> s;
    for (int i = 0; i < l.n; ++i) s.push_back(Millis([&] { r->AlleZeilen(scanSql); }));
    const double scan = bench::Median(s);
    {
        Zeile z;
        z.messung = QStringLiteral("Scan: SELECT sum(la_preis*la_anzahl) FROM t_lieferschein_artikel");
        z.roh = scan;
        z.bezug = QStringLiteral("roh");
        l.tab.Hinzu(z);
    }

    Programm prog;
    TDMOrdavo& dm = prog.dm();
    Antworter antworter;  // "keine Umsätze" and the like
    struct Statistik {
        const char* name;       // the catalogue dataset
        std::function<void(bool, const QDate&, const QDate&)> auswerten;
        bool mitKunde;
    };
    const std::vector<Statistik> stats = {
        {"ADO_Auswertung_Artikel",
         [](bool z, const QDate& v, const QDate& b) { ::Statistik().Artikelauswertung->Auswerten(z, v, b); }, false},
        {"ADO_Auswertung_ArtikelKategorie_summen",
         [](bool z, const QDate& v, const QDate& b) { ::Statistik().Kategorieauswertung->Auswerten(z, v, b); }, false},
        {"ADO_Auswertung_Adressen",
         [](bool z, const QDate& v, const QDate& b) { ::Statistik().Adressenauswertung->Auswerten(z, v, b); }, true},
        {"ADO_Auswertung_alle_Adressen",
         [](bool z, const QDate& v, const QDate& b) { ::Statistik().Datum_alle_Adressenauswertung->Auswerten(z, v, b); }, false},
    };
    // The customer statistics take the current address.
    if (!dm.ADO_t_adressen->Locate(QStringLiteral("id"), l.kunde)) throw std::runtime_error("Kunde nicht gefunden");
    const struct {
        QString name;
        QDate von, bis;
        bool zeigen;
    } zeitraeume[] = {
        {QStringLiteral("Jahr %1").arg(l.jahr), QDate(l.jahr, 1, 1), QDate(l.jahr, 12, 31), true},
        {QStringLiteral("alle"), QDate(1000, 1, 1), QDate(9999, 12, 31), false},
    };
    QStringList cpuZeilen;
    for (const Statistik& st : stats) {
        for (const auto& zr : zeitraeume) {
            QVariantMap par{{QStringLiteral("von"), zr.von}, {QStringLiteral("bis"), zr.bis}};
            // The customer id goes in as decimal text, as the customer statistics give it.
            if (st.mitKunde) par[QStringLiteral("id")] = QString::number(l.kunde);
            // The scan runs next to each statistic: on a shared machine the
            // load changes within minutes, the ratio should not.
            std::vector<double> p, katalog, nebenScan, cpuProgramm, cpuScan;
            for (int i = 0; i < l.n; ++i) {
                const double c0 = ProzessCpu();
                nebenScan.push_back(Millis([&] { r->AlleZeilen(scanSql); }));
                cpuScan.push_back(ProzessCpu() - c0);
                double cpu = -1;
                const double ms = BisErsteSeite([&] { st.auswerten(zr.zeigen, zr.von, zr.bis); }, nullptr, &cpu);
                if (ms >= 0) {
                    p.push_back(ms);
                    cpuProgramm.push_back(cpu);
                }
                katalog.push_back(Millis([&] { r->AlleZeilen(TDMOrdavo::SqlVon(QString::fromLatin1(st.name)), par); }));
            }
            const double prog = bench::Median(p), roh = bench::Median(katalog), scanDabei = bench::Median(nebenScan);
            Zeile z;
            z.messung = QStringLiteral("Statistik %1, %2: Fenster bis zur ersten Seite").arg(QString::fromLatin1(st.name), zr.name);
            z.programm = prog;
            z.roh = roh;
            z.bezug = QStringLiteral("SELECT des Katalogs roh");
            z.verhaeltnis = prog < 0 ? QString()
                                     : bench::Faktor(prog / scanDabei) + QStringLiteral(" Scan (") + bench::Ms(scanDabei) + QLatin1Char(')');
            z.ziel = QStringLiteral("≤ 2 × Scan");
            z.erreicht = prog < 0 ? -1 : int(prog <= 2.0 * scanDabei);
            l.tab.Hinzu(z);
            if (!cpuProgramm.empty())
                cpuZeilen << QStringLiteral("%1, %2: %3 gegen %4 (%5)")
                                 .arg(QString::fromLatin1(st.name), zr.name, bench::Ms(bench::Median(cpuProgramm)),
                                      bench::Ms(bench::Median(cpuScan)),
                                      bench::Faktor(bench::Median(cpuProgramm) / bench::Median(cpuScan)));
        }
    }
    if (!l.server.isEmpty()) {
        // The first statistic after a change sums the changed year anew from
        // its items; the change comes from another connection, as from
        // another workstation.
        std::vector<double> p, nebenScan;
        const QString aendern = QStringLiteral(
            "UPDATE t_lieferschein_artikel SET la_anzahl = la_anzahl WHERE id = (SELECT min(a.id) FROM t_lieferschein_artikel a "
            "JOIN t_lieferschein b ON b.id = a.la_lieferschein_id WHERE b.lief_datum >= '%1-01-01')").arg(l.jahr);
        for (int i = 0; i < l.n; ++i) {
            nebenScan.push_back(Millis([&] { r->AlleZeilen(scanSql); }));
            r->Ausfuehren(aendern);
            const double ms = BisErsteSeite([&] { stats[0].auswerten(false, QDate(1000, 1, 1), QDate(9999, 12, 31)); });
            if (ms >= 0) p.push_back(ms);
        }
        const double prog = bench::Median(p), scanDabei = bench::Median(nebenScan);
        Zeile z;
        z.messung = QStringLiteral("Statistik ADO_Auswertung_Artikel, alle, gleich nach einer geänderten Position des Jahres %1 "
                                   "(die Jahressummen dieses Jahres werden neu gebildet)").arg(l.jahr);
        z.programm = prog;
        z.verhaeltnis = prog < 0 ? QString()
                                 : bench::Faktor(prog / scanDabei) + QStringLiteral(" Scan (") + bench::Ms(scanDabei) + QLatin1Char(')');
        l.tab.Hinzu(z);
    }
    // On the server the statements' work is done by the server's processes, not counted here.
    if (l.server.isEmpty())
        l.tab.Notiz(QStringLiteral("Statistiken, CPU-Zeit des Prozesses (alle Threads, Median) bis zur ersten Seite gegen die des "
                                   "Scans daneben; sie hängt kaum von der Last ab: ")
                    + cpuZeilen.join(QStringLiteral("; ")) + QLatin1Char('.'));
    if (!antworter.texte.isEmpty())
        l.tab.Notiz(QStringLiteral("Statistiken, Meldungen: ") + antworter.texte.join(QStringLiteral(" / ")));
    l.tab.Notiz(QStringLiteral("Statistiken: das Verhältnis nimmt den Median des Scans, der abwechselnd mit derselben "
                               "Statistik lief (die Zeile „Scan“ ist der Scan vor allen Statistiken)."));
    l.tab.Notiz(QStringLiteral("Statistiken: gemessen ist Auswerten() des Fensters (seine Abfragen, wie es sie ausführt, und das "
                               "Layout bis zur ersten Seite) bis die Vorschau ihre erste Seite gezeichnet hat. Die Summen der "
                               "Artikelstatistik (ADO_Auswertung_Artikel_summen) laufen darin mit."));
}

// ---------------------------------------------------------------- the long report


void Bericht(Lauf& l)
{
    Programm prog;
    TDMOrdavo& dm = prog.dm();
    const QDate von(1000, 1, 1), bis(9999, 12, 31);
    // The datasets as the article statistics open them for "Alle anzeigen".
    Dataset* summen = dm.ADO_Auswertung_Artikel_summen;
    Dataset* artikel = dm.ADO_Auswertung_Artikel;
    stats::Summieren(*dm.ADO_ordavo, stats::Schluessel::Artikel, von, bis);
    summen->Close();
    summen->setSql(stats::SqlAuswertungArtikelSummen());
    stats::SetzeZeitraum(summen, von, bis);
    summen->Open();
    artikel->Close();
    artikel->setSql(stats::SqlAuswertungArtikel());
    stats::SetzeZeitraum(artikel, von, bis);
    artikel->Open();
    TRepArtikelauswertung* rep = Statistik().RepArtikelauswertung;
    rep->SetzeZeitraum(von, bis, false);

    std::vector<double> layout, erste;
    report::Seiten seiten;
    const int n = std::max(1, std::min(l.n, 3));
    for (int i = 0; i < n; ++i) {
        layout.push_back(Millis([&] { seiten = rep->Layout(); }));
        const double ms = BisErsteSeite([&] { report::Vorschau(*rep); });
        if (ms >= 0) erste.push_back(ms);
    }

    // Painting one page at 150 dpi, to compare with what the preview must do before its first page.
    double jeSeite = -1;
    if (!seiten.empty()) {
        QImage bild(1240, 1754, QImage::Format_RGB32);
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
    artikel->Close();
    summen->Close();

    Zeile z;
    z.messung = QStringLiteral("Bericht TRepArtikelauswertung, alle (%1 Seiten): Layout aller Seiten").arg(seiten.size());
    z.programm = bench::Median(layout);
    l.tab.Hinzu(z);
    Zeile v;
    v.messung = QStringLiteral("Bericht TRepArtikelauswertung, alle (%1 Seiten): erste Seite der Vorschau").arg(seiten.size());
    v.programm = bench::Median(erste);
    v.ziel = QStringLiteral("< 0,5 s");
    v.erreicht = erste.empty() ? -1 : v.programm < 500.0;
    l.tab.Hinzu(v);
    l.tab.Notiz(QStringLiteral("Bericht: report::Vorschau legt die erste Seite sofort an und die übrigen, während sie offen ist; "
                               "gemessen bis die Seitenansicht zum ersten Mal gezeichnet ist. Eine Seite zu zeichnen kostet %1 (150 dpi).")
                    .arg(Ms(jeSeite)));
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
    std::vector<double> aus;
    const bench::Paar paar = bench::Abwechselnd(
        std::max(1, std::min(l.n, 3)),
        [&] {
            // As the delivery note window prints: close, filter, open ...
            druck->Close();
            bench::SpeicherZurueckgeben();
            const qint64 vorher = bench::Resident();
            druck->setFilter(QStringLiteral("la_lieferschein_id = ") + QString::number(id));
            druck->setFiltered(true);
            druck->Open();
            zeilen = druck->RecordCount();
            zuwachs = bench::Resident() - vorher;
        },
        [&] { r.AlleZeilen(sql, {{QStringLiteral("id"), id}}); });
    for (int i = 0; i < std::max(1, std::min(l.n, 3)); ++i) {
        druck->Close();
        druck->setFilter(QStringLiteral("la_lieferschein_id = ") + QString::number(id));
        druck->setFiltered(true);
        druck->Open();
        // ... and after the preview the filter off again; the set stays open.
        aus.push_back(Millis([&] {
            druck->setFilter(QString());
            druck->setFiltered(false);
        }));
    }
    const qint64 nachDemDruck = bench::Resident();
    druck->Close();
    Zeile z;
    z.messung = QStringLiteral("Druckdaten ADO_Druck_Lief für einen Lieferschein öffnen (%1 Zeilen)").arg(zeilen);
    z.programm = paar.programm;
    z.roh = paar.roh;
    z.bezug = QStringLiteral("derselbe SELECT mit WHERE la_lieferschein_id");
    z.verhaeltnis = bench::Faktor(paar.programm / paar.roh);
    l.tab.Hinzu(z);
    Zeile f;
    f.messung = QStringLiteral("Druckdaten: Filter nach dem Druck aus (Datenmenge bleibt offen)");
    f.programm = bench::Median(aus);
    l.tab.Hinzu(f);
    l.tab.Notiz(QStringLiteral("Druckdaten: das Öffnen mit dem Filter lässt das Resident Set um %1 KiB wachsen; nach dem Ausschalten "
                               "des Filters hält der Prozess %2 MiB (wächst dies mit der Datenbank, liest das Ausschalten alle "
                               "%3 Positionen).")
                    .arg(double(zuwachs) / 1024.0, 0, 'f', 0)
                    .arg(double(nachDemDruck) / (1024.0 * 1024.0), 0, 'f', 0)
                    .arg(l.positionen));
}

// ---------------------------------------------------------------- backup

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
    // The check and compaction alone (the copy is made and thrown away), and
    // the packing alone, to tell the parts apart.
    std::vector<double> pruefen, packen;
    for (size_t i = 0; i < vacuum.size(); ++i) {
        QString fehler;
        backup::Verdichtung v(l.datei);
        pruefen.push_back(Millis([&] {
            if (!v.kopieErstellen(&fehler)) throw std::runtime_error(fehler.toStdString());
        }));
        packen.push_back(Millis([&] {
            if (!backup::ZipSchreiben(v.kopie(), QStringLiteral("ordavo_tab.mdb"), rohZip, &fehler))
                throw std::runtime_error(fehler.toStdString());
        }));
    }
    const qint64 eigeneGroesse = QFileInfo(rohZip).size();
    QFile::remove(rohZip);
    QProcess::execute(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-9"), QStringLiteral("-j"), rohZip, rohDb});
    l.tab.Notiz(QStringLiteral("Datensicherung, Teile (Mediane): Prüfen und Komprimieren %1 gegen VACUUM INTO %2; "
                               "Packen auf %3 Kernen %4 gegen zip -9 %5; Archiv %6 Byte gegen %7 Byte mit zip -9.")
                    .arg(Ms(bench::Median(pruefen)), Ms(bench::Median(vacuum)))
                    .arg(QThread::idealThreadCount())
                    .arg(Ms(bench::Median(packen)), Ms(bench::Median(zip)))
                    .arg(eigeneGroesse)
                    .arg(QFileInfo(rohZip).size()));
    QFile::remove(rohDb);
    QFile::remove(rohZip);
    Zeile z;
    z.messung = QStringLiteral("Datensicherung: DatenbankKomprimieren + Archiv (Fenster, „Jetzt sichern“)");
    z.programm = paar.programm;
    z.roh = paar.roh;
    z.bezug = QStringLiteral("VACUUM INTO + zip -9 derselben Datei");
    z.verhaeltnis = bench::Faktor(paar.programm / paar.roh);
    z.ziel = QStringLiteral("≤ 0,8 × roh");
    z.erreicht = fehlgeschlagen ? 0 : int(paar.programm <= 0.8 * paar.roh);
    l.tab.Hinzu(z);
    if (fehlgeschlagen)
        l.tab.Notiz(QStringLiteral("Datensicherung: das Archiv fehlte nach „Jetzt sichern“; Meldungen: ") +
                    antworter.texte.join(QStringLiteral(" / ")));
}

// ---------------------------------------------------------------- the server

// How the connection reaches the server, for the table's heading.
QString Ueber(const QString& angabe)
{
    PQconninfoOption* optionen = PQconninfoParse(angabe.toUtf8().constData(), nullptr);
    QString host;
    for (PQconninfoOption* o = optionen; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, "host") == 0 && o->val) host = QString::fromUtf8(o->val);
    PQconninfoFree(optionen);
    if (host.isEmpty() || host.startsWith(QLatin1Char('/'))) return QStringLiteral("Unix-Socket");
    return QStringLiteral("TCP %1").arg(host);
}

// Puts the data of the working copy on the server: into an empty database the
// schema and every row; a database that holds the program's tables already is
// taken as it is when it has the same notes. Returns a line for the notes.
QString AufDenServer(const Lauf& l)
{
    server::PgVerbindung db(l.server);
    if (db.Wert(QStringLiteral("SELECT to_regclass('%1')::text").arg(server::VersionsTabelle())).isNull()) {
        std::fprintf(stderr, "Lade %s auf den Server …\n", l.datei.toLocal8Bit().constData());
        const auto t0 = std::chrono::steady_clock::now();
        server::SchemaAnlegen(db);
        sqlite3* quelle = nullptr;
        if (sqlite3_open_v2(l.datei.toUtf8().constData(), &quelle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(quelle);
            throw std::runtime_error("Arbeitskopie nicht lesbar");
        }
        try {
            server::TabellenKopieren(quelle, db);
        } catch (...) {
            sqlite3_close(quelle);
            throw;
        }
        sqlite3_close(quelle);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        return QStringLiteral("Server: die Datenbank war leer und wurde in %1 s aus der Datei geladen (Schema, Zeilen, ANALYZE).")
            .arg(s, 0, 'f', 0);
    }
    const qint64 n = db.Wert(QStringLiteral("SELECT count(*) FROM t_lieferschein")).toLongLong();
    if (n != l.lieferscheine)
        throw std::runtime_error(QStringLiteral("Die Server-Datenbank hält %1 Lieferscheine, die Datei %2: bitte eine leere "
                                                "Datenbank angeben oder die zur Datei gehörende.")
                                     .arg(n)
                                     .arg(l.lieferscheine)
                                     .toStdString());
    return QStringLiteral("Server: die Datenbank hielt die Daten der Datei schon (aus einem früheren Lauf; darin die Positionen, "
                          "die frühere Läufe angelegt haben).");
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
    p.setApplicationDescription(QStringLiteral("Misst die Wege des Programms gegen dieselben Anweisungen direkt auf SQLite (mit --server auf PostgreSQL direkt über libpq)."));
    p.addHelpOption();
    p.addOption({QStringLiteral("wiederholungen"), QStringLiteral("Wiederholungen der großen Messungen (Vorgabe 5)."), QStringLiteral("n"),
                 QStringLiteral("5")});
    p.addOption({QStringLiteral("nur"),
                 QStringLiteral("Nur diese Messungen, durch Komma getrennt: start, speicher, wechseln, position, statistik, "
                                "bericht, druck, drucken, sicherung."),
                 QStringLiteral("liste")});
    p.addOption({QStringLiteral("ausgabe"), QStringLiteral("Schreibt die Tabelle zusätzlich in diese Datei."), QStringLiteral("datei")});
    p.addOption({QStringLiteral("server"),
                 QStringLiteral("Misst auf dieser PostgreSQL-Datenbank (libpq-Verbindungsangabe) gegen dieselben Anweisungen "
                                "direkt mit libpq: start, wechseln, position, statistik. Eine leere Datenbank wird aus der Datei "
                                "geladen; die Messungen legen dort Positionen an."),
                 QStringLiteral("angabe")});
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
    const QString server = p.value(QStringLiteral("server"));
    if (!server.isEmpty()) {
        // The file's own measures (memory of the snapshot, reports, compaction) have no counterpart there.
        const QStringList aufDemServer{QStringLiteral("start"), QStringLiteral("wechseln"), QStringLiteral("position"),
                                       QStringLiteral("statistik")};
        for (const QString& m : nur)
            if (!aufDemServer.contains(m)) {
                std::fprintf(stderr, "bench: mit --server gibt es die Messung %s nicht (nur %s).\n", m.toLocal8Bit().constData(),
                             aufDemServer.join(QLatin1Char(',')).toLocal8Bit().constData());
                return 2;
            }
        if (nur.isEmpty()) nur = aufDemServer;
    }
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
    l.server = server;
    if (!QFile::copy(quelle, l.datei)) {
        std::fprintf(stderr, "bench: %s kann nicht kopiert werden.\n", quelle.toLocal8Bit().constData());
        return 1;
    }
    const QString ausgabe = p.isSet(QStringLiteral("ausgabe")) ? QFileInfo(p.value(QStringLiteral("ausgabe"))).absoluteFilePath() : QString();
    QDir::setCurrent(tmp.path());
    // The program's settings file and desktop entry go to the working folder.
    platform::SetzeProgrammordner(tmp.path());
    QDir(tmp.path()).mkpath(QStringLiteral("home/Desktop"));
    qputenv("HOME", QDir(tmp.path()).filePath(QStringLiteral("home")).toLocal8Bit());

    QString serverText;
    try {
        Fakten(l);
        std::fprintf(stderr, "%s: %lld Lieferscheine, %lld Positionen, %lld Artikel, %lld Adressen\n", quelle.toLocal8Bit().constData(),
                     l.lieferscheine, l.positionen, l.artikel, l.adressen);
        if (!l.server.isEmpty()) {
            l.tab.Notiz(AufDenServer(l));
            // From here on every connection the program opens goes to the server, as with [Datenbank] Server=.
            server::ServerWaehlen(l.server);
            bench::RohPg version(l.server);
            serverText = QStringLiteral("; Server %1 über %2").arg(version.ServerVersion(), Ueber(l.server));
            l.tab.Notiz(QStringLiteral("Bezug auf dem Server: dieselben Anweisungen, einmal je Text übersetzt wie im Programm, "
                                       "direkt mit libpq (PQexecParams, Ergebnisse als Text, jeder Wert gelesen, Zahlen umgewandelt)."));
        }
        if (an("start")) Start(l);
        if (an("speicher")) Speicher(l);
        if (an("wechseln")) Wechseln(l);
        if (an("statistik")) Statistiken(l);
        if (an("bericht")) Bericht(l);
        if (an("druck")) Druckdaten(l);
        if (an("drucken")) Drucken(l);
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
    md += QStringLiteral("Gemessen am %1 auf %2%3.\n\n")
              .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")), bench::Maschine(), serverText);
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
