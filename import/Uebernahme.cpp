#include "import/Uebernahme.h"

#include "data/Anweisung.h"
#include "data/Fehler.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace uebernahme {

using data::Feldart;

namespace {

QString Zitat(const QString& s) { return QStringLiteral("„%1“").arg(s); }

QString AlsText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate);
    case QMetaType::QByteArray: return QStringLiteral("Binärdaten");
    default: return v.toString();
    }
}

// A decimal number written with a point or a German comma, optionally with
// thousands points ("1.234,56"); normalised to "-1234.56".
std::optional<QString> DezimalText(QString s)
{
    s = s.trimmed();
    if (s.contains(QLatin1Char(',')))
        s = s.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression zahl(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!zahl.match(s).hasMatch()) return std::nullopt;
    return s;
}

std::optional<double> Zahl(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? -1.0 : 0.0;
    case QMetaType::Int:
    case QMetaType::LongLong: return double(v.toLongLong());
    case QMetaType::Double: return std::isfinite(v.toDouble()) ? std::optional<double>(v.toDouble()) : std::nullopt;
    case QMetaType::QString:
        if (auto t = DezimalText(v.toString())) return t->toDouble();
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<QDateTime> Zeitpunkt(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0), Qt::UTC);
    if (v.typeId() != QMetaType::QString) return std::nullopt;
    const QString s = v.toString().trimmed();
    for (const char* f : {"yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm", "dd.MM.yyyy",
                          "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "d.M.yyyy"}) {
        QDateTime d = QDateTime::fromString(s, QLatin1String(f));
        if (d.isValid()) return QDateTime(d.date(), d.time(), Qt::UTC);
    }
    return std::nullopt;
}

}  // namespace

std::optional<qint64> Zehntausendstel(const QVariant& wert)
{
    switch (wert.typeId()) {
    case QMetaType::Bool: return wert.toBool() ? -10000 : 0;
    case QMetaType::Int:
    case QMetaType::LongLong: return wert.toLongLong() * 10000;
    case QMetaType::Double:
        if (!std::isfinite(wert.toDouble()) || std::fabs(wert.toDouble()) > 1e14) return std::nullopt;
        return std::llround(wert.toDouble() * 10000);
    case QMetaType::QString: {
        // Exactly, digit by digit: currency comes as decimal text.
        const auto t = DezimalText(wert.toString());
        if (!t) return std::nullopt;
        QString s = *t;
        const bool minus = s.startsWith(QLatin1Char('-'));
        if (minus || s.startsWith(QLatin1Char('+'))) s.remove(0, 1);
        QString ganz = s.section(QLatin1Char('.'), 0, 0);
        if (ganz.size() > 14) return std::nullopt;  // beyond any amount, as for doubles below
        QString bruch = s.section(QLatin1Char('.'), 1);
        const bool aufrunden = bruch.size() > 4 && bruch.at(4) >= QLatin1Char('5');
        bruch = bruch.left(4).leftJustified(4, QLatin1Char('0'));
        bool ok1 = true, ok2 = true;
        qint64 n = (ganz.isEmpty() ? 0 : ganz.toLongLong(&ok1)) * 10000 + bruch.toLongLong(&ok2) + (aufrunden ? 1 : 0);
        if (!ok1 || !ok2) return std::nullopt;
        return minus ? -n : n;
    }
    default: return std::nullopt;
    }
}

