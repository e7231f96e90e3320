#include "data/dm_ordavo.h"

#include "data/Abfrage.h"
#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/Verbindung.h"

#include <cmath>
#include <limits>

using data::Dataset;
using data::DataSource;

namespace {

// Statements of the catalogue, line by line as the program has always run
// them (lines joined with CR LF).
const char* const kSql_ADO_artikel =
    "SELECT t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, t_artikel.artikel_langtext, t_artikel.artikel_preis, t_artikel.artikel_preis_2, artikel_Mwst, t_artikel.artikel_einkauf, t_einheit.einheit, t_kategorie.kategorie, t_artikel.artikel_einheit_id, t_artikel.artikel_kategorie_id\r\n"
    "FROM t_kategorie RIGHT JOIN (t_einheit RIGHT JOIN t_artikel ON t_einheit.id = t_artikel.artikel_einheit_id) ON t_kategorie.id = t_artikel.artikel_kategorie_id\r\n"
    "ORDER by t_artikel.artikel_nr;"
    ;
const char* const kSql_ADO_Lieferschein =
    "SELECT t_lieferschein.*, t_adressen.*\r\n"
    "FROM t_adressen INNER JOIN t_lieferschein ON t_adressen.id = t_lieferschein.lief_adresse_id\r\n"
    "order by t_lieferschein.id;"
    ;
const char* const kSql_ADO_Lieferschein_Artikel =
    "SELECT t_lieferschein_artikel.*, t_artikel.*, t_einheit.einheit, t_kategorie.kategorie,[la_preis]*[la_anzahl] AS gesamt\r\n"
    "FROM t_kategorie INNER JOIN (t_einheit INNER JOIN (t_artikel INNER JOIN t_lieferschein_artikel ON t_artikel.id = t_lieferschein_artikel.la_artikel_id) ON t_einheit.id = t_artikel.artikel_einheit_id) ON t_kategorie.id = t_artikel.artikel_kategorie_id\r\n"
    "ORDER BY t_lieferschein_artikel.id;"
    ;
const char* const kSql_ADO_Druck_Lief =
    "SELECT t_lieferschein.*, t_adressen.*, t_lieferschein_artikel.*, t_artikel.*, t_einheit.einheit, t_kategorie.kategorie, [la_anzahl]*[la_preis] AS Nettopreis, [la_anzahl]*[la_preis]*([artikel_mwst]/100+1) AS Bruttopreis, IIf([adr_hatlieferadr],1,0) AS lieferadrJa\r\n"
    "FROM (t_adressen INNER JOIN t_lieferschein ON t_adressen.id = t_lieferschein.lief_adresse_id) INNER JOIN (t_lieferschein_artikel INNER JOIN (t_kategorie INNER JOIN (t_einheit INNER JOIN t_artikel ON t_einheit.id = t_artikel.artikel_einheit_id) ON t_kategorie.id = t_artikel.artikel_kategorie_id) ON t_lieferschein_artikel.la_artikel_id = t_artikel.id) ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
    "ORDER BY t_adressen.adr_ganzername, t_lieferschein.id,t_lieferschein_artikel.id;"
    ;
const char* const kSql_ADO_suchen_Lieferschein =
    "SELECT t_lieferschein.*, t_adressen.*\r\n"
    "FROM t_adressen INNER JOIN t_lieferschein ON t_adressen.id = t_lieferschein.lief_adresse_id;"
    ;
const char* const kSql_ADO_Nochnichtbezahlt =
    "SELECT t_lieferschein.lief_nr, t_lieferschein.lief_datum, t_adressen.adr_firma, t_adressen.adr_ganzername,t_adressen.adr_adresse, t_adressen.adr_PLZ, t_adressen.adr_ort, t_lieferschein.lief_zahldatum, t_lieferschein.id, t_lieferschein.lief_rechnungsdatum\r\n"
    "FROM t_adressen INNER JOIN t_lieferschein ON t_adressen.id = t_lieferschein.lief_adresse_id\r\n"
    "WHERE (((t_lieferschein.lief_zahldatum) Is Null) AND ((t_lieferschein.lief_rechnungsdatum) Is Not Null));"
    ;
const char* const kSql_ADO_PLU =
    "SELECT t_PLU.PLU, t_artikel.artikel_nr, t_artikel.artikel_bez, t_PLU.Artikel_id\r\n"
    "FROM t_PLU LEFT JOIN t_artikel ON t_PLU.Artikel_id = t_artikel.id\r\n"
    "ORDER BY t_PLU.PLU;"
    ;
const char* const kSql_ADO_Auswertung_Artikel =
    "SELECT t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, Sum(t_lieferschein_artikel.la_anzahl) AS Anzahl, t_einheit.einheit, Sum([la_preis]*[la_anzahl]) AS gesamt, Sum([la_artikel_einkauf]*[la_anzahl]) AS einkaufspreis, Sum(([la_preis]*[la_anzahl])-([la_artikel_einkauf]*[la_anzahl])) AS spanne\r\n"
    "FROM t_lieferschein INNER JOIN (t_lieferschein_artikel INNER JOIN (t_einheit INNER JOIN t_artikel ON t_einheit.id = t_artikel.artikel_einheit_id) ON t_lieferschein_artikel.la_artikel_id = t_artikel.id) ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
    "WHERE (((t_lieferschein.lief_datum) Between :von And :bis))\r\n"
    "GROUP BY t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, t_einheit.einheit\r\n"
    "ORDER BY t_artikel.id, Sum([la_preis]*[la_anzahl]) DESC;"
    ;
const char* const kSql_ADO_Auswertung_Artikel_summen =
    "SELECT Sum([la_preis]*[la_anzahl]) AS gesamt, Sum([la_artikel_einkauf]*[la_anzahl]) AS einkaufspreis, Sum(([la_preis]*[la_anzahl])-([la_artikel_einkauf]*[la_anzahl])) AS spanne\r\n"
    "FROM t_lieferschein INNER JOIN t_lieferschein_artikel ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
    "WHERE (((t_lieferschein.lief_datum) Between :von And :bis));"
    ;
const char* const kSql_ADO_Auswertung_ArtikelKategorie_summen =
    "SELECT t_kategorie.id, t_kategorie.kategorie, Sum([la_preis]*[la_anzahl]) AS gesamt, Sum([la_artikel_einkauf]*[la_anzahl]) AS einkaufspreis, Sum(([la_preis]*[la_anzahl])-([la_artikel_einkauf]*[la_anzahl])) AS spanne, (100/Sum([la_artikel_einkauf]*[la_anzahl])*Sum([la_preis]*[la_anzahl]))-100 AS spannePro\r\n"
    "FROM t_lieferschein INNER JOIN (t_lieferschein_artikel INNER JOIN (t_kategorie INNER JOIN t_artikel ON t_kategorie.id = t_artikel.artikel_kategorie_id) ON t_lieferschein_artikel.la_artikel_id = t_artikel.id) ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id\r\n"
    "WHERE (((t_lieferschein.lief_datum) Between :von And :bis))\r\n"
    "GROUP BY t_kategorie.id, t_kategorie.kategorie;"
    ;
const char* const kSql_ADO_Auswertung_Adressen =
    "SELECT t_lieferschein.lief_adresse_id, t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, Sum(t_lieferschein_artikel.la_anzahl) AS Anzahl, t_einheit.einheit, Sum([la_preis]*[la_anzahl]) AS gesamt, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort, t_adressen.adr_tel, t_adressen.adr_fax, t_adressen.adr_email, t_adressen.adr_mobil, t_adressen.adr_kunde, t_adressen.adr_lieferant, t_adressen.adr_uidnr, t_adressen.adr_hatlieferadr, t_adressen.adr_lief_firma, t_adressen.adr_lief_ganzername, t_adressen.adr_lief_adresse, t_adressen.adr_lief_plz, t_adressen.adr_lief_ort, t_adressen.adr_lief_tel, t_adressen.adr_lief_fax, t_adressen.adr_lief_email, t_adressen.adr_lief_mobil\r\n"
    "FROM t_adressen INNER JOIN (t_lieferschein INNER JOIN (t_lieferschein_artikel INNER JOIN (t_einheit INNER JOIN t_artikel ON t_einheit.id = t_artikel.artikel_einheit_id) ON t_lieferschein_artikel.la_artikel_id = t_artikel.id) ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id) ON t_adressen.id = t_lieferschein.lief_adresse_id\r\n"
    "WHERE (((t_lieferschein.lief_datum) Between :von And :bis) and (lief_adresse_id = :id))\r\n"
    "GROUP BY t_lieferschein.lief_adresse_id, t_artikel.id, t_artikel.artikel_nr, t_artikel.artikel_bez, t_einheit.einheit, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort, t_adressen.adr_tel, t_adressen.adr_fax, t_adressen.adr_email, t_adressen.adr_mobil, t_adressen.adr_kunde, t_adressen.adr_lieferant, t_adressen.adr_uidnr, t_adressen.adr_hatlieferadr, t_adressen.adr_lief_firma, t_adressen.adr_lief_ganzername, t_adressen.adr_lief_adresse, t_adressen.adr_lief_plz, t_adressen.adr_lief_ort, t_adressen.adr_lief_tel, t_adressen.adr_lief_fax, t_adressen.adr_lief_email, t_adressen.adr_lief_mobil\r\n"
    "ORDER BY Sum([la_preis]*[la_anzahl]) desc;"
    ;
const char* const kSql_ADO_Auswertung_alle_Adressen =
    "SELECT Sum([la_preis]*[la_anzahl]) AS gesamt, t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\r\n"
    "FROM t_adressen INNER JOIN (t_lieferschein INNER JOIN t_lieferschein_artikel ON t_lieferschein.id = t_lieferschein_artikel.la_lieferschein_id) ON t_adressen.id = t_lieferschein.lief_adresse_id\r\n"
    "WHERE (((t_lieferschein.lief_datum) Between :von And :bis) )\r\n"
    "GROUP BY t_adressen.adr_firma, t_adressen.adr_ganzername, t_adressen.adr_adresse, t_adressen.adr_plz, t_adressen.adr_ort\r\n"
    "ORDER BY Sum([la_preis]*[la_anzahl]) DESC;"
    ;

const char* const kSql_ADO_suchen_Adressen = "select * from t_Adressen";

const char* const kSqlLieferscheinSummen =
    "SELECT Sum([la_anzahl]*[la_preis]) AS Netto, Sum([la_anzahl]*[la_preis]*[artikel_mwst]/100) AS Steuer FROM "
    "t_lieferschein_artikel INNER JOIN t_artikel ON t_lieferschein_artikel.la_artikel_id = t_artikel.id WHERE "
    "(((t_lieferschein_artikel.la_lieferschein_id)=:id));";

}  // namespace

