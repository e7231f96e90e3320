#pragma once
// The program's statements are written for the embedded database (bracketed
// names, IIf, a case-blind like, named parameters). The server speaks
// PostgreSQL; this turns one statement into the other without changing what
// it returns.
#include <QString>
#include <QStringList>

namespace server {

struct Uebersetzung {
    QString sql;
    // The name of $1, $2, … in order; a name used twice keeps its number.
    // A positional "?" or "?n" has an empty name.
    QStringList parameter;
};

// Rules of the translation (the server's schema keeps every name in lower case):
// - [name] and "name" become "name" in lower case; unquoted names are left
//   to the server, which folds them to lower case itself;
// - :name becomes $n, ? becomes the next $n, ?n becomes $n;
// - IIf(c, a, b) becomes CASE WHEN c THEN a ELSE b END, a bare c (a yes/no
//   column holding -1 or 0) is tested with <> 0;
// - like becomes ILIKE under a Unicode collation, without an escape
//   character unless the statement gives one;
// - a divisor becomes NULLIF(divisor, 0): a division by zero is NULL here,
//   not an error;
// - ORDER BY puts NULL first in ascending and last in descending order;
// - a IS b and a IS NOT b (b not NULL) compare with NULL equal to NULL;
// - true and false are -1 and 0, == is =, a trailing ; is dropped;
// - temp.name (a temporary table) becomes pg_temp.name.
Uebersetzung NachPostgres(const QString& sql);

// The collation under which like compares without regard to case.
QString LikeSortierung();

}  // namespace server
