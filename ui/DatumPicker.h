#pragma once
// A date picker that is one tab stop: Tab leaves it instead of walking
// through day, month and year. The sections stay reachable with the arrow
// keys and by clicking, and the calendar drops down as usual.
#include <QDateEdit>

namespace ui {

class DatumPicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatumPicker(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};

}  // namespace ui