QString TDMOrdavo::SqlVon(const QString& dataset)
{
    static const struct {
        const char* name;
        const char* sql;
    } kKatalog[] = {
        {"ADO_artikel", kSql_ADO_artikel},
        {"ADO_Lieferschein", kSql_ADO_Lieferschein},
        {"ADO_Lieferschein_Artikel", kSql_ADO_Lieferschein_Artikel},
        {"ADO_Druck_Lief", kSql_ADO_Druck_Lief},
        {"ADO_suchen_Adressen", kSql_ADO_suchen_Adressen},
        {"ADO_suchen_Lieferschein", kSql_ADO_suchen_Lieferschein},
        {"ADO_Nochnichtbezahlt", kSql_ADO_Nochnichtbezahlt},
        {"ADO_PLU", kSql_ADO_PLU},
        {"ADO_Auswertung_Artikel", kSql_ADO_Auswertung_Artikel},
        {"ADO_Auswertung_Artikel_summen", kSql_ADO_Auswertung_Artikel_summen},
        {"ADO_Auswertung_ArtikelKategorie_summen", kSql_ADO_Auswertung_ArtikelKategorie_summen},
        {"ADO_Auswertung_Adressen", kSql_ADO_Auswertung_Adressen},
        {"ADO_Auswertung_alle_Adressen", kSql_ADO_Auswertung_alle_Adressen},
        {"LieferscheinSummen", kSqlLieferscheinSummen},
    };
    for (const auto& k : kKatalog)
        if (dataset == QLatin1String(k.name)) return QString::fromUtf8(k.sql);
    return QString();
}

