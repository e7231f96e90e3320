#include "data/Dataset.h"

#include "data/DataSource.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/Verbindung.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace data {

namespace {

// ---- row encoding: per column a tag byte, then the value ----
enum : char { kNull = 0, kInt = 1, kReal = 2, kText = 3 };

void SchreibeVarint(std::string& out, quint64 v)
{
    while (v >= 0x80) {
        out.push_back(char((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.push_back(char(v));
}

quint64 LeseVarint(const char*& p)
{
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        unsigned char b = static_cast<unsigned char>(*p++);
        v |= quint64(b & 0x7f) << shift;
        if (!(b & 0x80)) break;
        shift += 7;
    }
    return v;
}

void SchreibeInt(std::string& out, qint64 v)
{
    out.push_back(kInt);
    SchreibeVarint(out, (quint64(v) << 1) ^ quint64(v >> 63));
}

void SchreibeReal(std::string& out, double d)
{
    out.push_back(kReal);
    char b[8];
    std::memcpy(b, &d, 8);
    out.append(b, 8);
}

void SchreibeText(std::string& out, const char* s, int n)
{
    out.push_back(kText);
    SchreibeVarint(out, quint64(n));
    out.append(s, size_t(n));
}

void Ueberspringen(const char*& p)
{
    char tag = *p++;
    switch (tag) {
    case kInt: LeseVarint(p); break;
    case kReal: p += 8; break;
    case kText: {
        quint64 n = LeseVarint(p);
        p += n;
        break;
    }
    default: break;
    }
}

// A new block is made with this room (or a row's size, if larger) and is
// then only filled, never reallocated.
constexpr size_t kBlock = size_t(1) << 20;

quint64 Ablegen(std::vector<std::string>& bloecke, const std::string& zeile)
{
    if (bloecke.empty() || bloecke.back().size() + zeile.size() > bloecke.back().capacity()) {
        bloecke.emplace_back();
        bloecke.back().reserve(std::max(kBlock, zeile.size()));
    }
    std::string& b = bloecke.back();
    const quint64 platz = (quint64(bloecke.size() - 1) << 32) | quint64(b.size());
    b.append(zeile);
    return platz;
}

struct Roh {
    char tag = kNull;
    qint64 i = 0;
    double d = 0;
    const char* s = nullptr;
    int n = 0;
};

Roh Dekodieren(const char* p)
{
    Roh r;
    r.tag = *p++;
    switch (r.tag) {
    case kInt: {
        quint64 z = LeseVarint(p);
        r.i = qint64(z >> 1) ^ -qint64(z & 1);
        break;
    }
    case kReal: std::memcpy(&r.d, p, 8); break;
    case kText:
        r.n = int(LeseVarint(p));
        r.s = p;
        break;
    default: break;
    }
    return r;
}

void KodiereVariant(std::string& out, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        out.push_back(kNull);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool: SchreibeInt(out, v.toLongLong()); return;
    case QMetaType::Double:
    case QMetaType::Float: SchreibeReal(out, v.toDouble()); return;
    case QMetaType::QDate: {
        QByteArray b = v.toDate().toString(Qt::ISODate).toUtf8();
        SchreibeText(out, b.constData(), int(b.size()));
        return;
    }
    default: {
        QByteArray b = v.toString().toUtf8();
        SchreibeText(out, b.constData(), int(b.size()));
        return;
    }
    }
}

void BindeVariant(sqlite3_stmt* st, int idx, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: sqlite3_bind_int64(st, idx, v.toLongLong()); return;
    case QMetaType::Bool: sqlite3_bind_int(st, idx, v.toBool() ? -1 : 0); return;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(st, idx, v.toDouble()); return;
    case QMetaType::QDate: {
        QByteArray b = v.toDate().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime: {
        QByteArray b = v.toDateTime().date().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

bool IstZahl(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool: return true;
    default: return false;
    }
}

bool Gleich(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (IstZahl(a) && IstZahl(b)) return a.toDouble() == b.toDouble();
    if (IstZahl(a) != IstZahl(b)) {
        bool ok1 = false, ok2 = false;
        double x = a.toString().toDouble(&ok1), y = b.toString().toDouble(&ok2);
        return ok1 && ok2 && x == y;
    }
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) return a.toDate() == b.toDate();
    return a.toString() == b.toString();
}

// Position of a top-level keyword (outside brackets, quotes and parentheses).
int Schluesselwort(const QString& sql, const QString& wort, int ab = 0, bool letztes = false)
{
    int tiefe = 0;
    int gefunden = -1;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) { quote = c; continue; }
        if (c == QLatin1Char('[')) { quote = QLatin1Char(']'); continue; }
        if (c == QLatin1Char('(')) { ++tiefe; continue; }
        if (c == QLatin1Char(')')) { --tiefe; continue; }
        if (tiefe != 0 || i < ab) continue;
        if (sql.mid(i, wort.size()).compare(wort, Qt::CaseInsensitive) != 0) continue;
        bool linksFrei = i == 0 || !sql.at(i - 1).isLetterOrNumber();
        int e = i + int(wort.size());
        bool rechtsFrei = e >= sql.size() || !sql.at(e).isLetterOrNumber();
        if (linksFrei && rechtsFrei) {
            gefunden = i;
            if (!letztes) return i;
        }
    }
    return gefunden;
}

int Ende(const QString& sql, int ab)
{
    int e = int(sql.size());
    for (const char* w : {"GROUP", "ORDER", "HAVING", "LIMIT"}) {
        int p = Schluesselwort(sql, QLatin1String(w), ab);
        if (p >= 0 && p < e) e = p;
    }
    return e;
}

}  // namespace

// ================= Field =================

QString Field::name() const { return m_ds->Spaltenname(m_spalte); }
Feldart Field::art() const { return m_ds->Spaltenart(m_spalte); }
QVariant Field::value() const { return m_ds->Aktuell(m_spalte); }
bool Field::isNull() const { return value().isNull(); }

QString Field::asString() const
{
    QVariant v = value();
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::QDate) return Datumstext(v.toDate());
    if (v.typeId() == QMetaType::Double) return AllgemeineZahl(v.toDouble());
    return v.toString();
}

