#include "settings/UserDataChoice.h"

using namespace Qt::StringLiterals;

namespace UserDataChoice {

Kind classify(const QString &setting)
{
    const QString lower = setting.toLower();
    if (lower == u"%app%"_s)
        return Kind::ProgramFolder;
    if (lower == u"%doc"_s || lower == u"%my document%"_s)
        return Kind::Documents;
    if (lower.startsWith(QLatin1Char('%')))
        return Kind::Default;  // "%usr%" and "%applicaion data%" among them
    return Kind::Named;
}

QString settingOf(const QString &fileText)
{
    if (fileText.startsWith(QLatin1Char('\r')) || fileText.startsWith(QLatin1Char('\n')))
        return QString();
    return fileText;
}

}  // namespace UserDataChoice
