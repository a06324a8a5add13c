#pragma once

// Set by the first transfer of the line table into the page; never cleared in a run.
extern bool Transferred;

// "Към фактурата": moves the line table and its totals onto the page, takes the own company and
// the bank again, prepares the number and the dates, writes the amount in words, tidies and
// re-flows the page and shows it. An error ends it at its step; the page is then not shown.
void TransferToDocument();
