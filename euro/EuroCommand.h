#pragma once

// "Евро" of the menu: asks, then switches the tables and the setting to the euro and starts the
// line table and the page afresh. Refused once the home currency is the euro.
void SwitchToEuroCommand();
