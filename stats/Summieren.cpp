#include "stats/Summieren.h"

#include "data/Anweisung.h"

#include "data/Fehler.h"
#include "data/Verbindung.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <atomic>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

namespace stats {

namespace {

// A prepared statement that is finalized however the function is left.
class Anweisung {
public:
    Anweisung(sqlite3* db, const char* sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_st, nullptr) != SQLITE_OK) Fehler();
    }
    ~Anweisung() { sqlite3_finalize(m_st); }
    Anweisung(const Anweisung&) = delete;
    Anweisung& operator=(const Anweisung&) = delete;

    sqlite3_stmt* st() const { return m_st; }
    // True while a row is there; throws on an error.
    bool Schritt()
    {
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) Fehler();
        return false;
    }
    void Neu()
    {
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
    }
    [[noreturn]] void Fehler() const { throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(m_db))); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st = nullptr;
};

void Ausfuehren(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw data::Fehler(text);
    }
}

// A value as SQLite's arithmetic sees it.
struct Zahl {
    enum Art : unsigned char { Null, Ganz, Reell };
    Art art = Null;
    qint64 i = 0;
    double d = 0;
    double reell() const { return art == Ganz ? double(i) : d; }
};

Zahl Lies(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return {Zahl::Ganz, sqlite3_value_int64(v), 0};
    case SQLITE_FLOAT: return {Zahl::Reell, 0, sqlite3_value_double(v)};
    default: {
        // Text in a number column counts by its numeric value, as in SQL arithmetic.
        const QByteArray t =
            QByteArray(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v)).trimmed();
        bool ok = false;
        const qint64 i = t.toLongLong(&ok);
        if (ok) return {Zahl::Ganz, i, 0};
        const double d = t.toDouble(&ok);
        return ok ? Zahl{Zahl::Reell, 0, d} : Zahl{Zahl::Ganz, 0, 0};
    }
    }
}

Zahl Mal(const Zahl& a, const Zahl& b)
{
    if (a.art == Zahl::Null || b.art == Zahl::Null) return {};
    qint64 p = 0;
    if (a.art == Zahl::Ganz && b.art == Zahl::Ganz && !__builtin_mul_overflow(a.i, b.i, &p)) return {Zahl::Ganz, p, 0};
    return {Zahl::Reell, 0, a.reell() * b.reell()};
}

Zahl Minus(const Zahl& a, const Zahl& b)
{
    if (a.art == Zahl::Null || b.art == Zahl::Null) return {};
    qint64 d = 0;
    if (a.art == Zahl::Ganz && b.art == Zahl::Ganz && !__builtin_sub_overflow(a.i, b.i, &d)) return {Zahl::Ganz, d, 0};
    return {Zahl::Reell, 0, a.reell() - b.reell()};
}

// SQLite's sum() for the four columns of a key (quantity, sales, purchase
// cost, margin): NULL without values, an integer while every value is one,
// otherwise the floating-point sum. Where SQLite stops with "integer
// overflow" this gives the floating-point sum.
//
// The part every item touches fits one cache line: with thousands of keys in
// random order, a second line per item would double the misses. The integer
// sums are only touched where integers occur.
struct alignas(64) Heiss {
    double r[4] = {0, 0, 0, 0};
    unsigned char da = 0;     // per column: a value was there
    unsigned char reell = 0;  // per column: the result is the floating-point sum
    bool belegt = false;      // the key had an item
};
struct Kalt {
    qint64 i[4] = {0, 0, 0, 0};
};

inline void Dazu(Heiss& h, Kalt& k, int c, const Zahl& z)
{
    if (z.art == Zahl::Null) return;
    const unsigned char bit = static_cast<unsigned char>(1u << c);
    h.da |= bit;
    if (z.art == Zahl::Reell) {
        h.r[c] += z.d;
        h.reell |= bit;
    } else {
        h.r[c] += double(z.i);
        if (!(h.reell & bit) && __builtin_add_overflow(k.i[c], z.i, &k.i[c])) h.reell |= bit;
    }
}