Umwandlung Umwandeln(const QVariant& q, Feldart art)
{
    Umwandlung u;
    if (!q.isValid() || q.isNull()) return u;
    const QString original = AlsText(q);
    switch (art) {
    case Feldart::Ganzzahl: {
        if (q.typeId() == QMetaType::Int || q.typeId() == QMetaType::LongLong) {
            u.wert = q.toLongLong();
        } else if (q.typeId() == QMetaType::Bool) {
            u.wert = q.toBool() ? -1LL : 0LL;
        } else if (auto z = Zahl(q); z && std::fabs(*z) < 9e18) {
            const double gerundet = std::round(*z);
            u.wert = qlonglong(gerundet);
            if (gerundet != *z) u.grund = QStringLiteral("%1 ist keine ganze Zahl; gerundet auf %2").arg(Zitat(original)).arg(qlonglong(gerundet));
        } else {
            u.grund = QStringLiteral("%1 ist keine ganze Zahl; leer gelassen").arg(Zitat(original));
        }
        break;
    }
    case Feldart::Zahl:
    case Feldart::Geld:
        if (auto z = Zahl(q)) u.wert = *z;
        else u.grund = QStringLiteral("%1 ist keine Zahl; leer gelassen").arg(Zitat(original));
        break;
    case Feldart::JaNein:
        if (q.typeId() == QMetaType::Bool) {
            u.wert = q.toBool() ? -1LL : 0LL;
        } else if (auto z = Zahl(q)) {
            u.wert = *z != 0 ? -1LL : 0LL;
            if (*z != 0 && *z != -1) u.grund = QStringLiteral("%1 als Ja (-1) übernommen").arg(Zitat(original));
        } else {
            const QString t = q.toString().trimmed().toLower();
            if (QStringList{"ja", "wahr", "true", "yes"}.contains(t)) u.wert = -1LL;
            else if (QStringList{"nein", "falsch", "false", "no"}.contains(t)) u.wert = 0LL;
            else u.grund = QStringLiteral("%1 ist kein Ja/Nein-Wert; leer gelassen").arg(Zitat(original));
            if (u.wert.isValid()) u.grund = QStringLiteral("%1 als %2 übernommen").arg(Zitat(original), u.wert.toLongLong() ? QStringLiteral("Ja (-1)") : QStringLiteral("Nein (0)"));
        }
        break;
    case Feldart::Datum: {
        const auto d = Zeitpunkt(q);
        if (!d || !d->date().isValid() || d->date().year() < 1 || d->date().year() > 9999) {
            u.grund = QStringLiteral("%1 ist kein gültiges Datum; leer gelassen").arg(Zitat(original));
            break;
        }
        u.wert = d->date().toString(QStringLiteral("yyyy-MM-dd"));
        if (d->time() != QTime(0, 0)) {
            u.uhrzeitWeg = true;
            u.grund = QStringLiteral("Uhrzeit %1 weggelassen (%2)").arg(d->time().toString(QStringLiteral("HH:mm:ss")), Zitat(original));
        }
        break;
    }
    case Feldart::Text:
    case Feldart::Langtext:
        if (q.typeId() == QMetaType::QByteArray) {
            u.grund = QStringLiteral("Binärdaten werden nicht übernommen; leer gelassen");
        } else {
            u.wert = original;
            if (q.typeId() != QMetaType::QString) u.grund = QStringLiteral("%1 als Text übernommen").arg(Zitat(original));
        }
        break;
    }
    return u;
}

namespace {

// The new database, closed (and on failure removed) on leaving.
class Datei {
public:
    explicit Datei(const QString& pfad) : m_pfad(pfad)
    {
        data::LeereDatenbankSchreiben(pfad);  // the same schema as every new database
        if (sqlite3_open_v2(QFile::encodeName(pfad).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_close(m_db);
            m_db = nullptr;
            QFile::remove(pfad);
            throw data::Fehler(text);
        }
        sqlite3_extended_result_codes(m_db, 1);
    }
    ~Datei()
    {
        sqlite3_close(m_db);
        if (!m_fertig) QFile::remove(m_pfad);
    }
    Datei(const Datei&) = delete;
    Datei& operator=(const Datei&) = delete;
    sqlite3* db() const { return m_db; }
    void Fertig() { m_fertig = true; }

    void Ausfuehren(const QString& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
            sqlite3_free(err);
            throw data::Fehler(text);
        }
    }
    // Rows of a statement (NULL as invalid QVariant).
    QList<QVariantList> Zeilen(const QString& sql)
    {
        data::Anweisung st(m_db, sql);
        QList<QVariantList> out;
        while (st.schritt()) {
            QVariantList z;
            for (int i = 0; i < sqlite3_column_count(st.get()); ++i) {
                switch (sqlite3_column_type(st.get(), i)) {
                case SQLITE_NULL: z << QVariant(); break;
                case SQLITE_INTEGER: z << QVariant(qlonglong(sqlite3_column_int64(st.get(), i))); break;
                case SQLITE_FLOAT: z << QVariant(sqlite3_column_double(st.get(), i)); break;
                default: z << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), i))));
                }
            }
            out << z;
        }
        return out;
    }

