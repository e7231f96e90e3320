#pragma once
// The busy cursor while something takes a noticeable time (a statistic being
// summed, a report being laid out, a document being printed). It is taken
// back when the object goes out of scope, also by an exception, or earlier
// with Ende().
#include <QApplication>
#include <QCursor>

namespace ui {

class Sanduhr {
public:
    Sanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sanduhr() { Ende(); }
    Sanduhr(const Sanduhr&) = delete;
    Sanduhr& operator=(const Sanduhr&) = delete;

    void Ende()
    {
        if (!m_an) return;
        m_an = false;
        QApplication::restoreOverrideCursor();
    }

private:
    bool m_an = true;
};

}  // namespace ui