// One item: quantity, quantity × price, quantity × purchase price, and their difference.
inline void Posten(Heiss& h, Kalt& k, const Zahl& menge, const Zahl& preis, const Zahl& einkaufspreis)
{
    const Zahl g = Mal(preis, menge);
    const Zahl e = Mal(einkaufspreis, menge);
    h.belegt = true;
    Dazu(h, k, 0, menge);
    Dazu(h, k, 1, g);
    Dazu(h, k, 2, e);
    Dazu(h, k, 3, Minus(g, e));
}

// Adds the sums of another key.
inline void Dazu(Heiss& h, Kalt& k, const Heiss& oh, const Kalt& ok)
{
    h.belegt = h.belegt || oh.belegt;
    for (int c = 0; c < 4; ++c) {
        const unsigned char bit = static_cast<unsigned char>(1u << c);
        if (!(oh.da & bit)) continue;
        h.da |= bit;
        h.r[c] += oh.r[c];
        if (oh.reell & bit) h.reell |= bit;
        else if (!(h.reell & bit) && __builtin_add_overflow(k.i[c], ok.i[c], &k.i[c])) h.reell |= bit;
    }
}

void Binden(sqlite3_stmt* st, int idx, const Heiss& h, const Kalt& k, int c)
{
    const unsigned char bit = static_cast<unsigned char>(1u << c);
    if (!(h.da & bit)) sqlite3_bind_null(st, idx);
    else if (h.reell & bit) sqlite3_bind_double(st, idx, h.r[c]);
    else sqlite3_bind_int64(st, idx, k.i[c]);
}

constexpr qint64 kOhne = std::numeric_limits<qint64>::min();  // no key (NULL)

// The sums per key: plain vectors for the small non-negative ids that
// articles and addresses have, a hash table for any other.
class ProSchluessel {
public:
    template <typename F> void bei(qint64 key, F f)
    {
        if (key >= 0 && key < kDicht) {
            if (size_t(key) >= m_heiss.size()) {
                m_heiss.resize(size_t(key) + 1);
                m_kalt.resize(size_t(key) + 1);
            }
            f(m_heiss[size_t(key)], m_kalt[size_t(key)]);
            return;
        }
        auto& e = m_hash[key];
        f(e.first, e.second);
    }
    // Whether `key` goes to the plain vectors.
    static bool dicht(qint64 key) { return key >= 0 && key < kDicht; }
    // Makes room for a dense key and asks the memory for its sums ahead of use.
    void vormerken(qint64 key)
    {
        if (size_t(key) >= m_heiss.size()) {
            m_heiss.resize(size_t(key) + 1);
            m_kalt.resize(size_t(key) + 1);
        }
        __builtin_prefetch(&m_heiss[size_t(key)], 1);
    }
    template <typename F> void fuerAlle(F f) const
    {
        for (size_t i = 0; i < m_heiss.size(); ++i)
            if (m_heiss[i].belegt) f(qint64(i), m_heiss[i], m_kalt[i]);
        for (const auto& [k, v] : m_hash) f(k, v.first, v.second);
    }

private:
    static constexpr qint64 kDicht = 1 << 20;
    std::vector<Heiss> m_heiss;
    std::vector<Kalt> m_kalt;
    std::unordered_map<qint64, std::pair<Heiss, Kalt>> m_hash;
};

// The notes of the period: note id -> address id (kOhne for none).
class Belege {
public:
    void hinzu(qint64 id, qint64 adresse) { m_paare.push_back({id, adresse}); }
    size_t anzahl() const { return m_paare.size(); }
    const std::vector<std::pair<qint64, qint64>>& paare() const { return m_paare; }

