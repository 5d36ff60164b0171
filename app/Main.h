#pragma once
// The program's start: the splash screen or the frame, as the settings file says.
class MDIForm1;

// Shows the first window and returns; the program then runs on the event loop. The frame is
// created here or when the splash screen closes.
void Main();
// The frame, once it exists; it is deleted as the event loop ends, before the application object.
MDIForm1* mainFrame();
// Creates, loads and shows the frame (once).
void showMainFrame();
