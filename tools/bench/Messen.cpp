#include "tools/bench/Messen.h"

#include <QDate>
#include <QFile>
#include <QSysInfo>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

namespace bench {

double Millis(const std::function<void()>& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double Median(std::vector<double> w)
{
    if (w.empty()) return -1;
    std::sort(w.begin(), w.end());
    const size_t n = w.size();
    return n % 2 ? w[n / 2] : (w[n / 2 - 1] + w[n / 2]) / 2.0;
}

Paar Abwechselnd(int n, const std::function<void()>& programm, const std::function<void()>& roh)
{
    std::vector<double> p, r;
    for (int i = 0; i < n; ++i) {
        p.push_back(Millis(programm));
        if (roh) r.push_back(Millis(roh));
    }
    return {Median(p), roh ? Median(r) : -1};
}

qint64 Resident()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> teile = f.readAll().split(' ');
    if (teile.size() < 2) return -1;
    return teile.at(1).toLongLong() * qint64(sysconf(_SC_PAGESIZE));
}

void SpeicherZurueckgeben() { malloc_trim(0); }

// ---------------------------------------------------------------- raw

void Binden(sqlite3_stmt* st, const QVariantMap& parameter)
{
    for (auto it = parameter.begin(); it != parameter.end(); ++it) {
        const QString name = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
        const int idx = sqlite3_bind_parameter_index(st, name.toUtf8().constData());
        if (idx <= 0) continue;
        const QVariant& v = it.value();
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong: sqlite3_bind_int64(st, idx, v.toLongLong()); break;
        case QMetaType::Double: sqlite3_bind_double(st, idx, v.toDouble()); break;
        case QMetaType::QDate: {
            const QByteArray b = v.toDate().toString(Qt::ISODate).toUtf8();
            sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray b = v.toString().toUtf8();
            sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        }
    }
}

qint64 AllesLesen(sqlite3_stmt* st)
{
    qint64 zeilen = 0;
    quint64 pruef = 0;  // keeps the reads from being optimised away
    const int n = sqlite3_column_count(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++zeilen;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: pruef += quint64(sqlite3_column_int64(st, i)); break;
            case SQLITE_FLOAT: pruef += quint64(sqlite3_column_double(st, i)); break;
            case SQLITE_NULL: ++pruef; break;
            default: {
                const unsigned char* t = sqlite3_column_text(st, i);
                const int b = sqlite3_column_bytes(st, i);
                pruef += quint64(b) + (b ? t[0] : 0);
            }
            }
        }
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(st)));
    sqlite3_reset(st);
    static volatile quint64 senke = 0;
    senke = senke + pruef;
    return zeilen;
}

Roh::Roh(const QString& datei)
{
    if (sqlite3_open_v2(datei.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("sqlite3_open_v2: ") + sqlite3_errmsg(m_db));
    sqlite3_busy_timeout(m_db, 5000);
    Ausfuehren(QStringLiteral("PRAGMA foreign_keys = ON"));
}

Roh::~Roh()
{
    for (auto& c : m_cache) sqlite3_finalize(c.second);
    sqlite3_close(m_db);
}

void Roh::Ausfuehren(const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string text = err ? err : sqlite3_errmsg(m_db);
        sqlite3_free(err);
        throw std::runtime_error(text);
    }
}

sqlite3_stmt* Roh::Anweisung(const QString& sql, const QVariantMap& parameter)
{
    sqlite3_stmt* st = nullptr;
    for (auto& c : m_cache)
        if (c.first == sql) st = c.second;
    if (!st) {
        const QByteArray b = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, b.constData(), int(b.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in " + b.constData());
        m_cache.emplace_back(sql, st);
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    Binden(st, parameter);
    return st;
}

qint64 Roh::AlleZeilen(const QString& sql, const QVariantMap& parameter) { return AllesLesen(Anweisung(sql, parameter)); }

QVariant Roh::Wert(const QString& sql, const QVariantMap& parameter)
{
    sqlite3_stmt* st = Anweisung(sql, parameter);
    QVariant v;
    if (sqlite3_step(st) == SQLITE_ROW) {
        switch (sqlite3_column_type(st, 0)) {
        case SQLITE_INTEGER: v = qint64(sqlite3_column_int64(st, 0)); break;
        case SQLITE_FLOAT: v = sqlite3_column_double(st, 0); break;
        case SQLITE_NULL: break;
        default: v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
    }
    sqlite3_reset(st);
    return v;
}

// ---------------------------------------------------------------- table

QString Ms(double ms)
{
    if (ms < 0) return QStringLiteral("–");
    if (ms >= 1000) return QString::number(ms / 1000.0, 'f', 2) + QStringLiteral(" s");
    if (ms >= 10) return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
    return QString::number(ms, 'f', 3) + QStringLiteral(" ms");
}

QString Faktor(double f) { return QString::number(f, 'f', 2) + QStringLiteral(" ×"); }

void Tabelle::Hinzu(const Zeile& z)
{
    m_zeilen.push_back(z);
    // Progress while a long run goes on.
    std::fprintf(stderr, "  %-58s %12s  %12s  %10s  %s\n", z.messung.toUtf8().constData(), Ms(z.programm).toUtf8().constData(),
                 Ms(z.roh).toUtf8().constData(), z.verhaeltnis.toUtf8().constData(),
                 z.erreicht == 1 ? "ok" : z.erreicht == 0 ? "VERFEHLT" : "");
}

QString Tabelle::Markdown() const
{
    QString s = QStringLiteral("| Messung | Programm (Median) | Bezug (Median) | Bezug ist | Verhältnis | Ziel | erreicht |\n"
                               "|---|---:|---:|---|---:|---|---|\n");
    for (const Zeile& z : m_zeilen) {
        s += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n")
                 .arg(z.messung, Ms(z.programm), Ms(z.roh), z.bezug, z.verhaeltnis, z.ziel,
                      z.erreicht == 1 ? QStringLiteral("ja") : z.erreicht == 0 ? QStringLiteral("**nein**") : QString());
    }
    if (!m_notizen.isEmpty()) {
        s += QLatin1Char('\n');
        for (const QString& n : m_notizen) s += QStringLiteral("- ") + n + QLatin1Char('\n');
    }
    return s;
}

QString Maschine()
{
    QString cpu;
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& z : f.readAll().split('\n'))
            if (z.startsWith("model name")) {
                cpu = QString::fromUtf8(z.mid(z.indexOf(':') + 1)).trimmed();
                break;
            }
    }
    const long kerne = sysconf(_SC_NPROCESSORS_ONLN);
    const double gib = double(sysconf(_SC_PHYS_PAGES)) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024 * 1024);
    return QStringLiteral("%1, %2 Kerne, %3 GiB RAM; %4; SQLite %5; Qt %6")
        .arg(cpu.isEmpty() ? QStringLiteral("unbekannter Prozessor") : cpu)
        .arg(kerne)
        .arg(gib, 0, 'f', 0)
        .arg(QSysInfo::prettyProductName(), QString::fromLatin1(sqlite3_libversion()), QString::fromLatin1(qVersion()));
}

}  // namespace bench
