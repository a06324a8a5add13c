#pragma once

// Set by the first transfer of the line table into the page; never cleared in a run.
extern bool Transferred;
// Whether the last transfer ran to its end: false before the first one and after one that
// stopped with an error, when the page may hold a half-made document that must not be printed.
extern bool TransferCompleted;

// "Към фактурата": moves the line table and its totals onto the page, takes the own company and
// the bank again, prepares the number and the dates, writes the amount in words, tidies and
// re-flows the page and shows it. An error ends it at its step; the page is then not shown.
void TransferToDocument();
