#pragma once
// Handing things to the desktop: opening an address or a file with the
// application registered for it, and shortcut files (freedesktop entries).
// Nothing here waits for the application it starts.

#include <QString>
#include <QUrl>

#include <functional>

namespace Shell {

void open(const QUrl &url);

// Writes a link entry (to an address or file) or an application entry (to a
// program), replacing one of the same name. False when it cannot be saved.
bool writeLink(const QString &entryPath, const QString &target);
bool writeApplication(const QString &entryPath, const QString &program, const QString &name);

// Tests see what would be opened instead of starting applications.
class Override
{
public:
    explicit Override(std::function<void(const QUrl &)> handler);
    ~Override();
    Override(const Override &) = delete;
    Override &operator=(const Override &) = delete;
private:
    std::function<void(const QUrl &)> previous_;
};

}  // namespace Shell
