#include "data/DataSource.h"

#include "data/Dataset.h"

namespace data {

DataSource::DataSource(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

void DataSource::setDataSet(Dataset* ds)
{
    if (ds == m_ds) return;
    for (const auto& c : m_verbindungen) disconnect(c);
    m_verbindungen.clear();
    m_ds = ds;
    if (ds) {
        m_verbindungen << connect(ds, &Dataset::zeilenGeaendert, this, &DataSource::zeilenGeaendert)
                       << connect(ds, &Dataset::bewegt, this, &DataSource::bewegt)
                       << connect(ds, &Dataset::zustandGeaendert, this, &DataSource::zustandGeaendert)
                       << connect(ds, &Dataset::vorDemSpeichern, this, &DataSource::vorDemSpeichern)
                       << connect(ds, &Dataset::feldGeaendert, this, &DataSource::feldGeaendert)
                       << connect(ds, &QObject::destroyed, this, [this] { m_ds = nullptr; });
    }
    emit dataSetGewechselt();
}

}  // namespace data
