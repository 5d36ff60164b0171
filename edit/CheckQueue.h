#pragma once
// The one thread that runs the markup checks (edit/HtmlCheck.h), so that typing never waits for
// one. Each window posts the latest copy of its text with its generation; a copy not yet begun is
// replaced by a newer one, and an outcome whose window posted again meanwhile, or has gone, is
// dropped (Tidy cannot be stopped halfway: the check of a text that changed runs out and is
// thrown away). The thread holds no QObject; it ends when the application object does (a bounded
// wait, at exit only).
#include "edit/HtmlCheck.h"

#include <QByteArray>
#include <QtGlobal>

#include <functional>

class QObject;

namespace htmlcheck {

struct Job {
    quint64 generation = 0;
    QByteArray text;
    Language language = Language::Html;
    bool all = false;
    bool asked = false;   // Check Page Now (see htmlcheck::checkHtml)
};

// Runs on the receiver's thread with the job's generation and its result, while the receiver lives.
using Delivery = std::function<void(quint64 generation, const Result& result)>;

// Called on the GUI thread. 'receiver' is the window's checker object: it must call forget()
// before it goes.
void post(QObject* receiver, Job job, Delivery deliver);
void forget(QObject* receiver);

} // namespace htmlcheck
