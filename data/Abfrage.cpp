#include "data/Abfrage.h"

#include "data/Dataset.h"

namespace data {

namespace {

// Closes the query and forgets its parameters however the handler ends.
struct Vorbereitet {
    Dataset* q;
    Vorbereitet(Dataset* query, const QString& sql, const Parameter& parameter) : q(query)
    {
        q->Close();
        q->clearParameters();
        q->setSql(sql);
        for (const auto& p : parameter) q->setParameter(p.first, p.second);
    }
    ~Vorbereitet()
    {
        q->Close();
        q->clearParameters();
    }
};

}  // namespace

int AbfrageAusfuehren(Dataset* q, const QString& sql, const Parameter& parameter)
{
    Vorbereitet v(q, sql, parameter);
    return q->ExecSQL();
}

void AbfrageLesen(Dataset* q, const QString& sql, const Parameter& parameter, const std::function<void(Dataset&)>& lesen)
{
    Vorbereitet v(q, sql, parameter);
    q->Open();
    lesen(*q);
}

QVariant AbfrageWert(Dataset* q, const QString& sql, const Parameter& parameter, const QString& spalte)
{
    QVariant wert;
    AbfrageLesen(q, sql, parameter, [&](Dataset& d) {
        if (d.IsEmpty()) return;
        wert = spalte.isEmpty() ? d.Fields(0).value() : d.FieldByName(spalte).value();
    });
    return wert;
}

}  // namespace data
