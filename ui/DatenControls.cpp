#include "ui/DatenControls.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Regional.h"
#include "ui/Fehler.h"

#include <QFocusEvent>
#include <QTextCursor>

namespace ui {

using data::Dataset;

// ================= Bindung =================

Bindung::Bindung(QWidget* control) : QObject(control) {}

void Bindung::setze(data::DataSource* quelle, const QString& feld)
{
    for (const auto& c : m_verbindungen) disconnect(c);
    m_verbindungen.clear();
    m_quelle = quelle;
    m_feld = feld;
    if (quelle) {
        m_verbindungen << connect(quelle, &data::DataSource::bewegt, this, &Bindung::anzeigen)
                       << connect(quelle, &data::DataSource::zustandGeaendert, this, &Bindung::anzeigen)
                       << connect(quelle, &data::DataSource::dataSetGewechselt, this, &Bindung::anzeigen)
                       << connect(quelle, &data::DataSource::vorDemSpeichern, this, &Bindung::schreiben)
                       << connect(quelle, &data::DataSource::feldGeaendert, this, [this](int sp) {
                              if (sp == spalte()) emit anzeigen();
                          });
    }
    emit anzeigen();
}

Dataset* Bindung::dataset() const { return m_quelle ? m_quelle->DataSet() : nullptr; }

int Bindung::spalte() const
{
    Dataset* ds = dataset();
    return ds && !m_feld.isEmpty() ? ds->Spaltenindex(m_feld) : -1;
}

bool Bindung::field(data::Field& f) const
{
    Dataset* ds = dataset();
    if (!ds || !ds->Active()) return false;
    const int i = ds->Spaltenindex(m_feld);
    if (i < 0) return false;
    f = ds->Fields(i);
    return true;
}

namespace {

// The text an edit shows for a value: numbers without currency so that they
// can be edited and read back.
QString Bearbeitungstext(const data::Field& f)
{
    return data::Wertetext(f.value(), f.art(), data::Textart::Bearbeiten);
}

bool Bearbeitbar(Dataset* ds)
{
    return ds && (ds->State() == Dataset::Zustand::Edit || ds->State() == Dataset::Zustand::Insert);
}

// The data source's dataset goes into edit when the user starts typing.
void AutoEdit(Dataset* ds)
{
    if (ds && ds->Active() && ds->State() == Dataset::Zustand::Browse) ds->Edit();
}

}  // namespace

// ================= DBEdit =================

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), m_bindung(new Bindung(this))
{
    connect(m_bindung, &Bindung::anzeigen, this, &DBEdit::Anzeigen);
    connect(m_bindung, &Bindung::schreiben, this, &DBEdit::Uebernehmen);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::Bearbeitet);
}

void DBEdit::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void DBEdit::setLeerzeichenRegel(bool an, bool auchOhneWert)
{
    m_leerzeichen = an;
    m_leerzeichenOhneWert = auchOhneWert;
    if (!m_geaendert) Anzeigen();
}

void DBEdit::Anzeigen()
{
    if (m_setzt) return;
    data::Field f;
    m_geaendert = false;
    m_setzt = true;
    setText(m_bindung->field(f) ? Bearbeitungstext(f) : QString());
    // An empty value shows the rule's blank too; it is not a change of the user's.
    if (m_leerzeichen && m_leerzeichenOhneWert && text().isEmpty()) {
        setText(QStringLiteral(" "));
        setCursorPosition(0);
    }
    m_setzt = false;
}

void DBEdit::Bearbeitet(const QString& text)
{
    if (m_setzt) return;
    // Going into edit must not reset what the user just typed.
    m_setzt = true;
    Geschuetzt([&] { AutoEdit(m_bindung->dataset()); });
    m_setzt = false;
    m_geaendert = true;
    if (m_leerzeichen && text.isEmpty()) {
        m_setzt = true;
        setText(QStringLiteral(" "));
        setCursorPosition(0);
        m_setzt = false;
    }
}

