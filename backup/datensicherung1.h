#pragma once
// The backup tool's window: choose the destination, then compact the database
// (or, on a database server, dump it as SQL), pack it into Ordavo.zip and put
// the archive there.
#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include "ui_datensicherung1.h"

namespace backup {

// The files the backup works on.
struct Datensicherungspfade {
    QString einstellungsdatei;  // Ordavo.ini
    QString datenbank;          // ordavo_tab.mdb
    QString arbeitsordner;      // private folder in which Ordavo.zip is built first
    // The libpq connection string of the database server the programs work
    // on instead of the file; empty: the file.
    QString server;

    // Ordavo.ini in the program folder, ordavo_tab.mdb in the working
    // directory, the working folder in the user's temporary folder, the
    // server as Ordavo.ini names it.
    static Datensicherungspfade Standard();
};

class TForm_Datensicherung : public QDialog {
    Q_OBJECT

public:
    explicit TForm_Datensicherung(QWidget* parent = nullptr);
    explicit TForm_Datensicherung(const Datensicherungspfade& pfade, QWidget* parent = nullptr);
    ~TForm_Datensicherung() override;

    // The destination when none has been chosen yet: the user's home folder.
    static QString StandardZiel();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    // Shows how far the backup has come: `promille` of the whole, `schritt` the step.
    void ZeigeFortschritt(int promille, const QString& schritt);

    Ui::TForm_Datensicherung ui;
    Datensicherungspfade m_pfade;
    // A destination chosen in this run that the settings file did not take;
    // it stays in use until the tool ends.
    std::optional<QString> m_zielNurDiesmal;
    bool m_laeuft = false;
};

}  // namespace backup
