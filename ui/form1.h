#pragma once
// Form1: the main window. It creates the tree, the three headline lists, the browser pane, the
// toolbar, the status bar, the menus, the timers and the download component instances under the
// program's own names (TreeView1, ListView2, s1_Click, Timer3, ...), and forwards each handler
// to the object that owns that subsystem's state:
//   NavigationTree  the tree's nodes, keys, pictures and the selected node
//   HeadlineLists   the three lists, their models, list() and listHot()
//   DayDownloads    archive and hot news downloads on jfDownEX1 (Timer3, Timer4, retries)
//   ArticleBatch    ticked articles into News_save on jfDownEX2 (Timer2)
//   SearchCommands  keyword and category search into the result list
//   ReadingAloud    titles through the speech engine
//   LinkOpener      addresses to the system's browser
// Handlers are public so that tests can drive them; state lives in the owners.

#include "platform/messages.h"
#include "ui/environment.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <array>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTextBrowser;
class QScreen;
class QTimer;
class QToolBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

class ArticleBatch;
class BrowserPane;
class DayDownloads;
class FavoritesCommands;
class KeywordCommands;
class EmptyStates;
class KeyboardCommands;
class HeadlineLists;
class LinkOpener;
class NavigationTree;
class PersonalFrontPage;
class ReadingAloud;
class SearchCommands;
class TransferBars;
class ShareCommands;
class WindowStatus;

