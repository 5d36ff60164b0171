#pragma once
// The kinds of file the editor knows, in one table: how the Open and Save dialogs list them and
// how their text is coloured. A new kind of file is one more row.
#include "documents/Syntax.h"

#include <QString>
#include <QStringList>
#include <span>

namespace filetypes {

struct FileType {
    const char* description;   // as the file dialogs list it, blanks included
    const char* patterns;      // the dialogs' patterns for it, separated by ';', blanks included
    syntax::Kind colouring;
};

// In the order the file dialogs list them.
std::span<const FileType> table();

// The extensions of a row's patterns, lower case, in the order given ("*.htm;*.html": htm, html).
QStringList extensions(const FileType& type);

// The Open dialog's list: "All Documents" (every extension of the table), each kind, "All files".
QString openFilter();
// The Save dialog's list: each kind, "All files".
QString saveFilter();

} // namespace filetypes
