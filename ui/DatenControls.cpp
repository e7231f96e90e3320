#include "ui/DatenControls.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/Regional.h"
#include "ui/Fehler.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyle>
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
    if (f.isNull()) return QString();
    switch (f.art()) {
    case data::Feldart::Datum: return data::Datumstext(f.asDate());
    case data::Feldart::Zahl:
    case data::Feldart::Geld: return data::AllgemeineZahl(f.asFloat());
    default: return f.asString();
    }
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

// ================= GebundenerText =================

namespace {
const QString kLeer = QStringLiteral(" ");
}

GebundenerText::GebundenerText(QWidget* control) : m_control(control), m_bindung(new Bindung(control))
{
    QObject::connect(m_bindung, &Bindung::anzeigen, control, [this] { Anzeigen(); });
    QObject::connect(m_bindung, &Bindung::schreiben, control, [this] { Uebernehmen(); });
}

void GebundenerText::setDataSource(data::DataSource* quelle, const QString& feld) { m_bindung->setze(quelle, feld); }

void GebundenerText::setLeerzeichenRegel(bool an, bool auchOhneWert)
{
    m_leerzeichen = an;
    m_leerzeichenOhneWert = auchOhneWert;
    if (!m_geaendert) Anzeigen();
}

void GebundenerText::Leerzeichen()
{
    TextSetzen(kLeer);
    CaretSetzen(0);
}

void GebundenerText::Anzeigen()
{
    if (m_setzt) return;
    data::Field f;
    m_setzt = true;
    const QString t = m_bindung->field(f) ? Anzeigetext(f) : QString();
    TextSetzen(t);
    // An empty value shows the rule's blank too; it is not a change of the user's.
    if (m_leerzeichen && m_leerzeichenOhneWert && t.isEmpty()) Leerzeichen();
    m_vorher = Text();
    m_geaendert = false;
    m_setzt = false;
}

void GebundenerText::Geaendert(bool vomBenutzer)
{
    if (m_setzt) return;
    // Going into edit must not reset what the user just typed.
    m_setzt = true;
    Geschuetzt([&] { AutoEdit(m_bindung->dataset()); });
    m_geaendert = true;
    QString t = Text();
    if (m_leerzeichen && t.isEmpty()) {
        Leerzeichen();
    } else if (m_leerzeichen && vomBenutzer && m_vorher == kLeer && t.size() > 1) {
        // The field showed only the rule's blank: what was typed replaces it.
        // The blank stands before the caret when the text was typed after it,
        // behind the caret when typed before it.
        int caret = Caret();
        if (caret == t.size() && t.startsWith(kLeer)) {
            t.remove(0, 1);
            --caret;
        } else if (caret == t.size() - 1 && t.endsWith(kLeer)) {
            t.chop(1);
        } else if (t.startsWith(kLeer)) {
            t.remove(0, 1);
            caret = qMax(0, caret - 1);
        } else if (t.endsWith(kLeer)) {
            t.chop(1);
        }
        TextSetzen(t);
        CaretSetzen(qMin(caret, int(t.size())));
    }
    m_vorher = Text();
    m_setzt = false;
}

void GebundenerText::Uebernehmen()
{
    if (!m_geaendert) return;
    data::Field f;
    if (!m_bindung->field(f) || !Bearbeitbar(m_bindung->dataset())) return;
    m_setzt = true;
    try {
        f.setAsString(Speichertext(Text()));
    } catch (...) {
        m_setzt = false;
        m_control->setFocus();
        AllesWaehlen();
        throw;
    }
    m_setzt = false;
    m_geaendert = false;
}

void GebundenerText::FokusErhalten(Qt::FocusReason grund)
{
    // Entered by keyboard, the rule's blank is selected: typing replaces it visibly.
    if (m_leerzeichen && Text() == kLeer && grund != Qt::MouseFocusReason) AllesWaehlen();
}

void GebundenerText::FokusVerloren(Qt::FocusReason grund)
{
    if (m_geaendert && grund != Qt::PopupFocusReason && grund != Qt::ActiveWindowFocusReason)
        Geschuetzt([this] { Uebernehmen(); });
}

// ================= DBEdit =================

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), GebundenerText(this)
{
    connect(this, &QLineEdit::textEdited, this, [this] { Geaendert(true); });
}

QString DBEdit::Anzeigetext(const data::Field& f) const { return Bearbeitungstext(f); }

void DBEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    FokusErhalten(e->reason());
}

void DBEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    FokusVerloren(e->reason());
}

// ================= DBMemo =================

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), GebundenerText(this)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { Geaendert(!m_vomFenster); });
}

void DBMemo::setText(const QString& t)
{
    m_vomFenster = true;
    setPlainText(t);
    m_vomFenster = false;
}

void DBMemo::CaretSetzen(int position)
{
    QTextCursor c = textCursor();
    c.setPosition(position);
    setTextCursor(c);
}

QString DBMemo::Anzeigetext(const data::Field& f) const
{
    // Stored line breaks may be CR LF.
    QString t = f.asString();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString DBMemo::Speichertext(const QString& text) const
{
    QString t = text;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

void DBMemo::focusInEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusInEvent(e);
    FokusErhalten(e->reason());
}

void DBMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    FokusVerloren(e->reason());
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
    // The box keeps its width whatever the longest entry; the open list shows them whole.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
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
    setTextFormat(Qt::PlainText);
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
    setText(!m_bindung->field(f) ? QString() : m_format ? m_format(f) : f.displayText());
    TooltipSetzen();
}

QString DBText::Gekuerzt() const
{
    // One line: the line breaks of a memo column would make the label grow.
    QString zeile = text();
    zeile.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fontMetrics().elidedText(zeile, Qt::ElideRight, qMax(0, contentsRect().width() - 2 * margin() - indent()));
}

void DBText::TooltipSetzen()
{
    setToolTip(Gekuerzt() == text() ? QString() : text());
}

void DBText::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawFrame(&p);
    const QRect feld = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&p, feld, int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(), isEnabled(),
                          Gekuerzt(), foregroundRole());
}

void DBText::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    TooltipSetzen();
}

namespace {
int Rand(const QLabel* l)
{
    return l->contentsMargins().left() + l->contentsMargins().right() + 2 * l->margin();
}
}  // namespace

QSize DBText::sizeHint() const
{
    // As wide as the value, up to a width that fits into any window.
    const QFontMetrics fm = fontMetrics();
    return QSize(qMin(fm.horizontalAdvance(text()), 40 * fm.averageCharWidth()) + Rand(this), fm.height() + 2 * margin() +
                     contentsMargins().top() + contentsMargins().bottom());
}

QSize DBText::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const QSize h = sizeHint();
    return QSize(qMin(h.width(), 3 * fm.averageCharWidth() + Rand(this)), h.height());
}

}  // namespace ui