namespace mz {
class DownloadComponent;
class RetryPolicy;
struct Day;
} // namespace mz

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const Form1Environment &env, QWidget *parent = nullptr);
    ~Form1() override;

    // ---- controls ---------------------------------------------------------------------------
    QTreeWidget *TreeView1 = nullptr;
    QTreeView *ListView1 = nullptr; // hot news or the hits of a search; tick boxes
    QTreeView *ListView2 = nullptr; // the whole archive of the day shown last
    QTreeView *ListView3 = nullptr; // favorites
    QTextBrowser *WebBrowser1 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLineEdit *Text1 = nullptr; // hidden; the speech engine's owner and Command3's query
    QLineEdit *Text2 = nullptr; // the search box
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr;
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

    // ---- the owners of the subsystems -----------------------------------------------------------
    NavigationTree &tree() const { return *m_tree; }
    HeadlineLists &lists() const { return *m_lists; }
    DayDownloads &downloads() const { return *m_downloads; }
    SearchCommands &search() const { return *m_search; }
    WindowStatus &status() const { return *m_status; }
    // Pause and limit of the retries of an incomplete page download (tests shorten them).
    void setRetryPolicy(const mz::RetryPolicy &policy);

    // ---- start-up, tree, layout, toolbar ------------------------------------------------------
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void TreeView1_NodeClick(QTreeWidgetItem *node);
    void TreeView1_MouseUp(Qt::MouseButton button, int x, int y);
    void updatePopStates(); // the enabled states of pop for the selected node
    void Toolbar1_ButtonClick(QAction *button);
    void Command4_Click();
    void Command5_Click();
    void s00_Click();
    void s2_Click();

    // ---- headline lists -----------------------------------------------------------------------
    void list(const QString &archiveFile);
    void listHot(const QString &hotFile);
    void ListView1_ColumnClick(int column);
    void ListView2_ColumnClick(int column);
    void ListView1_MouseDown(Qt::MouseButton button, int x, int y);
    void ListView_MouseUp(QTreeView *view, Qt::MouseButton button, int x, int y);
    void showListView(QTreeView *view);

    // ---- archive and hot news download --------------------------------------------------------
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

    // ---- search ---------------------------------------------------------------------------------
    void s3_Click();
    void s8_Click();
    void Command3_Click();
    void Command6_Click();
    void listCategory(const QString &name);

    // ---- opening articles -----------------------------------------------------------------------
    void ListView1_DblClick();
    void ListView2_DblClick();
    void ListView3_DblClick();
    void s4_Click();
    void s41_Click();

    // ---- article download -----------------------------------------------------------------------
    void s5_Click();
    void Timer2_Timer();
    void jfDownEX2_Progress(int index);
    void jfDownEX2_Error(int index, const QString &text, int code);
    void jfDownEX2_Completed(int index);

    // ---- reading aloud --------------------------------------------------------------------------
    void s47_Click(); // all titles of ListView1
    void s48_Click(); // the ticked titles of ListView1
    void s46_Click(); // stop

    // ---- transfers and reading, shown --------------------------------------------------------
    // The fourth instance: placed on the window with its progress bar, never driven.
    mz::DownloadComponent *jfDownEX3 = nullptr;
    ReadingAloud &reading() const { return *m_reading; }
    TransferBars &transferBars() const { return *m_transferBars; }
    // ---- keywords and favourites ---------------------------------------------------------------
    void s6_Click();    // add a keyword, proposing the clipboard's first line
    void s7_Click();    // add a keyword, proposing the selected headline of ListView1
    void s66_Click();   // rename the selected keyword node in place
    void s666_Click();  // delete the selected keyword node
    void s6666_Click(); // the program site's page of popular keywords
    void TreeView1_AfterLabelEdit(QTreeWidgetItem *node);
    void shouc1_Click();
    void shouc1del_Click();
    void showFavorites(); // the toolbar's 收藏夹
    KeywordCommands &keywords() const { return *m_keywords; }
    // ---- sending to friends, About, the personal front page ------------------------------------
    void s9_Click();  // mails the selected headline of ListView1 through form4
    void s0_Click();  // the personal front page of the selected day in WebBrowser1
    void showAbout(); // the toolbar's 关于
    // ---- keyboard, screen readers, remembered window --------------------------------------------
    // The context-menu key or Shift+F10: pop for the tree's current node, pop1 for a list's
    // current row, each shown at the node or row rather than at the pointer.
    void showPopForCurrentNode();
    void showPop1ForCurrentRow(QTreeView *view);
    // Enter on a headline opens it as a double click does.
    void ListView_EnterKey(QTreeView *view);
    void ListView_SortKey(QTreeView *view, int column);
    // The smallest window in which every pane keeps room to work.
    static QSize minimumWindowSize();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createImageLists();
    void createControls();
    void createMenus();
    void createToolbar();
    void createOwners();
    void connectHandlers();
    void showHotNews(const mz::Day &day);
    void showArchive(const mz::Day &day);
    void noteSearch(const QString &query, qsizetype hits, bool ran = true);
    // Shows `dialog` modally through the environment's seam.
    void runModal(QDialog &dialog);

    // The owners' message boxes: passed on to the environment's funnel until the window has
    // unloaded. A box raised later (the completed event of a download whose page was being
    // listed when the window closed) would stand alone on the screen and keep the program, and
    // the folder's lock, until someone answered it.
    class OwnerMessages final : public mz::MessageFunnel
    {
    public:
        explicit OwnerMessages(const Form1 &form) : m_form(form) {}
        void show(const QString &text, const QString &title, mz::MessageIcon icon) override;

    private:
        const Form1 &m_form;
    };
    mz::MessageFunnel *ownerMessages();

    Form1Environment m_env;
    QLabel *m_panelS1 = nullptr;
    QLabel *m_panelS2 = nullptr;
    bool m_unloaded = false;
    OwnerMessages m_ownerMessages{*this};

    WindowStatus *m_status = nullptr;
    NavigationTree *m_tree = nullptr;
    HeadlineLists *m_lists = nullptr;
    DayDownloads *m_downloads = nullptr;
    ArticleBatch *m_articles = nullptr;
    SearchCommands *m_search = nullptr;
    ReadingAloud *m_reading = nullptr;
    LinkOpener *m_links = nullptr;
    BrowserPane *m_browser = nullptr;
    TransferBars *m_transferBars = nullptr;

    void openHotRow(bool comment);

    void connectKeywordsArea();
    void runAddKeyword();
    KeywordCommands *m_keywords = nullptr;
    FavoritesCommands *m_favorites = nullptr;

    // Shows Form5; true when the answers were saved.
    bool runOptions();
    void showFrontPage();
    void connectShareArea();
    ShareCommands *m_share = nullptr;
    PersonalFrontPage *m_frontPage = nullptr;

    void nameControlsForScreenReaders();
    void setUpKeyboard();
    void connectKeyboardHandlers();
    void restoreWindowPlace(const QString &optionText);
    void fitIntoScreen(const QScreen *on);
    QSize smallestSizeOn(const QScreen *on) const;
    void rememberWindowPlace();
    EmptyStates *m_emptyStates = nullptr;
    KeyboardCommands *m_keys = nullptr;
    QAction *m_findAction = nullptr; // Ctrl+F: the search box
    QAction *m_quitAction = nullptr; // Ctrl+Q: close, through Form_Unload
};
