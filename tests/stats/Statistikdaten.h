#pragma once
// A small history for the statistics tests: articles with and without unit
// and category, items at the year boundaries, equal sales, two addresses with
// equal columns, items without price or purchase price.
#include "TestUmgebung.h"

namespace statistikdaten {

inline void Anlegen()
{
    test::Sql("INSERT INTO t_einheit VALUES (1, 'Stk'), (2, 'kg')");
    test::Sql("INSERT INTO t_kategorie VALUES (1, 'Waren'), (2, 'Dienste'), (3, 'Leer')");
    test::Sql("INSERT INTO t_artikel (id, artikel_nr, artikel_bez, artikel_preis, artikel_Mwst, artikel_einkauf, artikel_einheit_id, artikel_kategorie_id) VALUES "
              "(1, 100, 'Schraube', 10, 20, 6, 1, 1),"
              "(2, 101, 'Mutter', 2.5, 20, 1, 2, 1),"
              "(3, 102, 'Ohne Einheit', 5, 20, 2, NULL, 2),"
              "(4, 103, 'Ohne Kategorie', 4, 20, 1, 1, NULL),"
              "(5, 90, 'Gratis', 0, 20, 3, 1, 2),"
              "(6, 104, 'Fremde Einheit', 1, 20, 1, 99, 1),"
              "(7, 105, 'Beratung', 20, 20, 0, 1, 2)");
    test::Sql("INSERT INTO t_adressen (id, adr_firma, adr_ganzername, adr_adresse, adr_plz, adr_ort, adr_kunde) VALUES "
              "(1, 'Alpha GmbH', 'Anna Alt', 'Amselweg 1', '1010', 'Wien', -1),"
              "(2, 'Beta KG', 'Bernd Bau', 'Birkenweg 2', '8010', 'Graz', -1),"
              "(3, 'Alpha GmbH', 'Anna Alt', 'Amselweg 1', '1010', 'Wien', -1),"
              "(4, NULL, 'Dora Dach', 'Dorfplatz 4', '4020', 'Linz', -1),"
              "(5, 'Epsilon', 'Emil Ende', 'Eschenweg 5', '5020', 'Salzburg', -1)");
    test::Sql("INSERT INTO t_lieferschein (id, lief_nr, lief_datum, lief_adresse_id) VALUES "
              "(1, 1, '2022-12-31', 1),"
              "(2, 2, '2023-01-01', 1),"
              "(3, 3, '2023-06-15', 2),"
              "(4, 4, '2023-12-31', 3),"
              "(5, 5, '2024-01-01', 4),"
              "(6, 6, '2023-06-15', 4)");
    test::Sql("INSERT INTO t_lieferschein_artikel (id, la_lieferschein_id, la_artikel_id, la_anzahl, la_preis, la_artikel_einkauf) VALUES "
              "(1, 1, 1, 1, 10, 6),"
              "(2, 2, 1, 2, 10, 6),"
              "(3, 2, 7, 1, 20, 0),"
              "(4, 2, 3, 4, 5, 2),"
              "(5, 3, 2, 3, 2.5, 1),"
              "(6, 3, 5, 2, 0, 3),"
              "(7, 3, 4, 1, 4, 1),"
              "(8, 4, 1, 1, 10, 6),"
              "(9, 4, 2, 2, 2.5, 2.5),"
              "(10, 5, 1, 5, 10, 6),"
              "(11, 6, 6, 1, 1, 1),"
              "(12, 6, 7, 1, 17.5, NULL),"
              "(13, 6, 2, 1, NULL, 1),"
              "(14, 3, 999, 1, 3, 1)");
}

}  // namespace statistikdaten
