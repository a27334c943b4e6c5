#pragma once
// Node kinds of the navigation tree and the enabled states of its popup menu.
// Kinds are told apart by key alone.

#include <QString>
#include <optional>

namespace mz {

enum class NodeKind { Root, Keyword, Category, Day, Other };
NodeKind nodeKind(const QString &key);

// The items of the tree menu whose enabled state depends on the selected node.
struct PopStates
{
    bool s1 = true, s2 = true, s2hot = true, s1hot = true, s3 = true, s8 = true, s66 = true,
         s666 = true, s0 = true;
    bool operator==(const PopStates &) const = default;
};

// Applies the rules in order to `current` (later rules override earlier ones). For keys no rule
// covers ("k4", or no selected node) the states stay as they were.
PopStates popStatesFor(const QString &key, int image, PopStates current);

// The categories a "[分类]" line may name, with their tree image; 0 when refused.
int acceptedCategoryImage(const QString &name);

} // namespace mz