private:
    QString m_pfad;
    sqlite3* m_db = nullptr;
    bool m_fertig = false;
};

// The insert of one table. Unlike the program's other statements, a refused
// row is not an error here but a case to handle (a key or code taken twice),
// so stepping returns the engine's result code instead of throwing.
class Einfuegung {
public:
    Einfuegung(sqlite3* db, const QString& sql) : m_db(db), m_st(db, sql) {}
    void Binden(int i, const QVariant& v) { data::Binde(m_st.get(), i, v); }
    int Schritt()
    {
        const int rc = sqlite3_step(m_st.get());
        sqlite3_reset(m_st.get());
        return rc;
    }
    QString Meldung() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3* m_db;
    data::Anweisung m_st;
};

struct Ziel {
    QString name;
    Feldart art;
    bool schluessel;  // INTEGER PRIMARY KEY: NULL gets a new number
};

QString Klammer(const QString& name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }

// Relations the program relies on without the database declaring them:
// rows that point nowhere vanish from item lists, printouts and statistics.
struct Bezug {
    const char* tabelle;
    const char* spalte;
    const char* ziel;
};
const Bezug kBezuege[] = {
    {"t_lieferschein_artikel", "la_artikel_id", "t_artikel"},
    {"t_artikel", "artikel_einheit_id", "t_einheit"},
    {"t_artikel", "artikel_kategorie_id", "t_kategorie"},
};

class Aufbau {
public:
    Aufbau(const Zeilenquelle& q, const QString& pfad) : m_q(q), m_pfad(pfad) {}

