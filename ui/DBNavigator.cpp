#include "ui/DBNavigator.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "ui/Fehler.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace ui {

namespace {
const struct {
    const char* name;
    const char* text;
    const char* hinweis;
} kKnoepfe[DBNavigator::Anzahl] = {
    {"First", "|◀", "Erster Datensatz"},   {"Prior", "◀", "Vorheriger Datensatz"},
    {"Next", "▶", "Nächster Datensatz"},  {"Last", "▶|", "Letzter Datensatz"},
    {"Insert", "+", "Datensatz einfügen"}, {"Delete", "−", "Datensatz löschen"},
    {"Edit", "✎", "Datensatz bearbeiten"}, {"Post", "✔", "Datensatz speichern"},
    {"Cancel", "✖", "Bearbeitung abbrechen"}, {"Refresh", "↻", "Daten aktualisieren"},
};
}  // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    for (int k = 0; k < Anzahl; ++k) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kKnoepfe[k].name));
        b->setText(QString::fromUtf8(kKnoepfe[k].text));
        b->setToolTip(QString::fromUtf8(kKnoepfe[k].hinweis));
        b->setAccessibleName(QString::fromUtf8(kKnoepfe[k].hinweis));
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(28);
        l->addWidget(b);
        m_knoepfe[k] = b;
        connect(b, &QToolButton::clicked, this, [this, k] { Klick(Knopf(k)); });
    }
}

void DBNavigator::setDataSource(data::DataSource* quelle)
{
    m_quelle = quelle;
    if (quelle) {
        connect(quelle, &data::DataSource::bewegt, this, &DBNavigator::Aktualisieren);
        connect(quelle, &data::DataSource::zustandGeaendert, this, &DBNavigator::Aktualisieren);
        connect(quelle, &data::DataSource::zeilenGeaendert, this, &DBNavigator::Aktualisieren);
    }
    Aktualisieren();
}

void DBNavigator::setSichtbareKnoepfe(const QList<Knopf>& knoepfe)
{
    for (int k = 0; k < Anzahl; ++k) m_knoepfe[k]->setVisible(knoepfe.contains(Knopf(k)));
}

void DBNavigator::Klick(Knopf k)
{
    data::Dataset* ds = m_quelle ? m_quelle->DataSet() : nullptr;
    if (!ds) return;
    const bool ok = Geschuetzt([&] {
        switch (k) {
        case First: ds->First(); break;
        case Prior: ds->Prior(); break;
        case Next: ds->Next(); break;
        case Last: ds->Last(); break;
        case Insert: ds->Insert(); break;
        case Delete: ds->Delete(); break;
        case Edit: ds->Edit(); break;
        case Post: ds->Post(); break;
        case Cancel: ds->Cancel(); break;
        case Refresh: ds->Requery(); break;
        default: break;
        }
    });
    if (ok) emit geklickt(k);
}

void DBNavigator::Aktualisieren()
{
    data::Dataset* ds = m_quelle ? m_quelle->DataSet() : nullptr;
    const bool aktiv = ds && ds->Active();
    const bool browse = aktiv && ds->State() == data::Dataset::Zustand::Browse;
    const bool bearbeiten = aktiv && !browse;
    const int n = aktiv ? ds->RecordCount() : 0;
    const int pos = aktiv ? ds->RecNo() : -1;
    m_knoepfe[First]->setEnabled(browse && pos > 0);
    m_knoepfe[Prior]->setEnabled(browse && pos > 0);
    m_knoepfe[Next]->setEnabled(browse && pos >= 0 && pos < n - 1);
    m_knoepfe[Last]->setEnabled(browse && pos >= 0 && pos < n - 1);
    m_knoepfe[Insert]->setEnabled(browse);
    m_knoepfe[Delete]->setEnabled(browse && n > 0);
    m_knoepfe[Edit]->setEnabled(browse);
    m_knoepfe[Post]->setEnabled(bearbeiten);
    m_knoepfe[Cancel]->setEnabled(bearbeiten);
    m_knoepfe[Refresh]->setEnabled(browse);
}

}  // namespace ui
