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
// field is stored as " " while an untouched empty column stays NULL. What the
// user types into a field that shows only that blank replaces it, wherever
// the caret stood.
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

// What the bound edit and the bound memo share: the binding, the blank rule,
// the user's change and writing it into the row. The widget supplies its
// text, caret and selection.
class GebundenerText {
public:
    void setDataSource(data::DataSource* quelle, const QString& feld);
    // `auchOhneWert`: a row without a value shows the blank too (not counted as a change).
    void setLeerzeichenRegel(bool an, bool auchOhneWert = true);
    // Writes a pending change now; throws data::Fehler on refused text, which
    // then stays selected in the control for correction.
    void Uebernehmen();
    bool benutzerGeaendert() const { return m_geaendert; }

protected:
    explicit GebundenerText(QWidget* control);
    virtual ~GebundenerText() = default;
    GebundenerText(const GebundenerText&) = delete;
    GebundenerText& operator=(const GebundenerText&) = delete;

    virtual QString Text() const = 0;
    virtual void TextSetzen(const QString& text) = 0;
    virtual int Caret() const = 0;
    virtual void CaretSetzen(int position) = 0;
    virtual void AllesWaehlen() = 0;
    // The row's value as the control shows it, and the control's text as it is stored.
    virtual QString Anzeigetext(const data::Field& f) const = 0;
    virtual QString Speichertext(const QString& text) const = 0;

    // The widget calls these: after the text changed (`vomBenutzer`: typed,
    // pasted, cut, or set by the window as a proposal), and on focus changes.
    void Geaendert(bool vomBenutzer);
    void FokusErhalten(Qt::FocusReason grund);
    void FokusVerloren(Qt::FocusReason grund);

private:
    void Anzeigen();
    void Leerzeichen();
    QWidget* m_control;
    Bindung* m_bindung;
    QString m_vorher;  // the text before the change being handled
    bool m_geaendert = false;
    bool m_leerzeichen = false;
    bool m_leerzeichenOhneWert = true;
    bool m_setzt = false;
};

class DBEdit : public QLineEdit, public GebundenerText {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    QString Text() const override { return QLineEdit::text(); }
    void TextSetzen(const QString& text) override { QLineEdit::setText(text); }
    int Caret() const override { return cursorPosition(); }
    void CaretSetzen(int position) override { setCursorPosition(position); }
    void AllesWaehlen() override { selectAll(); }
    QString Anzeigetext(const data::Field& f) const override;
    QString Speichertext(const QString& text) const override { return text; }
};

// Several lines; stored line breaks are CR LF.
class DBMemo : public QPlainTextEdit, public GebundenerText {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    QString text() const { return toPlainText(); }
    // A text the window proposes counts as the user's change: it is stored.
    void setText(const QString& t);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    QString Text() const override { return toPlainText(); }
    void TextSetzen(const QString& text) override { setPlainText(text); }
    int Caret() const override { return textCursor().position(); }
    void CaretSetzen(int position) override;
    void AllesWaehlen() override { selectAll(); }
    QString Anzeigetext(const data::Field& f) const override;
    QString Speichertext(const QString& text) const override;

private:
    bool m_vomFenster = false;
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
// field into the text shown (e.g. currency). A value longer than the room
// the window gives it is drawn cut with "…" and shown whole as the tooltip,
// so a long value never widens its window; text() stays the whole value.
class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle, const QString& feld);
    void setFormat(std::function<QString(const data::Field&)> format);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Anzeigen();
    QString Gekuerzt() const;
    void TooltipSetzen();
    Bindung* m_bindung;
    std::function<QString(const data::Field&)> m_format;
};

}  // namespace ui