qint64 Field::asInteger() const
{
    QVariant v = value();
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::Double) return qint64(std::llround(v.toDouble()));
    if (v.typeId() == QMetaType::QString) return LeseGanzzahl(v.toString());
    return v.toLongLong();
}

double Field::asFloat() const
{
    QVariant v = value();
    if (v.isNull()) return 0.0;
    if (v.typeId() == QMetaType::QString) return LeseZahl(v.toString());
    return v.toDouble();
}

QDate Field::asDate() const
{
    QVariant v = value();
    if (v.isNull()) return QDate();
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    return QDate::fromString(v.toString(), Qt::ISODate);
}

bool Field::asBoolean() const
{
    QVariant v = value();
    if (v.isNull()) return false;
    return v.toDouble() != 0.0;
}

QString Field::displayText() const
{
    QVariant v = value();
    if (v.isNull()) return QString();
    switch (art()) {
    case Feldart::Datum: return Datumstext(asDate());
    case Feldart::Geld: return Waehrung(v.toDouble());
    case Feldart::Zahl: return AllgemeineZahl(v.toDouble());
    default: return asString();
    }
}

void Field::setValue(const QVariant& v) const { m_ds->Zuweisen(m_spalte, v); }

void Field::setAsString(const QString& text) const
{
    Feldart a = art();
    if (a == Feldart::Text || a == Feldart::Langtext) {
        m_ds->Zuweisen(m_spalte, text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        m_ds->Zuweisen(m_spalte, QVariant());
        return;
    }
    switch (a) {
    case Feldart::Ganzzahl: m_ds->Zuweisen(m_spalte, LeseGanzzahl(text)); break;
    case Feldart::JaNein: m_ds->Zuweisen(m_spalte, LeseGanzzahl(text) != 0 ? -1 : 0); break;
    case Feldart::Datum: m_ds->Zuweisen(m_spalte, LeseDatum(text)); break;
    default: m_ds->Zuweisen(m_spalte, LeseZahl(text)); break;
    }
}

void Field::clear() const { m_ds->Zuweisen(m_spalte, QVariant()); }

// ================= Dataset =================

Dataset::Dataset(Verbindung* verbindung, const QString& name, Art art, QObject* parent)
    : QObject(parent), m_verbindung(verbindung), m_art(art)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    if (m_stmt) sqlite3_finalize(m_stmt);
}

void Dataset::setTableName(const QString& tabelle)
{
    if (Active()) Close();
    m_tabelle = tabelle;
    m_updateTabelle = tabelle;
}

void Dataset::setSql(const QString& sql)
{
    if (Active()) Close();
    m_sql = sql;
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_stmtSql.clear();
    }
}

void Dataset::setMaster(DataSource* master, const QString& masterFeld, const QString& detailSpalte)
{
    m_master = master;
    m_masterFeld = masterFeld;
    m_detailSpalte = detailSpalte;
    AnsMasterGebunden();
}

void Dataset::AnsMasterGebunden()
{
    if (!m_master) return;
    connect(m_master, &DataSource::bewegt, this, [this] {
        if (Active() && m_zustand == Zustand::Browse) Lesen(false);
    });
}

void Dataset::setParameter(const QString& name, const QVariant& wert)
{
    QString n = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    for (auto& p : m_parameter) {
        if (p.first.compare(n, Qt::CaseInsensitive) == 0) {
            p.second = wert;
            return;
        }
    }
    m_parameter.append({n, wert});
}

QVariant Dataset::parameter(const QString& name) const
{
    QString n = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    for (const auto& p : m_parameter)
        if (p.first.compare(n, Qt::CaseInsensitive) == 0) return p.second;
    return QVariant();
}

void Dataset::clearParameters() { m_parameter.clear(); }

