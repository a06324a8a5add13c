#pragma once

// Creates the five forms in the program's order (menu, line table, browser, page, print choice)
// and runs each creation handler; an error in one is reported and the creation goes on.
void CreateForms();
// Destroys the forms in reverse order and clears the global instances.
void DestroyForms();
