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

// Keys that reach an item beside the one its entry shows (or beside none): the keys that other
// programs taught the user's hands. Each follows its item's enabled state. (Ctrl+W and Ctrl+F4
// are every document window's own Close, which File > Close runs too.)
struct ExtraKey {
    const char* name;   // the item
    const char* key;
};
const std::vector<ExtraKey>& extraKeys();
