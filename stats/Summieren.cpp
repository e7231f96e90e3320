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

Zahl Lies(sqlite3_stmt* st, int spalte)
{
    switch (sqlite3_column_type(st, spalte)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return {Zahl::Ganz, sqlite3_column_int64(st, spalte), 0};
    case SQLITE_FLOAT: return {Zahl::Reell, 0, sqlite3_column_double(st, spalte)};
    default: {
        // Text in a number column counts by its numeric value, as in SQL arithmetic.
        const QByteArray t = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, spalte)),
                                        sqlite3_column_bytes(st, spalte)).trimmed();
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

// SQLite's sum(): NULL without values, an integer while every value is one,
// otherwise the floating-point sum. Where SQLite stops with "integer
// overflow" this gives the floating-point sum.
struct Summe {
    bool da = false;
    bool reell = false;
    qint64 i = 0;
    double r = 0;

    void plus(const Zahl& z)
    {
        if (z.art == Zahl::Null) return;
        da = true;
        if (z.art == Zahl::Ganz) {
            r += double(z.i);
            if (!reell && __builtin_add_overflow(i, z.i, &i)) reell = true;
        } else {
            r += z.d;
            reell = true;
        }
    }
    void binden(sqlite3_stmt* st, int idx) const
    {
        if (!da) sqlite3_bind_null(st, idx);
        else if (reell) sqlite3_bind_double(st, idx, r);
        else sqlite3_bind_int64(st, idx, i);
    }
};

struct Summen {
    Summe anzahl, gesamt, einkauf, spanne;

    void plus(const Zahl& menge, const Zahl& preis, const Zahl& einkaufspreis)
    {
        const Zahl g = Mal(preis, menge);
        const Zahl e = Mal(einkaufspreis, menge);
        anzahl.plus(menge);
        gesamt.plus(g);
        einkauf.plus(e);
        spanne.plus(Minus(g, e));
    }
};

constexpr qint64 kOhne = std::numeric_limits<qint64>::min();  // no key (NULL)

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

qint64 Hoechste(sqlite3* db, const char* sql)
{
    Anweisung a(db, sql);
    return a.Schritt() ? sqlite3_column_int64(a.st(), 0) : 0;
}

}  // namespace

void Summieren(data::Verbindung& verbindung, Schluessel schluessel, const QDate& von, const QDate& bis,
               const QVariant& adresse)
{
    sqlite3* db = verbindung.Handle();
    if (!db) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));

    // 1. The notes of the period (dates are stored as ISO text, as the datasets bind them).
    Belege belege;
    {
        const bool einKunde = adresse.isValid() && !adresse.isNull();
        Anweisung a(db, einKunde ? "SELECT id, lief_adresse_id FROM t_lieferschein WHERE lief_datum BETWEEN ?1 AND ?2 "
                                   "AND lief_adresse_id = ?3"
                                 : "SELECT id, lief_adresse_id FROM t_lieferschein WHERE lief_datum BETWEEN ?1 AND ?2");
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

    // 2. The items, summed per key in one pass.
    std::unordered_map<qint64, Summen> proSchluessel;
    proSchluessel.reserve(4096);
    Summen alle;
    const auto posten = [&](qint64 kunde, sqlite3_stmt* st, int artikelSpalte) {
        const Zahl menge = Lies(st, artikelSpalte + 1);
        const Zahl preis = Lies(st, artikelSpalte + 2);
        const Zahl einkauf = Lies(st, artikelSpalte + 3);
        alle.plus(menge, preis, einkauf);
        qint64 key = kunde;
        if (schluessel == Schluessel::Artikel)
            key = sqlite3_column_type(st, artikelSpalte) == SQLITE_NULL ? kOhne : sqlite3_column_int64(st, artikelSpalte);
        if (key != kOhne) proSchluessel[key].plus(menge, preis, einkauf);
    };
    // A short period reads its notes' items through the index; a long one
    // steps all items once, which is cheaper than a look-up per note.
    const qint64 notenGesamt = Hoechste(db, "SELECT max(rowid) FROM t_lieferschein");
    if (belege.anzahl() > 0 && qint64(belege.anzahl()) * 4 < notenGesamt) {
        Anweisung a(db, "SELECT la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf FROM t_lieferschein_artikel "
                        "WHERE la_lieferschein_id = ?1");
        for (const auto& [id, kunde] : belege.paare()) {
            a.Neu();
            sqlite3_bind_int64(a.st(), 1, id);
            while (a.Schritt()) posten(kunde, a.st(), 0);
        }
    } else if (belege.anzahl() > 0) {
        Anweisung a(db, "SELECT la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf "
                        "FROM t_lieferschein_artikel");
        qint64 kunde = 0;
        while (a.Schritt()) {
            if (sqlite3_column_type(a.st(), 0) == SQLITE_NULL) continue;
            if (!belege.finde(sqlite3_column_int64(a.st(), 0), kunde)) continue;
            posten(kunde, a.st(), 1);
        }
    }

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
            for (const auto& [id, s] : proSchluessel) {
                ins.Neu();
                sqlite3_bind_int64(ins.st(), 1, id);
                s.anzahl.binden(ins.st(), 2);
                s.gesamt.binden(ins.st(), 3);
                s.einkauf.binden(ins.st(), 4);
                s.spanne.binden(ins.st(), 5);
                ins.Schritt();
            }
        } else {
            Anweisung ins(db, "INSERT INTO temp.stat_kunden (kid, gesamt) VALUES (?1, ?2)");
            for (const auto& [id, s] : proSchluessel) {
                ins.Neu();
                sqlite3_bind_int64(ins.st(), 1, id);
                s.gesamt.binden(ins.st(), 2);
                ins.Schritt();
            }
        }
        Anweisung ins(db, "INSERT INTO temp.stat_summen (gesamt, einkaufspreis, spanne) VALUES (?1, ?2, ?3)");
        alle.gesamt.binden(ins.st(), 1);
        alle.einkauf.binden(ins.st(), 2);
        alle.spanne.binden(ins.st(), 3);
        ins.Schritt();
        Ausfuehren(db, "RELEASE stat_summieren");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO stat_summieren; RELEASE stat_summieren", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace stats
