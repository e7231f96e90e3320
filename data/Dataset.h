#pragma once
// A named, ordered snapshot of rows from a table or a SELECT, with a current
// row and a state, as every window works with it. Rows are fetched once into
// a compact local buffer; other statements' changes show only after Requery.
#include "data/Schema.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace data {

class Anweisung;
class Verbindung;
class DataSource;
class Dataset;

// A column of the current row (or of the row being edited), by position.
class Field {
public:
    Field() = default;
    Field(Dataset* ds, int spalte) : m_ds(ds), m_spalte(spalte) {}

    bool gueltig() const { return m_ds != nullptr && m_spalte >= 0; }
    QString name() const;
    Feldart art() const;

    bool isNull() const;
    // The value as stored: qint64, double, QString, QDate for dates, QByteArray
    // for a blob; null QVariant for NULL. Computed columns keep each value's own kind.
    QVariant value() const;
    QString asString() const;      // display-independent text ("" for NULL)
    qint64 asInteger() const;      // 0 for NULL
    double asFloat() const;        // 0 for NULL
    QDate asDate() const;          // invalid for NULL
    bool asBoolean() const;        // non-zero
    // Text as a control shows it: dates dd.MM.yyyy, numbers in the regional format.
    QString displayText() const;

    // Assign; the dataset must be in edit or insert state. Values are converted
    // to the column's kind; text is read with the regional settings and refused
    // (data::Fehler) when it is not a number or date.
    void setValue(const QVariant& v) const;
    void setAsString(const QString& text) const;  // "" stores NULL for non-text kinds
    void clear() const;

private:
    Dataset* m_ds = nullptr;
    int m_spalte = -1;
};

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class Art { Tabelle, Befehl, Abfrage };
    enum class Zustand { Inaktiv, Browse, Edit, Insert };

    Dataset(Verbindung* verbindung, const QString& name, Art art, QObject* parent = nullptr);
    ~Dataset() override;

    QString name() const { return objectName(); }
    Art art() const { return m_art; }

    // --- definition ---
    void setTableName(const QString& tabelle);  // table dataset
    QString tableName() const { return m_tabelle; }
    void setSql(const QString& sql);            // command/query; closes the dataset
    QString sql() const { return m_sql; }
    // The table that edits through a joined SELECT go to (keyed by its `id`).
    void setUpdateTable(const QString& tabelle) { m_updateTabelle = tabelle; }
    // Detail: rows whose `detailSpalte` (qualified SQL column) equals the
    // master's `masterFeld`; re-read whenever the master's current row changes.
    void setMaster(DataSource* master, const QString& masterFeld, const QString& detailSpalte);

    // Named parameters (":von"); a QDate binds as ISO text.
    void setParameter(const QString& name, const QVariant& wert);
    QVariant parameter(const QString& name) const;
    void clearParameters();

    // --- opening ---
    void Open();
    void Close();
    void Requery();        // re-run; the first row becomes current
    bool Active() const { return m_zustand != Zustand::Inaktiv; }
    // Runs a statement that returns no rows (query datasets); returns the rows changed.
    int ExecSQL();

    // --- moving ---
    // These read the rows again first when a filter change asked for it, so
    // they are not const.
    int RecordCount();  // rows visible through the filter
    bool IsEmpty() { return RecordCount() == 0; }
    int RecNo() { Sicherstellen(); return m_pos; }  // 0-based visible index, -1 when empty
    void setRecNo(int pos);
    void First();
    void Prior();
    void Next();
    void Last();
    bool Eof() { Sicherstellen(); return m_eof; }
    bool Bof() { Sicherstellen(); return m_bof; }
    // Makes the first row whose column equals `wert` current; false when none.
    bool Locate(const QString& feld, const QVariant& wert);

    // --- editing ---
    Zustand State() const { return m_zustand; }
    void Insert();   // a new empty row; on an empty result Edit does the same
    void Append() { Insert(); }
    void Edit();
    // Writes the row. An UPDATE or DELETE names the row by its key and by the
    // values the written columns had when read; when the row was changed or
    // deleted meanwhile by another program, or the database refuses the
    // write, data::Fehler is thrown and the dataset keeps its state (still in
    // edit or insert, with every value typed), so the user can retry.
    void Post();
    // Sets a number the program proposes for a new row (the next key, the
    // next note number). Should another workstation store the same number
    // first, the insert takes a new one from `neu` and tries again, as long
    // as the column still holds the proposal.
    void Vorschlag(const QString& feld, const QVariant& wert, std::function<QVariant()> neu);
    void Cancel();
    void Delete();   // table datasets and the editable joined selects

    // --- filter (client side, on the fetched rows) ---
    // Terms "feld = wert" joined by "and"; wert a number, 'text', true or false.
    void setFilter(const QString& ausdruck);
    QString filter() const { return m_filter; }
    void setFiltered(bool an);
    bool filtered() const { return m_filtered; }
    // Opening with the filter on reads only the matching rows from the
    // database (for the print set, which is always opened filtered).
    void setFilterInSql(bool an) { m_filterInSql = an; }

    // --- columns ---
    int FieldCount() const { return int(m_spalten.size()); }
    Field Fields(int i) { return Field(this, i); }
    Field FieldByName(const QString& name);  // throws when there is no such column
    Field FindField(const QString& name);    // invalid Field when none
    int Spaltenindex(const QString& name) const;  // -1 when none
    QString Spaltenname(int i) const;
    Feldart Spaltenart(int i) const;
    // A value of any visible row, without moving (for grids).
    QVariant WertAn(int zeile, int spalte);
    QString AnzeigeAn(int zeile, int spalte);


