#include "server/PgSchema.h"

#include "data/Fehler.h"
#include "data/Schema.h"
#include "server/Dialekt.h"
#include "server/PgVerbindung.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QVariant>
#include <sqlite3.h>

namespace server {

namespace {

QString Name(const QString& n)
{
    QString k = n.toLower();
    k.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + k + QLatin1Char('"');
}

// The schema as the file holds it, read once from a new empty file.
struct Beschreibung {
    int version = 0;
    QStringList tabellen;
    QStringList anweisungen;
};

class Datei {
public:
    explicit Datei(const QString& pfad)
    {
        if (sqlite3_open_v2(pfad.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            const QString text = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "");
            sqlite3_close(m_db);
            throw data::Fehler(text);
        }
    }
    ~Datei() { sqlite3_close(m_db); }
    QList<QList<QVariant>> Zeilen(const QString& sql) const
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            throw data::Fehler(QString::fromUtf8(sqlite3_errmsg(m_db)));
        QList<QList<QVariant>> out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QList<QVariant> z;
            for (int k = 0; k < sqlite3_column_count(st); ++k) {
                switch (sqlite3_column_type(st, k)) {
                case SQLITE_NULL: z << QVariant(); break;
                case SQLITE_INTEGER: z << QVariant(qint64(sqlite3_column_int64(st, k))); break;
                default: z << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, k))));
                }
            }
            out << z;
        }
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3* m_db = nullptr;
};

QString Typ(const QString& tabelle, const QString& spalte, const QString& deklariert)
{
    bool bekannt = false;
    const data::Feldart art = data::SpaltenArt(tabelle, spalte, &bekannt);
    // Text compares and sorts by code point, as in the file.
    const QString text = QStringLiteral("text COLLATE \"C\"");
    if (bekannt) {
        switch (art) {
        case data::Feldart::Ganzzahl: return QStringLiteral("integer");
        case data::Feldart::JaNein: return QStringLiteral("integer");
        case data::Feldart::Zahl:
        case data::Feldart::Geld: return QStringLiteral("double precision");
        case data::Feldart::Datum: return QStringLiteral("date");
        case data::Feldart::Text:
        case data::Feldart::Langtext: return text;
        }
    }
    const QString d = deklariert.toUpper();
    if (d.contains(QLatin1String("INT"))) return QStringLiteral("bigint");
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) || d.contains(QLatin1String("DOUB")))
        return QStringLiteral("double precision");
    if (d.contains(QLatin1String("BLOB"))) return QStringLiteral("bytea");
    return text;
}

// The CHECK clauses of a CREATE TABLE text, each "(…)" as written. Dates are
// of their own type on the server, so their pattern checks stay behind.
QStringList Pruefungen(const QString& sql)
{
    QStringList out;
    static const QRegularExpression check(QStringLiteral("\\bCHECK\\s*\\("), QRegularExpression::CaseInsensitiveOption);
    for (auto m = check.globalMatch(sql); m.hasNext();) {
        const auto treffer = m.next();
        const int start = treffer.capturedEnd() - 1;
        int tiefe = 0;
        bool inText = false;
        for (int i = start; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (c == QLatin1Char('\'')) inText = !inText;
            if (inText) continue;
            if (c == QLatin1Char('(')) ++tiefe;
            if (c == QLatin1Char(')') && --tiefe == 0) {
                const QString ausdruck = sql.mid(start, i - start + 1);
                if (!ausdruck.contains(QLatin1String("GLOB"), Qt::CaseInsensitive))
                    out << QStringLiteral("CHECK %1").arg(NachPostgres(ausdruck).sql);
                break;
            }
        }
    }
    return out;
}

QString Spaltenliste(const QList<QList<QVariant>>& info, int spalte)
{
    QStringList n;
    for (const auto& z : info) n << Name(z.at(spalte).toString());
    return n.join(QStringLiteral(", "));
}

