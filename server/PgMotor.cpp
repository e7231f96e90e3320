#include "server/PgMotor.h"

#include "data/Fehler.h"
#include "data/Motor.h"
#include "data/Schemaversion.h"
#include "data/Verbindung.h"
#include "server/Dialekt.h"
#include "server/PgSchema.h"
#include "server/PgTypen.h"
#include "server/PgVerbindung.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <libpq-fe.h>
#include <cstdlib>
#include <vector>

namespace server {

namespace {

QString Feld(const PGresult* r, int feld)
{
    const char* t = r ? PQresultErrorField(r, feld) : nullptr;
    return t ? QString::fromUtf8(t) : QString();
}

class PgMotor;

class PgAnweisung final : public data::FernAnweisung {
public:
    PgAnweisung(PgMotor& motor, const Uebersetzung& u) : m_motor(motor), m_sql(u.sql.toUtf8()), m_namen(u.parameter)
    {
        m_werte.resize(size_t(m_namen.size()));
        m_gesetzt.assign(size_t(m_namen.size()), false);
    }

    int parameterAnzahl() const override { return int(m_namen.size()); }
    QString parameterName(int index) const override { return m_namen.value(index - 1); }
    void binde(int index, const QVariant& wert) override
    {
        if (index < 1 || index > int(m_werte.size())) return;
        const size_t i = size_t(index - 1);
        m_gesetzt[i] = wert.isValid() && !wert.isNull();
        if (!m_gesetzt[i]) m_werte[i].clear();
        else if (wert.typeId() == QMetaType::QByteArray) m_werte[i] = QByteArray("\\x") + wert.toByteArray().toHex();
        else m_werte[i] = AlsText(wert);
    }
    void zuruecksetzen() override
    {
        m_ergebnis.reset();
        m_zeile = -1;
        std::fill(m_gesetzt.begin(), m_gesetzt.end(), false);
    }
    bool schritt() override
    {
        Ausfuehren();
        if (m_zeile < PQntuples(m_ergebnis.get())) ++m_zeile;
        return m_zeile < PQntuples(m_ergebnis.get());
    }
    int geaendert() override
    {
        Ausfuehren();
        return QByteArray(PQcmdTuples(m_ergebnis.get())).toInt();
    }
    int spaltenAnzahl() override
    {
        Ausfuehren();
        return PQnfields(m_ergebnis.get());
    }
    QString spaltenname(int spalte) override
    {
        Ausfuehren();
        return QString::fromUtf8(PQfname(m_ergebnis.get(), spalte));
    }
    QString tabelle(int spalte) override;
    QString herkunft(int spalte) override;
    data::Wertart art(int spalte) const override
    {
        const PGresult* r = m_ergebnis.get();
        if (!r || m_zeile < 0 || m_zeile >= PQntuples(r) || PQgetisnull(r, m_zeile, spalte)) return data::Wertart::Null;
        switch (PQftype(r, spalte)) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid: return data::Wertart::Ganzzahl;
        case kFloat4:
        case kFloat8: return data::Wertart::Zahl;
        case kNumeric: {
            // A sum of whole numbers is whole, as in the file.
            const char* v = PQgetvalue(r, m_zeile, spalte);
            return std::strpbrk(v, ".eEN") ? data::Wertart::Zahl : data::Wertart::Ganzzahl;
        }
        case kBytea: return data::Wertart::Blob;
        default: return data::Wertart::Text;
        }
    }
    qint64 ganzzahl(int spalte) const override
    {
        const char* v = Roh(spalte);
        if (PQftype(m_ergebnis.get(), spalte) == kBool) return *v == 't' ? 1 : 0;
        if (std::strpbrk(v, ".eEN")) return qint64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double zahl(int spalte) const override
    {
        const char* v = Roh(spalte);
        if (PQftype(m_ergebnis.get(), spalte) == kBool) return *v == 't' ? 1 : 0;
        return std::strtod(v, nullptr);
    }
    std::string_view text(int spalte) const override
    {
        const PGresult* r = m_ergebnis.get();
        if (PQftype(r, spalte) == kBytea) {
            size_t n = 0;
            unsigned char* b = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r, m_zeile, spalte)), &n);
            m_blob = QByteArray(reinterpret_cast<const char*>(b), qsizetype(n));
            PQfreemem(b);
            return std::string_view(m_blob.constData(), size_t(m_blob.size()));
        }
        return std::string_view(PQgetvalue(r, m_zeile, spalte), size_t(PQgetlength(r, m_zeile, spalte)));
    }
    void setWertsuche(data::Wertsuche werte) override { m_wertsuche = std::move(werte); }

