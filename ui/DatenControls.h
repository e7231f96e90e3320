#pragma once
// Data-aware controls: each is bound to a data source and a column and
// follows the data source's current row. What the user changed is written
// into the row when the control is left or when the row is posted; text that
// does not fit the column's kind is refused with a German message and stays
// in the control for correction.
//
// Blank rule (setLeerzeichenRegel): an edit or memo whose text becomes empty
// (the user emptied it, or the row has no value there) shows a single blank
// with the caret before it; only the user's change is written, so an emptied
// field is stored as " " while an untouched empty column stays NULL. Entered
// by keyboard (not by a click), the blank is selected so that typing replaces it.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include "data/DataSource.h"
#include <functional>

namespace data {
class DataSource;
class Dataset;
class Field;
}  // namespace data

namespace ui {

// What every bound control shares: the data source, the column and the
// connections to the data source's signals.
class Bindung : public QObject {
    Q_OBJECT
public:
    explicit Bindung(QWidget* control);
    void setze(data::DataSource* quelle, const QString& feld);
    data::DataSource* quelle() const { return m_quelle; }
    data::Dataset* dataset() const;
    const QString& feld() const { return m_feld; }
    // The bound field, when the dataset is open and has the column.
    bool field(data::Field& f) const;
    int spalte() const;

signals:
    void anzeigen();  // show the row's value
    void schreiben();  // write the user's change into the row (before post)

private:
    QPointer<data::DataSource> m_quelle;
    QString m_feld;
    QList<QMetaObject::Connection> m_verbindungen;
};

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);
    // `auchOhneWert`: a row without a value shows the blank too (not counted as a change).
    void setLeerzeichenRegel(bool an, bool auchOhneWert = true);
    // Writes a pending change now; throws data::Fehler on refused text.
    void Uebernehmen();
    bool benutzerGeaendert() const { return m_geaendert; }

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Anzeigen();
    void Bearbeitet(const QString& text);
    Bindung* m_bindung;
    bool m_geaendert = false;
    bool m_leerzeichen = false;
    bool m_leerzeichenOhneWert = true;
    bool m_setzt = false;
};

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);
    // `auchOhneWert`: a row without a value shows the blank too (not counted as a change).
    void setLeerzeichenRegel(bool an, bool auchOhneWert = true);
    void Uebernehmen();
    bool benutzerGeaendert() const { return m_geaendert; }
    QString text() const { return toPlainText(); }
    void setText(const QString& t) { setPlainText(t); }

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Anzeigen();
    void Bearbeitet();
    Bindung* m_bindung;
    bool m_geaendert = false;
    bool m_leerzeichen = false;
    bool m_leerzeichenOhneWert = true;
    bool m_setzt = false;
};

// A ticked box stores -1, an empty one 0.
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);

private:
    void Anzeigen();
    void Geklickt(bool an);
    Bindung* m_bindung;
    bool m_setzt = false;
};

// Offers the rows of a list data source; stores the chosen row's key field
// in the bound column.
class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);
    void setListSource(data::DataSource* liste, const QString& keyField, const QString& listField);
    // The key value shown (null when nothing is chosen).
    QVariant KeyValue() const;

private:
    void ListeLaden();
    void Anzeigen();
    void Gewaehlt(int index);
    Bindung* m_bindung;
    QPointer<data::DataSource> m_liste;
    QString m_keyField;
    QString m_listField;
    QList<QVariant> m_keys;
    QList<QMetaObject::Connection> m_listVerbindungen;
    bool m_setzt = false;
};

// Shows a column of the current row as text; an optional format turns the
// field into the text shown (e.g. currency).
class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);
    void setFormat(std::function<QString(const data::Field&)> format);

private:
    void Anzeigen();
    Bindung* m_bindung;
    std::function<QString(const data::Field&)> m_format;
};

}  // namespace ui
