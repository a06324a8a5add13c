#pragma once

#include "ui/Form.h"

#include <memory>

class QComboBox;
class QPrinter;
class QToolButton;

// The print choice: original or copy, and the colour depth of the archived page.
class TPrintOptionsForm : public TForm
{
    Q_OBJECT
public:
    TPrintOptionsForm();
    ~TPrintOptionsForm() override;

    QToolButton *SpeedButton1; // "Отпечатай ОРИГИНАЛ на документа"
    QToolButton *SpeedButton2; // "Отпечатай КОПИЕ на документа"
    QComboBox *ComboBox1; // the colour depth: "8 бита цвят", "24 бита цвят", "32 бита цвят"

    void SpeedButton1Click();
    void SpeedButton2Click();
    // Places the form beside the top right of the page.
    void FormShow();

    // The printer pages go to: the system's default printer unless another was set.
    QPrinter &Printer();
    // Prints on the given printer from now on (not owned); nullptr returns to the default one.
    void SetPrinter(QPrinter *printer);

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<QPrinter> m_defaultPrinter;
    QPrinter *m_printer = nullptr;
};

extern TPrintOptionsForm *PrintOptionsForm;