private:
    const char* Roh(int spalte) const { return PQgetvalue(m_ergebnis.get(), m_zeile, spalte); }
    void Ausfuehren();

    PgMotor& m_motor;
    QByteArray m_sql;
    QStringList m_namen;
    std::vector<QByteArray> m_werte;
    std::vector<bool> m_gesetzt;
    Ergebnis m_ergebnis;
    int m_zeile = -1;
    mutable QByteArray m_blob;
    data::Wertsuche m_wertsuche;
};

class PgMotor final : public data::Motor {
public:
    explicit PgMotor(const QString& angabe) : m_db(angabe)
    {
        const QString name = m_db.Datenbank();
        m_ort = QStringLiteral("Datenbank %1 auf %2").arg(name, Rechner());
        if (m_db.Wert(QStringLiteral("SELECT to_regclass('%1')::text").arg(VersionsTabelle())).isNull())
            throw data::Fehler(QStringLiteral("Die Datenbank %1 auf dem Server enthält keine Ordavo-Tabellen. Bitte legen Sie sie "
                                              "mit »leere_datenbank --server« an oder übernehmen Sie Ihre Daten mit "
                                              "»datenuebernahme --server«.").arg(name));
        const int version = int(m_db.Wert(QStringLiteral("SELECT max(version) FROM %1").arg(VersionsTabelle())).toLongLong());
        if (version > data::kSchemaversion)
            throw data::Fehler(QStringLiteral("Die Datenbank %1 auf dem Server wurde von einer neueren Ordavo-Version angelegt "
                                              "(Version %2, diese kennt %3). Bitte installieren Sie die neue Version.")
                                   .arg(name).arg(version).arg(data::kSchemaversion));
        if (version < data::kSchemaversion)
            throw data::Fehler(QStringLiteral("Die Datenbank %1 auf dem Server hat eine ältere Version (%2) als diese Ordavo-Version "
                                              "(%3) und kann nicht geöffnet werden.").arg(name).arg(version).arg(data::kSchemaversion));
        // Each table's row key: its primary key or unique column where it has
        // a single one, the physical row address otherwise.
        const PgErgebnis schluessel = m_db.Abfrage(QStringLiteral(
            "SELECT c.relname, min(a.attname) FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
            "JOIN pg_namespace n ON n.oid = c.relnamespace "
            "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = i.indkey[0] "
            "WHERE n.nspname = current_schema() AND i.indisunique AND i.indnkeyatts = 1 "
            "GROUP BY c.relname, i.indisprimary ORDER BY i.indisprimary"));
        for (const auto& z : schluessel.zeilen) m_schluessel.insert(z.at(0).toString(), z.at(1).toString());
    }

    std::unique_ptr<data::FernAnweisung> bereite(const QString& sql) override
    {
        auto it = m_uebersetzt.constFind(sql);
        if (it == m_uebersetzt.constEnd()) it = m_uebersetzt.insert(sql, NachPostgres(sql));
        if (it->sql.trimmed().isEmpty()) throw data::Fehler(QStringLiteral("Leere SQL-Anweisung"));
        return std::make_unique<PgAnweisung>(*this, *it);
    }

    void ausfuehren(const QString& sql) override
    {
        for (const QString& teil : data::AnweisungenTeilen(sql)) {
            auto a = bereite(teil);
            a->geaendert();
        }
    }

