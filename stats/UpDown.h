#pragma once
// An up-down spinner beside an edit (the year fields of the statistics): its
// arrows and the arrow keys in the edit step the whole number in the edit
// within a range, without wrapping and without thousands separator. The edit
// stays free text, so the window decides what to do with text that is not a
// number.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace stats {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* edit);
    QLineEdit* buddy() const { return m_edit; }

    void setMinimum(int wert);
    void setMaximum(int wert);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setIncrement(int schritt) { m_schritt = schritt; }
    int increment() const { return m_schritt; }

    // The last value written to or read from the edit.
    int position() const { return m_position; }
    void setPosition(int wert);

    // One step up (+1) or down (-1) from the edit's number.
    void Schritt(int richtung);

    QSize sizeHint() const override;

signals:
    void geaendert(int position);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QLineEdit* m_edit = nullptr;
    QToolButton* m_hoch = nullptr;
    QToolButton* m_runter = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_schritt = 1;
    int m_position = 0;
};

}  // namespace stats
