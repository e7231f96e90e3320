#pragma once
// The statements the statistics run, and the formats their reports share.
//
// The catalogue statements join the names to every item and group by text
// columns; on a large history that costs many times a plain scan of the
// items. These statements return the same rows and columns in the same
// order: they read the sums that stats::Summieren (stats/Summieren.h) left
// for the period and join the names to them. Run Summieren first.
#include <QString>
#include <initializer_list>
#include <vector>

class QDate;
namespace data {
class Dataset;
class Field;
}  // namespace data

namespace stats {

// ADO_Auswertung_Artikel: per article, ordered by t_artikel.id (Schluessel::Artikel).
QString SqlAuswertungArtikel();
// ADO_Auswertung_Artikel_summen: one row over all items of the period (either key).
QString SqlAuswertungArtikelSummen();
// ADO_Auswertung_ArtikelKategorie_summen: per category, ordered by t_kategorie.id (Schluessel::Artikel).
QString SqlAuswertungKategorie();
// ADO_Auswertung_Adressen: per article of one customer (:id), sales descending
// (Schluessel::Artikel, summed for that customer).
QString SqlAuswertungAdressen();
// ADO_Auswertung_alle_Adressen: per group of equal address columns, sales descending (Schluessel::Kunde).
QString SqlAuswertungAlleAdressen();

// Closes datasets when the scope is left, also by an exception: the
// statistics' queries are open only while they are evaluated or printed.
class Schliessen {
public:
    Schliessen(std::initializer_list<data::Dataset*> ds) : m_ds(ds) {}
    ~Schliessen();
    Schliessen(const Schliessen&) = delete;
    Schliessen& operator=(const Schliessen&) = delete;

private:
    std::vector<data::Dataset*> m_ds;
};

// Sets the period parameters as dates.
void SetzeZeitraum(data::Dataset* ds, const QDate& von, const QDate& bis);

// What a share or markup column shows where it has no value.
QString OhneWert();
// "0.00 %": two decimals, no thousands separator, a blank and "%".
QString Prozent(double wert);
// "#,##0.00 %".
QString ProzentTausender(double wert);
// "#,##0.00 €"; an empty value as 0.
QString Betrag(const data::Field& f);

}  // namespace stats