TDMOrdavo::TDMOrdavo(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMOrdavo"));
    ADO_ordavo = new data::Verbindung(this);
    ADO_ordavo->setObjectName(QStringLiteral("ADO_ordavo"));

    auto tabelle = [this](const char* name, const char* tab) {
        auto* ds = new Dataset(ADO_ordavo, QString::fromLatin1(name), Dataset::Art::Tabelle, this);
        ds->setTableName(QString::fromLatin1(tab));
        return ds;
    };
    auto befehl = [this](const char* name, Dataset::Art art = Dataset::Art::Befehl) {
        auto* ds = new Dataset(ADO_ordavo, QString::fromLatin1(name), art, this);
        ds->setSql(SqlVon(QString::fromLatin1(name)));
        return ds;
    };
    auto quelle = [this](const char* name, Dataset* ds) {
        auto* q = new DataSource(QString::fromLatin1(name), this);
        q->setDataSet(ds);
        return q;
    };

    ADO_t_adressen = tabelle("ADO_t_adressen", "t_adressen");
    Data_t_adressen = quelle("Data_t_adressen", ADO_t_adressen);
    ADOQuery = new Dataset(ADO_ordavo, QStringLiteral("ADOQuery"), Dataset::Art::Abfrage, this);
    ADO_artikel = befehl("ADO_artikel");
    ADO_artikel->setUpdateTable(QStringLiteral("t_artikel"));
    Data_artikel = quelle("Data_artikel", ADO_artikel);
    ADO_t_Einheit = tabelle("ADO_t_Einheit", "t_einheit");
    Data_t_Einheit = quelle("Data_t_Einheit", ADO_t_Einheit);
    ADO_t_Kategorie = tabelle("ADO_t_Kategorie", "t_kategorie");
    Data_t_Kategorie = quelle("Data_t_Kategorie", ADO_t_Kategorie);
    ADO_Lieferschein = befehl("ADO_Lieferschein");
    ADO_Lieferschein->setUpdateTable(QStringLiteral("t_lieferschein"));
    Data_Lieferschein = quelle("Data_Lieferschein", ADO_Lieferschein);
    ADO_Lieferschein_Artikel = befehl("ADO_Lieferschein_Artikel");
    ADO_Lieferschein_Artikel->setUpdateTable(QStringLiteral("t_lieferschein_artikel"));
    ADO_Lieferschein_Artikel->setMaster(Data_Lieferschein, QStringLiteral("t_lieferschein.id"),
                                        QStringLiteral("t_lieferschein_artikel.la_lieferschein_id"));
    Data_Lieferschein_Artikel = quelle("Data_Lieferschein_Artikel", ADO_Lieferschein_Artikel);
    ADO_Druck_Lief = befehl("ADO_Druck_Lief");
    ADO_Druck_Lief->setFilterInSql(true);
    Data_Druck_Lief = quelle("Data_Druck_Lief", ADO_Druck_Lief);
    ADO_suchen_Lieferschein = befehl("ADO_suchen_Lieferschein");
    Data_suchen_Lieferschein = quelle("Data_suchen_Lieferschein", ADO_suchen_Lieferschein);
    ADO_suchen_Adressen = befehl("ADO_suchen_Adressen", Dataset::Art::Abfrage);
    Data_suchen_Adressen = quelle("Data_suchen_Adressen", ADO_suchen_Adressen);
    ADO_suchen_Lieferschein->setMaster(Data_suchen_Adressen, QStringLiteral("id"),
                                       QStringLiteral("t_lieferschein.lief_adresse_id"));
    ADO_Stammdaten = tabelle("ADO_Stammdaten", "t_stammdaten");
    Data_Stammdaten = quelle("Data_Stammdaten", ADO_Stammdaten);
    ADO_Nochnichtbezahlt = befehl("ADO_Nochnichtbezahlt");
    Data_Nochnichtbezahlt = quelle("Data_Nochnichtbezahlt", ADO_Nochnichtbezahlt);
    ADO_Auswertung_Artikel = befehl("ADO_Auswertung_Artikel", Dataset::Art::Abfrage);
    Data_Auswertung_Artikel = quelle("Data_Auswertung_Artikel", ADO_Auswertung_Artikel);
    ADO_Auswertung_Adressen = befehl("ADO_Auswertung_Adressen", Dataset::Art::Abfrage);
    Data_Auswertung_Adressen = quelle("Data_Auswertung_Adressen", ADO_Auswertung_Adressen);
    ADO_Auswertung_alle_Adressen = befehl("ADO_Auswertung_alle_Adressen", Dataset::Art::Abfrage);
    Data_Auswertung_alle_Adressen = quelle("Data_Auswertung_alle_Adressen", ADO_Auswertung_alle_Adressen);
    ADO_PLU = befehl("ADO_PLU");
    Data_PLU = quelle("Data_PLU", ADO_PLU);
    Table_PLU = tabelle("Table_PLU", "t_PLU");
    DataTablePlu = quelle("DataTablePlu", Table_PLU);
    ADO_Auswertung_Artikel_summen = befehl("ADO_Auswertung_Artikel_summen", Dataset::Art::Abfrage);
    ADO_Auswertung_ArtikelKategorie_summen = befehl("ADO_Auswertung_ArtikelKategorie_summen");

    // Connected as soon as the module exists; a missing file fails here.
    ADO_ordavo->Oeffnen();
    for (Dataset* ds : {ADO_t_adressen, ADO_artikel, ADO_t_Einheit, ADO_t_Kategorie, ADO_Lieferschein,
                        ADO_Lieferschein_Artikel, ADO_Stammdaten, ADO_Nochnichtbezahlt, ADO_PLU, Table_PLU})
        ds->Open();
}

