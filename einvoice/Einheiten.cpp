#include "einvoice/Einheiten.h"

#include <QRegularExpression>

namespace einvoice {

namespace {

struct Eintrag {
    const char* name;  // lower case, without a trailing point
    const char* code;
};

const Eintrag kTabelle[] = {
    {"stück", "H87"},   {"stk", "H87"},      {"st", "H87"},      {"stck", "H87"},   {"kg", "KGM"},
    {"g", "GRM"},       {"l", "LTR"},        {"liter", "LTR"},   {"m", "MTR"},      {"m²", "MTK"},
    {"m2", "MTK"},      {"qm", "MTK"},       {"m³", "MTQ"},      {"m3", "MTQ"},     {"cbm", "MTQ"},
    {"std", "HUR"},     {"stunde", "HUR"},   {"stunden", "HUR"}, {"paar", "PR"},    {"karton", "CT"},
    {"satz", "SET"},    {"packung", "PK"},   {"rolle", "RO"},    {"kanister", "CA"}, {"pauschal", "LS"},
};

}  // namespace

QString Rec20Vorschlag(const QString& einheit)
{
    QString n = einheit.trimmed().toLower();
    while (n.endsWith(QLatin1Char('.'))) n.chop(1);
    for (const Eintrag& e : kTabelle)
        if (n == QString::fromUtf8(e.name)) return QString::fromLatin1(e.code);
    return QStringLiteral("C62");
}

bool Rec20Form(const QString& code)
{
    static const QRegularExpression form(QStringLiteral("^[A-Z0-9]{2,3}$"));
    return form.match(code).hasMatch();
}

}  // namespace einvoice
