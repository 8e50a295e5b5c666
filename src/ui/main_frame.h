// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: menus, toolbar, accelerators, the status bar with its
// prompt, project summary and lock-key panes, and the splitter holding the
// directory tree and the file list. Project commands go to the list view
// whichever pane has the focus.

#include <QMainWindow>
#include <QTimer>
#include <map>

#include "ui/commands.h"
#include "ui/greeting_ticker.h"
#include "ui/view_state.h"

class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace korvalin {

class CKorvalinApp;
class CKorvalinView;
class CLeftView;

constexpr int SUMMARY_PANE_WIDTH = 400;
constexpr int TOOLBAR_BUTTON_WIDTH = 28;
constexpr int TOOLBAR_BUTTON_HEIGHT = 22;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CKorvalinApp& app);
    ~CMainFrame() override;

    QAction* Action(CommandId id) const;
    QToolBar* ToolBar() const { return toolBar_; }
    CLeftView* TreeView() const { return tree_; }
    CKorvalinView* ListView() const { return list_; }
    QLabel* PromptPane() const { return promptPane_; }
    QLabel* SummaryPane() const { return summaryPane_; }
    QLabel* CapsPane() const { return capsPane_; }
    QLabel* NumPane() const { return numPane_; }
    QLabel* ScrollPane() const { return scrollPane_; }
    QMenu* FileMenu() const { return fileMenu_; }
    // The recent-file entries now in the File menu.
    QList<QAction*> RecentFileActions() const { return recentActions_; }

    // After New or Open: the title and the views' first refresh.
    void OnDocumentChanged();
    void UpdateTitle();
    void UpdateRecentFileMenu();

    // The status bar's idle update: the project summary (not while the
    // greeting scrolls) and the lock keys.
    void OnIdleUpdate();
    // One tick of the greeting's 100 ms timer.
    void OnTickerTimer();
    bool IsTickerTimerRunning() const { return tickerTimer_.isActive(); }
    const GreetingTicker& Ticker() const { return ticker_; }

    void OnNextPane();
    void OnPrevPane();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing asks about unsaved changes first.
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddCommand(CommandId id);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateViews();
    void ForwardToList(CommandId id, void (CKorvalinView::*handler)());
    void ScheduleIdleUpdate();
    void ShowSummaryText(const QString& text);
    void FitFirstSizeToScreen();
    void UpdateLockPanes();

    CKorvalinApp& app_;
    ViewState viewState_;
    std::map<CommandId, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    QAction* recentEnd_ = nullptr;
    QList<QAction*> recentActions_;
    QToolBar* toolBar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    CLeftView* tree_ = nullptr;
    CKorvalinView* list_ = nullptr;
    QLabel* promptPane_ = nullptr;
    QLabel* summaryPane_ = nullptr;
    QLabel* capsPane_ = nullptr;
    QLabel* numPane_ = nullptr;
    QLabel* scrollPane_ = nullptr;
    GreetingTicker ticker_;
    QTimer tickerTimer_;
    bool idleUpdatePending_ = false;
};

}  // namespace korvalin