// Adds a condition to the statement's top-level WHERE (or gives it one).
static QString MitBedingung(const QString& sql, const QString& bedingung)
{
    int from = Schluesselwort(sql, QStringLiteral("FROM"));
    int where = Schluesselwort(sql, QStringLiteral("WHERE"), from < 0 ? 0 : from);
    if (where >= 0) {
        int ende = Ende(sql, where);
        return sql.left(where + 5) + QStringLiteral(" (") + sql.mid(where + 5, ende - where - 5) +
               QStringLiteral(") AND ") + bedingung + QLatin1Char(' ') + sql.mid(ende);
    }
    int ende = Ende(sql, from < 0 ? 0 : from);
    return sql.left(ende) + QStringLiteral(" WHERE ") + bedingung + QLatin1Char(' ') + sql.mid(ende);
}

QString Dataset::Statement() const
{
    if (m_art == Art::Tabelle) {
        if (m_tabelle.isEmpty()) throw Fehler(QStringLiteral("%1: kein Tabellenname angegeben").arg(name()));
        return QStringLiteral("SELECT *, rowid AS __rowid FROM %1").arg(m_tabelle);
    }
    QString sql = m_sql.trimmed();
    while (sql.endsWith(QLatin1Char(';'))) sql.chop(1);
    if (sql.isEmpty()) throw Fehler(QStringLiteral("%1: keine SQL-Anweisung angegeben").arg(name()));
    // The detail reads only the master's rows, through the index.
    if (m_master) sql = MitBedingung(sql, QStringLiteral("(%1 = :__master)").arg(m_detailSpalte));
    return sql;
}

sqlite3_stmt* Dataset::Vorbereiten(const QString& sql)
{
    if (m_stmt && m_stmtSql == sql) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return m_stmt;
    }
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    sqlite3* db = m_verbindung->Handle();
    QByteArray b = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, b.constData(), int(b.size()), &st, nullptr) != SQLITE_OK)
        throw Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
    if (!st) throw Fehler(QStringLiteral("%1: leere SQL-Anweisung").arg(name()));
    m_stmt = st;
    m_stmtSql = sql;
    m_spaltenGueltig = false;
    return st;
}

void Dataset::Binden(sqlite3_stmt* st)
{
    const int n = sqlite3_bind_parameter_count(st);
    for (int i = 1; i <= n; ++i) {
        const char* pn = sqlite3_bind_parameter_name(st, i);
        if (!pn) continue;
        QString name = QString::fromUtf8(pn + 1);
        if (name.startsWith(QLatin1String("__f"))) {
            const int k = name.mid(3).toInt();
            BindeVariant(st, i, k >= 0 && k < int(m_bedingungen.size()) ? m_bedingungen[size_t(k)].wert : QVariant());
        } else if (name == QLatin1String("__master")) {
            QVariant v;
            Dataset* m = m_master ? m_master->DataSet() : nullptr;
            if (m && m->Active() && !m->IsEmpty() && m->State() != Zustand::Insert) v = m->FieldByName(m_masterFeld).value();
            BindeVariant(st, i, v);
        } else {
            BindeVariant(st, i, parameter(name));
        }
    }
}

void Dataset::Spaltenlesen(sqlite3_stmt* st)
{
    const int n = sqlite3_column_count(st);
    std::vector<Spalte> sp(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Spalte& s = sp[size_t(i)];
        s.kurz = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* t = sqlite3_column_table_name(st, i);
        const char* o = sqlite3_column_origin_name(st, i);
        s.tabelle = t ? QString::fromUtf8(t) : QString();
        s.herkunft = o ? QString::fromUtf8(o) : QString();
        // Through nested joins SQLite numbers repeated names ("id:2").
        const int doppelpunkt = int(s.kurz.lastIndexOf(QLatin1Char(':')));
        if (doppelpunkt > 0 && s.kurz.left(doppelpunkt).compare(s.herkunft, Qt::CaseInsensitive) == 0) s.kurz = s.kurz.left(doppelpunkt);
        if (!s.tabelle.isEmpty()) s.art = SpaltenArt(s.tabelle, s.herkunft);
        s.versteckt = (m_art == Art::Tabelle && i == n - 1 && s.kurz == QLatin1String("__rowid"));
    }
    for (int i = 0; i < n; ++i) {
        Spalte& s = sp[size_t(i)];
        s.name = s.kurz;
        for (int j = 0; j < n; ++j) {
            if (j != i && sp[size_t(j)].kurz.compare(s.kurz, Qt::CaseInsensitive) == 0 && !s.tabelle.isEmpty()) {
                s.name = s.tabelle + QLatin1Char('.') + s.kurz;
                break;
            }
        }
    }
    m_spalten = std::move(sp);
}

