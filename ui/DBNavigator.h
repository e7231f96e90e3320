#pragma once
// Buttons that move and edit a dataset: first, prior, next, last, insert,
// delete, edit, post, cancel, refresh. After each click `geklickt` tells
// which button it was (the window's handler runs then).
#include <QPointer>

#include "data/DataSource.h"
#include <QWidget>

class QToolButton;

namespace data {
class DataSource;
}

namespace ui {

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Knopf { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Anzahl };
    explicit DBNavigator(QWidget* parent = nullptr);
    void setDataSource(data::DataSource* quelle);
    void setSichtbareKnoepfe(const QList<Knopf>& knoepfe);
    // Runs a button's action as a click would.
    void Klick(Knopf k);
    QToolButton* knopf(Knopf k) const { return m_knoepfe[k]; }

signals:
    void geklickt(int knopf);

private:
    void Aktualisieren();
    QPointer<data::DataSource> m_quelle;
    QToolButton* m_knoepfe[Anzahl];
};

}  // namespace ui