    // Builds the look-up: a plain vector where the ids are dense, else a hash table.
    void fertig()
    {
        qint64 max = -1;
        bool negativ = false;
        for (const auto& p : m_paare) {
            max = std::max(max, p.first);
            negativ = negativ || p.first < 0;
        }
        m_dicht = !negativ && max < qint64(8 * m_paare.size() + 65536);
        if (m_dicht) {
            m_feld.assign(size_t(max + 1), kFehlt);
            for (const auto& p : m_paare) m_feld[size_t(p.first)] = p.second;
        } else {
            m_hash.reserve(m_paare.size());
            for (const auto& p : m_paare) m_hash.emplace(p.first, p.second);
        }
    }
    // The note's address id; false when the note is not in the period.
    bool finde(qint64 id, qint64& adresse) const
    {
        if (m_dicht) {
            if (id < 0 || id >= qint64(m_feld.size()) || m_feld[size_t(id)] == kFehlt) return false;
            adresse = m_feld[size_t(id)];
            return true;
        }
        auto it = m_hash.find(id);
        if (it == m_hash.end()) return false;
        adresse = it->second;
        return true;
    }

private:
    static constexpr qint64 kFehlt = kOhne + 1;
    std::vector<std::pair<qint64, qint64>> m_paare;
    bool m_dicht = true;
    std::vector<qint64> m_feld;
    std::unordered_map<qint64, qint64> m_hash;
};

