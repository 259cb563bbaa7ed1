#pragma once
// The longest of a sorted set of keys that a text begins with, found by
// asking for the greatest key not above a probe: that key is either a
// beginning of the probe, or every beginning lies within what the two have
// in common.

#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>

namespace DictionaryKeys {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The common beginning of two texts, never ending inside a surrogate pair.
inline QStringView commonPrefix(QStringView a, QStringView b)
{
    qsizetype n = 0;
    const qsizetype most = std::min(a.size(), b.size());
    while (n < most && a.at(n) == b.at(n))
        ++n;
    if (n > 0 && a.at(n - 1).isHighSurrogate())
        --n;
    return a.left(n);
}

// The longest key a text begins with, given the greatest key not above a
// probe (none when no key is): that key is either a beginning of the probe,
// or every beginning lies within what the two have in common.
template <typename GreatestNotAbove>
std::optional<QString> longestKey(QStringView text, GreatestNotAbove greatestNotAbove)
{
    QStringView probe = text;
    for (int guard = 0; guard < 64; ++guard) {
        const std::optional<QString> key = greatestNotAbove(probe);
        if (!key || key->isEmpty())
            return std::nullopt;
        if (!probe.startsWith(*key)) {
            probe = commonPrefix(probe, *key);
            continue;
        }
        // "鶴沼第1" is no beginning of "鶴沼第12".
        if (!(isDigit(key->back()) && key->size() < text.size() && isDigit(text.at(key->size()))))
            return key;
        probe = probe.left(key->size() - (key->size() > 1 && key->at(key->size() - 2).isHighSurrogate() ? 2 : 1));
    }
    return std::nullopt;
}

}  // namespace DictionaryKeys
