#include "data/Schema.h"

#include "data/Fehler.h"
#include "data/Schemaversion.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace data {

namespace {

struct Spalte {
    const char* name;
    Feldart art;
    const char* zusatz;  // constraint beyond the kind
};

struct Tabelle {
    const char* name;
    std::initializer_list<Spalte> spalten;
    const char* nachsatz;  // table constraints
};

const Tabelle kTabellen[] = {
    {"t_adressen",
     {{"id", Feldart::Ganzzahl, "PRIMARY KEY"},
      {"adr_firma", Feldart::Text, ""},
      {"adr_ganzername", Feldart::Text, ""},
      {"adr_adresse", Feldart::Text, ""},
      {"adr_plz", Feldart::Text, ""},
      {"adr_ort", Feldart::Text, ""},
      {"adr_tel", Feldart::Text, ""},
      {"adr_fax", Feldart::Text, ""},
      {"adr_mobil", Feldart::Text, ""},
      {"adr_email", Feldart::Text, ""},
      {"adr_uidnr", Feldart::Text, ""},
      {"adr_kunde", Feldart::JaNein, ""},
      {"adr_lieferant", Feldart::JaNein, ""},
      {"adr_hatlieferadr", Feldart::JaNein, ""},
      {"adr_lief_firma", Feldart::Text, ""},
      {"adr_lief_ganzername", Feldart::Text, ""},
      {"adr_lief_adresse", Feldart::Text, ""},
      {"adr_lief_plz", Feldart::Text, ""},
      {"adr_lief_ort", Feldart::Text, ""},
      {"adr_lief_tel", Feldart::Text, ""},
      {"adr_lief_fax", Feldart::Text, ""},
      {"adr_lief_mobil", Feldart::Text, ""},
      {"adr_lief_email", Feldart::Text, ""}},
     ""},
    {"t_einheit", {{"id", Feldart::Ganzzahl, "PRIMARY KEY"}, {"einheit", Feldart::Text, ""}}, ""},
    {"t_kategorie", {{"id", Feldart::Ganzzahl, "PRIMARY KEY"}, {"kategorie", Feldart::Text, ""}}, ""},
    {"t_artikel",
     {{"id", Feldart::Ganzzahl, "PRIMARY KEY"},
      {"artikel_nr", Feldart::Ganzzahl, ""},
      {"artikel_bez", Feldart::Text, ""},
      {"artikel_langtext", Feldart::Langtext, ""},
      {"artikel_preis", Feldart::Geld, ""},
      {"artikel_preis_2", Feldart::Geld, ""},
      {"artikel_Mwst", Feldart::Zahl, ""},
      {"artikel_einkauf", Feldart::Geld, ""},
      {"artikel_einheit_id", Feldart::Ganzzahl, ""},
      {"artikel_kategorie_id", Feldart::Ganzzahl, ""}},
     ""},
    {"t_lieferschein",
     {{"id", Feldart::Ganzzahl, "PRIMARY KEY"},
      {"lief_nr", Feldart::Ganzzahl, ""},
      {"lief_datum", Feldart::Datum, ""},
      {"lief_adresse_id", Feldart::Ganzzahl, "REFERENCES t_adressen(id) ON DELETE CASCADE"},
      {"lief_rechnungsdatum", Feldart::Datum, ""},
      {"lief_zahldatum", Feldart::Datum, ""},
      {"lief_zahlbetrag", Feldart::Geld, ""},
      {"lief_zahlungsbed", Feldart::Langtext, ""},
      {"lief_Bankverbindungen", Feldart::Langtext, ""},
      {"lief_Zusatztext", Feldart::Langtext, ""},
      // Empty, not without value: the first dunning proposes the company's dunning text.
      {"lief_Mahnungstext", Feldart::Langtext, "DEFAULT ''"}},
     ""},
    {"t_lieferschein_artikel",
     {{"id", Feldart::Ganzzahl, "PRIMARY KEY"},
      {"la_lieferschein_id", Feldart::Ganzzahl, "REFERENCES t_lieferschein(id) ON DELETE CASCADE"},
      {"la_artikel_id", Feldart::Ganzzahl, ""},
      {"la_anzahl", Feldart::Zahl, ""},
      {"la_preis", Feldart::Geld, ""},
      {"la_artikel_einkauf", Feldart::Geld, ""}},
     ""},
    {"t_PLU", {{"PLU", Feldart::Ganzzahl, "UNIQUE"}, {"Artikel_id", Feldart::Ganzzahl, ""}}, ""},
    {"t_stammdaten",
     {{"stammd_firma", Feldart::Text, ""},
      {"stammd_ganzername", Feldart::Text, ""},
      {"stammd_adresse", Feldart::Text, ""},
      {"stammd_plz", Feldart::Text, ""},
      {"stammd_ort", Feldart::Text, ""},
      {"stammd_tel", Feldart::Text, ""},
      {"stammd_fax", Feldart::Text, ""},
      {"stammd_mobil", Feldart::Text, ""},
      {"stammd_email", Feldart::Text, ""},
      {"stammd_uidnr", Feldart::Text, ""},
      {"stammd_firma_d", Feldart::JaNein, ""},
      {"stammd_ganzername_d", Feldart::JaNein, ""},
      {"stammd_adresse_d", Feldart::JaNein, ""},
      {"stammd_plz_d", Feldart::JaNein, ""},
      {"stammd_tel_d", Feldart::JaNein, ""},
      {"stammd_fax_d", Feldart::JaNein, ""},
      {"stammd_mobil_d", Feldart::JaNein, ""},
      {"stammd_email_d", Feldart::JaNein, ""},
      {"stammd_uidnr_d", Feldart::JaNein, ""},
      {"stammd_drucken", Feldart::Zahl, ""},
      {"Zahlungsbedingungen", Feldart::Langtext, ""},
      {"Bankverbindungen", Feldart::Langtext, ""},
      {"Zusatztext", Feldart::Langtext, ""},
      {"Mahnungstext", Feldart::Langtext, ""}},
     ""},
};

// Joins and periods read these; the usage checks count by unit and category.
const char* kIndizes[] = {
    "CREATE INDEX ix_la_lieferschein_id ON t_lieferschein_artikel (la_lieferschein_id)",
    "CREATE INDEX ix_la_artikel_id ON t_lieferschein_artikel (la_artikel_id)",
    "CREATE INDEX ix_lief_adresse_id ON t_lieferschein (lief_adresse_id)",
    "CREATE INDEX ix_lief_datum ON t_lieferschein (lief_datum)",
    "CREATE INDEX ix_artikel_nr ON t_artikel (artikel_nr)",
    "CREATE INDEX ix_artikel_einheit_id ON t_artikel (artikel_einheit_id)",
    "CREATE INDEX ix_artikel_kategorie_id ON t_artikel (artikel_kategorie_id)",
    "CREATE INDEX ix_plu_artikel_id ON t_PLU (Artikel_id)",
};

QString Typ(Feldart art)
{
    switch (art) {
    case Feldart::Ganzzahl:
    case Feldart::JaNein: return QStringLiteral("INTEGER");
    case Feldart::Zahl:
    case Feldart::Geld: return QStringLiteral("REAL");
    default: return QStringLiteral("TEXT");
    }
}

QString Pruefung(const Spalte& s)
{
    const QString n = QString::fromLatin1(s.name);
    switch (s.art) {
    case Feldart::JaNein: return QStringLiteral(" CHECK (%1 IN (-1, 0))").arg(n);
    case Feldart::Datum:
        return QStringLiteral(" CHECK (%1 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')").arg(n);
    default: return QString();
    }
}

}  // namespace

