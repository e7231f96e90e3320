#pragma once
// A grid on a dataset: the model reads the dataset's snapshot row by row, it
// never copies it. The grid's current row is the dataset's current row.
#include <QAbstractTableModel>
#include <QPointer>

#include "data/DataSource.h"
#include <QTableView>
#include <functional>

namespace data {
class DataSource;
class Dataset;
}  // namespace data

namespace ui {

struct GridSpalte {
    QString feld;
    QString titel;
    int breite = 0;  // pixels; 0 = automatic
    // Optional text for a value (e.g. currency); default: the field's display text.
    std::function<QString(const QVariant&)> format;
    Qt::Alignment ausrichtung = Qt::AlignLeft | Qt::AlignVCenter;
};

// Typical contents of columns that several windows list.
namespace muster {
extern const char* const Firma;      // a company name of usual length
extern const char* const Einheit;    // one of the longer unit names
extern const char* const Kategorie;  // one of the longer category names
}  // namespace muster

// A column with field, title, width and optionally right alignment (amounts).
GridSpalte Spalte(const QString& feld, const QString& titel, int breite, bool rechts = false);

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr);
    void setDataSource(data::DataSource* quelle);
    void setSpalten(const QList<GridSpalte>& spalten);
    const QList<GridSpalte>& spalten() const { return m_spalten; }
    data::Dataset* dataset() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

private:
    void Neu();
    QPointer<data::DataSource> m_quelle;
    QList<GridSpalte> m_spalten;
    mutable QVector<int> m_index;  // resolved column indexes
    QList<QMetaObject::Connection> m_verbindungen;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle);
    // A column is never narrower than its title.
    void setSpalten(const QList<GridSpalte>& spalten);
    DatasetModel* model_() const { return m_model; }
    // The width of a column that shows this text whole (a typical value,
    // see `muster`), at least `mindestens` pixels.
    int Spaltenbreite(const char* text, int mindestens = 0) const;

signals:
    // Double click on a row (the row is current already); column index.
    void doppelklick(int spalte);
    // Enter pressed in the grid.
    void enterGedrueckt();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void ZeileAnzeigen();
    void ZeileGewaehlt(const QModelIndex& aktuell, const QModelIndex& vorher);
    DatasetModel* m_model;
    bool m_setzt = false;
};

}  // namespace ui
