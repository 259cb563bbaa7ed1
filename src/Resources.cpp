#include "Resources.h"

#include <QtGlobal>

void ensureResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}
