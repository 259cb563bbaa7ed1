#pragma once
// The program's message box: OK only, no icon, title "Zenrook". Lines are
// joined with a lone CR, as the messages are written; the box shows it as a
// line break. Tests replace the box to see exactly what would be shown.

#include <QString>

#include <functional>

class QWidget;

namespace MessageBox {

inline constexpr char16_t kTitle[] = u"Zenrook";

void show(const QString &text, QWidget *parent = nullptr);

using Handler = std::function<void(const QString &text)>;
// Replaces the box until the returned guard goes; nested guards restore in order.
class Override
{
public:
    explicit Override(Handler handler);
    ~Override();
    Override(const Override &) = delete;
    Override &operator=(const Override &) = delete;
private:
    Handler previous_;
};

}  // namespace MessageBox