TDMOrdavo::~TDMOrdavo()
{
    // Statements go before the connection.
    const auto kinder = findChildren<Dataset*>();
    for (Dataset* ds : kinder) delete ds;
    ADO_ordavo->Schliessen();
}

// The highest number plus 1. Numbers stay 32-bit: past the highest one in
// range (or next to numbers stored beyond it) the first free number is taken,
// so that the proposal is never a number in use.
int TDMOrdavo::NaechsteNummer(const QString& tabelle, const QString& spalte)
{
    constexpr qint64 kGroesste = std::numeric_limits<qint32>::max();
    try {
        const QVariant hoechste = data::AbfrageWert(
            ADOQuery, QStringLiteral("select max(%1) from %2 where %1 between 0 and %3").arg(spalte, tabelle).arg(kGroesste - 1));
        const qint64 vorschlag = hoechste.isNull() ? 1 : hoechste.toLongLong() + 1;
        const auto vergeben = [&](qint64 nr) {
            return !data::AbfrageWert(ADOQuery, QStringLiteral("select 1 from %1 where %2 = :nr").arg(tabelle, spalte), {{QStringLiteral("nr"), nr}})
                        .isNull();
        };
        if (!vergeben(vorschlag)) return int(vorschlag);
        if (!vergeben(1)) return 1;
        const QVariant luecke = data::AbfrageWert(
            ADOQuery, QStringLiteral("select min(a.%1) + 1 from %2 a where a.%1 between 1 and %3 and not exists "
                                     "(select 1 from %2 b where b.%1 = a.%1 + 1)")
                          .arg(spalte, tabelle)
                          .arg(kGroesste - 1));
        if (!luecke.isNull()) return int(luecke.toLongLong());
    } catch (const std::exception&) {
    }
    return 1;
}

