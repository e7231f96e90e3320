#include "ui/Erzeugung.h"

#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"

#include <QObject>
#include <vector>

namespace ui {

namespace {

struct Eintrag {
    QObject* objekt;
    std::function<void()> binden;
    std::function<void()> vergessen;
};

std::vector<Eintrag>& Erzeugt()
{
    static std::vector<Eintrag> liste;
    return liste;
}

}  // namespace

namespace detail {

void Merken(QObject* objekt, std::function<void()> binden, std::function<void()> vergessen)
{
    Erzeugt().push_back({objekt, binden, std::move(vergessen)});
    // Windows made before the data module bind once it exists.
    if (App().DMOrdavo && binden) binden();
}

}  // namespace detail

void DatenmodulErzeugen()
{
    App().DMOrdavo = new TDMOrdavo();
    for (const Eintrag& e : Erzeugt())
        if (e.binden) Geschuetzt(e.binden);
}

void AlleZerstoeren()
{
    // Windows go before the data module whose datasets they show.
    auto& liste = Erzeugt();
    for (auto it = liste.rbegin(); it != liste.rend(); ++it) {
        delete it->objekt;
        if (it->vergessen) it->vergessen();
    }
    liste.clear();
    delete App().DMOrdavo;
    App() = Anwendung();
}

}  // namespace ui
