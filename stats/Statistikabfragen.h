#pragma once
// The statements the statistics run, and the formats their reports share.
//
// The catalogue statements join the names to every item and group by text
// columns; on a large history that costs many times a plain scan of the
// items. These statements return the same rows and columns in the same
// order: they sum the items by key first and join the names to the sums.
#include <QString>

class QDate;
namespace data {
class Dataset;
class Field;
}  // namespace data

namespace stats {

// ADO_Auswertung_Artikel: per article, ordered by t_artikel.id.
QString SqlAuswertungArtikel();
// ADO_Auswertung_ArtikelKategorie_summen: per category, ordered by t_kategorie.id.
QString SqlAuswertungKategorie();
// ADO_Auswertung_Adressen: per article of one customer (:id), sales descending.
QString SqlAuswertungAdressen();
// ADO_Auswertung_alle_Adressen: per group of equal address columns, sales descending.
QString SqlAuswertungAlleAdressen();

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
