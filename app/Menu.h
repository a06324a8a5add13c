#pragma once

#include "ui/Form.h"

class QToolButton;

// The main menu: picture buttons in two columns; closing it ends the program.
class TMain : public TForm
{
    Q_OBJECT
public:
    TMain();
    void FormCreate() override;

    QToolButton *SpeedButton5;  // "Собствени фирми"
    QToolButton *SpeedButton6;  // "Банкови сметки"
    QToolButton *SpeedButton3;  // "Стоки и Услуги"
    QToolButton *SpeedButton7;  // "Клиенти"
    QToolButton *SpeedButton2;  // "Таблица"
    QToolButton *SpeedButton4;  // "Към фактурата"
    QToolButton *SpeedButton1;  // "Отпечатай и съхрани"
    QToolButton *SpeedButton9;  // "Валута"
    QToolButton *SpeedButton10; // "Евро"
    QToolButton *SpeedButton11; // "Дневник"

    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton3Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton1Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    // The end of the program: writes "Vmem.txt" and asks the message loop to quit.
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern TMain *Main;
