#include "tools/bench/RohPg.h"

#include "server/Dialekt.h"
#include "server/PgVerbindung.h"

#include <libpq-fe.h>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace bench {

struct RohPg::Ergebnis {
    std::unique_ptr<PGresult, void (*)(PGresult*)> r{nullptr, PQclear};
};

RohPg::RohPg(const QString& angabe)
{
    m_conn = PQconnectdb(angabe.toUtf8().constData());
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const std::string text = m_conn ? PQerrorMessage(m_conn) : "zu wenig Speicher";
        PQfinish(m_conn);
        m_conn = nullptr;
        throw std::runtime_error("Server nicht erreichbar: " + text);
    }
}

RohPg::~RohPg() { PQfinish(m_conn); }

RohPg::Ergebnis RohPg::Ausfuehren(const QString& sql, const QVariantMap& parameter)
{
    auto it = m_uebersetzt.constFind(sql);
    if (it == m_uebersetzt.constEnd()) {
        const server::Uebersetzung u = server::NachPostgres(sql);
        it = m_uebersetzt.insert(sql, {u.sql.toUtf8(), u.parameter});
    }
    const QStringList& namen = it->second;
    std::vector<QByteArray> werte(size_t(namen.size()));
    std::vector<const char*> zeiger(size_t(namen.size()), nullptr);
    for (int i = 0; i < namen.size(); ++i) {
        QVariant w = parameter.value(namen.at(i));
        if (!w.isValid()) w = parameter.value(QLatin1Char(':') + namen.at(i));
        if (!w.isValid() || w.isNull()) continue;
        werte[size_t(i)] = server::AlsText(w);
        zeiger[size_t(i)] = werte[size_t(i)].constData();
    }
    Ergebnis e;
    e.r.reset(PQexecParams(m_conn, it->first.constData(), int(zeiger.size()), nullptr, zeiger.data(), nullptr, nullptr, 0));
    const ExecStatusType s = e.r ? PQresultStatus(e.r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string(e.r ? PQresultErrorMessage(e.r.get()) : PQerrorMessage(m_conn)) + " in " +
                                 it->first.constData());
    return e;
}

void RohPg::Ausfuehren(const QString& sql) { Ausfuehren(sql, {}); }

qint64 RohPg::AlleZeilen(const QString& sql, const QVariantMap& parameter)
{
    const Ergebnis e = Ausfuehren(sql, parameter);
    const PGresult* r = e.r.get();
    const int zeilen = PQntuples(r), spalten = PQnfields(r);
    // Each value as its type, as a program would take it: numbers converted, text touched.
    std::vector<bool> zahl(static_cast<size_t>(spalten));
    for (int k = 0; k < spalten; ++k) {
        const Oid t = PQftype(r, k);
        zahl[size_t(k)] = t == 20 || t == 21 || t == 23 || t == 700 || t == 701 || t == 1700;
    }
    quint64 pruef = 0;
    for (int z = 0; z < zeilen; ++z)
        for (int k = 0; k < spalten; ++k) {
            if (PQgetisnull(r, z, k)) {
                ++pruef;
                continue;
            }
            const char* v = PQgetvalue(r, z, k);
            if (zahl[size_t(k)]) pruef += quint64(std::strtod(v, nullptr));
            else pruef += quint64(PQgetlength(r, z, k)) + quint64(static_cast<unsigned char>(v[0]));
        }
    static volatile quint64 senke = 0;
    senke = senke + pruef;
    return zeilen;
}

QVariant RohPg::Wert(const QString& sql, const QVariantMap& parameter)
{
    const Ergebnis e = Ausfuehren(sql, parameter);
    const PGresult* r = e.r.get();
    if (PQntuples(r) < 1 || PQnfields(r) < 1 || PQgetisnull(r, 0, 0)) return {};
    const char* v = PQgetvalue(r, 0, 0);
    switch (PQftype(r, 0)) {
    case 20:
    case 21:
    case 23: return qint64(std::strtoll(v, nullptr, 10));
    case 700:
    case 701:
    case 1700: return std::strtod(v, nullptr);
    default: return QString::fromUtf8(v);
    }
}

QString RohPg::ServerVersion() const
{
    const int v = PQserverVersion(m_conn);
    return QStringLiteral("PostgreSQL %1.%2").arg(v / 10000).arg(v % 10000);
}

}  // namespace bench
