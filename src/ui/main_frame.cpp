// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "layout/project_summary.h"
#include "ui/icon_strip.h"
#include "ui/import_disc_image.h"
#include "ui/patch_image_actions.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/lock_keys.h"
#include "ui/program_texts.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr int TREE_INITIAL_WIDTH = 150;
constexpr int LIST_INITIAL_WIDTH = 100;
constexpr QSize FIRST_SIZE(900, 560);
constexpr QSize MINIMUM_SIZE(480, 320);
// The first size takes at most this share of the screen's free area.
constexpr double SCREEN_SHARE = 0.9;

QLabel* LockPane(const QString& widest) {
    auto* pane = new QLabel;
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 8);
    return pane;
}

}  // namespace

CMainFrame::CMainFrame(CKorvalinApp& app) : app_(app) {
    setWindowIcon(ProgramIcon());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    if (GreetingTicker::RunsOn(app_.Now())) tickerTimer_.start(TICKER_PERIOD_MS);
    connect(&tickerTimer_, &QTimer::timeout, this, &CMainFrame::OnTickerTimer);
    CreateViews();
    UpdateTitle();
    UpdateRecentFileMenu();
    FitFirstSizeToScreen();
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    tickerTimer_.stop();
}

QAction* CMainFrame::Action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

QAction* CMainFrame::AddCommand(CommandId id) {
    const CommandText& command = CommandTextOf(id);
    auto* action = new QAction(QString::fromLatin1(command.menuText), this);
    action->setObjectName(QString("command%1").arg(id));
    action->setData(id);
    action->setStatusTip(command.prompt);
    if (command.tooltip[0] != '\0') action->setToolTip(command.tooltip);
    actions_[id] = action;
    return action;
}

void CMainFrame::ForwardToList(CommandId id, void (CKorvalinView::*handler)()) {
    connect(AddCommand(id), &QAction::triggered, this, [this, handler] { (list_->*handler)(); });
}

