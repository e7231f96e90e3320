#include "stats/Statistikabfragen.h"

#include "data/Dataset.h"
#include "data/Regional.h"

#include <QDate>
#include <cmath>

namespace stats {

QString SqlAuswertungArtikel()
{
    // The sums are no table columns: "*1" keeps each sum's own kind (integer,
    // real, NULL) and makes the column a computed one, as in the catalogue.
    // The inner join to the unit leaves out the articles without one.
    return QStringLiteral(
        "SELECT t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, s.Anzahl*1 AS Anzahl, t_einheit.einheit, "
        "s.gesamt*1 AS gesamt, s.einkaufspreis*1 AS einkaufspreis, s.spanne*1 AS spanne\n"
        "FROM temp.stat_artikel AS s INNER JOIN t_artikel ON t_artikel.id = s.aid "
        "INNER JOIN t_einheit ON t_einheit.id = t_artikel.artikel_einheit_id\n"
        "ORDER BY t_artikel.id;");
}

QString SqlAuswertungArtikelSummen()
{
    return QStringLiteral(
        "SELECT gesamt*1 AS gesamt, einkaufspreis*1 AS einkaufspreis, spanne*1 AS spanne FROM temp.stat_summen;");
}

QString SqlAuswertungKategorie()
{
    // Per article first, then per category; the markup from the category's sums.
    return QStringLiteral(
        "SELECT t_kategorie.id, t_kategorie.kategorie, Sum(s.gesamt) AS gesamt, Sum(s.einkaufspreis) AS einkaufspreis, "
        "Sum(s.spanne) AS spanne, (100/Sum(s.einkaufspreis)*Sum(s.gesamt))-100 AS spannePro\n"
        "FROM temp.stat_artikel AS s INNER JOIN t_artikel ON t_artikel.id = s.aid "
        "INNER JOIN t_kategorie ON t_kategorie.id = t_artikel.artikel_kategorie_id\n"
        "GROUP BY t_kategorie.id, t_kategorie.kategorie\n"
        "ORDER BY t_kategorie.id;");
}

QString SqlAuswertungAdressen()
{
    // One customer (the address id is its key); equal sales in the order of the article id.
    return QStringLiteral(
        "SELECT t_adressen.id AS lief_adresse_id, t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, s.Anzahl*1 AS Anzahl, "
        "t_einheit.einheit, s.gesamt*1 AS gesamt, "
        "t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort, "
        "t_adressen.adr_tel, t_adressen.adr_fax, t_adressen.adr_email, t_adressen.adr_mobil, t_adressen.adr_kunde, "
        "t_adressen.adr_lieferant, t_adressen.adr_uidnr, t_adressen.adr_hatlieferadr, t_adressen.adr_lief_firma, "
        "t_adressen.adr_lief_ganzername, t_adressen.adr_lief_adresse, t_adressen.adr_lief_plz, t_adressen.adr_lief_ort, "
        "t_adressen.adr_lief_tel, t_adressen.adr_lief_fax, t_adressen.adr_lief_email, t_adressen.adr_lief_mobil\n"
        "FROM temp.stat_artikel AS s INNER JOIN t_artikel ON t_artikel.id = s.aid "
        "INNER JOIN t_einheit ON t_einheit.id = t_artikel.artikel_einheit_id\n"
        "INNER JOIN t_adressen ON t_adressen.id = :id\n"
        "ORDER BY s.gesamt DESC, t_artikel.id;");
}

QString SqlAuswertungAlleAdressen()
{
    // Per address id first; addresses with equal columns are one line.
    // Equal sales in the order of the address columns.
    return QStringLiteral(
        "SELECT Sum(s.gesamt) AS gesamt, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\n"
        "FROM temp.stat_kunden AS s INNER JOIN t_adressen ON t_adressen.id = s.kid\n"
        "GROUP BY t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\n"
        "ORDER BY Sum(s.gesamt) DESC, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort;");
}

Schliessen::~Schliessen()
{
    for (data::Dataset* ds : m_ds)
        if (ds) ds->Close();
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