void Dataset::Lesen(bool behaltePosition)
{
    const QString sql = Statement();
    sqlite3_stmt* st = Vorbereiten(sql);
    Binden(st);
    if (!m_spaltenGueltig) {
        Spaltenlesen(st);
        m_spaltenGueltig = true;
    }
    m_neuLesen = false;
    m_teilweise = false;
    // A filter on stored columns is also put into the statement, so that
    // printing one note does not fetch every item of every note. The rows
    // shown are the same; switching the filter off reads the rest.
    sqlite3_stmt* eigen = nullptr;
    struct Freigabe {
        sqlite3_stmt*& st;
        ~Freigabe() { if (st) sqlite3_finalize(st); }
    } freigabe{eigen};
    if (m_filterInSql && m_filtered) {
        FilterAnwenden();  // parses the conditions
        QStringList teile;
        for (size_t k = 0; k < m_bedingungen.size(); ++k) {
            const Spalte& sp = m_spalten[size_t(m_bedingungen[k].spalte)];
            if (sp.tabelle.isEmpty() || sp.herkunft.isEmpty()) {
                teile.clear();
                break;
            }
            const QString spalte = QStringLiteral("%1.\"%2\"").arg(sp.tabelle, sp.herkunft);
            if (m_bedingungen[k].wahrheit)
                teile << QStringLiteral("(%1 %2 0)").arg(spalte, m_bedingungen[k].wert.toBool() ? QStringLiteral("<>") : QStringLiteral("="));
            else
                teile << QStringLiteral("(%1 = :__f%2)").arg(spalte).arg(k);
        }
        if (!teile.isEmpty()) {
            sqlite3* db = m_verbindung->Handle();
            const QByteArray b = MitBedingung(sql, teile.join(QStringLiteral(" AND "))).toUtf8();
            if (sqlite3_prepare_v2(db, b.constData(), int(b.size()), &eigen, nullptr) != SQLITE_OK)
                throw Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
            Binden(eigen);
            st = eigen;
            m_teilweise = true;
        }
    }

    std::vector<std::string> bloecke;
    std::vector<quint64> zeilen;
    std::string puffer;  // the row being encoded
    zeilen.reserve(m_zeilen.size());
    const int n = sqlite3_column_count(st);
    std::vector<bool> artOffen(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) artOffen[size_t(i)] = m_spalten[size_t(i)].tabelle.isEmpty() && !m_spalten[size_t(i)].versteckt;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        puffer.clear();
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER:
                SchreibeInt(puffer, sqlite3_column_int64(st, i));
                if (artOffen[size_t(i)]) {
                    m_spalten[size_t(i)].art = Feldart::Ganzzahl;
                    artOffen[size_t(i)] = false;
                }
                break;
            case SQLITE_FLOAT:
                SchreibeReal(puffer, sqlite3_column_double(st, i));
                if (artOffen[size_t(i)]) {
                    m_spalten[size_t(i)].art = Feldart::Zahl;
                    artOffen[size_t(i)] = false;
                }
                break;
            case SQLITE_NULL: puffer.push_back(kNull); break;
            default: {
                const char* s = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                SchreibeText(puffer, s, sqlite3_column_bytes(st, i));
                if (artOffen[size_t(i)]) {
                    m_spalten[size_t(i)].art = Feldart::Text;
                    artOffen[size_t(i)] = false;
                }
                break;
            }
            }
        }
        zeilen.push_back(Ablegen(bloecke, puffer));
    }
    if (rc != SQLITE_DONE) {
        QString text = QString::fromUtf8(sqlite3_errmsg(m_verbindung->Handle()));
        sqlite3_reset(st);
        throw Fehler(text);
    }
    sqlite3_reset(st);
    const int altePos = m_pos;
    m_bloecke.swap(bloecke);
    m_zeilen.swap(zeilen);
    m_zustand = Zustand::Browse;
    FilterAnwenden();
    emit zeilenGeaendert();
    Positionieren(behaltePosition ? qMin(altePos, RecordCount() - 1) : 0);
}

void Dataset::Open()
{
    if (Active()) return;
    Lesen(false);
    emit zustandGeaendert();
    emit geoeffnet();
}

void Dataset::Close() { Schliessen(true); }

void Dataset::Schliessen(bool signal)
{
    if (!Active()) return;
    m_zustand = Zustand::Inaktiv;
    m_teilweise = false;
    m_neuLesen = false;
    m_editPuffer.clear();
    m_geaendert.clear();
    std::vector<std::string>().swap(m_bloecke);
    std::vector<quint64>().swap(m_zeilen);
    std::vector<int>().swap(m_sichtbar);
    m_pos = -1;
    m_eof = m_bof = true;
    if (m_stmt && m_art == Art::Abfrage) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_stmtSql.clear();
    }
    if (signal) {
        emit zeilenGeaendert();
        emit bewegt();
        emit zustandGeaendert();
        emit geschlossen();
    }
}

void Dataset::Requery()
{
    if (m_zustand == Zustand::Edit || m_zustand == Zustand::Insert) Cancel();
    const bool warAktiv = Active();
    Lesen(false);
    if (!warAktiv) {
        emit zustandGeaendert();
        emit geoeffnet();
    }
}

