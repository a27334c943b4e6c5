#pragma once
// The user's keywords: adding (through the add-keyword dialog), renaming in place and deleting
// keyword nodes, each written to option.ini at once, and the hit counts drawn beside the nodes.
// Holds `mS7` (the text the dialog proposes) and the pending rename.

#include "store/optionfile.h"

#include <QObject>
#include <QString>

#include <optional>

class NavigationTree;
class QTreeWidgetItem;
class WindowStatus;

namespace mz {
class TitleBlock;
}

class KeywordCommands : public QObject
{
    Q_OBJECT

public:
    KeywordCommands(NavigationTree &tree, WindowStatus &status, const QString &folder,
                    QObject *parent = nullptr);

    // The dialog's proposal: only its first line, since a keyword is one line of option.ini.
    void setMS7(const QString &proposal) { mS7 = mz::keywordLine(proposal); }
    QString ms7() const { return mS7; }

    // Adds `typed` (cut at its first line break) as the first keyword of option.ini and as the
    // last keyword node. Nothing is added when the file cannot take it; the change tells why.
    mz::KeywordChange add(const QString &typed);

    // Opens the selected keyword node's label for editing; other nodes are never renamed.
    void startRename();
    // The label edit on `node` ended: option.ini takes the new text, or the label goes back to
    // its old text and panel s1 says why.
    void finishRename(QTreeWidgetItem *node);

    // Deletes the selected keyword node and its line of option.ini; a failed write keeps both
    // and says why in panel s1. Other nodes are never deleted.
    void removeSelected();

    // Draws beside each keyword node how many of `titles` it finds; `titles` are remembered for
    // the recount after an add or rename.
    void count(const mz::TitleBlock &titles);
    void clearCounts();

private:
    void recount();
    void tell(const QString &message);

    NavigationTree &m_tree;
    WindowStatus &m_status;
    QString m_folder;
    QString mS7;
    // The label before the edit started by startRename, and the node it belongs to.
    std::optional<QString> m_pendingRename;
    QString m_renameKey;
    const mz::TitleBlock *m_counted = nullptr; // the archive's titles while ListView2 holds them
};