    void beginnen() override
    {
        Befehl(m_tiefe == 0 ? QByteArray("BEGIN") : QByteArray("SAVEPOINT ordavo_") + QByteArray::number(m_tiefe));
        ++m_tiefe;
    }
    void bestaetigen() override
    {
        if (m_tiefe <= 0) return;
        const int t = m_tiefe - 1;
        if (t == 0) {
            // A failed COMMIT has rolled back: the transaction is over either way.
            m_tiefe = 0;
            Befehl("COMMIT");
        } else {
            Befehl(QByteArray("RELEASE SAVEPOINT ordavo_") + QByteArray::number(t));
            m_tiefe = t;
        }
    }
    void verwerfen() noexcept override
    {
        if (m_tiefe <= 0) return;
        const int t = --m_tiefe;
        PGconn* c = m_db.Handle();
        const QByteArray befehl = t == 0 ? QByteArray("ROLLBACK")
                                         : QByteArray("ROLLBACK TO SAVEPOINT ordavo_%1; RELEASE SAVEPOINT ordavo_%1").replace("%1", QByteArray::number(t));
        PQclear(PQexec(c, befehl.constData()));
    }

    QString zeilenschluessel(const QString& tabelle) const override
    {
        return m_schluessel.value(tabelle.toLower(), QStringLiteral("ctid"));
    }
    QString ort() const override { return m_ort; }

    PGconn* conn() const { return m_db.Handle(); }

    // Runs a statement. A text run before is prepared on the server the
    // second time and from then on only executed: moving between notes runs
    // the same few statements again and again, and parsing and planning them
    // each time cost more than executing them. A text run once (values
    // written into it) is not kept on the server.
    PGresult* Ausfuehren(const QByteArray& sql, int anzahl, const char* const* werte)
    {
        PGconn* c = m_db.Handle();
        auto it = m_vorbereitet.constFind(sql);
        if (it == m_vorbereitet.constEnd()) {
            if (m_gesehen.size() > 4 * kHoechstensVorbereitet) m_gesehen.clear();
            int& gesehen = m_gesehen[sql];
            if (++gesehen < 2 || m_vorbereitet.size() >= kHoechstensVorbereitet)
                return PQexecParams(c, sql.constData(), anzahl, nullptr, werte, nullptr, nullptr, 0);
            const QByteArray name = QByteArray("ordavo_") + QByteArray::number(++m_namen);
            Ergebnis r(PQprepare(c, name.constData(), sql.constData(), anzahl, nullptr));
            // A statement the server refuses is reported as when it runs; it is not kept.
            if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK) return r.release();
            m_gesehen.remove(sql);
            it = m_vorbereitet.insert(sql, name);
        }
        PGresult* r = PQexecPrepared(c, it->constData(), anzahl, werte, nullptr, nullptr, 0);
        // The tables changed under the prepared statement (a newer program
        // altered them): the next run prepares the text afresh.
        if (r && PQresultStatus(r) == PGRES_FATAL_ERROR && Feld(r, PG_DIAG_SQLSTATE) == QLatin1String("0A000"))
            m_vorbereitet.remove(sql);
        return r;
    }

    // The table and column a result column comes from, cached per column.
    QPair<QString, QString> Herkunft(Oid tabelle, int spalte)
    {
        if (tabelle == InvalidOid || spalte <= 0) return {};
        const quint64 k = (quint64(tabelle) << 16) | quint64(spalte);
        auto it = m_herkunft.constFind(k);
        if (it != m_herkunft.constEnd()) return *it;
        const PgErgebnis e = m_db.Abfrage(QStringLiteral("SELECT c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                                                         "WHERE a.attrelid = $1 AND a.attnum = $2"),
                                          {qint64(tabelle), qint64(spalte)});
        QPair<QString, QString> h;
        if (!e.zeilen.isEmpty()) h = {e.zeilen.first().at(0).toString(), e.zeilen.first().at(1).toString()};
        m_herkunft.insert(k, h);
        return h;
    }

    [[noreturn]] void Fehlschlag(const PGresult* r, const data::Wertsuche& werte) const
    {
        PGconn* c = m_db.Handle();
        const QString text = (r ? QString::fromUtf8(PQresultErrorMessage(r)) : QString::fromUtf8(PQerrorMessage(c))).trimmed();
        if (PQstatus(c) == CONNECTION_BAD)
            throw data::Fehler(QStringLiteral("Die Verbindung zum Datenbankserver ist abgebrochen. Bitte prüfen Sie das Netzwerk und "
                                              "ob der Server läuft, und starten Sie Ordavo dann neu.\n%1").arg(text));
        const QString code = Feld(r, PG_DIAG_SQLSTATE);
        using data::Fehlerart;
        if (code == QLatin1String("23505")) {
            const QString tabelle = Feld(r, PG_DIAG_TABLE_NAME);
            static const QRegularExpression schluessel(QStringLiteral("\\(\"?([A-Za-z_0-9]+)\"?\\)=\\("));
            const QString spalte = schluessel.match(Feld(r, PG_DIAG_MESSAGE_DETAIL)).captured(1);
            throw data::Fehler(data::Datenbankmeldung(Fehlerart::Doppelt, text, tabelle, spalte, werte),
                               spalte.isEmpty() ? QString() : tabelle + QLatin1Char('.') + spalte);
        }
        Fehlerart art = Fehlerart::Sonstiges;
        if (code == QLatin1String("23503")) art = Fehlerart::Fremdschluessel;
        else if (code.startsWith(QLatin1String("23")) || code.startsWith(QLatin1String("22"))) art = Fehlerart::Abgelehnt;
        else if (code == QLatin1String("40001") || code == QLatin1String("40P01") || code == QLatin1String("55P03")) art = Fehlerart::Belegt;
        else if (code == QLatin1String("53100")) art = Fehlerart::Voll;
        else if (code == QLatin1String("25006") || code == QLatin1String("42501")) art = Fehlerart::Schreibgeschuetzt;
        throw data::Fehler(data::Datenbankmeldung(art, text));
    }

private:
    QString Rechner() const
    {
        const char* h = PQhost(m_db.Handle());
        return h && *h && *h != '/' ? QString::fromUtf8(h) : QStringLiteral("diesem Rechner");
    }
    void Befehl(const QByteArray& sql)
    {
        Ergebnis r(PQexec(m_db.Handle(), sql.constData()));
        if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK) Fehlschlag(r.get(), {});
    }

    PgVerbindung m_db;
    QString m_ort;
    int m_tiefe = 0;
    QHash<QString, Uebersetzung> m_uebersetzt;
    QHash<quint64, QPair<QString, QString>> m_herkunft;
    QHash<QString, QString> m_schluessel;
    // Prepared statements of this connection by their text, and how often
    // each text not yet prepared has been run (bounded: texts with values
    // written in never repeat).
    static constexpr int kHoechstensVorbereitet = 500;
    QHash<QByteArray, QByteArray> m_vorbereitet;
    QHash<QByteArray, int> m_gesehen;
    int m_namen = 0;
};

