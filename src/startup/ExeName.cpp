#include "startup/ExeName.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

QString exeBaseName(const QString &executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
#ifdef Q_OS_WIN
    if (name.endsWith(u".exe"_s, Qt::CaseInsensitive))
        name.chop(4);
#endif
    if (name.endsWith(u"_dv"_s, Qt::CaseInsensitive))
        name.chop(3);
    return name;
}
