#include "ui/stop_waiting_button.h"

#include "converter/converter_waits.h"

StopWaitingButton::StopWaitingButton(QWidget *parent) : QToolButton(parent) {
    setObjectName(QStringLiteral("TBStopWaiting"));
    setText(QStringLiteral("Stop waiting"));
    setToolTip(QStringLiteral("End the converter that has been running for a long time. The page "
                              "and its files stay as they were."));
    setAutoRaise(true);
    ConverterWaits &waits = ConverterWaits::instance();
    setVisible(waits.longWaits() > 0);
    connect(&waits, &ConverterWaits::longWaitsChanged, this, [this](int count) { setVisible(count > 0); });
    // Queued: the stop ends nested waits, which must not happen inside the button's own click.
    connect(
        this, &QToolButton::clicked, this, [] { ConverterWaits::instance().stopLongWaits(); },
        Qt::QueuedConnection);
}