signals:
    void geoeffnet();
    void geschlossen();
    // The set of rows changed (open, requery, filter, insert, delete).
    void zeilenGeaendert();
    // The current row or its values changed (move, edit, cancel, post).
    void bewegt();
    void zustandGeaendert();
    // Before Post writes: bound controls write what the user changed.
    void vorDemSpeichern();
    // A field was assigned in edit/insert state.
    void feldGeaendert(int spalte);

private:
    friend class Field;
    struct Spalte {
        QString name;      // as exposed (table.column where the plain name repeats)
        QString kurz;      // the plain result-column name
        QString tabelle;   // origin table, empty for computed columns
        QString herkunft;  // origin column
        Feldart art = Feldart::Text;
        bool versteckt = false;  // the rowid of table datasets
    };

    QString Statement() const;
    void Lesen(bool behaltePosition);
    Anweisung& Vorbereiten(const QString& sql);
    std::unique_ptr<Anweisung> FilterInsStatement(const QString& sql);
    void ZeilenHolen(Anweisung& st, std::vector<std::string>& bloecke, std::vector<quint64>& zeilen);
    void Schliessen(bool signal);
    void Binden(Anweisung& st);
    void Spaltenlesen(Anweisung& st);
    QVariant Wert(int zeileIntern, int spalte) const;
    QVariant Aktuell(int spalte);
    std::vector<int> Schreibspalten() const;
    void Einfuegen(const std::vector<int>& spalten, int schluessel);
    void Aendern(const std::vector<int>& spalten, int schluessel);
    bool NeuVorschlagen(const QString& doppelt);
    void GeschriebeneZeileUebernehmen();
    [[noreturn]] void Veraltet() const;
    QVariant GeschriebenerWert(const QString& tabelle, const QString& spalte) const;
    void Zuweisen(int spalte, const QVariant& wert);
    QVariant Umwandeln(int spalte, const QVariant& wert) const;
    int ZeileIntern(int sichtbar) const;
    void Positionieren(int pos, bool signal = true);
    void FilterAnwenden();
    void Sicherstellen();
    bool NeuLesenVorgemerkt();
    bool FilterPasst(int zeileIntern) const;
    int Schluesselspalte() const;
    void Erfordere(bool bedingung, const char* text) const;
    void AnsMasterGebunden();

    Verbindung* m_verbindung;
    Art m_art;
    QString m_tabelle;
    QString m_sql;
    QString m_updateTabelle;
    QVector<QPair<QString, QVariant>> m_parameter;

    DataSource* m_master = nullptr;
    QString m_masterFeld;
    QString m_detailSpalte;

    std::vector<Spalte> m_spalten;
    // Rows encoded one after the other, in blocks that never grow: reading a
    // large result leaves no freed copies of a doubling buffer behind.
    // m_zeilen holds each row's place, block index << 32 | offset.
    std::vector<std::string> m_bloecke;
    std::vector<quint64> m_zeilen;
    std::vector<int> m_sichtbar;  // internal row indexes passing the filter
    QString m_filter;
    bool m_filtered = false;
    bool m_filterInSql = false;
    bool m_teilweise = false;   // the snapshot holds only the filtered rows
    bool m_neuLesen = false;    // read again (in full) at the next access
    struct Bedingung {
        int spalte;
        QVariant wert;
        bool wahrheit = false;
    };
    std::vector<Bedingung> m_bedingungen;

    int m_pos = -1;
    bool m_eof = true;
    bool m_bof = true;
    Zustand m_zustand = Zustand::Inaktiv;
    QVector<QVariant> m_editPuffer;
    struct Vorgeschlagen {
        QVariant wert;
        std::function<QVariant()> neu;
    };
    std::map<int, Vorgeschlagen> m_vorschlaege;
    std::vector<bool> m_geaendert;
    int m_einfuegePos = -1;

    std::unique_ptr<Anweisung> m_stmt;  // kept for the next read of the same SQL
    QString m_stmtSql;
    bool m_spaltenGueltig = false;
};

}  // namespace data