int TDMOrdavo::NaechsteID(const QString& tabelle) { return NaechsteNummer(tabelle, QStringLiteral("ID")); }

int TDMOrdavo::NaechsteLiefNr() { return NaechsteNummer(QStringLiteral("t_lieferschein"), QStringLiteral("lief_nr")); }

int TDMOrdavo::NaechsteArtikelNr() { return NaechsteNummer(QStringLiteral("t_Artikel"), QStringLiteral("Artikel_nr")); }

void TDMOrdavo::LieferscheinSummen(int lieferscheinId, double& netto, double& steuer)
{
    netto = 0;
    steuer = 0;
    try {
        data::AbfrageLesen(ADOQuery, SqlVon(QStringLiteral("LieferscheinSummen")), {{QStringLiteral("id"), lieferscheinId}},
                           [&](data::Dataset& q) {
                               data::Field n = q.FieldByName(QStringLiteral("Netto"));
                               data::Field s = q.FieldByName(QStringLiteral("Steuer"));
                               if (!q.IsEmpty() && !n.isNull() && !s.isNull()) {
                                   netto = n.asFloat();
                                   steuer = s.asFloat();
                               }
                           });
    } catch (const std::exception&) {
        netto = 0;
        steuer = 0;
    }
}

QString TDMOrdavo::LeseText(const QString& sql, const QString& ersatz)
{
    try {
        const QVariant wert = data::AbfrageWert(ADOQuery, sql);
        if (!wert.isNull()) return wert.typeId() == QMetaType::QDate ? data::Datumstext(wert.toDate()) : wert.toString();
    } catch (const std::exception&) {
    }
    return ersatz;
}

QString TDMOrdavo::LeseZahlungsbedingungen()
{
    return LeseText(QStringLiteral("select Zahlungsbedingungen from t_Stammdaten"), QStringLiteral("keine Angegeben"));
}

QString TDMOrdavo::LeseMahnungstext()
{
    return LeseText(QStringLiteral("select Mahnungstext from t_Stammdaten"), QStringLiteral("kein Angegeben"));
}

QString TDMOrdavo::LeseBankverbindungen()
{
    return LeseText(QStringLiteral("select Bankverbindungen from t_Stammdaten"), QStringLiteral("keine Angegeben"));
}

QString TDMOrdavo::LeseZusatztext()
{
    return LeseText(QStringLiteral("select Zusatztext from t_Stammdaten"), QStringLiteral("kein Angegeben"));
}
