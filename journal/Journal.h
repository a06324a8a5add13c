#pragma once

#include "journal/JournalReader.h"
#include "ui/Form.h"

#include <QTemporaryDir>
#include <memory>

class JournalBackground;
class JournalModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTableView;
class QToolButton;
class TLabel;

// The journal window "Дневник": the archived pages newest first, found by number or client as
// one types, narrowed to a period and a kind, with the sums of what is shown; a page's PDF opens
// in the desktop's viewer and its archived bitmap prints again without a new number or row. Under
// the list it says which numbers the journal lacks against the counters and the archive.
class TJournal : public TForm
{
    Q_OBJECT
public:
    TJournal(QWidget *parent = nullptr);
    ~TJournal() override;

    QLineEdit *Edit1;          // search: a part of the number or of the client's name
    QComboBox *ComboBox1;      // kind: "Всички" or one of the four kinds
    QCheckBox *CheckBox1;      // "Период": the period below is in force
    QDateEdit *DateEdit1;      // from
    QDateEdit *DateEdit2;      // to
    QTableView *StringGrid1;   // the shown pages
    TLabel *Label1;            // the sums of the shown pages per currency
    TLabel *Label2;            // what the journal lacks against the counters and the archive
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

    // The list of the pages shown.
    JournalModel *Model() const { return m_model; }
    // The page of the grid's current row; throws when no row is chosen.
    JournalEntry Chosen() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTotals(const JournalTotals &totals);
    void showFindings();

    JournalModel *m_model;
    JournalBackground *m_background;
    QTemporaryDir m_copyFolder;
    QString m_source;         // the journal file read: the journal, or a copy brought up
    qint64 m_shownCount = -1; // the count of the filter in force, once known
    qint64 m_withoutKeys = 0; // pages not yet ready for the list
    QString m_findings;
};

// The journal window, created at its first opening as a window of the owner (the menu).
TJournal *JournalWindow(QWidget *owner);
