#pragma once
// The scenario's figures of extreme but legal texts: one line of 10 MB, and 400,000 lines broken
// by CR alone.

#include <QString>

class TFormMain;

// Opens each text in a page of its own (the window may hold other pages), measures, closes it.
// dir is a scratch folder; the window's converter is the scenario's.
void MeasurePathologicalTexts(TFormMain &window, const QString &dir);
