#pragma once
// The program's own modules (the browser engine, the datum conversion): the
// places a module is looked for, and loading the first that offers what is
// asked of it. Modules keep libraries that most starts never need out of the
// program's start.

#include <QString>
#include <QStringList>

class QObject;

namespace ProgramModule {

struct Loaded {
    QObject *instance = nullptr;  // the module's root object; lives until the process ends
    QString reason;               // when none: why, in Japanese, for the user
    QString detail;               // when none: why, for the terminal
};

// Beside the program, in its installed library folder, and in the build tree
// when the program runs from inside it; in that order.
QStringList places(const QString &fileName);

// Loads the first of candidates that loads and whose root object offers the
// interface iid (qobject_cast to it then succeeds); label names the module
// for the user ("地図表示の部品"). The module stays loaded: objects made by
// it may live until the end.
Loaded load(const QStringList &candidates, const QString &label, const char *iid);

}  // namespace ProgramModule
