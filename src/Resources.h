#pragma once
// Icons and other embedded files live in a static library; registering them
// once makes them reachable under ":/zenrook/" whoever asks first.

class QIcon;
class QString;

void ensureResources();

// One of the program's XPM icons. Naming the format spares Qt probing every
// image plugin installed (and loading their libraries) to tell what it is.
QIcon resourceIcon(const QString &path);