Feldart SpaltenArt(const QString& tabelle, const QString& spalte, bool* bekannt)
{
    for (const Tabelle& t : kTabellen) {
        if (!tabelle.isEmpty() && tabelle.compare(QLatin1String(t.name), Qt::CaseInsensitive) != 0) continue;
        for (const Spalte& s : t.spalten) {
            if (spalte.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
                if (bekannt) *bekannt = true;
                return s.art;
            }
        }
    }
    if (bekannt) *bekannt = false;
    return Feldart::Text;
}

QStringList SchemaAnweisungen()
{
    QStringList out;
    for (const Tabelle& t : kTabellen) {
        QStringList spalten;
        for (const Spalte& s : t.spalten) {
            QString def = QStringLiteral("%1 %2").arg(QLatin1String(s.name), Typ(s.art));
            if (*s.zusatz) def += QLatin1Char(' ') + QLatin1String(s.zusatz);
            def += Pruefung(s);
            spalten << def;
        }
        if (*t.nachsatz) spalten << QLatin1String(t.nachsatz);
        out << QStringLiteral("CREATE TABLE %1 (\n  %2\n) STRICT").arg(QLatin1String(t.name), spalten.join(QStringLiteral(",\n  ")));
    }
    for (const char* i : kIndizes) out << QLatin1String(i);
    return out;
}

static void Ausfuehren(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw Fehler(text);
    }
}

void SchemaAnlegen(sqlite3* db)
{
    Ausfuehren(db, QStringLiteral("BEGIN"));
    try {
        for (const QString& s : SchemaAnweisungen()) Ausfuehren(db, s);
        Ausfuehren(db, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    Ausfuehren(db, QStringLiteral("ANALYZE"));
}

void LeereDatenbankSchreiben(const QString& pfad)
{
    if (QFileInfo::exists(pfad))
        throw Fehler(QStringLiteral("Die Datei %1 existiert bereits und wird nicht überschrieben.").arg(pfad));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(pfad.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        throw Fehler(text);
    }
    try {
        SchemaAnlegen(db);
        SchemaAktualisieren(db);
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(pfad);
        throw;
    }
    sqlite3_close(db);
}

}  // namespace data
