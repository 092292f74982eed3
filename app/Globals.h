// Creating the program's windows.
#pragma once

class TApplication;

// Creates the four windows in the program's order. Form1 first: it becomes the
// main window, and the other windows take its skin.
void CreateNotesForms(TApplication& app);
