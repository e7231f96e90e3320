#pragma once
// The modal editor of one unit. The category editor is the same dialog on
// the category table (it derives from this one and keeps its components).
#include "ui/Formular.h"
#include "ui_Einheit_editieren.h"

#include <QString>
#include <memory>

class QLabel;
namespace data {
class DataSource;
class Dataset;
}  // namespace data
namespace ui {
class DBEdit;
}
class Teinheit_bearbeiten : public ui::Formular {
    Q_OBJECT
public:
    explicit Teinheit_bearbeiten(QWidget* parent = nullptr);
    ~Teinheit_bearbeiten() override;
    void Binden() override;

protected:
    // What differs for a derived editor: table, text column and titles.
    struct Art {
        QString tabelle;
        QString spalte;
        QString titelNeu;
        QString titelAendern;
    };
    // For a derived editor, which sets up its own form and then calls Einrichten.
    Teinheit_bearbeiten(const Art& art, QWidget* parent);
    // Takes the components by name and connects the buttons.
    void Einrichten(const QString& nameEdit, const QString& titelNeu, const QString& titelAendern);
    virtual data::DataSource* Quelle() const;
    data::Dataset* Datenmenge() const;

    void FormShow() override;

    ui::DBEdit* m_name = nullptr;

private:
    Ui::Teinheit_bearbeiten ui;
    Art m_art;
    ui::DBEdit* m_id = nullptr;
    QLabel* m_titelNeu = nullptr;
    QLabel* m_titelAendern = nullptr;
};
