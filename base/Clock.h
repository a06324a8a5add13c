#pragma once

#include <QDate>

// The day the program takes as today for the dates it writes on a document: the system's date,
// unless a test has fixed another day (a document dated in the past is a test's way to print in
// leva after the euro came).
QDate Today();
// Fixes the day Today() gives; an invalid date lets the system's date through again.
void FixToday(const QDate &day);
