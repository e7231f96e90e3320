#pragma once

#include <libpq-fe.h>

#include <memory>

namespace server {

// Type numbers of the server's built-in types (pg_type.oid); fixed since ever.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700, kDate = 1082;

// A result of libpq, freed when it goes out of scope.
struct ErgebnisFreigeben {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Ergebnis = std::unique_ptr<PGresult, ErgebnisFreigeben>;

}  // namespace server
