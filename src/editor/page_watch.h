#pragma once
// Lets an editor tool set up every page that joins the page control (its F3
// key, its font), whoever creates the page.

#include <QObject>
#include <functional>

class Page;
class QTabWidget;

// Calls onAdded for every page placed into pages from now on, while owner lives.
void WatchPageAdditions(QTabWidget *pages, QObject *owner, std::function<void(Page *)> onAdded);
