#pragma once
// A platform action that tests can replace to see what would have happened
// (a message box shown, an application started) without it happening.

#include <functional>
#include <utility>

template <typename Signature, typename Tag>
class Replaceable
{
public:
    using Handler = std::function<Signature>;

    // The replacement in force, or an empty handler.
    static Handler &current()
    {
        static Handler handler;
        return handler;
    }

    // Replaces the action until the guard goes; guards restore in reverse order.
    class Override
    {
    public:
        explicit Override(Handler handler) : previous_(std::move(current())) { current() = std::move(handler); }
        ~Override() { current() = std::move(previous_); }
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        Handler previous_;
    };
};
