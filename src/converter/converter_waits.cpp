#include "converter/converter_waits.h"

ConverterWaits &ConverterWaits::instance() {
    static ConverterWaits waits;
    return waits;
}

void LongWaitCount::add() {
    if (m_counted)
        return;
    m_counted = true;
    ConverterWaits &waits = ConverterWaits::instance();
    Q_EMIT waits.longWaitsChanged(++waits.m_longWaits);
}

LongWaitCount::~LongWaitCount() {
    if (!m_counted)
        return;
    ConverterWaits &waits = ConverterWaits::instance();
    Q_EMIT waits.longWaitsChanged(--waits.m_longWaits);
}
