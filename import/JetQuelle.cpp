// Reads Jet 3, Jet 4 and ACE files through mdbtools; the format itself is the
// library's business.
#include "import/Zeilenquelle.h"

#include "data/Fehler.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <mdbtools.h>
#include <vector>

namespace uebernahme {

namespace {

// Memo values longer than this would come back cut off; a value that fills
// the buffer is refused rather than taken over shortened.
constexpr size_t kPuffer = 1 << 20;

Jetart ArtVon(int typ)
{
    switch (typ) {
    case MDB_BOOL: return Jetart::JaNein;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: return Jetart::Ganzzahl;
    case MDB_MONEY:
    case MDB_NUMERIC: return Jetart::Waehrung;  // both come as exact decimal text
    case MDB_FLOAT:
    case MDB_DOUBLE: return Jetart::Gleitkomma;
    case MDB_DATETIME: return Jetart::Datum;
    case MDB_BINARY:
    case MDB_OLE:
    case MDB_COMPLEX: return Jetart::Binaer;
    default: return Jetart::Text;
    }
}

QString Versionsname(guint32 v)
{
    switch (v) {
    case MDB_VER_JET3: return QStringLiteral("Jet 3");
    case MDB_VER_JET4: return QStringLiteral("Jet 4");
    default: return QStringLiteral("ACE");
    }
}

class JetQuelle : public Zeilenquelle {
public:
    explicit JetQuelle(const QString& pfad) : m_pfad(pfad)
    {
        if (!QFileInfo(pfad).isFile())
            throw data::Fehler(QStringLiteral("Die Datei %1 gibt es nicht.").arg(pfad));
        m_mdb = mdb_open(QFile::encodeName(pfad).constData(), MDB_NOFLAGS);
        if (!m_mdb) throw Unlesbar();
        mdb_set_boolean_fmt_numbers(m_mdb);
        mdb_set_bind_size(m_mdb, kPuffer);
        if (!mdb_read_catalog(m_mdb, MDB_TABLE)) {
            mdb_close(m_mdb);
            throw Unlesbar();
        }
        for (unsigned i = 0; i < m_mdb->num_catalog; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (e->object_type != MDB_TABLE || mdb_is_system_table(e)) continue;
            m_eintraege.push_back(e);
            m_namen << QString::fromUtf8(e->object_name);
        }
    }
    ~JetQuelle() override { mdb_close(m_mdb); }
    JetQuelle(const JetQuelle&) = delete;
    JetQuelle& operator=(const JetQuelle&) = delete;

    QString Beschreibung() const override
    {
        return QStringLiteral("%1 (%2)").arg(m_pfad, Versionsname(m_mdb->f->jet_version));
    }
    QStringList Tabellen() const override { return m_namen; }

    QList<QuellSpalte> Spalten(const QString& tabelle) const override
    {
        Tabellendef t(Eintrag(tabelle), *this);
        QList<QuellSpalte> out;
        for (unsigned i = 0; i < t.def->num_cols; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t.def->columns, i));
            out.append({QString::fromUtf8(c->name), QString::fromUtf8(mdb_get_colbacktype_string(c)), ArtVon(c->col_type)});
        }
        return out;
    }

    qint64 Zeilenzahl(const QString& tabelle) const override
    {
        Tabellendef t(Eintrag(tabelle), *this);
        return t.def->num_rows;
    }

    void Lesen(const QString& tabelle, const std::function<void(const Zeile&)>& zeile) const override
    {
        Tabellendef t(Eintrag(tabelle), *this);
        const unsigned n = t.def->num_cols;
        std::vector<std::vector<char>> puffer(n);
        std::vector<int> laenge(n, 0);
        std::vector<int> typ(n);
        for (unsigned i = 0; i < n; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t.def->columns, i));
            typ[i] = c->col_type;
            if (ArtVon(typ[i]) == Jetart::Binaer) continue;  // not taken over; reported as such
            puffer[i].assign(kPuffer, '\0');
            mdb_bind_column(t.def, int(i) + 1, puffer[i].data(), &laenge[i]);
        }
        mdb_rewind_table(t.def);
        Zeile z;
        z.reserve(int(n));
        while (mdb_fetch_row(t.def)) {
            z.clear();
            for (unsigned i = 0; i < n; ++i) {
                auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t.def->columns, i));
                z << (typ[i] == MDB_DATETIME ? Datum(c, laenge[i]) : Wert(typ[i], puffer[i], laenge[i], tabelle));
            }
            zeile(z);
        }
    }

