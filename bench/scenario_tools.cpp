#include "scenario_tools.h"

void MeasureTools(TFormMain &, const QString &) {}
