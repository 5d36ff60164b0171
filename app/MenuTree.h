#pragma once
// The frame's menu bar, fixed at build time: control name, caption (with its access key) and
// shortcut key of every item, in display order; 'level' gives the nesting.
#include <vector>

struct MenuEntry {
    int level;
    const char* name;
    const char* caption;    // "-" is a separator line; shown through QCoreApplication::translate("MenuTree", caption)
    const char* shortcut;   // nullptr: none
};

const std::vector<MenuEntry>& menuTree();
