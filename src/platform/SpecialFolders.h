#pragma once
// The user's special folders by the numbers the program has always used:
// 26 application data, 5 documents, 9 the file manager's send-to place.

#include <QString>

namespace SpecialFolders {

enum : int { AppData = 26, Documents = 5, SendTo = 9 };

// The folder's path in native form, without a trailing separator; "" when
// the number is unknown or the platform has no such folder.
QString path(int csidl);

// KDE's file manager takes its send-to places as service menu entries here.
QString serviceMenus();

}  // namespace SpecialFolders
