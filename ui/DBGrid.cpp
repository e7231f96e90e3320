#include "ui/DBGrid.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "ui/Fehler.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace ui {

namespace muster {
const char* const Firma = "Getränkemarkt Schumacher GmbH";
const char* const Einheit = "Pauschale";
const char* const Kategorie = "Befestigungstechnik";
}  // namespace muster

GridSpalte Spalte(const QString& feld, const QString& titel, int breite, bool rechts)
{
    GridSpalte s;
    s.feld = feld;
    s.titel = titel;
    s.breite = breite;
    if (rechts) s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
    return s;
}

// ================= DatasetModel =================

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

data::Dataset* DatasetModel::dataset() const { return m_quelle ? m_quelle->DataSet() : nullptr; }

void DatasetModel::setDataSource(data::DataSource* quelle)
{
    for (const auto& c : m_verbindungen) disconnect(c);
    m_verbindungen.clear();
    m_quelle = quelle;
    if (quelle) {
        m_verbindungen << connect(quelle, &data::DataSource::zeilenGeaendert, this, &DatasetModel::Neu)
                       << connect(quelle, &data::DataSource::dataSetGewechselt, this, &DatasetModel::Neu)
                       << connect(quelle, &data::DataSource::bewegt, this, [this] {
                              // Values of the current row may have changed (post).
                              data::Dataset* ds = dataset();
                              if (ds && ds->RecNo() >= 0 && ds->RecNo() < rowCount())
                                  emit dataChanged(index(ds->RecNo(), 0), index(ds->RecNo(), columnCount() - 1));
                          });
    }
    Neu();
}

void DatasetModel::setSpalten(const QList<GridSpalte>& spalten)
{
    beginResetModel();
    m_spalten = spalten;
    m_index.clear();
    endResetModel();
}

void DatasetModel::Neu()
{
    beginResetModel();
    m_index.clear();
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    data::Dataset* ds = dataset();
    return ds ? ds->RecordCount() : 0;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_spalten.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    data::Dataset* ds = dataset();
    if (!ds || !index.isValid()) return QVariant();
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(m_spalten.at(index.column()).ausrichtung);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return QVariant();
    if (m_index.size() != m_spalten.size()) {
        m_index.clear();
        for (const GridSpalte& s : m_spalten) m_index << ds->Spaltenindex(s.feld);
    }
    const int sp = m_index.at(index.column());
    if (sp < 0) return QVariant();
    const GridSpalte& g = m_spalten.at(index.column());
    if (g.format) return g.format(ds->WertAn(index.row(), sp));
    return ds->AnzeigeAn(index.row(), sp);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole) return QVariant();
    if (o == Qt::Horizontal) return section < m_spalten.size() ? m_spalten.at(section).titel : QVariant();
    return QVariant();
}

// ================= DBGrid =================

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new DatasetModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DBGrid::ZeileGewaehlt);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::ZeileAnzeigen);
}

void DBGrid::setDataSource(data::DataSource* quelle)
{
    m_model->setDataSource(quelle);
    if (quelle) connect(quelle, &data::DataSource::bewegt, this, &DBGrid::ZeileAnzeigen);
    ZeileAnzeigen();
}

void DBGrid::setSpalten(const QList<GridSpalte>& spalten)
{
    m_model->setSpalten(spalten);
    const QFontMetrics kopf = horizontalHeader()->fontMetrics();
    // Room around a title: the header's margins on both sides.
    const int rand = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 4;
    for (int i = 0; i < spalten.size(); ++i)
        if (spalten.at(i).breite > 0)
            setColumnWidth(i, qMax(spalten.at(i).breite, kopf.horizontalAdvance(spalten.at(i).titel) + rand));
}

int DBGrid::Spaltenbreite(const char* text, int mindestens) const
{
    // Room around a cell's text: the focus frame's margin on both sides and the grid line.
    const int rand = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    return qMax(mindestens, fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + rand);
}

void DBGrid::ZeileAnzeigen()
{
    data::Dataset* ds = m_model->dataset();
    if (!ds) return;
    const int r = ds->RecNo();
    m_setzt = true;
    if (r >= 0 && r < m_model->rowCount()) {
        const int sp = qMax(0, currentIndex().column());
        if (currentIndex().row() != r) {
            selectionModel()->setCurrentIndex(m_model->index(r, sp),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        scrollTo(m_model->index(r, sp));
    } else {
        selectionModel()->clearSelection();
    }
    m_setzt = false;
}

void DBGrid::ZeileGewaehlt(const QModelIndex& aktuell, const QModelIndex&)
{
    if (m_setzt || !aktuell.isValid()) return;
    data::Dataset* ds = m_model->dataset();
    if (!ds || ds->RecNo() == aktuell.row()) return;
    if (!Geschuetzt([&] { ds->setRecNo(aktuell.row()); })) ZeileAnzeigen();
}

void DBGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit enterGedrueckt();
        e->ignore();  // the window's default button may act too
        return;
    }
    QTableView::keyPressEvent(e);
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    const QModelIndex i = indexAt(e->position().toPoint());
    if (i.isValid()) emit doppelklick(i.column());
}

}  // namespace ui
