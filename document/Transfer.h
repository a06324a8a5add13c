#pragma once

// Set by the first transfer of the line table into the page; never cleared in a run.
extern bool Transferred;

// "Към фактурата": moves the line table and its totals onto the page and shows it.
void TransferToDocument();