    Ergebnis Ausfuehren()
    {
        m_kopf << QStringLiteral("Datenübernahme aus %1").arg(m_q.Beschreibung())
               << QStringLiteral("Zeitpunkt: %1").arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
               << QString();
        Datei datei(m_pfad);
        m_datei = &datei;
        QStringList eigene;
        for (const QVariantList& z : datei.Zeilen(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid")))
            eigene << z.at(0).toString();

        QList<QPair<QString, QString>> paare;  // source table, own table
        for (const QString& t : m_q.Tabellen()) {
            QString gefunden;
            for (const QString& e : eigene)
                if (t.compare(e, Qt::CaseInsensitive) == 0) gefunden = e;
            if (gefunden.isEmpty()) m_unbekannt << QStringLiteral("  Tabelle %1 (%2 Zeilen)").arg(Zitat(t)).arg(m_q.Zeilenzahl(t));
            else paare.append({t, gefunden});
        }
        for (const QString& e : eigene)
            if (std::none_of(paare.cbegin(), paare.cend(), [&](const auto& p) { return p.second == e; })) m_fehlend << QStringLiteral("  %1 (die ganze Tabelle)").arg(e);
        if (paare.isEmpty())
            throw data::Fehler(QStringLiteral("Die Datei enthält keine Tabelle von Ordavo (gefunden: %1). Es wird nichts übernommen.")
                                   .arg(m_q.Tabellen().isEmpty() ? QStringLiteral("keine Tabellen") : m_q.Tabellen().join(QStringLiteral(", "))));

        m_begonnen = true;
        // Orphans and refused values are kept, so the checks wait until the end.
        datei.Ausfuehren(QStringLiteral("PRAGMA foreign_keys = OFF"));
        datei.Ausfuehren(QStringLiteral("BEGIN"));
        for (const auto& p : paare) Tabelle(p.first, p.second);
        Bezuege();
        datei.Ausfuehren(QStringLiteral("COMMIT"));
        datei.Ausfuehren(QStringLiteral("ANALYZE"));
        datei.Fertig();
        m_ergebnis.protokoll = Text(QStringLiteral("Die Daten wurden vollständig übernommen."));
        return m_ergebnis;
    }

    // Whether rows were being copied (a refused file has no protocol).
    bool Begonnen() const { return m_begonnen; }

    QString Text(const QString& schluss) const
    {
        QStringList out = m_kopf;
        out << QStringLiteral("Tabellen:") << m_tabellen;
        if (!m_unbekannt.isEmpty()) out << QString() << QStringLiteral("Nicht übernommen (unbekannt):") << m_unbekannt;
        if (!m_fehlend.isEmpty()) out << QString() << QStringLiteral("In der Quelle fehlende Tabellen und Spalten (bleiben leer):") << m_fehlend;
        out << QString() << QStringLiteral("Geänderte Werte: %1 (davon Uhrzeiten weggelassen: %2)").arg(m_ergebnis.geaendert).arg(m_uhrzeiten)
            << m_aenderungen;
        out << QString() << QStringLiteral("Zeilen mit Bezug ins Leere (übernommen): %1").arg(m_ergebnis.verwaist) << m_verwaist;
        out << QString() << schluss;
        return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

private:
    void Aenderung(const QString& tabelle, const QString& kennung, const QString& spalte, const QString& grund)
    {
        ++m_ergebnis.geaendert;
        m_aenderungen << QStringLiteral("  %1 %2, %3: %4").arg(tabelle, kennung, spalte, grund);
    }

    void Tabelle(const QString& quelle, const QString& eigene)
    {
        QList<Ziel> ziele;
        for (const QVariantList& z : m_datei->Zeilen(QStringLiteral("PRAGMA table_info(%1)").arg(Klammer(eigene)))) {
            const QString name = z.at(1).toString();
            bool bekannt = false;
            Feldart art = data::SpaltenArt(eigene, name, &bekannt);
            if (!bekannt) {
                const QString typ = z.at(2).toString().toUpper();
                art = typ == QLatin1String("INTEGER") ? Feldart::Ganzzahl : typ == QLatin1String("REAL") ? Feldart::Zahl : Feldart::Text;
            }
            ziele.append({name, art, z.at(5).toInt() == 1 && z.at(2).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0});
        }
        const QList<QuellSpalte> spalten = m_q.Spalten(quelle);
        QList<int> zuordnung;  // per source column: index into ziele, or -1
        QList<int> benutzt;
        int kennSpalte = -1;
        for (int i = 0; i < spalten.size(); ++i) {
            int j = -1;
            for (int k = 0; k < ziele.size(); ++k)
                if (!benutzt.contains(k) && spalten[i].name.compare(ziele[k].name, Qt::CaseInsensitive) == 0) j = k;
            zuordnung << j;
            if (j < 0) {
                m_unbekannt << QStringLiteral("  Spalte %1 der Tabelle %2 (%3)").arg(Zitat(spalten[i].name), Zitat(quelle), spalten[i].jetTyp);
                continue;
            }
            benutzt << j;
            if (ziele[j].schluessel || (kennSpalte < 0 && ziele[j].name.compare(QLatin1String("PLU"), Qt::CaseInsensitive) == 0)) kennSpalte = i;
        }
        for (int k = 0; k < ziele.size(); ++k)
            if (!benutzt.contains(k)) m_fehlend << QStringLiteral("  %1.%2").arg(eigene, ziele[k].name);

        QStringList namen, fragen;
        for (int j : benutzt) {
            namen << Klammer(ziele[j].name);
            fragen << QStringLiteral("?");
        }
        Einfuegung einf(m_datei->db(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(Klammer(eigene), namen.join(QLatin1Char(',')), fragen.join(QLatin1Char(','))));

        QMap<int, qint64> quellSummen;  // per index into ziele, money columns only
        for (int j : benutzt)
            if (ziele[j].art == Feldart::Geld) quellSummen[j] = 0;
        qint64 gelesen = 0;
        m_q.Lesen(quelle, [&](const Zeile& zeile) {
            ++gelesen;
            const QString kennung = kennSpalte >= 0 && kennSpalte < zeile.size() && zeile[kennSpalte].isValid()
                                        ? QStringLiteral("%1 %2").arg(spalten[kennSpalte].name, AlsText(zeile[kennSpalte]))
                                        : QStringLiteral("Zeile %1").arg(gelesen);
            QList<QVariant> werte;
            for (int p = 0; p < benutzt.size(); ++p) werte << QVariant();
            for (int i = 0; i < spalten.size() && i < zeile.size(); ++i) {
                const int j = zuordnung[i];
                if (j < 0) continue;
                const Umwandlung u = Umwandeln(zeile[i], ziele[j].art);
                if (!u.grund.isEmpty()) Aenderung(eigene, kennung, ziele[j].name, u.grund);
                if (u.uhrzeitWeg) ++m_uhrzeiten;
                if (ziele[j].art == Feldart::Geld)
                    if (auto s = Zehntausendstel(zeile[i])) quellSummen[j] += *s;
                werte[benutzt.indexOf(j)] = u.wert;
            }
            Einfuegen(einf, eigene, kennung, ziele, benutzt, werte);
        });

        const qint64 angegeben = m_q.Zeilenzahl(quelle);
        const qint64 neu = m_datei->Zeilen(QStringLiteral("SELECT count(*) FROM %1").arg(Klammer(eigene))).at(0).at(0).toLongLong();
        m_tabellen << QStringLiteral("  %1 (aus %2): %3 Zeilen gelesen, %4 geschrieben").arg(eigene, Zitat(quelle)).arg(gelesen).arg(neu);
        if (gelesen != angegeben || neu != gelesen)
            throw data::Fehler(QStringLiteral("Die Zeilenzahl der Tabelle %1 stimmt nicht: laut Quelle %2, gelesen %3, geschrieben %4.")
                                   .arg(eigene).arg(angegeben).arg(gelesen).arg(neu));
        for (auto it = quellSummen.cbegin(); it != quellSummen.cend(); ++it) {
            qint64 summe = 0;
            for (const QVariantList& z : m_datei->Zeilen(QStringLiteral("SELECT %1 FROM %2").arg(Klammer(ziele[it.key()].name), Klammer(eigene))))
                if (auto s = Zehntausendstel(z.at(0))) summe += *s;
            if (summe != it.value())
                throw data::Fehler(QStringLiteral("Die Summe der Spalte %1.%2 stimmt nicht: Quelle %3, neue Datenbank %4.")
                                       .arg(eigene, ziele[it.key()].name, QString::number(it.value() / 10000.0, 'f', 4), QString::number(summe / 10000.0, 'f', 4)));
        }
    }

    // A key or code that is already taken (or missing) gets left to the
    // database: the row is kept under a new number, and the protocol says so.
    void Einfuegen(Einfuegung& einf, const QString& tabelle, const QString& kennung, const QList<Ziel>& ziele,
                   const QList<int>& benutzt, QList<QVariant>& werte)
    {
        for (int versuch = 0;; ++versuch) {
            for (int p = 0; p < werte.size(); ++p) einf.Binden(p + 1, werte[p]);
            const int rc = einf.Schritt();
            if (rc == SQLITE_DONE) break;
            const QString meldung = einf.Meldung();
            if ((rc != SQLITE_CONSTRAINT_PRIMARYKEY && rc != SQLITE_CONSTRAINT_UNIQUE) || versuch > werte.size())
                throw data::Fehler(QStringLiteral("Eine Zeile der Tabelle %1 (%2) lässt sich nicht speichern: %3").arg(tabelle, kennung, meldung));
            const QString spalte = meldung.section(QLatin1Char('.'), -1).trimmed();
            int p = -1;
            for (int k = 0; k < benutzt.size(); ++k)
                if (ziele[benutzt[k]].name.compare(spalte, Qt::CaseInsensitive) == 0) p = k;
            if (p < 0 || !werte[p].isValid())
                throw data::Fehler(QStringLiteral("Eine Zeile der Tabelle %1 (%2) lässt sich nicht speichern: %3").arg(tabelle, kennung, meldung));
            const QString alt = AlsText(werte[p]);
            werte[p] = QVariant();
            if (ziele[benutzt[p]].schluessel) {
                einf.Binden(p + 1, QVariant());
                m_nachtrag = {tabelle, kennung, ziele[benutzt[p]].name, alt};
            } else {
                Aenderung(tabelle, kennung, ziele[benutzt[p]].name, QStringLiteral("%1 gibt es schon; leer gelassen").arg(Zitat(alt)));
            }
        }
        // A key that came empty or twice: the database gave the next free one.
        for (int p = 0; p < werte.size(); ++p) {
            if (!ziele[benutzt[p]].schluessel || werte[p].isValid()) continue;
            const qlonglong neu = sqlite3_last_insert_rowid(m_datei->db());
            if (!m_nachtrag.tabelle.isEmpty())
                Aenderung(tabelle, kennung, ziele[benutzt[p]].name, QStringLiteral("Schlüssel %1 gibt es schon; neuer Schlüssel %2").arg(Zitat(m_nachtrag.alt)).arg(neu));
            else
                Aenderung(tabelle, kennung, ziele[benutzt[p]].name, QStringLiteral("ohne Schlüssel; neuer Schlüssel %1").arg(neu));
        }
        m_nachtrag = {};
    }

    void Bezuege()
    {
        for (const QVariantList& z : m_datei->Zeilen(QStringLiteral("PRAGMA foreign_key_check"))) {
            ++m_ergebnis.verwaist;
            m_verwaist << QStringLiteral("  %1 id %2: verweist auf eine fehlende Zeile in %3").arg(z.at(0).toString(), z.at(1).toString(), z.at(2).toString());
        }
        for (const Bezug& b : kBezuege) {
            const QString sql = QStringLiteral("SELECT c.id, c.%2 FROM %1 c WHERE c.%2 IS NOT NULL AND NOT EXISTS (SELECT 1 FROM %3 z WHERE z.id = c.%2) ORDER BY c.id")
                                    .arg(QLatin1String(b.tabelle), QLatin1String(b.spalte), QLatin1String(b.ziel));
            for (const QVariantList& z : m_datei->Zeilen(sql)) {
                ++m_ergebnis.verwaist;
                m_verwaist << QStringLiteral("  %1 id %2: %3 = %4 gibt es in %5 nicht")
                                  .arg(QLatin1String(b.tabelle), z.at(0).toString(), QLatin1String(b.spalte), z.at(1).toString(), QLatin1String(b.ziel));
            }
        }
    }

    struct Nachtrag {
        QString tabelle, kennung, spalte, alt;
    };
    const Zeilenquelle& m_q;
    QString m_pfad;
    Datei* m_datei = nullptr;
    Ergebnis m_ergebnis;
    QStringList m_kopf, m_tabellen, m_unbekannt, m_fehlend, m_aenderungen, m_verwaist;
    int m_uhrzeiten = 0;
    bool m_begonnen = false;
    Nachtrag m_nachtrag;
};

QString TempName(const QString& ziel)
{
    const QFileInfo f(ziel);
    return f.absoluteDir().filePath(QStringLiteral(".%1.uebernahme-%2").arg(f.fileName(), QUuid::createUuid().toString(QUuid::Id128).left(12)));
}

void ProtokollSchreiben(const QString& neben, const QString& text)
{
    QSaveFile f(QFileInfo(neben).absoluteDir().filePath(ProtokollName()));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(text.toUtf8());
        f.commit();
    }
}

QString FreierName(const QString& pfad)
{
    const QFileInfo f(pfad);
    const QString suffix = f.suffix().isEmpty() ? QString() : QLatin1Char('.') + f.suffix();
    QString name = f.absoluteDir().filePath(f.completeBaseName() + QStringLiteral("_windows") + suffix);
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = f.absoluteDir().filePath(QStringLiteral("%1_windows_%2%3").arg(f.completeBaseName()).arg(n).arg(suffix));
    return name;
}

}  // namespace

QString ProtokollName() { return QStringLiteral("datenuebernahme.txt"); }

Ergebnis DatenbankAufbauen(const Zeilenquelle& quelle, const QString& pfad, QString* protokollBeiFehler)
{
    Aufbau a(quelle, pfad);
    try {
        return a.Ausfuehren();
    } catch (const data::Fehler& f) {
        if (protokollBeiFehler && a.Begonnen()) *protokollBeiFehler = a.Text(QStringLiteral("Die Daten wurden NICHT übernommen: %1").arg(f.text()));
        throw;
    }
}

Ergebnis UebernehmenNach(const Zeilenquelle& quelle, const QString& ziel)
{
    if (QFileInfo::exists(ziel))
        throw data::Fehler(QStringLiteral("Die Datei %1 gibt es schon; sie wird nicht überschrieben.").arg(ziel));
    const QString temp = TempName(ziel);
    QString bisher;
    Ergebnis e;
    try {
        e = DatenbankAufbauen(quelle, temp, &bisher);
    } catch (const data::Fehler&) {
        if (!bisher.isEmpty()) ProtokollSchreiben(ziel, bisher);
        throw;
    }
    // rename() refuses an existing target, so a file that appeared meanwhile stays.
    if (!QFile::rename(temp, ziel)) {
        QFile::remove(temp);
        throw data::Fehler(QStringLiteral("Die neue Datenbank kann nicht als %1 gespeichert werden.").arg(ziel));
    }
    e.protokoll = QStringLiteral("Neue Datenbank: %1\n").arg(ziel) + e.protokoll;
    ProtokollSchreiben(ziel, e.protokoll);
    return e;
}

AmOrt UebernehmenAmOrt(std::unique_ptr<Zeilenquelle> quelle, const QString& pfad)
{
    const QString temp = TempName(pfad);
    QString bisher;
    AmOrt e;
    try {
        static_cast<Ergebnis&>(e) = DatenbankAufbauen(*quelle, temp, &bisher);
    } catch (const data::Fehler&) {
        if (!bisher.isEmpty()) ProtokollSchreiben(pfad, bisher);
        throw;
    }
    quelle.reset();  // the Jet file is moved next
    e.original = FreierName(pfad);
    if (!QFile::rename(pfad, e.original)) {
        QFile::remove(temp);
        throw data::Fehler(QStringLiteral("Die Datei %1 kann nicht in %2 umbenannt werden; es wurde nichts übernommen.").arg(pfad, e.original));
    }
    if (!QFile::rename(temp, pfad)) {
        QFile::rename(e.original, pfad);
        QFile::remove(temp);
        throw data::Fehler(QStringLiteral("Die neue Datenbank kann nicht als %1 gespeichert werden; es wurde nichts übernommen.").arg(pfad));
    }
    e.protokoll = QStringLiteral("Neue Datenbank: %1\n").arg(pfad) + e.protokoll
                  + QStringLiteral("Die Datei der Windows-Fassung liegt unverändert unter %1.\n").arg(QFileInfo(e.original).fileName());
    ProtokollSchreiben(pfad, e.protokoll);
    return e;
}

QString Inhalt(const Zeilenquelle& quelle)
{
    QStringList out{quelle.Beschreibung()};
    for (const QString& t : quelle.Tabellen()) {
        out << QStringLiteral("%1: %2 Zeilen").arg(t).arg(quelle.Zeilenzahl(t));
        for (const QuellSpalte& s : quelle.Spalten(t)) out << QStringLiteral("  %1  %2").arg(s.name, s.jetTyp);
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace uebernahme
