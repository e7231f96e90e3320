#pragma once
// Creating the windows once at start and removing them at the end. Each
// window folder creates its own windows with Erzeuge(); the program calls
// the folders and DatenmodulErzeugen() in the fixed order.
#include "ui/Fehler.h"

#include <functional>
#include <type_traits>
#include <utility>

class QObject;

namespace ui {

namespace detail {

template <typename T, typename = void>
struct HatBinden : std::false_type {};
template <typename T>
struct HatBinden<T, std::void_t<decltype(std::declval<T&>().Binden())>> : std::true_type {};

// Remembers a created object: `binden` runs once the data module exists
// (at once when it does already), `vergessen` clears its registry slot
// when everything is removed.
void Merken(QObject* objekt, std::function<void()> binden, std::function<void()> vergessen);

}  // namespace detail

// Creates a window or report into its registry slot. An error while it is
// created is shown, and creation continues with the slot left empty.
template <typename T>
void Erzeuge(T*& platz)
{
    Geschuetzt([&] {
        T* w = new T();
        platz = w;
        std::function<void()> binden;
        if constexpr (detail::HatBinden<T>::value) binden = [w] { w->Binden(); };
        detail::Merken(w, std::move(binden), [&platz] { platz = nullptr; });
    });
}

// Creates the data module (App().DMOrdavo) and binds the windows made
// before it. Throws data::Fehler when it cannot connect or open its
// datasets; what was created so far stays (AlleZerstoeren removes it).
void DatenmodulErzeugen();

// Removes every window, report and the data module (windows first, in the
// reverse order of creation) and empties the registries.
void AlleZerstoeren();

}  // namespace ui
