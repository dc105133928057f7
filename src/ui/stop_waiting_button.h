#pragma once
// The status bar's way out of a converter that hangs: shown while a conversion
// has run for the patience time (10 s); a click ends those converters and lets
// their commands return, leaving pages and files as they were.

#include <QToolButton>

class StopWaitingButton : public QToolButton {
    Q_OBJECT
public:
    explicit StopWaitingButton(QWidget *parent = nullptr);
};