int Dataset::ExecSQL()
{
    sqlite3* db = m_verbindung->Handle();
    QString sql = m_sql.trimmed();
    QByteArray b = sql.toUtf8();
    const char* rest = b.constData();
    int geaendert = 0;
    // Runs every statement of the text, in order.
    while (rest && *rest) {
        sqlite3_stmt* st = nullptr;
        const char* naechstes = nullptr;
        if (sqlite3_prepare_v2(db, rest, -1, &st, &naechstes) != SQLITE_OK)
            throw Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
        rest = naechstes;
        if (!st) continue;
        Binden(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
        if (rc != SQLITE_DONE) {
            QString text = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(st);
            throw Fehler(text);
        }
        geaendert += sqlite3_changes(db);
        sqlite3_finalize(st);
    }
    return geaendert;
}

// ---- moving ----

int Dataset::RecordCount() const
{
    Sicherstellen();
    if (!Active()) return 0;
    return m_filtered ? int(m_sichtbar.size()) : int(m_zeilen.size());
}

int Dataset::ZeileIntern(int sichtbar) const { return m_filtered ? m_sichtbar[size_t(sichtbar)] : sichtbar; }

void Dataset::Erfordere(bool bedingung, const char* text) const
{
    if (!bedingung) throw Fehler(QStringLiteral("%1: %2").arg(name(), QString::fromUtf8(text)));
}

void Dataset::Positionieren(int pos, bool signal)
{
    const int n = RecordCount();
    m_pos = n == 0 ? -1 : qBound(0, pos, n - 1);
    m_bof = m_pos <= 0;
    m_eof = n == 0;
    if (signal) emit bewegt();
}

static const char* kNichtImBrowse =
    "Der Datensatz wird gerade bearbeitet. Speichern oder verwerfen Sie zuerst die Änderungen.";

void Dataset::setRecNo(int pos)
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    Positionieren(pos);
}

void Dataset::First()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    Positionieren(0);
    m_bof = true;
}

void Dataset::Last()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    Positionieren(RecordCount() - 1);
    m_eof = true;
}

void Dataset::Next()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    if (m_pos + 1 < RecordCount()) {
        Positionieren(m_pos + 1);
    } else {
        m_eof = true;
    }
}

void Dataset::Prior()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    if (m_pos > 0) {
        Positionieren(m_pos - 1);
        m_eof = false;
    } else {
        m_bof = true;
    }
}

bool Dataset::Locate(const QString& feld, const QVariant& wert)
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    const int sp = FieldByName(feld).gueltig() ? Spaltenindex(feld) : -1;
    const int n = RecordCount();
    for (int i = 0; i < n; ++i) {
        if (Gleich(Wert(ZeileIntern(i), sp), wert)) {
            Positionieren(i);
            return true;
        }
    }
    return false;
}

// ---- columns ----

