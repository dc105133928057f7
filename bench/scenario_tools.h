#pragma once
// The scenario's figures of the editor tools: find, replace all and the UCS tables.

#include <QString>

class TFormMain;

// Runs on the page that the window has open (the 1,000,000-line text); dir is a scratch folder.
void MeasureTools(TFormMain &window, const QString &dir);
