#include "masterdata/Einheit_editieren.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/dm_ordavo.h"
#include "ui/Anwendung.h"
#include "ui/DatenControls.h"

#include <QLabel>
#include <QPushButton>

using data::Dataset;

Teinheit_bearbeiten::Teinheit_bearbeiten(QWidget* parent)
    : Teinheit_bearbeiten(Art{QStringLiteral("t_einheit"), QStringLiteral("einheit"), QStringLiteral("Neue Einheit"),
                              QStringLiteral("Einheit bearbeiten")},
                          parent)
{
    ui.setupUi(this);
    Einrichten(QStringLiteral("DBEdit1"), QStringLiteral("Label4"), QStringLiteral("Label2"));
}

Teinheit_bearbeiten::Teinheit_bearbeiten(const Art& art, QWidget* parent) : ui::Formular(parent), m_art(art) {}

Teinheit_bearbeiten::~Teinheit_bearbeiten() = default;

void Teinheit_bearbeiten::Einrichten(const QString& nameEdit, const QString& titelNeu, const QString& titelAendern)
{
    m_name = findChild<ui::DBEdit*>(nameEdit);
    m_id = findChild<ui::DBEdit*>(QStringLiteral("db_id"));
    m_titelNeu = findChild<QLabel*>(titelNeu);
    m_titelAendern = findChild<QLabel*>(titelAendern);
    SetzeModalErgebnis(findChild<QPushButton*>(QStringLiteral("SchalterEinheiteditOK")), true);
    SetzeModalErgebnis(findChild<QPushButton*>(QStringLiteral("SchalterEinheiteditAbbrechen")), false);
}

data::DataSource* Teinheit_bearbeiten::Quelle() const { return App().DMOrdavo->Data_t_Einheit; }

Dataset* Teinheit_bearbeiten::Datenmenge() const { return Quelle()->DataSet(); }

void Teinheit_bearbeiten::Binden()
{
    // An emptied name is stored as one blank.
    m_name->setLeerzeichenRegel(true);
    m_name->setDataSource(Quelle(), m_art.spalte);
    m_id->setDataSource(Quelle(), QStringLiteral("id"));
}

void Teinheit_bearbeiten::FormShow()
{
    Dataset* ds = Datenmenge();
    const bool neu = ds->State() == Dataset::Zustand::Insert;
    if (neu) {
        TDMOrdavo* dm = App().DMOrdavo;
        const QString tabelle = m_art.tabelle;
        ds->Vorschlag(QStringLiteral("id"), dm->NaechsteID(tabelle), [dm, tabelle] { return dm->NaechsteID(tabelle); });
    }
    m_titelNeu->setVisible(neu);
    m_titelAendern->setVisible(!neu);
    setWindowTitle(neu ? m_art.titelNeu : m_art.titelAendern);
}