int Dataset::Spaltenindex(const QString& name) const
{
    const int n = int(m_spalten.size());
    for (int i = 0; i < n; ++i)
        if (!m_spalten[size_t(i)].versteckt && m_spalten[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    // "table.column" also finds a column whose plain name is unique.
    const int punkt = int(name.indexOf(QLatin1Char('.')));
    if (punkt > 0) {
        const QString t = name.left(punkt), c = name.mid(punkt + 1);
        for (int i = 0; i < n; ++i) {
            const Spalte& s = m_spalten[size_t(i)];
            if (!s.versteckt && s.tabelle.compare(t, Qt::CaseInsensitive) == 0 && s.kurz.compare(c, Qt::CaseInsensitive) == 0)
                return i;
        }
    }
    return -1;
}

Field Dataset::FieldByName(const QString& name)
{
    const int i = Spaltenindex(name);
    if (i < 0) throw Fehler(QStringLiteral("%1: Feld '%2' nicht gefunden").arg(objectName(), name));
    return Field(this, i);
}

Field Dataset::FindField(const QString& name)
{
    const int i = Spaltenindex(name);
    return i < 0 ? Field() : Field(this, i);
}

QString Dataset::Spaltenname(int i) const { return m_spalten.at(size_t(i)).name; }
Feldart Dataset::Spaltenart(int i) const { return m_spalten.at(size_t(i)).art; }

QVariant Dataset::Wert(int zeileIntern, int spalte) const
{
    if (zeileIntern < 0 || zeileIntern >= int(m_zeilen.size()) || spalte < 0) return QVariant();
    const quint64 platz = m_zeilen[size_t(zeileIntern)];
    const char* p = m_bloecke[size_t(platz >> 32)].data() + (platz & 0xffffffffu);
    for (int i = 0; i < spalte; ++i) Ueberspringen(p);
    Roh r = Dekodieren(p);
    const Feldart art = m_spalten[size_t(spalte)].art;
    switch (r.tag) {
    case kInt:
        if (art == Feldart::Zahl || art == Feldart::Geld) return double(r.i);
        return r.i;
    case kReal:
        if (art == Feldart::Ganzzahl || art == Feldart::JaNein) return qint64(std::llround(r.d));
        return r.d;
    case kText: {
        QString s = QString::fromUtf8(r.s, r.n);
        if (art == Feldart::Datum) {
            QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid()) return d;
        }
        return s;
    }
    default: return QVariant();
    }
}

QVariant Dataset::WertAn(int zeile, int spalte) const
{
    Sicherstellen();
    if (zeile < 0 || zeile >= RecordCount()) return QVariant();
    return Wert(ZeileIntern(zeile), spalte);
}

QString Dataset::AnzeigeAn(int zeile, int spalte) const
{
    QVariant v = WertAn(zeile, spalte);
    if (v.isNull()) return QString();
    switch (m_spalten[size_t(spalte)].art) {
    case Feldart::Datum: return v.typeId() == QMetaType::QDate ? Datumstext(v.toDate()) : v.toString();
    case Feldart::Geld: return Waehrung(v.toDouble());
    case Feldart::Zahl: return AllgemeineZahl(v.toDouble());
    default: return v.typeId() == QMetaType::Double ? AllgemeineZahl(v.toDouble()) : v.toString();
    }
}

QVariant Dataset::Aktuell(int spalte) const
{
    Sicherstellen();
    if (m_zustand == Zustand::Edit || m_zustand == Zustand::Insert) return m_editPuffer.value(spalte);
    if (!Active() || m_pos < 0) return QVariant();
    return Wert(ZeileIntern(m_pos), spalte);
}

QVariant Dataset::Umwandeln(int spalte, const QVariant& wert) const
{
    if (!wert.isValid() || wert.isNull()) return QVariant();
    const Feldart art = m_spalten[size_t(spalte)].art;
    const bool text = wert.typeId() == QMetaType::QString;
    switch (art) {
    case Feldart::Ganzzahl:
        if (text) return wert.toString().trimmed().isEmpty() ? QVariant() : QVariant(LeseGanzzahl(wert.toString()));
        if (wert.typeId() == QMetaType::Double) return qint64(std::llround(wert.toDouble()));
        return wert.toLongLong();
    case Feldart::JaNein:
        if (text) return wert.toString().trimmed().isEmpty() ? QVariant() : QVariant(qint64(LeseGanzzahl(wert.toString()) ? -1 : 0));
        return qint64(wert.toDouble() != 0.0 ? -1 : 0);
    case Feldart::Zahl:
    case Feldart::Geld:
        if (text) return wert.toString().trimmed().isEmpty() ? QVariant() : QVariant(LeseZahl(wert.toString()));
        return wert.toDouble();
    case Feldart::Datum:
        if (wert.typeId() == QMetaType::QDate) return wert.toDate().isValid() ? wert : QVariant();
        if (wert.typeId() == QMetaType::QDateTime) return wert.toDateTime().date();
        if (text) return wert.toString().trimmed().isEmpty() ? QVariant() : QVariant(LeseDatum(wert.toString()));
        throw Fehler(QStringLiteral("'%1' ist kein gültiges Datum").arg(wert.toString()));
    default:
        if (wert.typeId() == QMetaType::QDate) return wert.toDate().toString(Qt::ISODate);
        return wert.toString();
    }
}

void Dataset::Zuweisen(int spalte, const QVariant& wert)
{
    if (m_zustand != Zustand::Edit && m_zustand != Zustand::Insert)
        throw Fehler(QStringLiteral("%1: Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus").arg(name()));
    QVariant v = Umwandeln(spalte, wert);
    m_editPuffer[spalte] = v;
    m_geaendert[size_t(spalte)] = true;
    emit feldGeaendert(spalte);
}

// ---- editing ----

void Dataset::Insert()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    Erfordere(m_zustand == Zustand::Browse, kNichtImBrowse);
    m_editPuffer = QVector<QVariant>(int(m_spalten.size()));
    m_geaendert.assign(m_spalten.size(), false);
    m_einfuegePos = m_pos < 0 ? 0 : m_pos;
    m_zustand = Zustand::Insert;
    emit zustandGeaendert();
    emit bewegt();
}

void Dataset::Edit()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    if (m_zustand == Zustand::Edit || m_zustand == Zustand::Insert) return;
    if (IsEmpty()) {
        Insert();
        return;
    }
    const int n = int(m_spalten.size());
    m_editPuffer = QVector<QVariant>(n);
    for (int i = 0; i < n; ++i) m_editPuffer[i] = Wert(ZeileIntern(m_pos), i);
    m_geaendert.assign(m_spalten.size(), false);
    m_zustand = Zustand::Edit;
    emit zustandGeaendert();
}

