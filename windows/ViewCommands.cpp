#include "windows/ViewCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "platform/Modal.h"

#include <QCoreApplication>
#include <QAction>

#include <algorithm>

namespace viewcmd {
namespace {

struct KindItem {
    const char* name;
    syntax::Kind kind;
};
constexpr KindItem kKindItems[] = {
    {"mnuViewColouringPlain", syntax::Kind::Plain}, {"mnuViewColouringHtml", syntax::Kind::Html},
    {"mnuViewColouringXml", syntax::Kind::Xml},     {"mnuViewColouringCss", syntax::Kind::Css},
    {"mnuViewColouringJava", syntax::Kind::Java},   {"mnuViewColouringJavaScript", syntax::Kind::JavaScript},
    {"mnuViewColouringJson", syntax::Kind::Json},   {"mnuViewColouringPhp", syntax::Kind::Php},
    {"mnuViewColouringMarkdown", syntax::Kind::Markdown}, {"mnuViewColouringScss", syntax::Kind::Scss},
    {"mnuViewColouringLess", syntax::Kind::Less},
};

struct WidthItem {
    const char* name;
    int columns;
};
constexpr WidthItem kWidthItems[] = {{"mnuViewTabWidth2", 2}, {"mnuViewTabWidth4", 4}, {"mnuViewTabWidth8", 8}};

void check(const DocumentFrame& frame, const char* name, bool on) {
    if (QAction* a = frame.item(name)) {
        a->setCheckable(true);
        a->setChecked(on);
    }
}

void zoomBy(int steps) {
    prefs::Editor p = DocumentView::preferences();
    p.zoom = std::clamp(steps == 0 ? 0 : p.zoom + steps, prefs::kZoomMin, prefs::kZoomMax);
    DocumentView::setPreferences(p);
}

} // namespace

void mnuView(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    DocumentView* view = DocumentView::of(form);
    frame.setItemsEnabled({"mnuViewWordWrap", "mnuViewColouring", "mnuViewBrowser"}, view != nullptr);
    check(frame, "mnuViewWordWrap", view && view->wordWrap());
    for (const KindItem& k : kKindItems) check(frame, k.name, view && view->syntaxKind() == k.kind);
    const prefs::Editor p = DocumentView::preferences();
    for (const WidthItem& w : kWidthItems) check(frame, w.name, p.tabWidth == w.columns);
    check(frame, "mnuViewIndentSpaces", p.indentWithSpaces);
    check(frame, "mnuViewFoldMargin", p.foldMargin);
    frame.setItemsEnabled({"mnuViewFoldAll", "mnuViewUnfoldAll"}, view && view->folding());
}

void ZoomIn() { zoomBy(1); }
void ZoomOut() { zoomBy(-1); }
void ZoomReset() { zoomBy(0); }

void WordWrap(DocumentFrame& frame) {
    DocumentView* view = DocumentView::of(frame.ActiveForm());
    if (!view) return;
    if (!view->setWordWrap(!view->wordWrap())) {
        tp::MsgBox(QCoreApplication::translate("ViewCommands", "This document has a line of more than %1 MB, too long to wrap.")
                       .arg(DocumentView::kMaxWrapLineBytes >> 20));
    }
}

void Colouring(DocumentFrame& frame, syntax::Kind kind) {
    if (DocumentView* view = DocumentView::of(frame.ActiveForm())) view->setSyntaxKind(kind);
}

void FoldMargin() {
    prefs::Editor p = DocumentView::preferences();
    p.foldMargin = !p.foldMargin;
    DocumentView::setPreferences(p);
}

void FoldAll(DocumentFrame& frame) {
    if (DocumentView* view = DocumentView::of(frame.ActiveForm())) view->foldAll();
}

void UnfoldAll(DocumentFrame& frame) {
    if (DocumentView* view = DocumentView::of(frame.ActiveForm())) view->unfoldAll();
}

void TabWidth(int columns) {
    if (!prefs::validTabWidth(columns)) return;
    prefs::Editor p = DocumentView::preferences();
    p.tabWidth = columns;
    DocumentView::setPreferences(p);
}

void IndentWithSpaces() {
    prefs::Editor p = DocumentView::preferences();
    p.indentWithSpaces = !p.indentWithSpaces;
    DocumentView::setPreferences(p);
}

} // namespace viewcmd
