#pragma once
// The per-user application-settings store: application, section and key,
// each value a string.

#include <QString>

namespace AppSettings {
QString read(const QString &application, const QString &section, const QString &key);
bool write(const QString &application, const QString &section, const QString &key, const QString &value);
}  // namespace AppSettings