int Dataset::Schluesselspalte() const
{
    const int n = int(m_spalten.size());
    if (m_art == Art::Tabelle) return n - 1;  // the hidden rowid
    for (int i = 0; i < n; ++i) {
        const Spalte& s = m_spalten[size_t(i)];
        if (s.tabelle.compare(m_updateTabelle, Qt::CaseInsensitive) == 0 && s.herkunft.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Dataset::Post()
{
    if (m_zustand != Zustand::Edit && m_zustand != Zustand::Insert)
        throw Fehler(QStringLiteral("%1: Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus").arg(name()));
    // Controls write what the user typed; a refused text stops here with the
    // row still in edit, so the user can correct it.
    emit vorDemSpeichern();
    if (m_updateTabelle.isEmpty()) throw Fehler(QStringLiteral("%1: Die Datenmenge kann nicht bearbeitet werden").arg(name()));

    const bool tabelle = m_art == Art::Tabelle;
    const int schluessel = Schluesselspalte();
    if (schluessel < 0) throw Fehler(QStringLiteral("%1: kein Schlüssel für %2").arg(name(), m_updateTabelle));
    std::vector<int> spalten;
    for (int i = 0; i < int(m_spalten.size()); ++i) {
        const Spalte& s = m_spalten[size_t(i)];
        if (!m_geaendert[size_t(i)] || s.versteckt) continue;
        if (s.tabelle.compare(m_updateTabelle, Qt::CaseInsensitive) != 0) continue;  // joined columns are shown only
        spalten.push_back(i);
    }
    QString sql;
    QStringList namen;
    for (int i : spalten) namen << QStringLiteral("\"%1\"").arg(m_spalten[size_t(i)].herkunft);
    if (m_zustand == Zustand::Insert) {
        if (namen.isEmpty()) sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_updateTabelle);
        else {
            QStringList q;
            for (int k = 0; k < namen.size(); ++k) q << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_updateTabelle, namen.join(QStringLiteral(", ")), q.join(QStringLiteral(", ")));
        }
    } else if (!namen.isEmpty()) {
        QStringList set;
        for (const QString& n : namen) set << n + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                  .arg(m_updateTabelle, set.join(QStringLiteral(", ")), tabelle ? QStringLiteral("rowid") : QStringLiteral("id"));
    }

    qint64 rowid = -1;
    if (!sql.isEmpty()) {
        sqlite3* db = m_verbindung->Handle();
        sqlite3_stmt* st = nullptr;
        QByteArray b = sql.toUtf8();
        if (sqlite3_prepare_v2(db, b.constData(), int(b.size()), &st, nullptr) != SQLITE_OK) {
            QString text = QString::fromUtf8(sqlite3_errmsg(db));
            Cancel();
            throw Fehler(text);
        }
        int idx = 1;
        for (int i : spalten) BindeVariant(st, idx++, m_editPuffer[i]);
        if (m_zustand == Zustand::Edit) BindeVariant(st, idx, Wert(ZeileIntern(m_pos), schluessel));
        int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) {
            QString text = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(st);
            // A refused row is dropped, so the dataset never stays stuck in edit.
            Cancel();
            throw Fehler(text);
        }
        sqlite3_finalize(st);
        rowid = sqlite3_last_insert_rowid(db);
    }

    if (tabelle) {
        if (m_zustand == Zustand::Insert) {
            m_editPuffer[schluessel] = rowid;
        } else {
            // A changed `id` is the row's new rowid.
            const int id = Spaltenindex(QStringLiteral("id"));
            if (id >= 0 && m_geaendert[size_t(id)] && !m_editPuffer[id].isNull()) m_editPuffer[schluessel] = m_editPuffer[id];
        }
    }
    // The snapshot takes the written row; joined columns keep what they showed.
    std::string kodiert;
    for (const QVariant& v : m_editPuffer) KodiereVariant(kodiert, v);
    const quint64 offset = Ablegen(m_bloecke, kodiert);
    const bool neu = m_zustand == Zustand::Insert;
    int pos = m_pos;
    if (neu) {
        const int intern = m_filtered ? (m_einfuegePos < int(m_sichtbar.size()) ? m_sichtbar[size_t(m_einfuegePos)] : int(m_zeilen.size()))
                                      : m_einfuegePos;
        m_zeilen.insert(m_zeilen.begin() + qMin(intern, int(m_zeilen.size())), offset);
        FilterAnwenden();
        pos = m_einfuegePos;
        if (m_filtered) {
            pos = -1;
            for (int i = 0; i < int(m_sichtbar.size()); ++i)
                if (m_sichtbar[size_t(i)] == intern) pos = i;
        }
    } else {
        m_zeilen[size_t(ZeileIntern(m_pos))] = offset;
    }
    m_zustand = Zustand::Browse;
    m_editPuffer.clear();
    m_geaendert.clear();
    if (neu) emit zeilenGeaendert();
    emit zustandGeaendert();
    Positionieren(pos);
}

void Dataset::Cancel()
{
    if (m_zustand != Zustand::Edit && m_zustand != Zustand::Insert) return;
    m_zustand = Zustand::Browse;
    m_editPuffer.clear();
    m_geaendert.clear();
    emit zustandGeaendert();
    Positionieren(m_pos);
}

