#pragma once
// The sums behind the statistics, in one pass over the items of a period.
//
// SQLite groups by sorting; over a long history that costs many times a plain
// scan of the items. Here the notes of the period are read from the date
// index, the items are stepped once (all of them, or those of the period's
// notes through their index when the period is short) and summed per key as
// they come, in a table indexed by the key. A long pass is shared by two
// threads, each on its own connection to the file. The sums land in temporary
// tables of the connection, which the statistics statements
// (stats/Statistikabfragen.h) join with the article, unit, category and
// address rows. Sums follow SQLite's own sum(): NULL when no value was there,
// an integer while all values are integers.
//
// Tables (temporary, private to the connection, replaced by every call):
//   stat_artikel(aid, Anzahl, gesamt, einkaufspreis, spanne)  per article id
//   stat_kunden(kid, gesamt)                                  per address id
//   stat_summen(gesamt, einkaufspreis, spanne)                one row: all items of the period
#include <QDate>
#include <QVariant>

namespace data {
class Verbindung;
}

namespace stats {

enum class Schluessel {
    Artikel,  // stat_artikel and stat_summen
    Kunde,    // stat_kunden and stat_summen
};

// Sums the items of the delivery notes dated from `von` to `bis` (both
// included). With `adresse` set (an address id, as number or decimal text)
// only that customer's notes count. Throws data::Fehler on a database error.
// On a database server the server sums, by key in one grouped pass, into
// the same tables; whole years of a period without customer come from the
// yearly sums the server keeps beside the items. Returns true (the statements of Statistikabfragen.h apply).
bool Summieren(data::Verbindung& verbindung, Schluessel schluessel, const QDate& von, const QDate& bis,
               const QVariant& adresse = QVariant());

// From how many items (by rowid span, default 50,000) a pass over all items
// is split in two parts, summed at once on two connections. Tests set it low
// to split small data. Returns the previous setting.
qint64 SetzeZweiKerneAb(qint64 posten);
// Whether the last pass over all items was shared by two connections.
bool ZuletztGeteilt();
// Whether the server's yearly sums may be used (default yes); tests compare
// both ways. Returns the previous setting.
bool SetzeJahressummen(bool nutzen);
// Whether the last sums on the server read whole years from those sums.
bool ZuletztAusJahressummen();

}  // namespace stats
