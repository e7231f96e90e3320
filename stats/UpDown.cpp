#include "stats/UpDown.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

namespace stats {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    m_hoch = new QToolButton(this);
    m_hoch->setObjectName(QStringLiteral("Hoch"));
    m_hoch->setArrowType(Qt::UpArrow);
    m_hoch->setAccessibleName(QStringLiteral("Erhöhen"));
    m_hoch->setAutoRepeat(true);
    m_hoch->setFocusPolicy(Qt::NoFocus);
    m_runter = new QToolButton(this);
    m_runter->setObjectName(QStringLiteral("Runter"));
    m_runter->setArrowType(Qt::DownArrow);
    m_runter->setAccessibleName(QStringLiteral("Verringern"));
    m_runter->setAutoRepeat(true);
    m_runter->setFocusPolicy(Qt::NoFocus);
    for (QToolButton* b : {m_hoch, m_runter}) b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    lay->addWidget(m_hoch);
    lay->addWidget(m_runter);
    connect(m_hoch, &QToolButton::clicked, this, [this] { Schritt(+1); });
    connect(m_runter, &QToolButton::clicked, this, [this] { Schritt(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize UpDown::sizeHint() const
{
    const int h = m_edit ? m_edit->sizeHint().height() : 22;
    return {16, h};
}

void UpDown::setBuddy(QLineEdit* edit)
{
    if (m_edit) m_edit->removeEventFilter(this);
    m_edit = edit;
    if (m_edit) m_edit->installEventFilter(this);
}

void UpDown::setMinimum(int wert)
{
    m_min = wert;
    if (m_max < m_min) m_max = m_min;
    m_position = qBound(m_min, m_position, m_max);
}

void UpDown::setMaximum(int wert)
{
    m_max = wert;
    if (m_min > m_max) m_min = m_max;
    m_position = qBound(m_min, m_position, m_max);
}

void UpDown::setPosition(int wert)
{
    m_position = qBound(m_min, wert, m_max);
    // Plain digits: a year reads "2024", never "2.024".
    if (m_edit) m_edit->setText(QString::number(m_position));
    emit geaendert(m_position);
}

void UpDown::Schritt(int richtung)
{
    if (m_edit) {
        // The edit may have been typed into: step from its number when it is one.
        static const QRegularExpression ganz(QStringLiteral("^\\s*[+-]?\\d{1,9}\\s*$"));
        const QString t = m_edit->text();
        if (ganz.match(t).hasMatch()) m_position = qBound(m_min, t.trimmed().toInt(), m_max);
    }
    const qint64 neu = qBound(qint64(m_min), qint64(m_position) + qint64(richtung) * m_schritt, qint64(m_max));
    setPosition(int(neu));
}

bool UpDown::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == m_edit && e->type() == QEvent::KeyPress && isEnabled()) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            Schritt(k->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(obj, e);
}

}  // namespace stats
