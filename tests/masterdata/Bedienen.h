#pragma once
// Small steps of driving a window as a user does, shared by the master-data tests.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QtTest>

#include "TestUmgebung.h"

namespace bedienen {

template <typename T = QWidget>
T* Teil(QWidget* fenster, const char* name)
{
    return test::In<T>(fenster, name);
}

// Types text key by key (also letters beyond ASCII).
inline void Tasten(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(w, Qt::Key_Return);
            continue;
        }
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces the edit's text by typing, as after entering it with Tab.
inline void Tippe(QWidget* fenster, const char* name, const QString& text)
{
    auto* e = Teil<QLineEdit>(fenster, name);
    e->setFocus(Qt::TabFocusReason);
    e->selectAll();
    if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
    else Tasten(e, text);
}

inline void TippeText(QWidget* fenster, const char* name, const QString& text)
{
    auto* e = Teil<QPlainTextEdit>(fenster, name);
    e->setFocus(Qt::TabFocusReason);
    e->selectAll();
    if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
    else Tasten(e, text);
}

inline void Klick(QWidget* fenster, const char* name) { QTest::mouseClick(Teil<QAbstractButton>(fenster, name), Qt::LeftButton); }

// Visible within its window (also while the window itself is hidden).
inline bool Sichtbar(QWidget* fenster, const char* name) { return Teil(fenster, name)->isVisibleTo(fenster); }

// The names of the controls that Tab visits, starting at `ab`.
inline QStringList Tabfolge(QWidget* ab, int anzahl)
{
    QStringList namen;
    QWidget* w = ab;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(ab->window()) && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_")))
            namen << w->objectName();
        w = w->nextInFocusChain();
    } while (w != ab && namen.size() < anzahl);
    return namen;
}

}  // namespace bedienen
