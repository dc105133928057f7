#pragma once
// Commands of the window whose work belongs to the document controller. The
// window calls them from its menus and buttons; the document controller sets
// them when the window constructs it. An unset hook means the command has no
// work to do yet: the caller then does nothing.

#include <functional>

struct ShellHooks {
    // Closes the page at the index (-1: no page), asking to save it when modified.
    std::function<void(int pageIndex)> ClosePage;
    // Saves the page at the index (-1: no page).
    std::function<void(int pageIndex)> SavePage;
    // Offers the backups of the page at the index and converts the chosen one into it.
    std::function<void(int pageIndex)> RestoreBackup;
};
