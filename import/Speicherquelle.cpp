#include "import/Zeilenquelle.h"

#include "data/Fehler.h"

namespace uebernahme {

Speicherquelle::Speicherquelle(QString beschreibung) : m_beschreibung(std::move(beschreibung)) {}

void Speicherquelle::Tabelle(const QString& name, const QList<QuellSpalte>& spalten, const QList<Zeile>& zeilen)
{
    m_tabellen.append({name, spalten, zeilen});
}

QString Speicherquelle::Beschreibung() const { return m_beschreibung; }

QStringList Speicherquelle::Tabellen() const
{
    QStringList out;
    for (const Tab& t : m_tabellen) out << t.name;
    return out;
}

const Speicherquelle::Tab* Speicherquelle::Finde(const QString& name) const
{
    for (const Tab& t : m_tabellen)
        if (t.name == name) return &t;
    throw data::Fehler(QStringLiteral("Die Tabelle „%1“ gibt es nicht.").arg(name));
}

QList<QuellSpalte> Speicherquelle::Spalten(const QString& tabelle) const { return Finde(tabelle)->spalten; }

qint64 Speicherquelle::Zeilenzahl(const QString& tabelle) const { return Finde(tabelle)->zeilen.size(); }

void Speicherquelle::Lesen(const QString& tabelle, const std::function<void(const Zeile&)>& zeile) const
{
    for (const Zeile& z : Finde(tabelle)->zeilen) zeile(z);
}

}  // namespace uebernahme
