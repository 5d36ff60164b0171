#include "search/ReplaceCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"
#include "search/Matcher.h"
#include "search/Replacement.h"

#include <QCoreApplication>

namespace replacecmd {
namespace {

// The dialog's options become the shared state; any change starts a new search at the caret.
void store(const ReplaceQuery& q) {
    searchcmd::SearchState& s = searchcmd::state();
    searchcmd::SearchExtras& x = searchcmd::extras();
    const std::int16_t matchCase = q.matchCase ? 1 : 0, direction = q.down ? 1 : 0;
    if (s.strSearchText != q.find || s.intMatchCase != matchCase || s.intSearchDirection != direction ||
        x.wholeWord != q.wholeWord || x.regex != q.regex)
        s.blnNewSearch = true;
    s.strSearchText = q.find;
    s.intMatchCase = matchCase;
    s.intSearchDirection = direction;
    x.wholeWord = q.wholeWord;
    x.regex = q.regex;
    x.replaceText = q.replaceWith;
}

const char* bytesOf(RichTextBox& rtb, qint64 length) { return length > 0 ? rtb.rangePointer(0, length) : ""; }

} // namespace

bool prepare(const ReplaceQuery& query, search::Matcher& matcher, search::Replacement& replacement) {
    search::QueryError error;
    if (!matcher.prepare({query.find, query.matchCase, query.wholeWord, query.regex}, &error)) {
        tp::MsgBox(error.text(query.find));
        return false;
    }
    QString problem;
    if (!replacement.prepare(query.replaceWith, matcher, &problem)) {
        tp::MsgBox(problem);
        return false;
    }
    return true;
}

bool findNext(DocumentFrame& frame, const ReplaceQuery& query) {
    search::Matcher matcher;
    search::Replacement replacement;
    if (!prepare(query, matcher, replacement)) return false;
    store(query);
    return searchcmd::FindInDocument(frame);
}

bool replaceCurrent(DocumentFrame& frame, const ReplaceQuery& query) {
    search::Matcher matcher;
    search::Replacement replacement;
    if (!prepare(query, matcher, replacement)) return false;
    store(query);
    if (Form1* form = frame.ActiveForm()) {
        RichTextBox& rtb = *form->RTB1;
        const qint64 length = rtb.byteLength();
        const qint64 from = rtb.byteFromIndex(rtb.SelStart());
        const qint64 to = rtb.byteFromIndex(rtb.SelStart() + rtb.SelLength());
        // An empty match is replaced only where the last search found it.
        const searchcmd::SearchState& s = searchcmd::state();
        const bool found = from < to || (!s.blnNewSearch && s.intLastPos == rtb.SelStart());
        const search::Match m = found ? matcher.matchAt(bytesOf(rtb, length), length, from) : search::Match{};
        if (m && m.end == to) {
            const QByteArray with = replacement.of(bytesOf(rtb, length), matcher);
            rtb.editInOneStep([&] { rtb.replaceBytes(from, to, with); });
            const qint64 caret = query.down ? from + with.size() : from;
            rtb.selectBytes(caret, caret);
            // After an empty match the next search starts one character further on (the repeat
            // rule), so that the same place is not found again.
            searchcmd::state().intLastPos = rtb.SelStart();
            searchcmd::state().blnNewSearch = m.end > m.start;
        }
    }
    return searchcmd::FindInDocument(frame);
}

qint64 replaceAllIn(RichTextBox& rtb, const search::Matcher& matcher, const search::Replacement& replacement,
                    qint64 from, qint64 to, qint64* growth) {
    const qint64 length = rtb.byteLength();
    search::ReplacePlan plan =
        search::planReplaceAll(matcher, replacement, bytesOf(rtb, length), length, from, to);
    if (plan.gaveUp) return -1;
    if (growth) *growth = plan.growth;
    if (plan.count == 0) return 0;
    // Room for the grown text first, while the undo step holds nothing yet; then the stretches in
    // order, each let go of as soon as it is in.
    if (plan.growth > 0) rtb.reserveBytes(length + plan.growth + 4096);
    rtb.editInOneStep([&] {
        qint64 shift = 0;
        for (search::ReplaceChunk& c : plan.chunks) {
            rtb.replaceBytes(c.from + shift, c.to + shift, c.text);
            shift += c.text.size() - (c.to - c.from);
            c.text = QByteArray();
        }
    });
    return plan.count;
}

QString countMessage(qint64 replacements, int documents) {
    // Whole phrases, not an added "s": other languages make their plurals otherwise.
    const QString made = replacements == 1 ? QCoreApplication::translate("ReplaceCommands", "1 replacement")
                                           : QCoreApplication::translate("ReplaceCommands", "%1 replacements").arg(replacements);
    return documents == 1 ? QCoreApplication::translate("ReplaceCommands", "%1 in 1 document").arg(made)
                          : QCoreApplication::translate("ReplaceCommands", "%1 in %2 documents").arg(made).arg(documents);
}

qint64 replaceAll(DocumentFrame& frame, const ReplaceQuery& query, Scope scope) {
    search::Matcher matcher;
    search::Replacement replacement;
    if (!prepare(query, matcher, replacement)) return 0;
    store(query);
    Form1* active = frame.ActiveForm();
    QList<Form1*> forms;
    if (scope == Scope::AllDocuments) forms = frame.documentWindows();
    else if (active) forms = {active};
    if (scope == Scope::Selection && active && !active->RTB1->hasSelection()) {
        tp::MsgBox(QCoreApplication::translate("ReplaceCommands", "There is no selection to replace in."));
        return 0;
    }

    qint64 total = 0;
    int documents = 0;
    for (Form1* form : forms) {
        RichTextBox& rtb = *form->RTB1;
        qint64 from = 0, to = rtb.byteLength();
        if (scope == Scope::Selection) {
            from = rtb.byteFromIndex(rtb.SelStart());
            to = rtb.byteFromIndex(rtb.SelStart() + rtb.SelLength());
        }
        qint64 growth = 0;
        const qint64 n = replaceAllIn(rtb, matcher, replacement, from, to, &growth);
        if (n < 0) {
            tp::MsgBox(searchcmd::tooMuchWork(query.find));
            break;
        }
        // The selection covers what became of it.
        if (scope == Scope::Selection) rtb.selectBytes(from, to + growth);
        total += n;
        documents += n > 0;
    }
    if (total == 0) tp::MsgBox(QCoreApplication::translate("ReplaceCommands", "Cannot find \"") + query.find + QLatin1Char('"'));
    else tp::MsgBox(countMessage(total, documents));
    return total;
}

} // namespace replacecmd
