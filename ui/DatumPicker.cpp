#include "ui/DatumPicker.h"

namespace ui {

DatumPicker::DatumPicker(QWidget* parent) : QDateEdit(parent) {}

bool DatumPicker::focusNextPrevChild(bool next)
{
    // QDateTimeEdit moves between its sections here; skip that.
    return QWidget::focusNextPrevChild(next);
}

}  // namespace ui