void Dataset::Delete()
{
    Sicherstellen();
    Erfordere(Active(), "Die Datenmenge ist nicht geöffnet.");
    if (m_zustand == Zustand::Insert) {
        Cancel();
        return;
    }
    if (m_zustand == Zustand::Edit) Cancel();
    if (IsEmpty()) throw Fehler(QStringLiteral("%1: Kein Datensatz zum Löschen vorhanden").arg(name()));
    if (m_updateTabelle.isEmpty()) throw Fehler(QStringLiteral("%1: Die Datenmenge kann nicht bearbeitet werden").arg(name()));
    const int schluessel = Schluesselspalte();
    if (schluessel < 0) throw Fehler(QStringLiteral("%1: kein Schlüssel für %2").arg(name(), m_updateTabelle));
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_updateTabelle, m_art == Art::Tabelle ? QStringLiteral("rowid") : QStringLiteral("id"));
    sqlite3* db = m_verbindung->Handle();
    sqlite3_stmt* st = nullptr;
    QByteArray b = sql.toUtf8();
    if (sqlite3_prepare_v2(db, b.constData(), int(b.size()), &st, nullptr) != SQLITE_OK)
        throw Fehler(QString::fromUtf8(sqlite3_errmsg(db)));
    BindeVariant(st, 1, Wert(ZeileIntern(m_pos), schluessel));
    if (sqlite3_step(st) != SQLITE_DONE) {
        QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        throw Fehler(text);
    }
    sqlite3_finalize(st);
    m_zeilen.erase(m_zeilen.begin() + ZeileIntern(m_pos));
    FilterAnwenden();
    emit zeilenGeaendert();
    Positionieren(m_pos);
}

// ---- filter ----

void Dataset::Sicherstellen() const
{
    if (m_neuLesen && Active()) const_cast<Dataset*>(this)->Lesen(false);
}

bool Dataset::NeuLesenVorgemerkt()
{
    // The snapshot holds only the filtered rows: read the others when asked for.
    if (!m_teilweise || !Active()) return false;
    m_teilweise = false;
    m_neuLesen = true;
    m_pos = -1;
    emit zeilenGeaendert();
    return true;
}

void Dataset::setFilter(const QString& ausdruck)
{
    m_filter = ausdruck;
    // A pending re-read takes the new filter when it happens.
    if (m_filtered && (NeuLesenVorgemerkt() || m_neuLesen)) return;
    if (m_filtered && Active()) {
        FilterAnwenden();
        emit zeilenGeaendert();
        Positionieren(0);
    }
}

void Dataset::setFiltered(bool an)
{
    if (an == m_filtered) return;
    m_filtered = an;
    // Positioning would count the rows and so read them all at once (a print
    // set of every item); the pending re-read happens at the next access.
    if (NeuLesenVorgemerkt() || m_neuLesen) return;
    if (Active()) {
        FilterAnwenden();
        emit zeilenGeaendert();
        Positionieren(0);
    }
}

void Dataset::FilterAnwenden()
{
    m_bedingungen.clear();
    m_sichtbar.clear();
    if (!m_filtered) return;
    const QString f = m_filter.trimmed();
    if (!f.isEmpty()) {
        static const QRegularExpression und(QStringLiteral("\\s+and\\s+"), QRegularExpression::CaseInsensitiveOption);
        for (const QString& teil : f.split(und)) {
            const int gl = int(teil.indexOf(QLatin1Char('=')));
            if (gl <= 0) throw Fehler(QStringLiteral("%1: ungültiger Filter '%2'").arg(name(), m_filter));
            const QString feld = teil.left(gl).trimmed();
            QString wert = teil.mid(gl + 1).trimmed();
            Bedingung b;
            b.spalte = Spaltenindex(feld);
            if (b.spalte < 0) throw Fehler(QStringLiteral("%1: Feld '%2' nicht gefunden").arg(name(), feld));
            if (wert.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
                b.wahrheit = true;
                b.wert = true;
            } else if (wert.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
                b.wahrheit = true;
                b.wert = false;
            } else if (wert.startsWith(QLatin1Char('\'')) && wert.endsWith(QLatin1Char('\'')) && wert.size() >= 2) {
                b.wert = wert.mid(1, wert.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
            } else {
                bool ok = false;
                double d = wert.toDouble(&ok);
                if (!ok) throw Fehler(QStringLiteral("%1: ungültiger Filter '%2'").arg(name(), m_filter));
                b.wert = d;
            }
            m_bedingungen.push_back(b);
        }
    }
    for (int i = 0; i < int(m_zeilen.size()); ++i)
        if (FilterPasst(i)) m_sichtbar.push_back(i);
}

bool Dataset::FilterPasst(int zeileIntern) const
{
    for (const Bedingung& b : m_bedingungen) {
        QVariant v = Wert(zeileIntern, b.spalte);
        if (b.wahrheit) {
            if (v.isNull()) return false;
            if ((v.toDouble() != 0.0) != b.wert.toBool()) return false;
        } else if (!Gleich(v, b.wert)) {
            return false;
        }
    }
    return true;
}

}  // namespace data
