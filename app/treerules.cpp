#include "app/treerules.h"

#include "lists/headline.h"

namespace mz {

NodeKind nodeKind(const QString &key)
{
    const QStringView left2 = QStringView(key).left(2);
    if (key.size() == 2)
        return NodeKind::Root;
    if (left2 == u"k2" && (key.size() == 3 || key.size() == 4))
        return NodeKind::Keyword;
    if (left2 == u"k3" && (key.size() == 3 || key.size() == 4))
        return NodeKind::Category;
    if (key.size() > 4)
        return NodeKind::Day;
    return NodeKind::Other;
}

PopStates popStatesFor(const QString &key, int image, PopStates s)
{
    auto set = [&s](bool a1, bool a2, bool a2hot, bool a1hot, bool a3, bool a8, bool a66,
                    bool a666, bool a0) {
        s = {a1, a2, a2hot, a1hot, a3, a8, a66, a666, a0};
    };
    const NodeKind kind = nodeKind(key);
    if (kind == NodeKind::Keyword)
        set(false, false, false, false, true, false, true, true, false);
    if (kind == NodeKind::Category)
        set(false, false, false, false, true, true, false, false, false);
    if (kind == NodeKind::Day)
        set(true, true, true, true, false, false, false, false, true);
    if (kind == NodeKind::Day && image == 2)
        set(false, false, false, false, false, false, false, false, true);
    if (key == u"k3" || key == u"k2" || key == u"k1" || key == u"k0")
        set(false, false, false, false, false, false, false, false, false);
    return s;
}

int acceptedCategoryImage(const QString &name)
{
    // The tree takes every name of the category icon table except 文化.
    if (name == u"文化")
        return 0;
    return categoryIcon(name);
}

} // namespace mz
