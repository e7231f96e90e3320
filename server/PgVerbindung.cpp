#include "server/PgVerbindung.h"

#include "data/Fehler.h"
#include "server/PgTypen.h"

#include <QDate>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace server {

namespace {

QString Meldung(const char* text) { return QString::fromUtf8(text).trimmed(); }

QVariant Umwandeln(const PGresult* r, int zeile, int spalte)
{
    if (PQgetisnull(r, zeile, spalte)) return QVariant();
    const char* v = PQgetvalue(r, zeile, spalte);
    switch (PQftype(r, spalte)) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: return QVariant(qint64(QByteArray(v).toLongLong()));
    case kFloat4:
    case kFloat8:
    case kNumeric: return QVariant(QByteArray(v).toDouble());
    case kBool: return QVariant(qint64(v[0] == 't' ? -1 : 0));
    case kDate: return QVariant(QDate::fromString(QString::fromLatin1(v), Qt::ISODate));
    default: return QVariant(QString::fromUtf8(v));
    }
}

void Stumm(void*, const char*) {}

}  // namespace

QString VerbindungsangabePruefen(const QString& angabe)
{
    char* fehler = nullptr;
    PQconninfoOption* optionen = PQconninfoParse(angabe.toUtf8().constData(), &fehler);
    if (!optionen) {
        const QString text = fehler ? Meldung(fehler) : QStringLiteral("zu wenig Speicher");
        PQfreemem(fehler);
        throw data::Fehler(QStringLiteral("Die Verbindungsangabe für den Datenbankserver ist ungültig: %1").arg(text));
    }
    bool kennwort = false;
    QString datenbank;
    for (PQconninfoOption* o = optionen; o->keyword; ++o) {
        if (!o->val || !*o->val) continue;
        if (qstrcmp(o->keyword, "password") == 0) kennwort = true;
        if (qstrcmp(o->keyword, "dbname") == 0) datenbank = QString::fromUtf8(o->val);
    }
    PQconninfoFree(optionen);
    if (kennwort)
        throw data::Fehler(QStringLiteral(
            "Die Verbindungsangabe für den Datenbankserver enthält ein Kennwort. Das Kennwort gehört in die Datei "
            "~/.pgpass (oder in die Datei, die PGPASSFILE nennt), nicht in die Verbindungsangabe."));
    return datenbank;
}

QByteArray AlsText(const QVariant& wert)
{
    switch (wert.typeId()) {
    case QMetaType::QDate: return wert.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::Double:
    case QMetaType::Float: return QByteArray::number(wert.toDouble(), 'g', 17);
    case QMetaType::Bool: return wert.toBool() ? QByteArray("-1") : QByteArray("0");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return QByteArray::number(wert.toLongLong());
    default: return wert.toString().toUtf8();
    }
}

PgVerbindung::PgVerbindung(const QString& angabe)
{
    VerbindungsangabePruefen(angabe);
    m_conn = PQconnectdb(angabe.toUtf8().constData());
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString text = m_conn ? Meldung(PQerrorMessage(m_conn)) : QStringLiteral("zu wenig Speicher");
        const bool ohneKennwort = m_conn && PQconnectionNeedsPassword(m_conn);
        const bool kennwortFalsch = m_conn && PQconnectionUsedPassword(m_conn);
        PQfinish(m_conn);
        m_conn = nullptr;
        QString satz;
        if (ohneKennwort)
            satz = QStringLiteral("Der Datenbankserver verlangt ein Kennwort, aber es ist keines hinterlegt. Bitte tragen Sie es "
                                  "in die Datei ~/.pgpass ein (oder in die Datei, die PGPASSFILE nennt).");
        else if (kennwortFalsch || text.contains(QLatin1String("authentication"), Qt::CaseInsensitive) ||
                 text.contains(QLatin1String("Authentifizierung"), Qt::CaseInsensitive))
            satz = QStringLiteral("Der Datenbankserver hat die Anmeldung abgelehnt. Bitte prüfen Sie Benutzername und Kennwort "
                                  "(in ~/.pgpass) und die Freigabe für diesen Rechner auf dem Server.");
        else if (text.contains(QLatin1String("does not exist")) || text.contains(QLatin1String("existiert nicht")))
            satz = QStringLiteral("Die Datenbank oder der Benutzer ist auf dem Datenbankserver nicht vorhanden. Bitte prüfen Sie "
                                  "die Angabe Server im Abschnitt [Datenbank] von Ordavo.ini.");
        else
            satz = QStringLiteral("Der Datenbankserver ist nicht erreichbar. Bitte prüfen Sie, ob der Server läuft und ob die "
                                  "Angabe Server im Abschnitt [Datenbank] von Ordavo.ini stimmt.");
        throw data::Fehler(QStringLiteral("%1\nDie Verbindung zum Datenbankserver ist fehlgeschlagen: %2").arg(satz, text));
    }
    PQsetNoticeProcessor(m_conn, &Stumm, nullptr);
    try {
        if (PQsetClientEncoding(m_conn, "UTF8") != 0) throw data::Fehler(Meldung(PQerrorMessage(m_conn)));
        // Dates are read and written as YYYY-MM-DD, as the file keeps them.
        Ausfuehren(QStringLiteral("SET DateStyle = ISO; SET IntervalStyle = iso_8601"));
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

PgVerbindung::~PgVerbindung() { PQfinish(m_conn); }

QString PgVerbindung::Datenbank() const { return QString::fromUtf8(PQdb(m_conn)); }

void PgVerbindung::Ausfuehren(const QString& sql)
{
    Ergebnis r(PQexec(m_conn, sql.toUtf8().constData()));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw data::Fehler(Meldung(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_conn)));
}

PgErgebnis PgVerbindung::Abfrage(const QString& sql, const QList<QVariant>& werte)
{
    std::vector<QByteArray> texte;
    std::vector<const char*> zeiger;
    texte.reserve(size_t(werte.size()));
    for (const QVariant& w : werte) {
        if (w.isNull()) {
            texte.emplace_back();
            zeiger.push_back(nullptr);
        } else {
            texte.push_back(AlsText(w));
            zeiger.push_back(texte.back().constData());
        }
    }
    Ergebnis r(PQexecParams(m_conn, sql.toUtf8().constData(), int(zeiger.size()), nullptr, zeiger.data(), nullptr,
                            nullptr, 0));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw data::Fehler(Meldung(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_conn)));
    PgErgebnis e;
    const int spalten = PQnfields(r.get());
    for (int k = 0; k < spalten; ++k) e.spalten << QString::fromUtf8(PQfname(r.get(), k));
    const int zeilen = PQntuples(r.get());
    e.zeilen.reserve(zeilen);
    for (int z = 0; z < zeilen; ++z) {
        QList<QVariant> zeile;
        zeile.reserve(spalten);
        for (int k = 0; k < spalten; ++k) zeile << Umwandeln(r.get(), z, k);
        e.zeilen << zeile;
    }
    e.geaendert = QByteArray(PQcmdTuples(r.get())).toInt();
    return e;
}

QVariant PgVerbindung::Wert(const QString& sql, const QList<QVariant>& werte)
{
    const PgErgebnis e = Abfrage(sql, werte);
    return e.zeilen.isEmpty() || e.zeilen.first().isEmpty() ? QVariant() : e.zeilen.first().first();
}

}  // namespace server
