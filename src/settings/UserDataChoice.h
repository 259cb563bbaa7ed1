#pragma once
// What the one setting of "UserData.ini" asks for.

#include <QString>

namespace UserDataChoice {

enum class Kind {
    ProgramFolder,  // "%app%": the program folder's "usData"
    Default,        // "%usr%", "%applicaion data%", any other "%…": the application-data folder
    Documents,      // "%doc", "%my document%": the documents folder
    Named,          // anything else names a folder
};

// The whole setting, line breaks included, compared without regard to case.
Kind classify(const QString &setting);

// The file's text as a setting: "" when it is empty or its first line is,
// which leaves the default in place.
QString settingOf(const QString &fileText);

}  // namespace UserDataChoice