void DBEdit::Uebernehmen()
{
    if (!m_geaendert) return;
    data::Field f;
    if (!m_bindung->field(f) || !Bearbeitbar(m_bindung->dataset())) return;
    m_setzt = true;
    try {
        f.setAsString(text());
    } catch (...) {
        m_setzt = false;
        setFocus();
        selectAll();
        throw;
    }
    m_setzt = false;
    m_geaendert = false;
}

void DBEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // The rule's blank is replaced by what is typed, unless the user clicked a place in it.
    if (m_leerzeichen && text() == QLatin1String(" ") && e->reason() != Qt::MouseFocusReason) selectAll();
}

void DBEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (m_geaendert && e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        Geschuetzt([this] { Uebernehmen(); });
}

// ================= DBMemo =================

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), m_bindung(new Bindung(this))
{
    setTabChangesFocus(true);
    connect(m_bindung, &Bindung::anzeigen, this, &DBMemo::Anzeigen);
    connect(m_bindung, &Bindung::schreiben, this, &DBMemo::Uebernehmen);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::Bearbeitet);
}

void DBMemo::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void DBMemo::setLeerzeichenRegel(bool an, bool auchOhneWert)
{
    m_leerzeichen = an;
    m_leerzeichenOhneWert = auchOhneWert;
    if (!m_geaendert) Anzeigen();
}

void DBMemo::Anzeigen()
{
    if (m_setzt) return;
    data::Field f;
    m_setzt = true;
    QString t = m_bindung->field(f) ? f.asString() : QString();
    // Stored line breaks may be CR LF.
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(t);
    if (m_leerzeichen && m_leerzeichenOhneWert && t.isEmpty()) {
        setPlainText(QStringLiteral(" "));
        QTextCursor c = textCursor();
        c.setPosition(0);
        setTextCursor(c);
    }
    m_geaendert = false;
    m_setzt = false;
}

void DBMemo::Bearbeitet()
{
    if (m_setzt) return;
    // Going into edit must not reset what the user just typed.
    m_setzt = true;
    Geschuetzt([&] { AutoEdit(m_bindung->dataset()); });
    m_setzt = false;
    m_geaendert = true;
    if (m_leerzeichen && toPlainText().isEmpty()) {
        m_setzt = true;
        setPlainText(QStringLiteral(" "));
        QTextCursor c = textCursor();
        c.setPosition(0);
        setTextCursor(c);
        m_setzt = false;
    }
}

void DBMemo::Uebernehmen()
{
    if (!m_geaendert) return;
    data::Field f;
    if (!m_bindung->field(f) || !Bearbeitbar(m_bindung->dataset())) return;
    m_setzt = true;
    QString t = toPlainText();
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    try {
        f.setAsString(t);
    } catch (...) {
        m_setzt = false;
        throw;
    }
    m_setzt = false;
    m_geaendert = false;
}

void DBMemo::focusInEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusInEvent(e);
    if (m_leerzeichen && toPlainText() == QLatin1String(" ") && e->reason() != Qt::MouseFocusReason) selectAll();
}

void DBMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    if (m_geaendert && e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        Geschuetzt([this] { Uebernehmen(); });
}

// ================= DBCheckBox =================

DBCheckBox::DBCheckBox(QWidget* parent) : QCheckBox(parent), m_bindung(new Bindung(this))
{
    connect(m_bindung, &Bindung::anzeigen, this, &DBCheckBox::Anzeigen);
    connect(this, &QCheckBox::clicked, this, &DBCheckBox::Geklickt);
}

void DBCheckBox::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void DBCheckBox::Anzeigen()
{
    if (m_setzt) return;
    data::Field f;
    m_setzt = true;
    setChecked(m_bindung->field(f) && f.asBoolean());
    m_setzt = false;
}

