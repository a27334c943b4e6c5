#pragma once
// Form1: the main window. It owns the tree, the three headline lists, the browser pane, the
// toolbar, the status bar, the download component instances, the timers and the shared state.
//
// Control, menu item, handler and field names follow the program's own vocabulary (TreeView1,
// ListView2, s1_Click, archiveFile, nn, ...). Handlers are public so that tests can drive them,
// and each stays a few lines that call into mozhou_core. The handlers of each subsystem are
// implemented beside that subsystem:
//   app/form1.cpp            construction, start-up, tree, layout, toolbar, small commands
//   lists/form1_lists.cpp    list(), listHot(), sorting, comment column, pop1
//   fetch/form1_fetch.cpp    archive and hot news downloads, jfDownEX1 events, Timer1/3/4
//   search/form1_search.cpp  keyword and category search, the result list

#include "app/environment.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

class QAction;
class QNetworkAccessManager;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTextBrowser;
class QTimer;
class QToolBar;
class QStatusBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace mz {
class HeadlineModel;
class DownloadComponent;
class RetryPolicy;
struct HeadlineRow;
}

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const Form1Environment &env, QWidget *parent = nullptr);
    ~Form1() override;

    const Form1Environment &environment() const { return m_env; }

    // ---- controls -------------------------------------------------------------------------
    QTreeWidget *TreeView1 = nullptr;
    QTreeView *ListView1 = nullptr; // hot news or the hits of a search; tick boxes
    QTreeView *ListView2 = nullptr; // the whole archive of the day shown last
    QTreeView *ListView3 = nullptr; // favorites
    QTextBrowser *WebBrowser1 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLineEdit *Text1 = nullptr; // hidden; the speech engine's owner and Command3's query
    QLineEdit *Text2 = nullptr; // the search box
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr,
                *Command4 = nullptr, *Command5 = nullptr, *Command6 = nullptr;
    QTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr, *Timer4 = nullptr;

    // The tree's popup menu and its items.
    QMenu *pop = nullptr;
    QAction *s1hot = nullptr, *s1 = nullptr, *q1 = nullptr, *s2hot = nullptr, *s2 = nullptr,
            *q2 = nullptr, *s0 = nullptr, *s00 = nullptr, *q3 = nullptr, *s3 = nullptr,
            *s8 = nullptr, *s6666 = nullptr, *q4 = nullptr, *s6 = nullptr, *s66 = nullptr,
            *s666 = nullptr;

    // The list views' popup menu and its entries.
    QMenu *pop1 = nullptr;
    QAction *s4 = nullptr, *s41 = nullptr, *s48 = nullptr, *s47 = nullptr, *s46 = nullptr,
            *q5 = nullptr, *s5 = nullptr, *s7 = nullptr, *s9 = nullptr, *q55 = nullptr,
            *shouc1 = nullptr, *shouc1del = nullptr;

    // Pictures: ImageList1[i] is image index i (1-based; index 0 is unused and empty).
    QList<QIcon> ImageList1;
    QList<QIcon> ImageList2; // toolbar pictures, one per button in toolbar order

    // Download component instances.
    mz::DownloadComponent *jfDownEX1 = nullptr;
    std::array<mz::DownloadComponent *, 3> jfDownEX2{};

    // The models behind the list views (rows in insertion order) and the sorting proxies
    // the views show.
    mz::HeadlineModel *model1 = nullptr, *model2 = nullptr, *model3 = nullptr;
    QSortFilterProxyModel *proxy1 = nullptr, *proxy2 = nullptr, *proxy3 = nullptr;

    // ---- shared state -----------------------------------------------------------------------
    int nn = 0;      // node counter shared by keyword and category nodes
    QString mS7;     // text the add-keyword dialog proposes
    double daysToKeep = 0;
    QString todayLabel, todayKey;

    QString archiveUrl, archiveFile, hotUrl, hotFile, downloadingKey;
    bool archiveActive = false, hotActive = false;
    QString hotViewText, hotViewKey;
    QString watchdogMemory; // the caption seen at Timer3's previous tick

    QString searchText;
    QStringList searchTerms{QString()};
    bool commentColumnHit = false;

    // ---- start-up, tree, layout, toolbar (app/form1.cpp) -----------------------------------
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void buildTree(const QString &optionText);
    void TreeView1_NodeClick(QTreeWidgetItem *node);
    void TreeView1_MouseUp(Qt::MouseButton button, int x, int y);
    void updatePopStates(); // the enabled states of pop for the selected node
    void Toolbar1_ButtonClick(QAction *button);
    void toolbarCommand(const QString &key, const QString &caption);
    void Command4_Click();
    void Command5_Click();
    // Shows the page at `url` in WebBrowser1 (fetched by the window itself; no visibility change).
    void navigate(const QString &url);
    void s00_Click();
    void s2_Click();
    void favoritesView(); // toolbar "收藏夹"; filled in by the favorites work
    void aboutDialog();   // toolbar "关于"; filled in by the about work

    // Tree helpers: keys live in the nodes, images are ImageList1 indexes.
    QTreeWidgetItem *selectedNode() const;
    QString selectedKey() const;
    QString selectedText() const;
    QTreeWidgetItem *nodeByKey(const QString &key) const;
    static QString nodeKey(const QTreeWidgetItem *node);
    static int nodeImage(const QTreeWidgetItem *node);
    void setNodeImage(QTreeWidgetItem *node, int image);
    void setNodeRed(QTreeWidgetItem *node);
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                             int image);

    // Status bar panels "s1" and "s2".
    void setPanelText(const QString &key, const QString &text);
    QString panelText(const QString &key) const;

    // Shows one list view in front and hides the other two (the browser pane stays as it is).
    void showListView(QTreeView *view);

    // ---- headline lists (lists/form1_lists.cpp) ---------------------------------------------
    void list();
    void listHot();
    void ListView1_ColumnClick(int column);
    void ListView2_ColumnClick(int column);
    void ListView1_MouseDown(Qt::MouseButton button, int x, int y);
    void ListView_MouseUp(QTreeView *view, Qt::MouseButton button, int x, int y);
    // Row i (0-based) of a view as the view shows it (after sorting).
    int shownRowCount(const QTreeView *view) const;
    const mz::HeadlineRow &shownRow(const QTreeView *view, int i) const;

    // ---- archive and hot news download (fetch/form1_fetch.cpp) -----------------------------
    void Command1_Click();
    void Command2_Click();
    void s1_Click();
    void s1hot_Click();
    void s2hot_Click();
    void Timer1_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void jfDownEX1_Connecting();
    void jfDownEX1_Connected();
    void jfDownEX1_Progress();
    void jfDownEX1_Error(const QString &text, int code);
    void jfDownEX1_TransferEnded();
    void jfDownEX1_Completed();
    // Pause and limit of the retries of an incomplete page download (tests shorten them).
    void setRetryPolicy(const mz::RetryPolicy &policy);

    // ---- search (search/form1_search.cpp) ----------------------------------------------------
    void keywordSearch();
    void s3_Click();
    void s8_Click();
    void Command3_Click();
    void Command6_Click();
    void listCategory(const QString &name);

    // ---- opening articles (fetch/form1_open.cpp) ---------------------------------------------
    void ListView1_DblClick();
    void ListView2_DblClick();
    void ListView3_DblClick();
    void s4_Click();
    void s41_Click();
    // Hands an address to the system's browser (or mail program); the result is not examined.
    void shellOpen(const QString &address);

    // ---- article download and extraction (fetch/form1_articles.cpp) -----------------------------
    void s5_Click();
    void Timer2_Timer();
    void jfDownEX2_Progress(int index);
    void jfDownEX2_Error(int index, const QString &text, int code);
    void jfDownEX2_Completed(int index);

    // ---- reading aloud (speech/form1_speech.cpp) -----------------------------------------------
    void s47_Click(); // all titles of ListView1
    void s48_Click(); // the ticked titles of ListView1
    void s46_Click(); // stop

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void createToolbar();
    void createImageLists();
    void setupListViews();   // lists/form1_lists.cpp
    void setupDownloads();   // fetch/form1_fetch.cpp
    void setupSearch();      // search/form1_search.cpp
    void setupOpening();     // fetch/form1_open.cpp
    void setupArticles();    // fetch/form1_articles.cpp
    void setupSpeech();      // speech/form1_speech.cpp

    Form1Environment m_env;
    QLabel *m_panelS1 = nullptr;
    QLabel *m_panelS2 = nullptr;
    bool m_unloaded = false;
    QNetworkAccessManager *m_browserNet = nullptr;
    QString m_lastSelectedKey; // the tree keeps a node selected: this one when it would lose it

    // fetch/form1_fetch.cpp keeps its own retry bookkeeping here.
    struct FetchState;
    FetchState *m_fetch = nullptr;
    // fetch/form1_articles.cpp keeps the article queue here.
    struct ArticleState;
    ArticleState *m_articles = nullptr;
    // lists/form1_lists.cpp: a parse generation, so that a parse interrupted by a newer one
    // (through the event pump) stops instead of mixing rows.
    quint64 m_listGeneration = 0;
};
