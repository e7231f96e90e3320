#include "stats/Summieren.h"

#include "data/Fehler.h"
#include "data/Verbindung.h"

#include <QByteArray>
#include <limits>
#include <sqlite3.h>
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

// One summing run: the notes of the period and the sums so far.
struct Lauf {
    Schluessel schluessel;
    const Belege* belege;
    ProSchluessel pro;
    Heiss ohneHeiss;  // items without key (no article, a note without address)
    Kalt ohneKalt;
    bool fehler = false;

    void posten(qint64 kunde, sqlite3_value* artikel, sqlite3_value* menge, sqlite3_value* preis,
                sqlite3_value* einkauf)
    {
        qint64 key = kunde;
        if (schluessel == Schluessel::Artikel)
            key = sqlite3_value_type(artikel) == SQLITE_NULL ? kOhne : sqlite3_value_int64(artikel);
        const Zahl m = Lies(menge), p = Lies(preis), e = Lies(einkauf);
        if (key == kOhne) Posten(ohneHeiss, ohneKalt, m, p, e);
        else pro.bei(key, [&](Heiss& h, Kalt& k) { Posten(h, k, m, p, e); });
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

qint64 Hoechste(sqlite3* db, const char* sql)
{
    Anweisung a(db, sql);
    return a.Schritt() ? sqlite3_column_int64(a.st(), 0) : 0;
}

}  // namespace

bool Summieren(data::Verbindung& verbindung, Schluessel schluessel, const QDate& von, const QDate& bis,
               const QVariant& adresse)
{
    if (verbindung.Fern()) return false;
    sqlite3* db = verbindung.Handle();
    if (!db) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));

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
    Lauf lauf{schluessel, &belege, {}, {}, {}};
    // A short period reads its notes' items through the index; a long one
    // steps all items once, which is cheaper than a look-up per note.
    // The items are handed to a function of this connection inside the
    // statement, which spares the column calls of stepping every row.
    const qint64 notenGesamt = Hoechste(db, "SELECT max(rowid) FROM t_lieferschein");
    const Funktion f(db, &lauf);
    if (belege.anzahl() > 0 && qint64(belege.anzahl()) * 4 < notenGesamt) {
        Anweisung a(db, "SELECT count(ordavo_stat_posten(la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, "
                        "la_artikel_einkauf)) FROM t_lieferschein_artikel WHERE la_lieferschein_id = ?1");
        for (const auto& paar : belege.paare()) {
            a.Neu();
            sqlite3_bind_int64(a.st(), 1, paar.first);
            while (a.Schritt()) {
            }
        }
    } else if (belege.anzahl() > 0) {
        Anweisung a(db, "SELECT count(ordavo_stat_posten(la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, "
                        "la_artikel_einkauf)) FROM t_lieferschein_artikel");
        while (a.Schritt()) {
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
