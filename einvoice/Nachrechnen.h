#pragma once
// Recalculating a received e-invoice: whether its amounts add up the way
// EN 16931 requires, to within one cent.
#include "einvoice/ERechnung.h"

#include <QStringList>

namespace einvoice {

// Each difference as a German sentence naming the amounts; empty when the
// arithmetic holds.
QStringList Rechendifferenzen(const ERechnung& r);

}  // namespace einvoice
