#pragma once
// The program's start: the splash screen or the frame, as the settings file says.
#include <QByteArray>
#include <QList>

class MDIForm1;

// Shows the first window and returns; the program then runs on the event loop. The frame is
// created here or when the splash screen closes.
void Main();
// The frame, once it exists; it is deleted as the event loop ends, before the application object.
MDIForm1* mainFrame();
// Creates, loads and shows the frame (once).
void showMainFrame();
// Opens the files (absolute names as the system spells them) in the frame, in order, as
// documents::openFiles() does: once the frame is shown (after the splash screen) and no dialog is
// up. 'raise' brings the frame to the front (files handed over by another launch), with that
// launch's activation token when it had one.
void openFiles(const QList<QByteArray>& files, bool raise, const QByteArray& activationToken = {});
// When the user asked for it (fileops::reopensAtStart()), the files of the last session open
// first, before those of the command line, as openFiles() opens them; a missing session is no
// news.
void reopenSessionAtStart();
