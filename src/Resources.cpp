#include "Resources.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>

void ensureResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon resourceIcon(const QString &path)
{
    ensureResources();
    QImageReader reader(path, "xpm");
    // Even with the format named, Qt asks every plugin first unless told not to.
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}