void CMainFrame::CreateActions() {
    connect(AddCommand(ID_FILE_NEW), &QAction::triggered, this, [this] { app_.OnFileNew(); });
    connect(AddCommand(ID_FILE_OPEN), &QAction::triggered, this, [this] { app_.OnFileOpen(); });
    connect(AddCommand(ID_FILE_SAVE), &QAction::triggered, this, [this] { app_.OnFileSave(); });
    connect(AddCommand(ID_FILE_SAVE_AS), &QAction::triggered, this, [this] { app_.OnFileSaveAs(); });
    connect(AddCommand(ID_APP_EXIT), &QAction::triggered, this, [this] { app_.OnAppExit(); });
    connect(AddCommand(ID_APP_ABOUT), &QAction::triggered, this, [this] { app_.OnAppAbout(); });
    ForwardToList(ID_EDIT_VOLUME_LABEL, &CKorvalinView::OnEditVolumeLabel);
    ForwardToList(ID_COMPILE_IMAGE, &CKorvalinView::OnCompile);
    ForwardToList(ID_CREATE_DIRECTORY, &CKorvalinView::OnNewSubDirectory);
    ForwardToList(ID_CREATE_DUMMY_FILE, &CKorvalinView::OnNewDummyFile);
    ForwardToList(ID_RESET_LBAS, &CKorvalinView::OnResetLbas);
    ForwardToList(ID_REMOVE_WARNINGS, &CKorvalinView::OnRemoveWarnings);
    ForwardToList(ID_IMPORT_ISOBUSTER, &CKorvalinView::OnImportIsoBusterListing);
    ForwardToList(ID_ADD_FILES, &CKorvalinView::OnAddFiles);
    ForwardToList(ID_ADD_FOLDER, &CKorvalinView::OnAddFolder);
    ForwardToList(ID_VERIFY_IMAGE, &CKorvalinView::OnVerifyImage);
    ForwardToList(ID_EXPORT_LISTING, &CKorvalinView::OnExportListing);
    ForwardToList(ID_SYSTEM_AREA, &CKorvalinView::OnSystemArea);
    ForwardToList(ID_AUDIO_TRACKS, &CKorvalinView::OnAudioTracks);
    ForwardToList(ID_NEW_DA_FILE, &CKorvalinView::OnNewDaFile);
    ForwardToList(ID_VOLUME_TEXTS, &CKorvalinView::OnVolumeTexts);
    QAction* sync = AddCommand(ID_SYNC_TO_DISK);
    sync->setCheckable(true);
    sync->setChecked(app_.SyncToDisk());
    connect(sync, &QAction::toggled, this, [this](bool on) { app_.SetSyncToDisk(on); });
    connect(AddCommand(ID_NEXT_PANE), &QAction::triggered, this, &CMainFrame::OnNextPane);
    connect(AddCommand(ID_PREV_PANE), &QAction::triggered, this, &CMainFrame::OnPrevPane);
    recentPlaceholder_ = AddCommand(ID_FILE_MRU_FIRST);
    recentPlaceholder_->setEnabled(false);

    // The menus name Ctrl+A and Ctrl+G; the keys that work are Ctrl+O and Ctrl+S.
    Action(ID_FILE_NEW)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Action(ID_FILE_OPEN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Action(ID_FILE_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Action(ID_APP_EXIT)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action(ID_NEXT_PANE)->setShortcut(QKeySequence(Qt::Key_F6));
    Action(ID_PREV_PANE)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    addAction(Action(ID_NEXT_PANE));
    addAction(Action(ID_PREV_PANE));
}

void CMainFrame::CreateMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    for (CommandId id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
        fileMenu_->addAction(Action(id));
    }
    fileMenu_->addSeparator();
    fileMenu_->addAction(Action(ID_EDIT_VOLUME_LABEL));
    fileMenu_->addAction(Action(ID_COMPILE_IMAGE));
    fileMenu_->addAction(Action(ID_SYNC_TO_DISK));
    AddImportDiscImageAction(fileMenu_, nullptr, *this, app_);
    fileMenu_->addAction(Action(ID_EXPORT_LISTING));
    fileMenu_->addSeparator();
    fileMenu_->addAction(recentPlaceholder_);
    recentEnd_ = fileMenu_->addSeparator();
    fileMenu_->addAction(Action(ID_APP_EXIT));

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction(Action(ID_CREATE_DIRECTORY));
    edit->addAction(Action(ID_CREATE_DUMMY_FILE));
    edit->addSeparator();
    edit->addAction(Action(ID_ADD_FILES));
    edit->addAction(Action(ID_ADD_FOLDER));
    edit->addSeparator();
    edit->addAction(Action(ID_RESET_LBAS));
    edit->addAction(Action(ID_REMOVE_WARNINGS));
    edit->addSeparator();
    edit->addAction(Action(ID_IMPORT_ISOBUSTER));
    edit->addSeparator();
    edit->addAction(Action(ID_SYSTEM_AREA));
    edit->addAction(Action(ID_AUDIO_TRACKS));
    edit->addAction(Action(ID_NEW_DA_FILE));
    edit->addAction(Action(ID_VOLUME_TEXTS));

    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->addAction(Action(ID_VERIFY_IMAGE));

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(Action(ID_APP_ABOUT));
    AddPatchImageActions(*this, app_);
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar("Toolbar", this);
    toolBar_->setObjectName("toolBar");
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct {
        CommandId id;
        ToolbarImage image;
        bool gapBefore;
    } buttons[] = {
        {ID_FILE_NEW, TOOLBAR_NEW, false},
        {ID_FILE_OPEN, TOOLBAR_OPEN, false},
        {ID_FILE_SAVE, TOOLBAR_SAVE, false},
        {ID_COMPILE_IMAGE, TOOLBAR_COMPILE, true},
        {ID_EDIT_VOLUME_LABEL, TOOLBAR_VOLUME_LABEL, true},
        {ID_CREATE_DIRECTORY, TOOLBAR_CREATE_DIRECTORY, true},
        {ID_CREATE_DUMMY_FILE, TOOLBAR_CREATE_DUMMY_FILE, true},
        {ID_ADD_FILES, TOOLBAR_ADD_FILES, true},
        {ID_ADD_FOLDER, TOOLBAR_ADD_FOLDER, false},
    };
    for (const auto& button : buttons) {
        if (button.gapBefore) toolBar_->addSeparator();
        QAction* action = Action(button.id);
        action->setIcon(ToolbarIcon(button.image));
        toolBar_->addAction(action);
        toolBar_->widgetForAction(action)->setFixedSize(TOOLBAR_BUTTON_WIDTH,
                                                       TOOLBAR_BUTTON_HEIGHT);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::CreateStatusBar() {
    promptPane_ = new QLabel(IDLE_PROMPT);
    statusBar()->addWidget(promptPane_, 1);
    summaryPane_ = new QLabel(SUMMARY_PLACEHOLDER);
    summaryPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ShowSummaryText(SUMMARY_PLACEHOLDER);
    statusBar()->addPermanentWidget(summaryPane_);
    capsPane_ = LockPane("CAP");
    numPane_ = LockPane("NUM");
    scrollPane_ = LockPane("SCRL");
    for (QLabel* pane : {capsPane_, numPane_, scrollPane_}) statusBar()->addPermanentWidget(pane);
}

void CMainFrame::CreateViews() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    tree_ = new CLeftView(app_, viewState_, splitter_);
    list_ = new CKorvalinView(app_, viewState_, splitter_);
    tree_->SetListView(list_);
    list_->SetTreeView(tree_);
    splitter_->addWidget(tree_);
    splitter_->addWidget(list_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({TREE_INITIAL_WIDTH, LIST_INITIAL_WIDTH});
    setCentralWidget(splitter_);
    connect(list_, &CKorvalinView::Refreshed, this, &CMainFrame::OnIdleUpdate);
}

// The frame's usual size, smaller when the screen's free area (at any scale
// factor) cannot hold it, centred there.
void CMainFrame::FitFirstSizeToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        setMinimumSize(MINIMUM_SIZE);
        resize(FIRST_SIZE);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize fitting = (QSizeF(available.size()) * SCREEN_SHARE).toSize();
    setMinimumSize(MINIMUM_SIZE.boundedTo(fitting));
    resize(FIRST_SIZE.boundedTo(fitting));
    move(available.center() - QPoint(width() / 2, height() / 2));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (app_.MaySaveChanges()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::OnDocumentChanged() {
    UpdateTitle();
    list_->OnInitialUpdate();
}

void CMainFrame::UpdateTitle() {
    // "[*]" is where the platform shows unsaved changes (an asterisk here).
    const std::string& path = app_.Document().path();
    if (path.empty()) {
        setWindowTitle(QString("%1[*]").arg(WINDOW_TITLE));
    } else {
        setWindowTitle(
            QString("%1[*] - %2").arg(QFileInfo(PathText(path)).fileName(), WINDOW_TITLE));
    }
    setWindowModified(app_.Document().IsModified());
}

void CMainFrame::UpdateRecentFileMenu() {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        delete action;
    }
    recentActions_.clear();
    const QStringList& paths = app_.RecentFiles().Paths();
    recentPlaceholder_->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        auto* action = new QAction(QString("&%1 %2").arg(i + 1).arg(paths[i]), this);
        action->setStatusTip(CommandTextOf(ID_FILE_MRU_FIRST).prompt);
        action->setData(ID_FILE_MRU_FIRST + i);
        connect(action, &QAction::triggered, this, [this, i] { app_.OnOpenRecentFile(i); });
        fileMenu_->insertAction(recentEnd_, action);
        recentActions_ << action;
    }
}

void CMainFrame::OnIdleUpdate() {
    if (!ticker_.active()) {
        ShowSummaryText(QString::fromLatin1(ProjectSummary(app_.Document().project())));
    }
    UpdateLockPanes();
}

void CMainFrame::OnTickerTimer() {
    if (const std::optional<std::string> text = ticker_.Tick()) ShowSummaryText(DiscText(*text));
    OnIdleUpdate();
}

// The pane is 400 pixels wide, or as wide as its text needs in the current
// font when that is more, so a large project's summary is never cut.
void CMainFrame::ShowSummaryText(const QString& text) {
    const QMargins margins = summaryPane_->contentsMargins();
    const int needed = summaryPane_->fontMetrics().horizontalAdvance(text) + margins.left() +
                       margins.right() + 2 * summaryPane_->margin() + summaryPane_->indent() + 4;
    summaryPane_->setFixedWidth(std::max(SUMMARY_PANE_WIDTH, needed));
    summaryPane_->setText(text);
}

void CMainFrame::UpdateLockPanes() {
    const LockKeyStates locks = QueryLockKeys();
    capsPane_->setText(locks.caps.value_or(false) ? "CAP" : "");
    numPane_->setText(locks.num.value_or(false) ? "NUM" : "");
    scrollPane_->setText(locks.scroll.value_or(false) ? "SCRL" : "");
}

void CMainFrame::ScheduleIdleUpdate() {
    if (idleUpdatePending_) return;
    idleUpdatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        idleUpdatePending_ = false;
        OnIdleUpdate();
    });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::WindowActivate:
            ScheduleIdleUpdate();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnNextPane() {
    QWidget* focused = focusWidget();
    if (focused == list_ || list_->isAncestorOf(focused)) {
        tree_->setFocus(Qt::ShortcutFocusReason);
    } else {
        list_->setFocus(Qt::ShortcutFocusReason);
    }
}

// With two panes the previous one is the next one.
void CMainFrame::OnPrevPane() { OnNextPane(); }

}  // namespace korvalin
