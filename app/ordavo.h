#pragma once
// The main window: buttons and menu to every part of the program, the
// desktop entry at first start, the reminder for missing master data, and the
// start of the backup tool whenever the window closes.
#include <QMainWindow>

#include "ui_ordavo.h"

class QTimer;

class TOrdavo : public QMainWindow {
    Q_OBJECT
public:
    explicit TOrdavo(QWidget* parent = nullptr);

    QTimer* Timer1;

    void Lieferschein1Click();
    void Stammdaten1Click();
    void ERechnungEinrichten1Click();
    void IconErstellen1Click();
    void Timer1Timer();
    void BitBtn4Click();
    void BitBtn6Click();
    void PLUverwalten1Click();
    void ArtikelstammClick();
    void AdressenstammClick();
    void AlleLieferscheine1Click();
    void Info1Click();
    void ERechnungAnzeigen1Click();

protected:
    void FormCreate();
    void FormClose();
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void LieferscheineNeuLesen();

    Ui::TOrdavo ui;
    bool m_geschlossen = false;
    bool m_timerGestartet = false;
};