// Sales per year and article and per year and customer, kept beside the
// items for the statistics: a period of whole years reads these few rows
// instead of every item, and "all years" reads the rows of jahr NULL.
// Triggers only note which years changed (stat_jahr_offen, one row per
// statement, no unique key: writers never wait for each other there);
// ordavo_stat_auffrischen() sums those years again from the items, exactly
// as the statistics would, so no rounding drifts in from adding and taking
// away. It holds a transaction lock while it works, and gives up at once
// (returns false) when another connection holds it: the caller then sums
// from the items. A summing run deletes the marks it saw and reads the items
// afterwards, so a change committed meanwhile keeps its mark for the next.
QStringList Jahressummen()
{
    const QString jahr = QStringLiteral("CAST(extract(year FROM %1) AS integer)");
    const QString posten = QStringLiteral(
        "INSERT INTO stat_jahr_offen (jahr) SELECT DISTINCT %1 FROM %2 p JOIN t_lieferschein l ON l.id = p.la_lieferschein_id "
        "WHERE l.lief_datum IS NOT NULL;\n");
    const QString summen = QStringLiteral("sum(a.la_preis*a.la_anzahl), sum(a.la_artikel_einkauf*a.la_anzahl), "
                                          "sum(a.la_preis*a.la_anzahl - a.la_artikel_einkauf*a.la_anzahl)");
    const QString auswahl = QStringLiteral(
        "FROM t_lieferschein_artikel a JOIN t_lieferschein l ON l.id = a.la_lieferschein_id "
        "WHERE l.lief_datum >= make_date(erstes, 1, 1) AND l.lief_datum < make_date(letztes + 1, 1, 1) "
        "AND %1 = ANY (jahre) GROUP BY 1, 2;\n").arg(jahr.arg(QStringLiteral("l.lief_datum")));
    return {
        QStringLiteral("CREATE TABLE stat_jahr_artikel (jahr integer, aid bigint, anzahl double precision, "
                       "gesamt double precision, einkauf double precision, spanne double precision)"),
        QStringLiteral("CREATE INDEX ix_stat_jahr_artikel ON stat_jahr_artikel (jahr)"),
        QStringLiteral("CREATE TABLE stat_jahr_kunden (jahr integer, kid bigint, gesamt double precision, "
                       "einkauf double precision, spanne double precision)"),
        QStringLiteral("CREATE INDEX ix_stat_jahr_kunden ON stat_jahr_kunden (jahr)"),
        QStringLiteral("CREATE TABLE stat_jahr_offen (jahr integer NOT NULL)"),
        QStringLiteral("CREATE FUNCTION ordavo_stat_posten() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
                       "BEGIN\n"
                       "  IF TG_OP IN ('INSERT', 'UPDATE') THEN\n    %1  END IF;\n"
                       "  IF TG_OP IN ('DELETE', 'UPDATE') THEN\n    %2  END IF;\n"
                       "  RETURN NULL;\n"
                       "END $f$")
            .arg(posten.arg(jahr.arg(QStringLiteral("l.lief_datum")), QStringLiteral("neu")),
                 posten.arg(jahr.arg(QStringLiteral("l.lief_datum")), QStringLiteral("alt"))),
        QStringLiteral("CREATE TRIGGER t_lieferschein_artikel_stat_neu AFTER INSERT ON t_lieferschein_artikel "
                       "REFERENCING NEW TABLE AS neu FOR EACH STATEMENT EXECUTE FUNCTION ordavo_stat_posten()"),
        QStringLiteral("CREATE TRIGGER t_lieferschein_artikel_stat_aendern AFTER UPDATE ON t_lieferschein_artikel "
                       "REFERENCING OLD TABLE AS alt NEW TABLE AS neu FOR EACH STATEMENT EXECUTE FUNCTION ordavo_stat_posten()"),
        QStringLiteral("CREATE TRIGGER t_lieferschein_artikel_stat_weg AFTER DELETE ON t_lieferschein_artikel "
                       "REFERENCING OLD TABLE AS alt FOR EACH STATEMENT EXECUTE FUNCTION ordavo_stat_posten()"),
        // A note's date or customer moves all its items; a deleted note has
        // taken its items along before their own trigger could find its year.
        QStringLiteral("CREATE FUNCTION ordavo_stat_beleg() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
                       "BEGIN\n"
                       "  IF OLD.lief_datum IS NOT NULL THEN\n"
                       "    INSERT INTO stat_jahr_offen (jahr) VALUES (%1);\n"
                       "  END IF;\n"
                       "  IF TG_OP = 'UPDATE' AND NEW.lief_datum IS NOT NULL THEN\n"
                       "    INSERT INTO stat_jahr_offen (jahr) VALUES (%2);\n"
                       "  END IF;\n"
                       "  RETURN NULL;\n"
                       "END $f$")
            .arg(jahr.arg(QStringLiteral("OLD.lief_datum")), jahr.arg(QStringLiteral("NEW.lief_datum"))),
        QStringLiteral("CREATE TRIGGER t_lieferschein_stat_aendern AFTER UPDATE ON t_lieferschein FOR EACH ROW "
                       "WHEN (OLD.id IS DISTINCT FROM NEW.id OR OLD.lief_datum IS DISTINCT FROM NEW.lief_datum "
                       "OR OLD.lief_adresse_id IS DISTINCT FROM NEW.lief_adresse_id) EXECUTE FUNCTION ordavo_stat_beleg()"),
        QStringLiteral("CREATE TRIGGER t_lieferschein_stat_weg AFTER DELETE ON t_lieferschein FOR EACH ROW "
                       "EXECUTE FUNCTION ordavo_stat_beleg()"),
        // Emptied tables leave nothing to sum.
        QStringLiteral("CREATE FUNCTION ordavo_stat_leeren() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
                       "BEGIN\n"
                       "  DELETE FROM stat_jahr_artikel;\n"
                       "  DELETE FROM stat_jahr_kunden;\n"
                       "  INSERT INTO stat_jahr_offen (jahr) SELECT DISTINCT %1 FROM t_lieferschein l "
                       "WHERE l.lief_datum IS NOT NULL;\n"
                       "  RETURN NULL;\n"
                       "END $f$").arg(jahr.arg(QStringLiteral("l.lief_datum"))),
        QStringLiteral("CREATE TRIGGER t_lieferschein_stat_leeren AFTER TRUNCATE ON t_lieferschein "
                       "FOR EACH STATEMENT EXECUTE FUNCTION ordavo_stat_leeren()"),
        QStringLiteral("CREATE TRIGGER t_lieferschein_artikel_stat_leeren AFTER TRUNCATE ON t_lieferschein_artikel "
                       "FOR EACH STATEMENT EXECUTE FUNCTION ordavo_stat_leeren()"),
        QStringLiteral("CREATE FUNCTION ordavo_stat_auffrischen() RETURNS boolean LANGUAGE plpgsql AS $f$\n"
                       "DECLARE\n"
                       "  jahre integer[];\n"
                       "  erstes integer;\n"
                       "  letztes integer;\n"
                       "BEGIN\n"
                       "  IF NOT pg_try_advisory_xact_lock(%1) THEN\n"
                       "    RETURN false;\n"
                       "  END IF;\n"
                       "  WITH weg AS (DELETE FROM stat_jahr_offen RETURNING jahr)\n"
                       "    SELECT array_agg(DISTINCT jahr), min(jahr), max(jahr) INTO jahre, erstes, letztes FROM weg;\n"
                       "  IF jahre IS NULL THEN\n"
                       "    RETURN true;\n"
                       "  END IF;\n"
                       "  DELETE FROM stat_jahr_artikel WHERE jahr IS NULL OR jahr = ANY (jahre);\n"
                       "  DELETE FROM stat_jahr_kunden WHERE jahr IS NULL OR jahr = ANY (jahre);\n"
                       "  INSERT INTO stat_jahr_artikel SELECT %2, a.la_artikel_id, sum(a.la_anzahl), %3 %4"
                       "  INSERT INTO stat_jahr_kunden SELECT %2, l.lief_adresse_id, %3 %4"
                       "  INSERT INTO stat_jahr_artikel SELECT NULL, aid, sum(anzahl), sum(gesamt), sum(einkauf), sum(spanne) "
                       "FROM stat_jahr_artikel WHERE jahr IS NOT NULL GROUP BY aid;\n"
                       "  INSERT INTO stat_jahr_kunden SELECT NULL, kid, sum(gesamt), sum(einkauf), sum(spanne) "
                       "FROM stat_jahr_kunden WHERE jahr IS NOT NULL GROUP BY kid;\n"
                       "  RETURN true;\n"
                       "END $f$")
            .arg(QString::number(JahressummenSperre()), jahr.arg(QStringLiteral("l.lief_datum")), summen, auswahl),
    };
}

