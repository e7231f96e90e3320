#include "stats/Statistikabfragen.h"

#include "data/Dataset.h"
#include "data/Regional.h"

#include <QDate>
#include <cmath>

namespace stats {

namespace {

// The items of the period with their delivery note; shared by the per-article sums.
const char* const kPosten =
    "FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\n"
    "WHERE t_lieferschein.lief_datum Between :von And :bis\n";

}  // namespace

QString SqlAuswertungArtikel()
{
    // One group per article id; the article's number, text and unit follow
    // from the id, so grouping by them as well changes no row. The inner join
    // to the unit leaves out the articles without one.
    return QStringLiteral(
               "WITH s AS (SELECT t_lieferschein_artikel.la_artikel_id AS aid, Sum(t_lieferschein_artikel.la_anzahl) AS Anzahl, "
               "Sum([la_preis]*[la_anzahl]) AS gesamt, Sum([la_artikel_einkauf]*[la_anzahl]) AS einkaufspreis, "
               "Sum(([la_preis]*[la_anzahl])-([la_artikel_einkauf]*[la_anzahl])) AS spanne\n") +
           QLatin1String(kPosten) +
           QStringLiteral(
               "GROUP BY t_lieferschein_artikel.la_artikel_id)\n"
               "SELECT t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, s.Anzahl, t_einheit.einheit, s.gesamt, s.einkaufspreis, s.spanne\n"
               "FROM s INNER JOIN t_artikel ON t_artikel.id = s.aid INNER JOIN t_einheit ON t_einheit.id = t_artikel.artikel_einheit_id\n"
               "ORDER BY t_artikel.id;");
}

QString SqlAuswertungKategorie()
{
    // Per article first, then per category; the markup from the category's sums.
    return QStringLiteral(
               "WITH s AS (SELECT t_lieferschein_artikel.la_artikel_id AS aid, "
               "Sum([la_preis]*[la_anzahl]) AS gesamt, Sum([la_artikel_einkauf]*[la_anzahl]) AS einkaufspreis, "
               "Sum(([la_preis]*[la_anzahl])-([la_artikel_einkauf]*[la_anzahl])) AS spanne\n") +
           QLatin1String(kPosten) +
           QStringLiteral(
               "GROUP BY t_lieferschein_artikel.la_artikel_id)\n"
               "SELECT t_kategorie.id, t_kategorie.kategorie, Sum(s.gesamt) AS gesamt, Sum(s.einkaufspreis) AS einkaufspreis, "
               "Sum(s.spanne) AS spanne, (100/Sum(s.einkaufspreis)*Sum(s.gesamt))-100 AS spannePro\n"
               "FROM s INNER JOIN t_artikel ON t_artikel.id = s.aid INNER JOIN t_kategorie ON t_kategorie.id = t_artikel.artikel_kategorie_id\n"
               "GROUP BY t_kategorie.id, t_kategorie.kategorie\n"
               "ORDER BY t_kategorie.id;");
}

QString SqlAuswertungAdressen()
{
    // One customer (the address id is its key); equal sales in the order of the article id.
    return QStringLiteral(
               "WITH s AS (SELECT t_lieferschein_artikel.la_artikel_id AS aid, Sum(t_lieferschein_artikel.la_anzahl) AS Anzahl, "
               "Sum([la_preis]*[la_anzahl]) AS gesamt\n") +
           QLatin1String(kPosten) +
           QStringLiteral(
               "AND t_lieferschein.lief_adresse_id = :id\n"
               "GROUP BY t_lieferschein_artikel.la_artikel_id)\n"
               "SELECT t_adressen.id AS lief_adresse_id, t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, s.Anzahl, t_einheit.einheit, s.gesamt, "
               "t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort, "
               "t_adressen.adr_tel, t_adressen.adr_fax, t_adressen.adr_email, t_adressen.adr_mobil, t_adressen.adr_kunde, "
               "t_adressen.adr_lieferant, t_adressen.adr_uidnr, t_adressen.adr_hatlieferadr, t_adressen.adr_lief_firma, "
               "t_adressen.adr_lief_ganzername, t_adressen.adr_lief_adresse, t_adressen.adr_lief_plz, t_adressen.adr_lief_ort, "
               "t_adressen.adr_lief_tel, t_adressen.adr_lief_fax, t_adressen.adr_lief_email, t_adressen.adr_lief_mobil\n"
               "FROM s INNER JOIN t_artikel ON t_artikel.id = s.aid INNER JOIN t_einheit ON t_einheit.id = t_artikel.artikel_einheit_id\n"
               "INNER JOIN t_adressen ON t_adressen.id = :id\n"
               "ORDER BY s.gesamt DESC, t_artikel.id;");
}

QString SqlAuswertungAlleAdressen()
{
    // Per delivery note first (through the index on the note, in its order,
    // so without sorting the items), then per address id; addresses with
    // equal columns are one line. Equal sales in the order of the address columns.
    return QStringLiteral(
        "WITH n AS (SELECT t_lieferschein_artikel.la_lieferschein_id AS lid, Sum([la_preis]*[la_anzahl]) AS gesamt\n"
        "FROM t_lieferschein_artikel\n"
        "WHERE t_lieferschein_artikel.la_lieferschein_id IN (SELECT t_lieferschein.id FROM t_lieferschein WHERE t_lieferschein.lief_datum Between :von And :bis)\n"
        "GROUP BY t_lieferschein_artikel.la_lieferschein_id),\n"
        "s AS (SELECT t_lieferschein.lief_adresse_id AS kid, Sum(n.gesamt) AS gesamt\n"
        "FROM n INNER JOIN t_lieferschein ON t_lieferschein.id = n.lid\n"
        "GROUP BY t_lieferschein.lief_adresse_id)\n"
        "SELECT Sum(s.gesamt) AS gesamt, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\n"
        "FROM s INNER JOIN t_adressen ON t_adressen.id = s.kid\n"
        "GROUP BY t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\n"
        "ORDER BY Sum(s.gesamt) DESC, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort;");
}

void SetzeZeitraum(data::Dataset* ds, const QDate& von, const QDate& bis)
{
    ds->setParameter(QStringLiteral("von"), von);
    ds->setParameter(QStringLiteral("bis"), bis);
}

QString OhneWert() { return QStringLiteral("–"); }

QString Prozent(double wert)
{
    if (!std::isfinite(wert)) return OhneWert();
    QLocale loc = data::Gebietsschema();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(data::AufCent(wert), 'f', 2) + QStringLiteral(" %");
}

QString ProzentTausender(double wert)
{
    if (!std::isfinite(wert)) return OhneWert();
    return data::Zahl2(wert) + QStringLiteral(" %");
}

QString Betrag(const data::Field& f)
{
    if (!f.gueltig() || f.isNull()) return data::Waehrung(0.0);
    const double x = f.asFloat();
    return data::Waehrung(std::isfinite(x) ? x : 0.0);
}

}  // namespace stats
