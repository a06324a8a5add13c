#pragma once

#include "journal/JournalRecord.h"
#include "ui/Form.h"

#include <QVector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTableWidget;
class QToolButton;
class TLabel;

// The journal window "Дневник": the archived pages newest first, found by number or client as
// one types, narrowed to a period and a kind, with the sums of what is shown; a page's PDF opens
// in the desktop's viewer and its archived bitmap prints again without a new number or row.
class TJournal : public TForm
{
    Q_OBJECT
public:
    TJournal(QWidget *parent = nullptr);

    QLineEdit *Edit1;          // search: a part of the number or of the client's name
    QComboBox *ComboBox1;      // kind: "Всички" or one of the four kinds
    QCheckBox *CheckBox1;      // "Период": the period below is in force
    QDateEdit *DateEdit1;      // from
    QDateEdit *DateEdit2;      // to
    QTableWidget *StringGrid1; // the shown pages
    TLabel *Label1;            // the sums of the shown pages per currency
    QToolButton *SpeedButton1; // "Отвори PDF"
    QToolButton *SpeedButton2; // "Отпечатай отново"
    QToolButton *SpeedButton3; // "Запиши CSV"
    QToolButton *SpeedButton4; // "Обнови"
    QToolButton *SpeedButton5; // "Дневник за продажбите"
    QToolButton *SpeedButton6; // "Е-фактура"

    // Reads the journal again and shows it under the filter in force.
    void Reload();
    // Shows the pages that pass the filter.
    void ApplyFilter();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton5Click();
    void SpeedButton6Click();

    // The pages shown, in the grid's order.
    const QVector<JournalEntry> &Shown() const { return m_shown; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The page of the grid's current row; throws when no row is chosen.
    const JournalEntry &chosen() const;

    QVector<JournalEntry> m_entries;
    QVector<QString> m_marks; // per page of m_entries
    QVector<JournalEntry> m_shown;
};

// The journal window, created at its first opening as a window of the owner (the menu).
TJournal *JournalWindow(QWidget *owner);