Beschreibung Lesen()
{
    QTemporaryDir ordner;
    if (!ordner.isValid()) throw data::Fehler(QStringLiteral("Kein temporärer Ordner für das Schema verfügbar."));
    const QString pfad = QDir(ordner.path()).filePath(QStringLiteral("schema.mdb"));
    data::LeereDatenbankSchreiben(pfad);
    Datei db(pfad);

    Beschreibung b;
    b.version = int(db.Zeilen(QStringLiteral("PRAGMA user_version")).value(0).value(0).toLongLong());
    const auto tabellen = db.Zeilen(QStringLiteral(
        "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid"));
    QStringList indizes;
    for (const auto& t : tabellen) {
        const QString tab = t.at(0).toString();
        const QString q = tab;
        b.tabellen << tab.toLower();
        QStringList teile;
        QList<QPair<int, QString>> schluessel;
        // cid, name, type, notnull, dflt_value, pk
        for (const auto& s : db.Zeilen(QStringLiteral("PRAGMA table_info(\"%1\")").arg(q))) {
            QString def = QStringLiteral("%1 %2").arg(Name(s.at(1).toString()), Typ(tab, s.at(1).toString(), s.at(2).toString()));
            if (s.at(3).toLongLong()) def += QStringLiteral(" NOT NULL");
            if (!s.at(4).isNull()) def += QStringLiteral(" DEFAULT ") + s.at(4).toString();
            if (s.at(5).toLongLong() > 0) schluessel << qMakePair(int(s.at(5).toLongLong()), s.at(1).toString());
            teile << def;
        }
        if (!schluessel.isEmpty()) {
            std::sort(schluessel.begin(), schluessel.end());
            QStringList n;
            for (const auto& p : schluessel) n << Name(p.second);
            teile << QStringLiteral("PRIMARY KEY (%1)").arg(n.join(QStringLiteral(", ")));
        }
        // id, seq, table, from, to, on_update, on_delete
        QMap<qint64, QList<QList<QVariant>>> fremd;
        for (const auto& f : db.Zeilen(QStringLiteral("PRAGMA foreign_key_list(\"%1\")").arg(q))) fremd[f.at(0).toLongLong()] << f;
        for (const auto& f : fremd) {
            QString def = QStringLiteral("FOREIGN KEY (%1) REFERENCES %2").arg(Spaltenliste(f, 3), Name(f.first().at(2).toString()));
            if (!f.first().at(4).isNull()) def += QStringLiteral(" (%1)").arg(Spaltenliste(f, 4));
            for (const auto& [wann, spalte] : {std::pair<const char*, int>{"UPDATE", 5}, {"DELETE", 6}}) {
                const QString regel = f.first().at(spalte).toString();
                if (!regel.isEmpty() && regel.compare(QLatin1String("NO ACTION"), Qt::CaseInsensitive) != 0)
                    def += QStringLiteral(" ON %1 %2").arg(QLatin1String(wann), regel);
            }
            teile << def;
        }
        // seq, name, unique, origin, partial
        for (const auto& i : db.Zeilen(QStringLiteral("PRAGMA index_list(\"%1\")").arg(q))) {
            const QString origin = i.at(3).toString();
            if (origin == QLatin1String("pk")) continue;
            const auto spalten = db.Zeilen(QStringLiteral("PRAGMA index_info(\"%1\")").arg(i.at(1).toString()));
            if (origin == QLatin1String("u")) {
                teile << QStringLiteral("UNIQUE (%1)").arg(Spaltenliste(spalten, 2));
            } else {
                indizes << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                               .arg(i.at(2).toLongLong() ? QStringLiteral("UNIQUE ") : QString(), Name(i.at(1).toString()),
                                    Name(tab), Spaltenliste(spalten, 2));
            }
        }
        teile << Pruefungen(t.at(1).toString());
        b.anweisungen << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(Name(tab), teile.join(QStringLiteral(",\n  ")));
    }
    // Note numbers are unique on the server: several workstations propose
    // them at once, and a clash must be refused, then proposed anew.
    indizes << QStringLiteral("CREATE UNIQUE INDEX \"ix_lief_nr\" ON \"t_lieferschein\" (\"lief_nr\")");
    b.anweisungen << indizes;
    // A row stored without a key gets the next one, as the file gives it the
    // highest rowid plus one.
    b.anweisungen << QStringLiteral(
        "CREATE FUNCTION ordavo_naechste_id() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
        "BEGIN\n"
        "  IF NEW.id IS NULL THEN\n"
        "    EXECUTE format('SELECT coalesce(max(id), 0) + 1 FROM %I', TG_TABLE_NAME) INTO NEW.id;\n"
        "  END IF;\n"
        "  RETURN NEW;\n"
        "END $f$");
    for (const QString& t : b.tabellen)
        if (!db.Zeilen(QStringLiteral("SELECT 1 FROM pragma_table_info('%1') WHERE name = 'id' AND pk = 1").arg(t)).isEmpty())
            b.anweisungen << QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 FOR EACH ROW EXECUTE FUNCTION ordavo_naechste_id()")
                                 .arg(Name(t + QStringLiteral("_id")), Name(t));
    b.anweisungen << Jahressummen();
    b.anweisungen << QStringLiteral("CREATE TABLE %1 (version integer NOT NULL)").arg(VersionsTabelle());
    b.anweisungen << QStringLiteral("INSERT INTO %1 (version) VALUES (%2)").arg(VersionsTabelle()).arg(b.version);
    return b;
}

