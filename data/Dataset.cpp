#include "data/Dataset.h"

#include "data/Anweisung.h"
#include "data/DataSource.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/Verbindung.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>

namespace data {

namespace {

// ---- row encoding: per column a tag byte, then the value ----
enum : char { kNull = 0, kInt = 1, kReal = 2, kText = 3, kBlob = 4 };

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

void SchreibeText(std::string& out, const char* s, int n, char tag = kText)
{
    out.push_back(tag);
    SchreibeVarint(out, quint64(n));
    out.append(s, size_t(n));
}

void Ueberspringen(const char*& p)
{
    char tag = *p++;
    switch (tag) {
    case kInt: LeseVarint(p); break;
    case kReal: p += 8; break;
    case kText:
    case kBlob: {
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
    case kBlob:
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
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        SchreibeText(out, b.constData(), int(b.size()), kBlob);
        return;
    }
    default: {
        QByteArray b = v.toString().toUtf8();
        SchreibeText(out, b.constData(), int(b.size()));
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

QString Field::asString() const { return Wertetext(value(), Feldart::Text); }

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

QString Field::displayText() const { return Wertetext(value(), art()); }

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

Dataset::~Dataset() = default;

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
    m_stmt.reset();
    m_stmtSql.clear();
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
        return QStringLiteral("SELECT *, %1 AS __rowid FROM %2").arg(m_verbindung->Zeilenschluessel(m_tabelle), m_tabelle);
    }
    QString sql = m_sql.trimmed();
    while (sql.endsWith(QLatin1Char(';'))) sql.chop(1);
    if (sql.isEmpty()) throw Fehler(QStringLiteral("%1: keine SQL-Anweisung angegeben").arg(name()));
    // The detail reads only the master's rows, through the index.
    if (m_master) sql = MitBedingung(sql, QStringLiteral("(%1 = :__master)").arg(m_detailSpalte));
    return sql;
}

Anweisung& Dataset::Vorbereiten(const QString& sql)
{
    if (m_stmt && m_stmtSql == sql) {
        m_stmt->zuruecksetzen();
        return *m_stmt;
    }
    m_stmt.reset();
    m_stmtSql.clear();
    auto st = std::make_unique<Anweisung>(*m_verbindung, sql);
    if (st->leer()) throw Fehler(QStringLiteral("%1: leere SQL-Anweisung").arg(name()));
    m_stmt = std::move(st);
    m_stmtSql = sql;
    m_spaltenGueltig = false;
    return *m_stmt;
}

void Dataset::Binden(Anweisung& a)
{
    const int n = a.parameterAnzahl();
    for (int i = 1; i <= n; ++i) {
        const QString name = a.parameterName(i);
        if (name.isEmpty()) continue;
        if (name.startsWith(QLatin1String("__f"))) {
            const int k = name.mid(3).toInt();
            a.binde(i, k >= 0 && k < int(m_bedingungen.size()) ? m_bedingungen[size_t(k)].wert : QVariant());
        } else if (name == QLatin1String("__master")) {
            QVariant v;
            Dataset* m = m_master ? m_master->DataSet() : nullptr;
            if (m && m->Active() && !m->IsEmpty() && m->State() != Zustand::Insert) v = m->FieldByName(m_masterFeld).value();
            a.binde(i, v);
        } else {
            a.binde(i, parameter(name));
        }
    }
}

void Dataset::Spaltenlesen(Anweisung& a)
{
    const int n = a.spaltenAnzahl();
    std::vector<Spalte> sp(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Spalte& s = sp[size_t(i)];
        s.kurz = a.spaltenname(i);
        s.tabelle = a.tabelle(i);
        s.herkunft = a.herkunft(i);
        // Through nested joins SQLite numbers repeated names ("id:2").
        const int doppelpunkt = int(s.kurz.lastIndexOf(QLatin1Char(':')));
        if (doppelpunkt > 0 && s.kurz.left(doppelpunkt).compare(s.herkunft, Qt::CaseInsensitive) == 0) s.kurz = s.kurz.left(doppelpunkt);
        if (!s.tabelle.isEmpty()) s.art = SpaltenArt(s.tabelle, s.herkunft);
        if (m_art == Art::Tabelle && i == n - 1 && s.kurz == QLatin1String("__rowid")) {
            // The row key is never a column the user sees or writes.
            s.versteckt = true;
            s.tabelle.clear();
            s.herkunft.clear();
        }
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
    Anweisung& gemeinsam = Vorbereiten(sql);
    Binden(gemeinsam);
    if (!m_spaltenGueltig) {
        Spaltenlesen(gemeinsam);
        m_spaltenGueltig = true;
    }
    m_neuLesen = false;
    m_teilweise = false;
    std::unique_ptr<Anweisung> gefiltert = FilterInsStatement(sql);
    Anweisung& st = gefiltert ? *gefiltert : gemeinsam;

    std::vector<std::string> bloecke;
    std::vector<quint64> zeilen;
    zeilen.reserve(m_zeilen.size());
    try {
        ZeilenHolen(st, bloecke, zeilen);
    } catch (...) {
        gemeinsam.zuruecksetzen();
        throw;
    }
    gemeinsam.zuruecksetzen();
    const int altePos = m_pos;
    m_bloecke.swap(bloecke);
    m_zeilen.swap(zeilen);
    m_zustand = Zustand::Browse;
    FilterAnwenden();
    emit zeilenGeaendert();
    Positionieren(behaltePosition ? qMin(altePos, RecordCount() - 1) : 0);
}

// A filter on stored columns is also put into the statement, so that
// printing one note does not fetch every item of every note. The rows
// shown are the same; switching the filter off reads the rest. Returns the
// statement with the filter, or none when the filter cannot go into SQL.
std::unique_ptr<Anweisung> Dataset::FilterInsStatement(const QString& sql)
{
    if (!m_filterInSql || !m_filtered) return nullptr;
    FilterAnwenden();  // parses the conditions
    QStringList teile;
    for (size_t k = 0; k < m_bedingungen.size(); ++k) {
        const Spalte& sp = m_spalten[size_t(m_bedingungen[k].spalte)];
        if (sp.tabelle.isEmpty() || sp.herkunft.isEmpty()) return nullptr;
        const QString spalte = QStringLiteral("%1.\"%2\"").arg(sp.tabelle, sp.herkunft);
        if (m_bedingungen[k].wahrheit)
            teile << QStringLiteral("(%1 %2 0)").arg(spalte, m_bedingungen[k].wert.toBool() ? QStringLiteral("<>") : QStringLiteral("="));
        else
            teile << QStringLiteral("(%1 = :__f%2)").arg(spalte).arg(k);
    }
    if (teile.isEmpty()) return nullptr;
    auto st = std::make_unique<Anweisung>(*m_verbindung, MitBedingung(sql, teile.join(QStringLiteral(" AND "))));
    Binden(*st);
    m_teilweise = true;
    return st;
}

// Every value keeps its own kind (integer, real, text, blob, NULL). A
// computed column takes its display kind from its first value; a real
// after whole numbers makes it a number column.
void Dataset::ZeilenHolen(Anweisung& a, std::vector<std::string>& bloecke, std::vector<quint64>& zeilen)
{
    const int n = a.spaltenAnzahl();
    std::vector<bool> berechnet(static_cast<size_t>(n)), artOffen(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        berechnet[size_t(i)] = m_spalten[size_t(i)].tabelle.isEmpty() && !m_spalten[size_t(i)].versteckt;
        artOffen[size_t(i)] = berechnet[size_t(i)];
    }
    auto artSetzen = [&](int i, Feldart art) {
        if (artOffen[size_t(i)]) {
            m_spalten[size_t(i)].art = art;
            artOffen[size_t(i)] = false;
        } else if (berechnet[size_t(i)] && art == Feldart::Zahl && m_spalten[size_t(i)].art == Feldart::Ganzzahl) {
            m_spalten[size_t(i)].art = Feldart::Zahl;
        }
    };
    std::string puffer;  // the row being encoded
    while (a.schritt()) {
        puffer.clear();
        for (int i = 0; i < n; ++i) {
            switch (a.art(i)) {
            case Wertart::Ganzzahl:
                SchreibeInt(puffer, a.ganzzahl(i));
                artSetzen(i, Feldart::Ganzzahl);
                break;
            case Wertart::Zahl:
                SchreibeReal(puffer, a.zahl(i));
                artSetzen(i, Feldart::Zahl);
                break;
            case Wertart::Null: puffer.push_back(kNull); break;
            case Wertart::Blob: {
                const std::string_view b = a.text(i);
                SchreibeText(puffer, b.data(), int(b.size()), kBlob);
                artSetzen(i, Feldart::Text);
                break;
            }
            case Wertart::Text: {
                const std::string_view t = a.text(i);
                SchreibeText(puffer, t.data(), int(t.size()));
                artSetzen(i, Feldart::Text);
                break;
            }
            }
        }
        zeilen.push_back(Ablegen(bloecke, puffer));
    }
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
    m_vorschlaege.clear();
    m_geaendert.clear();
    std::vector<std::string>().swap(m_bloecke);
    std::vector<quint64>().swap(m_zeilen);
    std::vector<int>().swap(m_sichtbar);
    m_pos = -1;
    m_eof = m_bof = true;
    if (m_art == Art::Abfrage) {
        m_stmt.reset();
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
    if (m_verbindung->Fern()) {
        int geaendert = 0;
        for (const QString& teil : AnweisungenTeilen(m_sql)) {
            Anweisung st(*m_verbindung, teil);
            Binden(st);
            geaendert += st.ausfuehren();
        }
        return geaendert;
    }
    sqlite3* db = m_verbindung->Handle();
    const QByteArray b = m_sql.trimmed().toUtf8();
    const char* rest = b.constData();
    int geaendert = 0;
    // Runs every statement of the text, in order.
    while (rest && *rest) {
        Anweisung st(db, rest);
        if (st.leer()) continue;
        Binden(st);
        geaendert += st.ausfuehren();
    }
    return geaendert;
}

// ---- moving ----

int Dataset::RecordCount()
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
    // Columns of a table give their values the column's kind; computed
    // columns keep each value's own.
    const Spalte& sp = m_spalten[size_t(spalte)];
    const bool gespeichert = !sp.tabelle.isEmpty();
    const Feldart art = sp.art;
    switch (r.tag) {
    case kInt:
        if (gespeichert && (art == Feldart::Zahl || art == Feldart::Geld)) return double(r.i);
        return r.i;
    case kReal:
        if (gespeichert && (art == Feldart::Ganzzahl || art == Feldart::JaNein)) return qint64(std::llround(r.d));
        return r.d;
    case kBlob: return QByteArray(r.s, r.n);
    case kText: {
        QString s = QString::fromUtf8(r.s, r.n);
        if (gespeichert && art == Feldart::Datum) {
            QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid()) return d;
        }
        return s;
    }
    default: return QVariant();
    }
}

QVariant Dataset::WertAn(int zeile, int spalte)
{
    Sicherstellen();
    if (zeile < 0 || zeile >= RecordCount()) return QVariant();
    return Wert(ZeileIntern(zeile), spalte);
}

QString Dataset::AnzeigeAn(int zeile, int spalte)
{
    return Wertetext(WertAn(zeile, spalte), m_spalten[size_t(spalte)].art);
}

QVariant Dataset::Aktuell(int spalte)
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
    case Feldart::Ganzzahl: {
        if (text && wert.toString().trimmed().isEmpty()) return QVariant();
        qint64 zahl = 0;
        if (text) zahl = LeseGanzzahl(wert.toString());
        else if (wert.typeId() == QMetaType::Double) {
            const double d = std::round(wert.toDouble());
            zahl = std::isfinite(d) && std::fabs(d) < 9.2e18 ? qint64(d) : std::numeric_limits<qint64>::max();
        } else zahl = wert.toLongLong();
        // Whole-number columns of the tables hold 32 bits.
        if (!m_spalten[size_t(spalte)].tabelle.isEmpty() &&
            (zahl < std::numeric_limits<qint32>::min() || zahl > std::numeric_limits<qint32>::max()))
            throw Fehler(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(wert.toString()));
        return zahl;
    }
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
        if (wert.typeId() == QMetaType::QByteArray) return wert;
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
    m_vorschlaege.clear();
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

static const char* kVeraltet =
    "Der Datensatz wurde inzwischen von einem anderen Programm geändert oder gelöscht. Bitte neu laden.";

void Dataset::Veraltet() const { throw Fehler(QString::fromUtf8(kVeraltet)); }

void Dataset::Post()
{
    if (m_zustand != Zustand::Edit && m_zustand != Zustand::Insert)
        throw Fehler(QStringLiteral("%1: Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus").arg(name()));
    // Controls write what the user typed; a refused text stops here with the
    // row still in edit, so the user can correct it.
    emit vorDemSpeichern();
    if (m_updateTabelle.isEmpty()) throw Fehler(QStringLiteral("%1: Die Datenmenge kann nicht bearbeitet werden").arg(name()));
    const int schluessel = Schluesselspalte();
    if (schluessel < 0) throw Fehler(QStringLiteral("%1: kein Schlüssel für %2").arg(name(), m_updateTabelle));
    // A refused write throws from here on and leaves state and values as they are.
    const std::vector<int> spalten = Schreibspalten();
    if (m_zustand == Zustand::Insert) Einfuegen(spalten, schluessel);
    else if (!spalten.empty()) Aendern(spalten, schluessel);
    GeschriebeneZeileUebernehmen();
}

// The columns the post writes: those assigned, of the update table only
// (joined columns are shown only).
std::vector<int> Dataset::Schreibspalten() const
{
    std::vector<int> spalten;
    for (int i = 0; i < int(m_spalten.size()); ++i) {
        const Spalte& s = m_spalten[size_t(i)];
        if (!m_geaendert[size_t(i)] || s.versteckt) continue;
        if (s.tabelle.compare(m_updateTabelle, Qt::CaseInsensitive) != 0) continue;
        spalten.push_back(i);
    }
    return spalten;
}

// The value being written into a column of the update table, for the
// message about a value that is taken already.
QVariant Dataset::GeschriebenerWert(const QString& tabelle, const QString& spalte) const
{
    if (tabelle.compare(m_updateTabelle, Qt::CaseInsensitive) != 0) return QVariant();
    for (int i = 0; i < int(m_spalten.size()); ++i) {
        const Spalte& s = m_spalten[size_t(i)];
        if (!s.versteckt && s.tabelle.compare(tabelle, Qt::CaseInsensitive) == 0 && s.herkunft.compare(spalte, Qt::CaseInsensitive) == 0)
            return m_editPuffer.value(i);
    }
    return QVariant();
}

// Inserts the row; afterwards the buffer holds its key (the row key of a
// table dataset, the `id` of the update table) also when no key was typed.
// A proposed number that another workstation took meanwhile is proposed
// anew and the insert tried again.
void Dataset::Einfuegen(const std::vector<int>& spalten, int schluessel)
{
    QStringList namen, fragen;
    for (int i : spalten) {
        namen << QStringLiteral("\"%1\"").arg(m_spalten[size_t(i)].herkunft);
        fragen << QStringLiteral("?");
    }
    QString sql = namen.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_updateTabelle)
                                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(m_updateTabelle, namen.join(QStringLiteral(", ")), fragen.join(QStringLiteral(", ")));
    // The new row's key as the database has it (its `id` may be assigned there).
    const bool tabelle = m_art == Art::Tabelle;
    const int id = tabelle ? Spaltenindex(QStringLiteral("id")) : schluessel;
    const bool idLesen = id >= 0 && !m_geaendert[size_t(id)];
    QStringList zurueck;
    if (tabelle) zurueck << m_verbindung->Zeilenschluessel(m_updateTabelle);
    if (idLesen) zurueck << QStringLiteral("id");
    if (!zurueck.isEmpty()) sql += QStringLiteral(" RETURNING ") + zurueck.join(QStringLiteral(", "));
    for (int versuch = 0;; ++versuch) {
        try {
            Transaktion t(*m_verbindung);
            Anweisung st(*m_verbindung, sql);
            st.setWertsuche([this](const QString& tab, const QString& sp) { return GeschriebenerWert(tab, sp); });
            int idx = 1;
            for (int i : spalten) st.binde(idx++, m_editPuffer[i]);
            QVariant schluesselWert, idWert;
            if (st.schritt() && !zurueck.isEmpty()) {
                int k = 0;
                if (tabelle) schluesselWert = st.wert(k++);
                if (idLesen) idWert = st.wert(k++);
            }
            st.ausfuehren();
            t.commit();
            if (tabelle) m_editPuffer[schluessel] = schluesselWert;
            if (!idWert.isNull()) m_editPuffer[id] = idWert;
            return;
        } catch (const Fehler& f) {
            // A key the database assigns is simply taken again.
            const bool eigenerSchluessel = idLesen && f.doppelt() == (m_updateTabelle + QStringLiteral(".id")).toLower();
            if (versuch >= 50 || !(eigenerSchluessel || NeuVorschlagen(f.doppelt()))) throw;
        }
    }
}

void Dataset::Vorschlag(const QString& feld, const QVariant& wert, std::function<QVariant()> neu)
{
    const int spalte = Spaltenindex(feld);
    if (spalte < 0) throw Fehler(QStringLiteral("%1: Feld '%2' nicht gefunden").arg(objectName(), feld));
    Zuweisen(spalte, wert);
    m_vorschlaege[spalte] = {m_editPuffer.value(spalte), std::move(neu)};
}

// After a refused insert: true when the taken value was a proposal that the
// user kept; the column then holds a new one.
bool Dataset::NeuVorschlagen(const QString& doppelt)
{
    if (doppelt.isEmpty()) return false;
    for (auto it = m_vorschlaege.begin(); it != m_vorschlaege.end(); ++it) {
        const Spalte& sp = m_spalten[size_t(it->first)];
        if (doppelt != (sp.tabelle + QLatin1Char('.') + sp.herkunft).toLower()) continue;
        if (!Gleich(m_editPuffer.value(it->first), it->second.wert)) return false;
        const QVariant neu = Umwandeln(it->first, it->second.neu());
        m_editPuffer[it->first] = neu;
        it->second.wert = neu;
        emit feldGeaendert(it->first);
        return true;
    }
    return false;
}

// Updates the row named by its key and by the values the written columns
// had when read (NULL-safe: IS); no row changed means someone else changed
// or deleted it meanwhile.
void Dataset::Aendern(const std::vector<int>& spalten, int schluessel)
{
    const bool tabelle = m_art == Art::Tabelle;
    const int zeile = ZeileIntern(m_pos);
    const QString schluesselAusdruck = tabelle ? m_verbindung->Zeilenschluessel(m_updateTabelle) : QStringLiteral("id");
    QStringList setzen, wie;
    for (int i : spalten) {
        const QString n = QStringLiteral("\"%1\"").arg(m_spalten[size_t(i)].herkunft);
        setzen << n + QStringLiteral(" = ?");
        wie << n + QStringLiteral(" IS ?");
    }
    // The key comes back: a changed `id` or a row that moved has a new one.
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4 RETURNING %3")
                            .arg(m_updateTabelle, setzen.join(QStringLiteral(", ")), schluesselAusdruck, wie.join(QStringLiteral(" AND ")));
    Anweisung st(*m_verbindung, sql);
    st.setWertsuche([this](const QString& tab, const QString& sp) { return GeschriebenerWert(tab, sp); });
    int idx = 1;
    for (int i : spalten) st.binde(idx++, m_editPuffer[i]);
    st.binde(idx++, Wert(zeile, schluessel));
    for (int i : spalten) st.binde(idx++, Wert(zeile, i));
    if (!st.schritt()) Veraltet();
    const QVariant neuerSchluessel = st.wert(0);
    st.ausfuehren();
    if (tabelle) m_editPuffer[schluessel] = neuerSchluessel;
}

// The snapshot takes the written row; joined columns keep what they showed.
void Dataset::GeschriebeneZeileUebernehmen()
{
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
    m_vorschlaege.clear();
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
    m_vorschlaege.clear();
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
    // A row that is gone already is reported, and stays in the list until it is read again.
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                            .arg(m_updateTabelle, m_art == Art::Tabelle ? m_verbindung->Zeilenschluessel(m_updateTabelle) : QStringLiteral("id"));
    Anweisung st(*m_verbindung, sql);
    st.binde(1, Wert(ZeileIntern(m_pos), schluessel));
    if (st.ausfuehren() == 0) Veraltet();
    m_zeilen.erase(m_zeilen.begin() + ZeileIntern(m_pos));
    FilterAnwenden();
    emit zeilenGeaendert();
    Positionieren(m_pos);
}

// ---- filter ----

void Dataset::Sicherstellen()
{
    if (m_neuLesen && Active()) Lesen(false);
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