void BindeText(sqlite3_stmt* st, int idx, const QByteArray& b)
{
    sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

// One summing run over a range of items: the sums so far. Two runs may go at
// once, each on its own connection, over the same notes.
struct Lauf {
    Lauf(Schluessel s, const Belege* b) : schluessel(s), belege(b) {}

    Schluessel schluessel;
    const Belege* belege;
    ProSchluessel pro;
    Heiss ohneHeiss;  // items without key (no article, a note without address)
    Kalt ohneKalt;
    bool fehler = false;

    // The sums of a key are far apart in memory: items wait in a short queue
    // while their sums are fetched, so that the misses overlap instead of
    // stalling one after the other. Each key still adds its items in order.
    struct Offen {
        qint64 key;
        Zahl menge, preis, einkauf;
    };
    static constexpr int kSchlange = 16;
    Offen offen[kSchlange];
    int anzahlOffen = 0;

    void posten(qint64 kunde, sqlite3_value* artikel, sqlite3_value* menge, sqlite3_value* preis,
                sqlite3_value* einkauf)
    {
        qint64 key = kunde;
        if (schluessel == Schluessel::Artikel)
            key = sqlite3_value_type(artikel) == SQLITE_NULL ? kOhne : sqlite3_value_int64(artikel);
        const Zahl m = Lies(menge), p = Lies(preis), e = Lies(einkauf);
        if (key == kOhne) {
            Posten(ohneHeiss, ohneKalt, m, p, e);
        } else if (!ProSchluessel::dicht(key)) {
            pro.bei(key, [&](Heiss& h, Kalt& k) { Posten(h, k, m, p, e); });
        } else {
            pro.vormerken(key);
            offen[anzahlOffen++] = {key, m, p, e};
            if (anzahlOffen == kSchlange) abarbeiten();
        }
    }
    void abarbeiten()
    {
        for (int i = 0; i < anzahlOffen; ++i) {
            const Offen& o = offen[i];
            pro.bei(o.key, [&](Heiss& h, Kalt& k) { Posten(h, k, o.menge, o.preis, o.einkauf); });
        }
        anzahlOffen = 0;
    }
    // Adds the sums of a run over other items.
    void dazu(const Lauf& anderer)
    {
        Dazu(ohneHeiss, ohneKalt, anderer.ohneHeiss, anderer.ohneKalt);
        anderer.pro.fuerAlle([&](qint64 key, const Heiss& oh, const Kalt& ok) {
            pro.bei(key, [&](Heiss& h, Kalt& k) { Dazu(h, k, oh, ok); });
        });
    }
};

// ordavo_stat_posten(note, article, quantity, price, purchase price): adds an
// item of a note of the period to the run; registered only while it sums.
void Posten(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* lauf = static_cast<Lauf*>(sqlite3_user_data(ctx));
    try {
        qint64 kunde = 0;
        if (sqlite3_value_type(argv[0]) != SQLITE_NULL && lauf->belege->finde(sqlite3_value_int64(argv[0]), kunde))
            lauf->posten(kunde, argv[1], argv[2], argv[3], argv[4]);
    } catch (...) {
        // No exception may pass through SQLite.
        lauf->fehler = true;
    }
    sqlite3_result_null(ctx);
}

class Funktion {
public:
    Funktion(sqlite3* db, Lauf* lauf) : m_db(db)
    {
        if (sqlite3_create_function_v2(db, "ordavo_stat_posten", 5, SQLITE_UTF8 | SQLITE_DIRECTONLY, lauf, &Posten,
                                       nullptr, nullptr, nullptr) != SQLITE_OK)
            throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Funktion()
    {
        sqlite3_create_function_v2(m_db, "ordavo_stat_posten", 5, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    }
    Funktion(const Funktion&) = delete;
    Funktion& operator=(const Funktion&) = delete;

private:
    sqlite3* m_db;
};

// Which items a statement reads, by rowid.
enum class Bereich {
    Alle,
    Bis,  // up to ?1, included
    Ab,   // after ?1: to the end, without a check per row
    Beleg,  // those of the note ?1, through the index
};

// The statement that hands the items to ordavo_stat_posten, which spares
// the column calls of stepping every row. The sums per customer leave the
// article unread.
QByteArray PostenSql(Schluessel schluessel, Bereich bereich)
{
    QByteArray sql = QByteArrayLiteral("SELECT count(ordavo_stat_posten(la_lieferschein_id, ");
    sql += schluessel == Schluessel::Artikel ? "la_artikel_id" : "NULL";
    sql += ", la_anzahl, la_preis, la_artikel_einkauf)) FROM t_lieferschein_artikel";
    switch (bereich) {
    case Bereich::Alle: break;
    case Bereich::Bis: sql += " WHERE rowid <= ?1"; break;
    case Bereich::Ab: sql += " WHERE rowid > ?1"; break;
    case Bereich::Beleg: sql += " WHERE la_lieferschein_id = ?1"; break;
    }
    return sql;
}

// The items of `bereich` into `lauf`, on `db`.
void Durchlauf(sqlite3* db, Lauf& lauf, Bereich bereich, qint64 grenze = 0)
{
    const Funktion f(db, &lauf);
    Anweisung a(db, PostenSql(lauf.schluessel, bereich).constData());
    if (bereich != Bereich::Alle) sqlite3_bind_int64(a.st(), 1, grenze);
    while (a.Schritt()) {
    }
    lauf.abarbeiten();
}

// The first column of the first row as an integer; 0 without a row.
qint64 Ganzzahl(sqlite3* db, const char* sql)
{
    Anweisung a(db, sql);
    return a.Schritt() ? sqlite3_column_int64(a.st(), 0) : 0;
}

// Counts the commits of other connections to the file (SQLite's data_version).
qint64 Stand(sqlite3* db) { return Ganzzahl(db, "PRAGMA data_version"); }

std::atomic<qint64> g_zweiKerneAb{50000};
std::atomic<bool> g_zuletztGeteilt{false};

// The first part of the items, on a connection of its own in a thread of
// its own. Anything that goes wrong there leaves `ok` false: the caller then
// sums that part itself.
class Helfer {
public:
    Helfer(const QByteArray& datei, Schluessel schluessel, const Belege* belege, qint64 bis)
        : m_lauf(schluessel, belege)
    {
        m_thread = std::thread([this, datei, bis] { Laufen(datei, bis); });
    }
    ~Helfer() { warten(); }
    Helfer(const Helfer&) = delete;
    Helfer& operator=(const Helfer&) = delete;

    void warten()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    bool ok() const { return m_ok; }
    const Lauf& lauf() const { return m_lauf; }

private:
    void Laufen(const QByteArray& datei, qint64 bis)
    {
        sqlite3* db = nullptr;
        try {
            // Read-only and used by this thread alone: no locking inside SQLite.
            if (sqlite3_open_v2(datei.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
                sqlite3_busy_timeout(db, 2000);
                Durchlauf(db, m_lauf, Bereich::Bis, bis);
                m_ok = !m_lauf.fehler;
            }
        } catch (...) {
            m_ok = false;
        }
        sqlite3_close(db);
    }

    Lauf m_lauf;
    bool m_ok = false;
    std::thread m_thread;
};

}  // namespace

qint64 SetzeZweiKerneAb(qint64 posten) { return g_zweiKerneAb.exchange(posten); }
bool ZuletztGeteilt() { return g_zuletztGeteilt; }

namespace {

std::atomic<bool> g_jahressummen{true};
std::atomic<bool> g_zuletztJahressummen{false};

QString ServerDatum(const QDate& d) { return QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\''); }

// The first value of the first row; a null QVariant without a row.
QVariant ServerWert(data::Verbindung& verbindung, const QString& sql)
{
    data::Anweisung a(verbindung, sql);
    return a.schritt() ? a.wert(0) : QVariant();
}

// Brings the server's yearly sums up to date (see the server schema). False
// when the database has none, another connection is summing them just now,
// or they cannot be written (a login that may only read): the items are
// summed then, as without them.
bool JahressummenBereit(data::Verbindung& verbindung)
{
    if (!g_jahressummen) return false;
    if (ServerWert(verbindung, QStringLiteral("SELECT CAST(to_regprocedure('ordavo_stat_auffrischen()') IS NOT NULL AS integer)")).toInt() == 0)
        return false;
    try {
        // A savepoint inside an open transaction, which a failure must not end.
        data::Transaktion t(verbindung);
        const bool bereit = ServerWert(verbindung, QStringLiteral("SELECT CAST(ordavo_stat_auffrischen() AS integer)")).toInt() == 1;
        t.commit();
        return bereit;
    } catch (const data::Fehler&) {
        return false;
    }
}

// On a database server the server sums: one grouped pass per key over the
// period, into the same temporary tables the statements read. Whole years
// come from the yearly sums the server keeps, the days before and after
// them from the items.
void SummierenAufServer(data::Verbindung& verbindung, Schluessel schluessel, const QDate& von, const QDate& bis,
                        const QVariant& adresse)
{
    verbindung.Ausfuehren(QStringLiteral(
        "CREATE TEMP TABLE IF NOT EXISTS stat_artikel (aid bigint PRIMARY KEY, Anzahl double precision, "
        "gesamt double precision, einkaufspreis double precision, spanne double precision);"
        "CREATE TEMP TABLE IF NOT EXISTS stat_kunden (kid bigint PRIMARY KEY, gesamt double precision);"
        "CREATE TEMP TABLE IF NOT EXISTS stat_summen (gesamt double precision, einkaufspreis double precision, "
        "spanne double precision)"));
    const bool einKunde = adresse.isValid() && !adresse.isNull();
    const bool artikel = schluessel == Schluessel::Artikel;
    // The period goes into the text, as the server takes no parameters in
    // CREATE TABLE AS; that form lets it read the items with all its
    // workers, an INSERT only with one. Dates and the id are the program's
    // own values (a date, a whole number), never text typed by the user.
    QString kunde;
    if (einKunde) {
        // As the catalogue compares it: "7" and "7.0" name address 7, other text none.
        bool zahl = false;
        const double id = adresse.toString().trimmed().toDouble(&zahl);
        kunde = zahl && std::isfinite(id) && id == std::floor(id) && std::fabs(id) < 9e15
                    ? QStringLiteral(" AND l.lief_adresse_id = %1").arg(qint64(id))
                    : QStringLiteral(" AND 1 = 0");
    }
    const QString schluesselSpalte = artikel ? QStringLiteral("a.la_artikel_id") : QStringLiteral("l.lief_adresse_id");
    const QString posten = QStringLiteral(
        "SELECT %1 AS k, a.la_anzahl AS n, a.la_preis*a.la_anzahl AS g, a.la_artikel_einkauf*a.la_anzahl AS e, "
        "a.la_preis*a.la_anzahl - a.la_artikel_einkauf*a.la_anzahl AS s "
        "FROM t_lieferschein_artikel a INNER JOIN t_lieferschein l ON l.id = a.la_lieferschein_id "
        "WHERE l.lief_datum BETWEEN %2 AND %3%4");
    QStringList teile;
    // Whole years of the period: from the first 1 January to the last 31 December in it.
    const int erstesJahr = von.dayOfYear() == 1 ? von.year() : von.year() + 1;
    const int letztesJahr = bis.month() == 12 && bis.day() == 31 ? bis.year() : bis.year() - 1;
    g_zuletztJahressummen = false;
    if (!einKunde && von <= bis && erstesJahr <= letztesJahr && JahressummenBereit(verbindung)) {
        g_zuletztJahressummen = true;
        const QString tabelle = artikel ? QStringLiteral("stat_jahr_artikel") : QStringLiteral("stat_jahr_kunden");
        // A period over every year with sales reads the sums of all years.
        const QList<QVariant> jahre = [&] {
            data::Anweisung a(verbindung, QStringLiteral("SELECT min(jahr), max(jahr) FROM %1 WHERE jahr IS NOT NULL").arg(tabelle));
            a.schritt();
            return QList<QVariant>{a.wert(0), a.wert(1)};
        }();
        const bool alle = jahre.at(0).isNull() || (jahre.at(0).toInt() >= erstesJahr && jahre.at(1).toInt() <= letztesJahr);
        teile << QStringLiteral("SELECT %1 AS k, %2 AS n, gesamt AS g, einkauf AS e, spanne AS s FROM %3 WHERE %4")
                     .arg(artikel ? QStringLiteral("aid") : QStringLiteral("kid"),
                          artikel ? QStringLiteral("anzahl") : QStringLiteral("CAST(NULL AS double precision)"), tabelle,
                          alle ? QStringLiteral("jahr IS NULL")
                               : QStringLiteral("jahr BETWEEN %1 AND %2").arg(erstesJahr).arg(letztesJahr));
        if (von < QDate(erstesJahr, 1, 1))
            teile << posten.arg(schluesselSpalte, ServerDatum(von), ServerDatum(QDate(erstesJahr - 1, 12, 31)), kunde);
        if (bis > QDate(letztesJahr, 12, 31))
            teile << posten.arg(schluesselSpalte, ServerDatum(QDate(letztesJahr + 1, 1, 1)), ServerDatum(bis), kunde);
    } else {
        teile << posten.arg(schluesselSpalte, ServerDatum(von), ServerDatum(bis), kunde);
    }
    verbindung.Ausfuehren(QStringLiteral("DROP TABLE IF EXISTS temp.stat_posten"));
    verbindung.Ausfuehren(QStringLiteral("CREATE TEMP TABLE stat_posten AS SELECT k, sum(n) AS n, sum(g) AS g, sum(e) AS e, "
                                         "sum(s) AS s FROM (%1) x GROUP BY k")
                              .arg(teile.join(QStringLiteral(" UNION ALL "))));
    data::Transaktion t(verbindung);
    verbindung.Ausfuehren(
        QStringLiteral("DELETE FROM temp.stat_artikel; DELETE FROM temp.stat_kunden; DELETE FROM temp.stat_summen;"
                       "INSERT INTO temp.%1 SELECT k, %2 FROM temp.stat_posten WHERE k IS NOT NULL;"
                       "INSERT INTO temp.stat_summen SELECT sum(g), sum(e), sum(s) FROM temp.stat_posten")
            .arg(artikel ? QStringLiteral("stat_artikel") : QStringLiteral("stat_kunden"),
                 artikel ? QStringLiteral("n, g, e, s") : QStringLiteral("g")));
    t.commit();
}

}  // namespace

bool SetzeJahressummen(bool nutzen) { return g_jahressummen.exchange(nutzen); }
bool ZuletztAusJahressummen() { return g_zuletztJahressummen; }

bool Summieren(data::Verbindung& verbindung, Schluessel schluessel, const QDate& von, const QDate& bis,
               const QVariant& adresse)
{
    if (verbindung.Fern()) {
        SummierenAufServer(verbindung, schluessel, von, bis, adresse);
        return true;
    }
    sqlite3* db = verbindung.Handle();
    if (!db) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));
    const qint64 standVorher = Stand(db);
    g_zuletztGeteilt = false;

    // 1. The notes of the period (dates are stored as ISO text, as the datasets
    // bind them). Only the sums per customer need each note's address; the
    // others read the date index alone, without the wide note rows.
    Belege belege;
    {
        const bool einKunde = adresse.isValid() && !adresse.isNull();
        const bool mitKunde = schluessel == Schluessel::Kunde;
        Anweisung a(db, einKunde   ? "SELECT id, lief_adresse_id FROM t_lieferschein WHERE lief_datum BETWEEN ?1 AND ?2 "
                                     "AND lief_adresse_id = ?3"
                        : mitKunde ? "SELECT id, lief_adresse_id FROM t_lieferschein WHERE lief_datum BETWEEN ?1 AND ?2"
                                   : "SELECT id, NULL FROM t_lieferschein WHERE lief_datum BETWEEN ?1 AND ?2");
        BindeText(a.st(), 1, von.toString(Qt::ISODate).toUtf8());
        BindeText(a.st(), 2, bis.toString(Qt::ISODate).toUtf8());
        if (einKunde) {
            // As the catalogue compares it: text against the integer column.
            if (adresse.typeId() == QMetaType::QString) BindeText(a.st(), 3, adresse.toString().toUtf8());
            else sqlite3_bind_int64(a.st(), 3, adresse.toLongLong());
        }
        while (a.Schritt()) {
            if (sqlite3_column_type(a.st(), 0) != SQLITE_INTEGER) continue;
            const qint64 id = sqlite3_column_int64(a.st(), 0);
            const qint64 kunde = sqlite3_column_type(a.st(), 1) == SQLITE_NULL ? kOhne : sqlite3_column_int64(a.st(), 1);
            belege.hinzu(id, kunde);
        }
    }
    belege.fertig();

    // 2. The items, summed per key in one pass. The period's total is the
    // sum of the keys' sums and of the items without key.
    Lauf lauf(schluessel, &belege);
    const qint64 notenGesamt = Ganzzahl(db, "SELECT max(rowid) FROM t_lieferschein");
    if (belege.anzahl() > 0 && qint64(belege.anzahl()) * 4 < notenGesamt) {
        // A short period reads its notes' items through the index; a long one
        // steps all items once, which is cheaper than a look-up per note.
        const Funktion f(db, &lauf);
        Anweisung a(db, PostenSql(schluessel, Bereich::Beleg).constData());
        for (const auto& paar : belege.paare()) {
            a.Neu();
            sqlite3_bind_int64(a.st(), 1, paar.first);
            while (a.Schritt()) {
            }
        }
        lauf.abarbeiten();
    } else if (belege.anzahl() > 0) {
        // Two statements: SQLite finds min() or max() alone at the ends of
        // the table, both together only by reading all of it.
        const qint64 erste = Ganzzahl(db, "SELECT min(rowid) FROM t_lieferschein_artikel");
        const qint64 letzte = Ganzzahl(db, "SELECT max(rowid) FROM t_lieferschein_artikel");
        // Many items: the first part goes to the other core, read from the
        // file on a connection of its own. That connection sees only what is
        // committed, so not while this one has a transaction open, nor for a
        // database without a file; and only with an SQLite built for threads.
        const char* datei = sqlite3_db_filename(db, "main");
        std::unique_ptr<Helfer> helfer;
        qint64 mitte = 0;
        const quint64 spanne = quint64(letzte) - quint64(erste);  // rowids may lie anywhere
        if (letzte > erste && spanne >= quint64(std::max<qint64>(g_zweiKerneAb, 1)) && sqlite3_get_autocommit(db)
            && datei && *datei && sqlite3_threadsafe()) {
            // The first part checks the rowid of every item, the last one
            // reads to the end: the first part is a little shorter.
            mitte = erste + qint64(spanne / 100 * 47 + spanne % 100 * 47 / 100);
            try {
                helfer = std::make_unique<Helfer>(QByteArray(datei), schluessel, &belege, mitte);
            } catch (const std::system_error&) {
                // No thread to be had: all here.
            }
        }
        if (!helfer) {
            Durchlauf(db, lauf, Bereich::Alle);
        } else {
            Durchlauf(db, lauf, Bereich::Ab, mitte);  // on an error, ~Helfer waits for the other part
            helfer->warten();
            if (Stand(db) != standVorher) {
                // Another connection committed while the parts were read:
                // they may show two states. All items once more, here.
                lauf = Lauf(schluessel, &belege);
                Durchlauf(db, lauf, Bereich::Alle);
            } else if (helfer->ok()) {
                lauf.dazu(helfer->lauf());
                g_zuletztGeteilt = true;
            } else {
                Durchlauf(db, lauf, Bereich::Bis, mitte);
            }
        }
    }
    if (lauf.fehler) throw data::Fehler(QStringLiteral("Zu wenig Speicher für die Statistik."));
    Heiss alle = lauf.ohneHeiss;
    Kalt alleKalt = lauf.ohneKalt;
    lauf.pro.fuerAlle([&](qint64, const Heiss& h, const Kalt& k) { Dazu(alle, alleKalt, h, k); });
    const ProSchluessel& proSchluessel = lauf.pro;

    // 3. Into the temporary tables, all at once.
    Ausfuehren(db, "SAVEPOINT stat_summieren");
    try {
        Ausfuehren(db,
                   "CREATE TEMP TABLE IF NOT EXISTS stat_artikel (aid INTEGER PRIMARY KEY, Anzahl, gesamt, einkaufspreis, spanne);"
                   "CREATE TEMP TABLE IF NOT EXISTS stat_kunden (kid INTEGER PRIMARY KEY, gesamt);"
                   "CREATE TEMP TABLE IF NOT EXISTS stat_summen (gesamt, einkaufspreis, spanne);"
                   "DELETE FROM temp.stat_artikel; DELETE FROM temp.stat_kunden; DELETE FROM temp.stat_summen;");
        if (schluessel == Schluessel::Artikel) {
            Anweisung ins(db, "INSERT INTO temp.stat_artikel (aid, Anzahl, gesamt, einkaufspreis, spanne) VALUES (?1, ?2, ?3, ?4, ?5)");
            proSchluessel.fuerAlle([&](qint64 id, const Heiss& h, const Kalt& k) {
                ins.Neu();
                sqlite3_bind_int64(ins.st(), 1, id);
                for (int c = 0; c < 4; ++c) Binden(ins.st(), 2 + c, h, k, c);
                ins.Schritt();
            });
        } else {
            Anweisung ins(db, "INSERT INTO temp.stat_kunden (kid, gesamt) VALUES (?1, ?2)");
            proSchluessel.fuerAlle([&](qint64 id, const Heiss& h, const Kalt& k) {
                ins.Neu();
                sqlite3_bind_int64(ins.st(), 1, id);
                Binden(ins.st(), 2, h, k, 1);
                ins.Schritt();
            });
        }
        Anweisung ins(db, "INSERT INTO temp.stat_summen (gesamt, einkaufspreis, spanne) VALUES (?1, ?2, ?3)");
        for (int c = 1; c < 4; ++c) Binden(ins.st(), c, alle, alleKalt, c);
        ins.Schritt();
        Ausfuehren(db, "RELEASE stat_summieren");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO stat_summieren; RELEASE stat_summieren", nullptr, nullptr, nullptr);
        throw;
    }
    return true;
}

}  // namespace stats
