#include "platform/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace BusyPointer {

void setBusy()
{
    if (!QGuiApplication::overrideCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void setDefault()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace BusyPointer
