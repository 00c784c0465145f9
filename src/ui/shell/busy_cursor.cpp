#include "ui/shell/busy_cursor.h"

#include <QApplication>

void BusyCursorSwitch::Set(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}
