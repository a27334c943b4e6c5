#pragma once
// Node kinds of the navigation tree, its pictures, and the enabled states of its popup menu.

#include <QString>

namespace mz {

// The tree's roots, by key: k0 今日新闻, k1 旧新闻, k2 你的关键词, k3 分类, k4 收藏夹.
enum class NodeKind { Root, Day, Keyword, Category, Other };

// The kind of a node, decided by the key of the root it hangs under (`rootKey`, empty for a
// root itself) and not by the length of its own key: the keyword node "k2100" is a keyword.
NodeKind nodeKind(const QString &rootKey, const QString &key);

// Pictures of the tree nodes (indexes of ImageList1). The category nodes show their category's
// icon (5 ... 24) instead.
enum class TreeImage : int {
    None = 0,
    ArchiveStored = 1, // a day whose final archive copy is stored
    Downloading = 2,   // a day whose page is being fetched
    Folder = 3,        // the roots
    NotStored = 4,     // a day without a final archive copy (or whose hot news just arrived)
    Keyword = 26,
};

// The items of the tree menu whose enabled state depends on the selected node.
struct PopStates
{
    bool s1 = true, s2 = true, s2hot = true, s1hot = true, s3 = true, s8 = true, s66 = true,
         s666 = true, s0 = true;
    bool operator==(const PopStates &) const = default;
};

// Applies the rules in order to `current` (later rules override earlier ones). For nodes no
// rule covers (the root "k4") the states stay as they were.
PopStates popStatesFor(NodeKind kind, const QString &key, int image, PopStates current);

// Which selected nodes the searches act on. The keyword search: keyword, category and day nodes
// and the roots 你的关键词 and 分类; the category search: category nodes and the root 分类.
bool keywordSearchAllowed(NodeKind kind, const QString &key);
bool categorySearchAllowed(NodeKind kind, const QString &key);

// The categories a "[分类]" line may name, with their tree image; 0 when refused.
int acceptedCategoryImage(const QString &name);

} // namespace mz
