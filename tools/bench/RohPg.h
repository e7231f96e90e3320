#pragma once
// The reference on the database server: the program's statements, translated
// as the engine translates them, run directly with libpq (PQexecParams, text
// results), every value of every row read.
#include "tools/bench/Messen.h"

#include <QHash>
#include <QString>

struct pg_conn;

namespace server {
struct Uebersetzung;
}

namespace bench {

class RohPg final : public Bezug {
public:
    explicit RohPg(const QString& angabe);
    ~RohPg() override;
    RohPg(const RohPg&) = delete;
    RohPg& operator=(const RohPg&) = delete;

    void Ausfuehren(const QString& sql) override;
    qint64 AlleZeilen(const QString& sql, const QVariantMap& parameter = {}) override;
    QVariant Wert(const QString& sql, const QVariantMap& parameter = {}) override;

    // "PostgreSQL 15.4" of the server this connection talks to.
    QString ServerVersion() const;

private:
    struct Ergebnis;
    Ergebnis Ausfuehren(const QString& sql, const QVariantMap& parameter);

    pg_conn* m_conn = nullptr;
    // Translated once per text, as the engine does.
    QHash<QString, std::pair<QByteArray, QStringList>> m_uebersetzt;
};

}  // namespace bench