const Beschreibung& Schema()
{
    static const Beschreibung b = Lesen();
    return b;
}

}  // namespace

QString VersionsTabelle() { return QStringLiteral("t_schemaversion"); }

QStringList Hilfstabellen()
{
    return {QStringLiteral("stat_jahr_artikel"), QStringLiteral("stat_jahr_kunden"), QStringLiteral("stat_jahr_offen")};
}

qint64 JahressummenSperre() { return 0x4f72646176; }

int SchemaVersion() { return Schema().version; }

QStringList SchemaAnweisungenPostgres() { return Schema().anweisungen; }

QStringList Tabellen() { return Schema().tabellen; }

void SchemaAnlegen(PgVerbindung& db)
{
    const QStringList anweisungen = SchemaAnweisungenPostgres();
    const QString name = db.Datenbank();
    if (db.Wert(QStringLiteral("SHOW server_encoding")).toString().compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0)
        throw data::Fehler(QStringLiteral("Die Datenbank %1 ist nicht in UTF8 angelegt. Bitte eine Datenbank mit "
                                          "ENCODING 'UTF8' anlegen.").arg(name));
    QString sortierung = LikeSortierung();
    sortierung = sortierung.mid(1, sortierung.size() - 2);
    if (db.Abfrage(QStringLiteral("SELECT 1 FROM pg_collation WHERE collname = $1"), {sortierung}).zeilen.isEmpty())
        throw data::Fehler(QStringLiteral("Dem Datenbankserver fehlt die Sortierfolge %1 (ICU); ohne sie findet die "
                                          "Suche Umlaute nicht ohne Rücksicht auf Groß- und Kleinschreibung.").arg(sortierung));
    db.Ausfuehren(QStringLiteral("BEGIN"));
    try {
        const auto vorhanden = db.Abfrage(QStringLiteral(
            "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
            "AND n.nspname NOT LIKE 'pg\\_%' ORDER BY c.relname"));
        if (!vorhanden.zeilen.isEmpty()) {
            QStringList namen;
            for (const auto& z : vorhanden.zeilen) namen << z.at(0).toString();
            throw data::Fehler(QStringLiteral("Die Datenbank %1 enthält bereits Tabellen (%2). Das Schema wird nur in "
                                              "einer leeren Datenbank angelegt; es wurde nichts verändert.")
                                   .arg(name, namen.join(QStringLiteral(", "))));
        }
        for (const QString& a : anweisungen) db.Ausfuehren(a);
        db.Ausfuehren(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            db.Ausfuehren(QStringLiteral("ROLLBACK"));
        } catch (const data::Fehler&) {
        }
        throw;
    }
    db.Ausfuehren(QStringLiteral("ANALYZE"));
}

}  // namespace server
