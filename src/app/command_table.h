#pragma once
// The tool-button commands: name, tool bar, hint, image and keys. Menu items and
// keys trigger the same action as the button, so every command has one handler.

#include <QString>
#include <vector>

struct CommandSpec {
    const char *name;    // the button's name, also the action's objectName
    const char *toolBar; // the tool bar that holds the button
    const char *hint;    // exact hint text
    int image;           // index into ILMain
    const char *keys;    // the keys that run it anywhere in the window, ";"-separated (AEShortCut)
};

const std::vector<CommandSpec> &CommandTable();