void DBCheckBox::Geklickt(bool an)
{
    if (m_setzt) return;
    Geschuetzt([&] {
        Dataset* ds = m_bindung->dataset();
        AutoEdit(ds);
        data::Field f;
        if (!m_bindung->field(f) || !Bearbeitbar(ds)) return;
        m_setzt = true;
        f.setValue(qint64(an ? -1 : 0));
        m_setzt = false;
    });
    m_setzt = false;
}

// ================= DBLookupComboBox =================

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), m_bindung(new Bindung(this))
{
    setEditable(false);
    connect(m_bindung, &Bindung::anzeigen, this, &DBLookupComboBox::Anzeigen);
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &DBLookupComboBox::Gewaehlt);
}

void DBLookupComboBox::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void DBLookupComboBox::setListSource(data::DataSource* liste, const QString& keyField, const QString& listField)
{
    for (const auto& c : m_listVerbindungen) disconnect(c);
    m_listVerbindungen.clear();
    m_liste = liste;
    m_keyField = keyField;
    m_listField = listField;
    if (liste) {
        // A row added to the list (e.g. a new unit) is offered at once.
        m_listVerbindungen << connect(liste, &data::DataSource::zeilenGeaendert, this, &DBLookupComboBox::ListeLaden)
                           << connect(liste, &data::DataSource::zustandGeaendert, this, &DBLookupComboBox::ListeLaden)
                           << connect(liste, &data::DataSource::dataSetGewechselt, this, &DBLookupComboBox::ListeLaden);
    }
    ListeLaden();
}

void DBLookupComboBox::ListeLaden()
{
    m_setzt = true;
    clear();
    m_keys.clear();
    Dataset* ds = m_liste ? m_liste->DataSet() : nullptr;
    if (ds && ds->Active()) {
        const int k = ds->Spaltenindex(m_keyField);
        const int l = ds->Spaltenindex(m_listField);
        const int n = ds->RecordCount();
        for (int i = 0; i < n && k >= 0 && l >= 0; ++i) {
            m_keys << ds->WertAn(i, k);
            addItem(ds->AnzeigeAn(i, l));
        }
    }
    m_setzt = false;
    Anzeigen();
}

QVariant DBLookupComboBox::KeyValue() const
{
    const int i = currentIndex();
    return i >= 0 && i < m_keys.size() ? m_keys.at(i) : QVariant();
}

void DBLookupComboBox::Anzeigen()
{
    if (m_setzt) return;
    data::Field f;
    m_setzt = true;
    int index = -1;
    if (m_bindung->field(f) && !f.isNull()) {
        const qint64 key = f.asInteger();
        for (int i = 0; i < m_keys.size(); ++i)
            if (!m_keys.at(i).isNull() && m_keys.at(i).toLongLong() == key) index = i;
    }
    setCurrentIndex(index);
    m_setzt = false;
}

void DBLookupComboBox::Gewaehlt(int index)
{
    if (m_setzt || index < 0 || index >= m_keys.size()) return;
    Geschuetzt([&] {
        Dataset* ds = m_bindung->dataset();
        AutoEdit(ds);
        data::Field f;
        if (!m_bindung->field(f) || !Bearbeitbar(ds)) return;
        m_setzt = true;
        f.setValue(m_keys.at(index));
        m_setzt = false;
    });
    m_setzt = false;
}

// ================= DBText =================

DBText::DBText(QWidget* parent) : QLabel(parent), m_bindung(new Bindung(this))
{
    connect(m_bindung, &Bindung::anzeigen, this, &DBText::Anzeigen);
}

void DBText::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void DBText::setFormat(std::function<QString(const data::Field&)> format)
{
    m_format = std::move(format);
    Anzeigen();
}

void DBText::Anzeigen()
{
    data::Field f;
    if (!m_bindung->field(f)) {
        setText(QString());
        return;
    }
    setText(m_format ? m_format(f) : f.displayText());
}

}  // namespace ui
