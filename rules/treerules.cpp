#include "rules/treerules.h"

#include "lists/headline.h"

namespace mz {

NodeKind nodeKind(const QString &rootKey, const QString &key)
{
    if (rootKey.isEmpty())
        return key.isEmpty() ? NodeKind::Other : NodeKind::Root;
    if (rootKey == u"k0" || rootKey == u"k1")
        return NodeKind::Day;
    if (rootKey == u"k2")
        return NodeKind::Keyword;
    if (rootKey == u"k3")
        return NodeKind::Category;
    return NodeKind::Other;
}

PopStates popStatesFor(NodeKind kind, const QString &key, int image, PopStates s)
{
    auto set = [&s](bool a1, bool a2, bool a2hot, bool a1hot, bool a3, bool a8, bool a66, bool a666,
                    bool a0) { s = {a1, a2, a2hot, a1hot, a3, a8, a66, a666, a0}; };
    if (kind == NodeKind::Keyword)
        set(false, false, false, false, true, false, true, true, false);
    if (kind == NodeKind::Category)
        set(false, false, false, false, true, true, false, false, false);
    if (kind == NodeKind::Day)
        set(true, true, true, true, false, false, false, false, true);
    if (kind == NodeKind::Day && image == int(TreeImage::Downloading))
        set(false, false, false, false, false, false, false, false, true);
    if (kind == NodeKind::Root && key != u"k4")
        set(false, false, false, false, false, false, false, false, false);
    return s;
}

bool keywordSearchAllowed(NodeKind kind, const QString &key)
{
    return kind == NodeKind::Keyword || kind == NodeKind::Category || kind == NodeKind::Day ||
           key == u"k2" || key == u"k3";
}

bool categorySearchAllowed(NodeKind kind, const QString &key)
{
    return kind == NodeKind::Category || key == u"k3";
}

int acceptedCategoryImage(const QString &name)
{
    // The tree takes every name of the category icon table except 文化.
    if (name == u"文化")
        return 0;
    return categoryIcon(name);
}

} // namespace mz
