#pragma once
// Before a page's text is written: the file is code page 1252, so characters pasted into the
// editor that the code page cannot hold would reach the disk as "?". The user is asked first.

class Dialogs;
class PageEditor;
class QString;

// True when the text may be saved: every character fits, or the user answered Yes to saving
// those that do not as "?". On No the caret goes to the first such character (its line is named
// in the question) and nothing else changes.
bool ConfirmUnencodableCharacters(PageEditor *editor, const QString &rbfPath, Dialogs &dialogs);