private:
    // A table definition with its columns, freed on leaving.
    struct Tabellendef {
        Tabellendef(MdbCatalogEntry* e, const JetQuelle& q)
        {
            def = mdb_read_table(e);
            if (!def || !mdb_read_columns(def)) {
                if (def) mdb_free_tabledef(def);
                throw q.Unlesbar();
            }
        }
        ~Tabellendef() { mdb_free_tabledef(def); }
        Tabellendef(const Tabellendef&) = delete;
        Tabellendef& operator=(const Tabellendef&) = delete;
        MdbTableDef* def = nullptr;
    };

    data::Fehler Unlesbar() const
    {
        return data::Fehler(QStringLiteral("Die Datei %1 lässt sich nicht als Access-Datenbank lesen "
                                           "(beschädigt, unvollständig oder kein unterstütztes Format).").arg(m_pfad));
    }

    MdbCatalogEntry* Eintrag(const QString& tabelle) const
    {
        const int i = m_namen.indexOf(tabelle);
        if (i < 0) throw data::Fehler(QStringLiteral("Die Tabelle „%1“ gibt es in %2 nicht.").arg(tabelle, m_pfad));
        return m_eintraege[size_t(i)];
    }

    // The library writes every value as text into the bound buffer; an empty
    // text is how it gives NULL (it does not tell NULL from an empty string).
    QVariant Wert(int typ, const std::vector<char>& puffer, int laenge, const QString& tabelle) const
    {
        if (puffer.empty()) return QVariant(QByteArray("OLE"));
        if (laenge <= 0) return typ == MDB_BOOL ? QVariant(false) : QVariant();
        if (size_t(laenge) >= kPuffer - 1)
            throw data::Fehler(QStringLiteral("Ein Text in der Tabelle „%1“ ist länger als %2 Zeichen und kann nicht vollständig gelesen werden.")
                                   .arg(tabelle).arg(kPuffer - 1));
        const QByteArray roh(puffer.data(), laenge);
        switch (ArtVon(typ)) {
        case Jetart::JaNein: return QVariant(roh != "0");
        case Jetart::Ganzzahl: return QVariant(roh.toLongLong());
        case Jetart::Gleitkomma: return QVariant(roh.toDouble());
        default: return QVariant(QString::fromUtf8(roh));  // text, memo, currency and decimal text
        }
    }

    // The library's text of a date is blank outside 1900 to about 4637, and
    // Windows stored dates from 100 to 9999. The stored value is the day
    // count since 30.12.1899 with the time of day as fraction, as a double
    // where the library points to it in the row just fetched.
    QVariant Datum(const MdbColumn* c, int laenge) const
    {
        if (laenge <= 0 || c->cur_value_len != 8) return QVariant();
        const double tage = mdb_get_double(m_mdb->pg_buf, c->cur_value_start);
        if (!std::isfinite(tage) || std::fabs(tage) > 3e6) return QVariant(QStringLiteral("%1").arg(tage));
        const double ganz = std::trunc(tage);
        qint64 sekunden = std::llround(std::fabs(tage - ganz) * 86400.0);
        QDate tag = QDate(1899, 12, 30).addDays(qint64(ganz));
        if (sekunden >= 86400) {
            tag = tag.addDays(1);
            sekunden -= 86400;
        }
        // In UTC: a local time could fall into a daylight-saving gap.
        return QVariant(QDateTime(tag, QTime(0, 0).addSecs(int(sekunden)), Qt::UTC));
    }

    QString m_pfad;
    MdbHandle* m_mdb = nullptr;
    std::vector<MdbCatalogEntry*> m_eintraege;
    QStringList m_namen;
};

}  // namespace

bool IstJetDatei(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray kopf = f.read(32);
    return kopf.mid(4, 15) == "Standard Jet DB" || kopf.mid(4, 15) == "Standard ACE DB";
}

std::unique_ptr<Zeilenquelle> JetQuelleOeffnen(const QString& pfad) { return std::make_unique<JetQuelle>(pfad); }

}  // namespace uebernahme
