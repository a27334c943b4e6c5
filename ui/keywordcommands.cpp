#include "ui/keywordcommands.h"

#include "lists/titleblock.h"
#include "search/keywordsearch.h"
#include "ui/keywordcountdelegate.h"
#include "ui/navigationtree.h"
#include "ui/windowstatus.h"

#include <QTreeWidgetItem>

#include <utility>

KeywordCommands::KeywordCommands(NavigationTree &tree, WindowStatus &status, const QString &folder,
                                 QObject *parent)
    : QObject(parent), m_tree(tree), m_status(status), m_folder(folder)
{
}

mz::KeywordChange KeywordCommands::add(const QString &typed)
{
    const mz::KeywordChange change = mz::addKeywordToFile(m_folder, typed);
    if (change.changed()) {
        m_tree.addKeywordNode(change.keyword);
        recount();
    }
    return change;
}

void KeywordCommands::startRename()
{
    QTreeWidgetItem *node = m_tree.selectedNode();
    if (NavigationTree::kindOf(node) != mz::NodeKind::Keyword)
        return;
    m_pendingRename = node->text(0);
    m_renameKey = NavigationTree::nodeKey(node);
    m_tree.startLabelEdit(node);
}

void KeywordCommands::finishRename(QTreeWidgetItem *node)
{
    const std::optional<QString> from = std::exchange(m_pendingRename, std::nullopt);
    if (!node || !from || NavigationTree::nodeKey(node) != m_renameKey)
        return;
    const mz::KeywordChange change = mz::renameKeywordInFile(m_folder, *from, node->text(0));
    if (!change.ok()) {
        node->setText(0, *from);
        tell(change.message);
        return;
    }
    node->setText(0, change.changed() ? change.keyword : *from);
    recount();
}

void KeywordCommands::removeSelected()
{
    QTreeWidgetItem *node = m_tree.selectedNode();
    if (NavigationTree::kindOf(node) != mz::NodeKind::Keyword)
        return;
    const mz::KeywordChange change = mz::removeKeywordFromFile(m_folder, node->text(0));
    if (!change.ok()) {
        tell(change.message);
        return;
    }
    m_tree.removeNode(node);
}

void KeywordCommands::count(const mz::TitleBlock &titles)
{
    m_counted = &titles;
    recount();
}

void KeywordCommands::clearCounts()
{
    m_counted = nullptr;
    for (QTreeWidgetItem *node : m_tree.keywordNodes())
        mz::setKeywordCount(node, std::nullopt);
}

void KeywordCommands::recount()
{
    if (!m_counted)
        return;
    const QList<QTreeWidgetItem *> nodes = m_tree.keywordNodes();
    QStringList keywords;
    keywords.reserve(nodes.size());
    for (const QTreeWidgetItem *node : nodes)
        keywords << node->text(0);
    const QList<int> counts = mz::keywordCounts(*m_counted, keywords);
    for (int i = 0; i < nodes.size() && i < counts.size(); ++i)
        mz::setKeywordCount(nodes[i], counts[i]);
}

void KeywordCommands::tell(const QString &message)
{
    m_status.setPanel(WindowStatus::Panel::S1, message);
}
