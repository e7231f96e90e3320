#pragma once
// At start: a database of the Windows version (a Jet file) is taken over
// into the program's own format when the user agrees.
#include <QString>
#include <functional>
#include <memory>

namespace uebernahme {
class Zeilenquelle;
}

namespace app {

using JetOeffner = std::function<std::unique_ptr<uebernahme::Zeilenquelle>(const QString&)>;

// When `pfad` is a Jet or ACE file, asks whether to take its data over and
// does so, keeping the original beside it. Returns false when the start-up
// must end: the user declined, or the taking-over failed (after saying why;
// the file then stays as it was). `oeffnen` reads the file (mdbtools unless
// given).
bool WindowsDatenbankUebernehmen(const QString& pfad, const JetOeffner& oeffnen = {});

}  // namespace app
