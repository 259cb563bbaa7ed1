#pragma once
// A settings file's text held in memory and edited in place: a root element,
// groups under it, keys under the groups, in a fixed layout with CR LF.
// Elements are found by plain search for their tags; nothing is escaped.

#include <QString>
#include <QVariant>

#include <functional>

class SettingsDocument
{
public:
    static constexpr char16_t kRoot[] = u"運用";

    QString sTxt;  // the whole file
    QString sGp;   // the selected group
    QString sGtx;  // the selected group's key lines

    // Called with a damaged element's name (one tag without its partner, or
    // the end tag first); the element then reads as "".
    std::function<void(const QString &name)> onDamaged;

    // The skeleton of an empty file: declaration, root start and end tags.
    static QString skeleton();
    static QString MkTag(int level, const QString &name, const QVariant &content);

    // Level 0: the content of group `name` in sTxt; otherwise the value of key
    // `name` in sGtx.
    QString GetTag(int level, const QString &name) const;
    void GetGtx(const QString &name);
    QVariant vGtVal(const QString &key, const QVariant &def) const;
    // Refuses (and changes nothing) a value holding its own key's end tag,
    // which would cut it short when read.
    bool SetVal(const QString &key, const QVariant &value);
    void SetGtx();
};
