#include "ui/Fehler.h"

#include "data/Fehler.h"
#include "ui/Meldungen.h"

namespace ui {

void ZeigeFehler(const std::exception& e)
{
    if (auto* f = dynamic_cast<const data::Fehler*>(&e)) {
        Fehlermeldung(f->text());
        return;
    }
    Fehlermeldung(QString::fromUtf8(e.what()));
}

bool Geschuetzt(const std::function<void()>& aktion)
{
    try {
        aktion();
        return true;
    } catch (const std::exception& e) {
        ZeigeFehler(e);
    }
    return false;
}

}  // namespace ui
