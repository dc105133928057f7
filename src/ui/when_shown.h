#pragma once
// Work that waits for a window to show: it runs once, from the event loop, after the window was
// first exposed and painted, so that a user sees the window before the work keeps it busy.

#include <functional>

class QWidget;

// Runs work after window's first exposure (at once from the event loop if it is exposed already);
// nothing if the window is destroyed first. The window need not have been shown yet.
void RunWhenShown(QWidget *window, std::function<void()> work);
