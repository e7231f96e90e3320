#pragma once
// The list of units: new, change and delete, each through the modal unit
// editor; a unit that articles use is not deleted. The category list is the
// same window on the category table (it derives from this one).
#include "ui/Formular.h"
#include "ui_Einheit_.h"

#include <QString>
#include <memory>

namespace data {
class DataSource;
class Dataset;
}  // namespace data
namespace ui {
class DBGrid;
}
class Teinheit : public ui::Formular {
    Q_OBJECT
public:
    explicit Teinheit(QWidget* parent = nullptr);
    ~Teinheit() override;
    void Binden() override;

protected:
    // What differs for a derived list: text column, editor and texts.
    struct Art {
        QString spalte;
        QString frageLoeschen;
        QString sqlVerwendung;
        QString hinweisVerwendet;
    };
    // For a derived list, which sets up its own form and then calls Einrichten.
    Teinheit(const Art& art, QWidget* parent);
    // Takes the components by name and connects the handlers.
    void Einrichten();
    virtual data::DataSource* Quelle() const;
    virtual ui::Formular* Editor() const;
    data::Dataset* Datenmenge() const;

    void SchalterEinheitNeuClick();
    void SchalterEinheitAendernClick();
    void SchalterEinheitLoeschenClick();
    void SchalterEinheitSchliessenClick();

private:
    Ui::Teinheit ui;
    Art m_art;
    ui::DBGrid* m_grid = nullptr;
};
