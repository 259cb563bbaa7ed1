#pragma once
// The screen's busy pointer while the program starts up or works.

namespace BusyPointer {
void setBusy();
// Back to the default pointer, however often busy was set.
void setDefault();

// Busy for the life of the guard.
class Scope
{
public:
    Scope() { setBusy(); }
    ~Scope() { setDefault(); }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};
}  // namespace BusyPointer
