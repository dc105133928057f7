#include "app/command_table.h"

const std::vector<CommandSpec> &CommandTable() {
    // TBOpen's key, Enter, works in the folder tree only (SLVKeyUp), not window-wide.
    static const std::vector<CommandSpec> table = {
        {"TBOpen", "TBMain", "Open selected files (Enter)", 1, ""},
        {"TBRefresh", "TBMain", "Refresh Directory Tree (F5)", 0, "F5"},
        {"TBAbout", "TBMain", "About", 9, ""},
        {"TBReOpen", "TBEditSave", "ReOpen", 8, ""},
        {"TBSave", "TBEditSave", "Save (Ctrl-S)", 2, "Ctrl+S"},
        {"TBSaveAll", "TBEditSave", "Save all", 3, ""},
        {"TBRebuildTree", "TBEditSave", "Rebuild Tree (F1)", 13, "F1"},
        {"TBQuickWizard", "TBEditSave", "Quickly find a similiar tree item (F4)", 18, "F4"},
        {"TBFind", "TBEditMisc", "Find (Ctrl-F)", 11, "Ctrl+F"},
        {"TBReplace", "TBEditMisc", "Replace (Ctrl-H)", 12, "Ctrl+H;Ctrl+R"},
        {"TBFindInFiles", "TBEditMisc", "Find in Files (F6)", 11, "F6"},
        {"TBFont", "TBEditMisc", "Editor Font", 6, ""},
        {"TBArrange", "TBEditMisc", "Rearrange current page view (F2)", 15, "F2"},
        {"TBArrangeAll", "TBEditMisc", "Rearrange all page views", 16, ""},
        {"TBArrangeTo", "TBEditMisc", "Make all page views equal to the current page view", 17, ""},
        {"TBAddUCS", "TBUCS", "Add UCS files", 7, ""},
        {"TBRemoveUCS", "TBUCS", "Remove UCS file", 10, ""},
        {"TBClose", "TBEditClose", "Close", 5, ""},
        {"TBCloseAll", "TBEditClose", "Close All", 14, ""},
    };
    return table;
}
