#pragma once
// The link through which data-aware controls and detail datasets follow a
// dataset's current row.
#include <QObject>

namespace data {

class Dataset;

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(const QString& name, QObject* parent = nullptr);
    void setDataSet(Dataset* ds);
    Dataset* DataSet() const { return m_ds; }

signals:
    void dataSetGewechselt();
    // Re-emitted from the dataset.
    void zeilenGeaendert();
    void bewegt();
    void zustandGeaendert();
    void vorDemSpeichern();
    void feldGeaendert(int spalte);

private:
    Dataset* m_ds = nullptr;
    QList<QMetaObject::Connection> m_verbindungen;
};

}  // namespace data
