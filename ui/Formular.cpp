#include "ui/Formular.h"

#include "ui/Fehler.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace ui {

Formular::Formular(QWidget* parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool Formular::ZeigeModal()
{
    return exec() == QDialog::Accepted;
}

void Formular::Zeige()
{
    show();
    raise();
    activateWindow();
}

void Formular::SetzeModalErgebnis(QPushButton* knopf, bool ok)
{
    if (ok) connect(knopf, &QPushButton::clicked, this, &QDialog::accept);
    else connect(knopf, &QPushButton::clicked, this, &QDialog::reject);
}

void Formular::setKeyPreview(bool an)
{
    if (an == m_keyPreview) return;
    m_keyPreview = an;
    if (an) qApp->installEventFilter(this);
    else qApp->removeEventFilter(this);
}

void Formular::AufHauptfensterZentrieren()
{
    QRect bezug;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TOrdavo") && w->isVisible()) bezug = w->frameGeometry();
    if (!bezug.isValid() && screen()) bezug = screen()->availableGeometry();
    if (!bezug.isValid()) return;
    QRect r = frameGeometry();
    r.moveCenter(bezug.center());
    move(r.topLeft());
    ImBildschirmHalten();
}

void Formular::AufBildschirmZentrieren()
{
    if (!screen()) return;
    QRect r = frameGeometry();
    r.moveCenter(screen()->availableGeometry().center());
    move(r.topLeft());
    ImBildschirmHalten();
}

void Formular::ImBildschirmHalten()
{
    QScreen* bildschirm = QGuiApplication::screenAt(frameGeometry().center());
    if (!bildschirm) bildschirm = screen();
    if (!bildschirm) return;
    const QRect frei = bildschirm->availableGeometry();
    // The frame (title bar, borders) is known once the window was shown.
    const QSize rahmen = frameGeometry().size() - size();
    const QSize passt = (frei.size() - rahmen).expandedTo(minimumSize());
    if (width() > passt.width() || height() > passt.height()) resize(size().boundedTo(passt));
    QRect r = frameGeometry();
    // Too large even so: the top left corner (heading, first fields) stays on the screen.
    r.moveLeft(qMax(frei.left(), qMin(r.left(), frei.right() + 1 - r.width())));
    r.moveTop(qMax(frei.top(), qMin(r.top(), frei.bottom() + 1 - r.height())));
    if (r.topLeft() != frameGeometry().topLeft()) move(r.topLeft());
}

void Formular::done(int r)
{
    Geschuetzt([this] { FormClose(); });
    QDialog::done(r);
}

void Formular::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    Geschuetzt([this] { FormShow(); });
    ImBildschirmHalten();
}

bool Formular::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        const bool r = QDialog::event(e);
        Geschuetzt([this] { FormActivate(); });
        return r;
    }
    if (e->type() == QEvent::WindowDeactivate) {
        const bool r = QDialog::event(e);
        Geschuetzt([this] { FormDeactivate(); });
        return r;
    }
    return QDialog::event(e);
}

bool Formular::eventFilter(QObject* obj, QEvent* e)
{
    if (m_keyPreview && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && obj->isWidgetType() &&
        static_cast<QWidget*>(obj)->window() == this && isVisible()) {
        // A key event travels from the focused control up to the window; the
        // window sees it once, before the control. The same event reaches
        // the filter again for each parent on the way. A new key may reuse
        // the address of the last one (while another key is still held), so
        // only the step to the parent of the widget that had it last counts
        // as the same key.
        const bool weitergereicht = e == m_tasteInArbeit && m_tasteBei &&
                                    obj == static_cast<QWidget*>(m_tasteBei.data())->parentWidget();
        if (e->type() == QEvent::KeyRelease) {
            m_tasteInArbeit = nullptr;
            m_tasteBei = nullptr;
        } else if (weitergereicht) {
            m_tasteBei = obj;
        } else {
            m_tasteInArbeit = e;
            m_tasteBei = obj;
            auto* k = static_cast<QKeyEvent*>(e);
            bool verbraucht = false;
            Geschuetzt([this, k, &verbraucht] { verbraucht = FormKeyDown(k); });
            if (verbraucht) return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

}  // namespace ui
