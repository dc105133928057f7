#pragma once
// The accessibility interface of the page editors.
//
// QScintilla's own interface recounts the characters from the start of the text
// up to the caret on every caret or selection change, to report the caret as a
// character offset. The interface exists once Qt has asked for it (any show or
// focus change does, whether or not a screen reader is running), so on a text
// of a million lines every caret move near the end cost about 0.1 s. The page
// editors get a plain editable-text interface instead; only while assistive
// technology is active is QScintilla's full text interface created.

// Installs the interface factory for PageEditor; once per program, later calls do nothing.
void InstallEditorAccessibleFactory();
