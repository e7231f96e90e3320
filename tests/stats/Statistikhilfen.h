#pragma once
// Helpers for the statistics window tests: what the preview showed, laid out
// while it is open (the datasets are open only then).
#include "TestUmgebung.h"

#include "report/Bericht.h"

#include <QAbstractButton>
#include <QStringList>
#include <QtTest/QtTest>
#include <functional>

namespace statistikhilfen {

struct Vorschau {
    bool gezeigt = false;
    report::Seiten seiten;
};

// Runs `ausloesen`; the preview it opens is laid out once more from `bericht`
// and closed. `waehrend` may look at more while the preview is open.
inline Vorschau Beobachten(const std::function<void()>& ausloesen, report::Bericht& bericht,
                           const std::function<void(QWidget*)>& waehrend = {})
{
    Vorschau v;
    test::BeimNaechstenDialog([&](QWidget* w) {
        if (w->objectName() == QLatin1String("Vorschau")) {
            v.gezeigt = true;
            v.seiten = bericht.Layout();
            if (waehrend) waehrend(w);
        }
        w->close();
    });
    ausloesen();
    return v;
}

// The texts printed by an element, on all pages.
inline QStringList Texte(const report::Seiten& seiten, const QString& name)
{
    QStringList r;
    for (const auto& s : seiten)
        for (const auto* t : s.alleTexte(name)) r << t->text;
    return r;
}

inline QString Text(const report::Seiten& seiten, const QString& name)
{
    const QStringList t = Texte(seiten, name);
    return t.isEmpty() ? QStringLiteral("<fehlt>") : t.first();
}

}  // namespace statistikhilfen
