#pragma once
// The backup tool's window: choose the destination, then compact the database,
// pack it into Ordavo.zip and put the archive there.
#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class TForm_Datensicherung;
}

namespace backup {

// The files the backup works on.
struct Datensicherungspfade {
    QString einstellungsdatei;  // Ordavo.ini
    QString datenbank;          // ordavo_tab.mdb
    QString arbeitsordner;      // private folder in which Ordavo.zip is built first

    // Ordavo.ini in the program folder, ordavo_tab.mdb in the working
    // directory, the working folder in the user's temporary folder.
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

    std::unique_ptr<Ui::TForm_Datensicherung> ui;
    Datensicherungspfade m_pfade;
    // A destination chosen in this run that the settings file did not take;
    // it stays in use until the tool ends.
    std::optional<QString> m_zielNurDiesmal;
    bool m_laeuft = false;
};

}  // namespace backup
