#pragma once
// The scratch-query sequence of the handlers, in one place: on a shared
// query dataset (the data module's ADOQuery) close it, clear the
// parameters, set the SQL and the parameters, run it, and close it again,
// also when running fails.
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <functional>

namespace data {

class Dataset;

using Parameter = QList<QPair<QString, QVariant>>;

// Runs a statement without result rows; returns the rows it changed.
int AbfrageAusfuehren(Dataset* q, const QString& sql, const Parameter& parameter = {});
// Opens the query and hands it to `lesen` (also when it has no rows).
void AbfrageLesen(Dataset* q, const QString& sql, const Parameter& parameter, const std::function<void(Dataset&)>& lesen);
// The value of column `spalte` (the first column when empty) in the first
// row; a null QVariant when there is no row.
QVariant AbfrageWert(Dataset* q, const QString& sql, const Parameter& parameter = {}, const QString& spalte = QString());

}  // namespace data
