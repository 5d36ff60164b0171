#pragma once
// The seams through which tests put their own behaviour in place of the system's, gathered in one
// place. Each is declared beside what it replaces; this header includes them all. None of them is
// used by the program itself: every one is empty (the real behaviour) unless a test sets it, and
// a test that sets one restores it (nullptr, or the value returned) before it ends.
//
// tp::setModal(ModalSeam*)                          platform/Modal.h
//     Answers every message box, file dialog, print dialog and program dialog in place of a user
//     (tests use ScriptedModal, which puts itself in place and takes itself away).
//
// tp::setSystemServices(SystemServices*)            platform/System.h
//     Replaces the beep, the clock and the desktop's launcher: tests count beeps, set the time
//     and record the pages the Help menu opens.
//
// io::setMemoryProbe(std::function<qint64()>) io/TextLoader.h
//     Replaces the measure of free memory that Open checks a file against, so that the refusals
//     for too little memory can be tried on a small file.
//
// io::setWriteFaultInjector(std::function<int(qint64)>) io/AtomicFile.h
//     Called before every write(2) of the writer; an errno value other than 0 makes that write
//     fail with it (a full disk, an I/O error) at any chosen point of a save.
//
// io::setFaultInjector(std::function<int(WriteFault&)>) io/WriteSteps.h
//     Called before every step of a save (write, sync, rename, fallocate, chmod, the kept copy,
//     truncate, the unnamed temporary file); an errno value fails that step, and a Write or Copy
//     may be shortened: the fault walk and the kill test go through every step of both save paths.
//
// io::JournalWriter::setFaultInjector(std::function<int(qint64)>) io/JournalWriter.h
//     The same for the writes of recovery journals: a full disk while a journal is written.
//
// recovery::useFolder(QString)                      documents/Recovery.h
//     Keeps the recovery journals in another folder than the user's state folder (every test
//     program has its own, see tests/support/TestFrame.cpp); the benchmark uses it too.
//
// recovery::setJournalsEnabled(bool)                documents/Recovery.h
//     Document windows made afterwards keep no journal: the benchmark's baseline.
//
// DocumentJournal::setTiming(Timing)                documents/DocumentJournal.h
//     Shortens the half second after which edits are written and the idle time before a
//     journal is compacted.
//
// syntax::setColouringLimit(qint64)                 documents/Syntax.h
//     Moves the size above which colouring goes off, so that the switch can be tried on small
//     documents; returns the previous limit.
//
// spelling::setFolders(QStringList)                 edit/Spelling.h
//     Looks for dictionaries in other folders than the system's (an empty folder: none installed).
#include "documents/DocumentJournal.h"
#include "documents/Recovery.h"
#include "documents/Syntax.h"
#include "edit/Spelling.h"
#include "io/AtomicFile.h"
#include "io/TextLoader.h"
#include "io/JournalWriter.h"
#include "io/WriteSteps.h"
#include "platform/Modal.h"
#include "platform/System.h"