void PgAnweisung::Ausfuehren()
{
    if (m_ergebnis) return;
    std::vector<const char*> zeiger(m_werte.size());
    for (size_t i = 0; i < m_werte.size(); ++i) zeiger[i] = m_gesetzt[i] ? m_werte[i].constData() : nullptr;
    m_ergebnis.reset(m_motor.Ausfuehren(m_sql, int(zeiger.size()), zeiger.data()));
    const ExecStatusType s = m_ergebnis ? PQresultStatus(m_ergebnis.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        Ergebnis weg = std::move(m_ergebnis);
        m_motor.Fehlschlag(weg.get(), m_wertsuche);
    }
    m_zeile = -1;
}

QString PgAnweisung::tabelle(int spalte)
{
    Ausfuehren();
    return m_motor.Herkunft(PQftable(m_ergebnis.get(), spalte), PQftablecol(m_ergebnis.get(), spalte)).first;
}

QString PgAnweisung::herkunft(int spalte)
{
    Ausfuehren();
    return m_motor.Herkunft(PQftable(m_ergebnis.get(), spalte), PQftablecol(m_ergebnis.get(), spalte)).second;
}

}  // namespace

std::unique_ptr<data::Motor> MotorOeffnen(const QString& angabe) { return std::make_unique<PgMotor>(angabe); }

void ServerWaehlen(const QString& angabe)
{
    if (angabe.trimmed().isEmpty()) {
        data::Verbindung::SetzeMotorwahl({});
        return;
    }
    data::Verbindung::SetzeMotorwahl([angabe] { return MotorOeffnen(angabe); });
}

}  // namespace server
