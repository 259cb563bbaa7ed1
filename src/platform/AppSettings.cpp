#include "platform/AppSettings.h"

#include <QSettings>

namespace AppSettings {

QString read(const QString &application, const QString &section, const QString &key)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    return store.value(section + QLatin1Char('/') + key).toString();
}

bool write(const QString &application, const QString &section, const QString &key, const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    store.setValue(section + QLatin1Char('/') + key, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

}  // namespace AppSettings
