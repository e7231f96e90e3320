#pragma once
// Databases of their own on the private test server that ctest starts
// (fixture testserver, connection in ORDAVO_TEST_PG). Defined in
// support/server/Testserver.cpp; only tests linked with the server half
// of the test support may use them.
#include <QString>

namespace test {

// The test server's connection string; ends the test program with a clear
// message when the server is not running.
QString ServerAngabe();

// An empty database (or one with the program's tables) on the test server,
// dropped again at the end.
class Serverdatenbank {
public:
    explicit Serverdatenbank(bool mitSchema = false);
    ~Serverdatenbank();
    Serverdatenbank(const Serverdatenbank&) = delete;
    Serverdatenbank& operator=(const Serverdatenbank&) = delete;
    QString name() const { return m_name; }
    QString angabe() const;

private:
    QString m_name;
};

}  // namespace test
