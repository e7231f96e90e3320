#pragma once
// The program's statements, datasets and transactions on the database
// server: the engine data::Verbindung uses when Ordavo.ini names a server.
#include <QString>
#include <memory>

namespace data {
class Motor;
}

namespace server {

// Connects to the server named by the libpq connection string `angabe` and
// checks that the database holds this program's tables in a version it
// understands. Throws data::Fehler with a German message (server not
// reachable, login refused, no Ordavo tables, newer schema).
std::unique_ptr<data::Motor> MotorOeffnen(const QString& angabe);

// Makes every connection the program opens from now on use the server
// `angabe`; an empty `angabe` keeps the file.
void ServerWaehlen(const QString& angabe);

}  // namespace server
