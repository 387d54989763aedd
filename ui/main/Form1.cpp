// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Form1.h"

#include "ColumnChooser.h"
#include "DropIntakeRunner.h"
#include "ElidedCellDelegate.h"
#include "Form2.h"
#include "RowMenu.h"
#include "SearchBox.h"
#include "StaleTempFiles.h"
#include "Twips.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"
#include "VisibleListView.h"
#include "frmAbout.h"

#include <QAbstractItemDelegate>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cmath>

namespace {

// The design places of the controls, in twips: left, top, width, height.
struct DesignPlace
{
    int left, top, width, height;
};
constexpr DesignPlace TabStrip2Place { 60, 60, 5295, 375 };
constexpr DesignPlace Text3Place { 5520, 60, 3075, 315 };
constexpr DesignPlace Command1Place { 8760, 60, 615, 315 };
constexpr DesignPlace TabStrip1Place { 60, 420, 12015, 375 };
constexpr DesignPlace ListView2Place { 60, 780, 12135, 5115 };

constexpr int OneTabRow = 375;
constexpr int MinimumWidth = 9000;
constexpr int MinimumHeight = 3500;
constexpr int ResizeAllowance = 1800;
constexpr int TabAreaAllowance = 1700;

QRect pixels(const DesignPlace &p)
{
    return { Twips::toPixels(p.left), Twips::toPixels(p.top), Twips::toPixels(p.width), Twips::toPixels(p.height) };
}

} // namespace

Form1::Form1(const QString &dataFolder, QWidget *parent)
    : QMainWindow(parent)
    , m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zarumi"));
    setAcceptDrops(true);
    // A save killed half way may have left its temporary file; this
    // instance holds the folder's lock, so no save of another one is running.
    StaleTempFiles staleFiles;
    staleFiles.removeFrom(m_dataFolder);
    // The list file is read on another core while the window is built.
    std::future<LoadedCatalog> loading = startLoadingCatalog();
    buildControls();
    buildMenus();
    placeDesignControls();
    connectControls();
    startUp(staleFiles, loading);
}

Form1::~Form1()
{
    m_intake->stop();
    m_listView->viewport()->removeEventFilter(this);
    m_listView->removeEventFilter(this);
    m_text3->removeEventFilter(this);
    // An editor still open in the list commits when it goes, and the
    // settings window may signal: both must find the window whole.
    delete m_listView;
    delete m_form2;
}

void Form1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    m_tabStrip2 = new QTabBar(client);
    m_tabStrip2->setObjectName(QStringLiteral("TabStrip2"));
    m_tabStrip2->setExpanding(false);
    m_tabStrip2->setDrawBase(false);
    for (const char16_t *caption : { u"ジャンル１", u"ジャンル２", u"備考", u"その他１", u"その他２" })
        m_tabStrip2->addTab(QString::fromUtf16(caption));

    auto *searchBox = new SearchBox(client);
    connect(searchBox, &SearchBox::filesDropped, this, &Form1::AddDroppedFiles);
    m_text3 = searchBox;
    m_text3->setObjectName(QStringLiteral("Text3"));
    m_text3->setAccessibleName(QStringLiteral("検索する文字"));
    m_text3->installEventFilter(this);

    m_command1 = new QPushButton(QStringLiteral("検索"), client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setAutoDefault(false);

    m_tabStrip1 = new ValueTabStrip(client);
    m_tabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip1->setAccessibleName(QStringLiteral("値のタブ"));
    m_tabStrip1->addTab(QStringLiteral("全て"));
    m_tabStrip1->addTab(QStringLiteral("無し"));
    m_tabStrip1->setCurrentIndex(0); // "全て" selected from the start (not yet connected)

    buildListView();

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(true);
    setStatusBar(m_statusBar);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);

    m_intake = new DropIntakeRunner(this);
    m_rowMenu = new RowMenu(m_lists, this);
    m_undoStack = new QUndoStack(this);
    buildCancelButton();
    buildColumnChooser();

    setTabOrder(m_tabStrip2, m_text3);
    setTabOrder(m_text3, m_command1);
    setTabOrder(m_command1, m_tabStrip1);
    setTabOrder(m_tabStrip1, m_listView);
}

void Form1::buildListView()
{
    m_model = new VisibleListModel(m_catalog, this);
    m_listView = new VisibleListView(centralWidget());
    m_listView->setObjectName(QStringLiteral("ListView2"));
    m_listView->setModel(m_model);
    m_listView->setItemDelegate(new ElidedCellDelegate(m_listView));
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_listView->setShowGrid(false);
    m_listView->setWordWrap(false);
    m_listView->setTabKeyNavigation(false);
    m_listView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_listView->setAcceptDrops(true);
    m_listView->viewport()->setAcceptDrops(true);
    m_listViewport = m_listView->viewport();
    m_listViewport->installEventFilter(this);
    m_listView->installEventFilter(this); // its keys, the menu key

    QHeaderView *rows = m_listView->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_listView->fontMetrics().height() + 4);

    QHeaderView *columns = m_listView->horizontalHeader();
    columns->setSectionsMovable(true);
    columns->setMinimumSectionSize(0);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setStretchLastSection(false);
    columns->setSortIndicatorShown(false);
}

void Form1::buildMenus()
{
    QMenu *fil = menuBar()->addMenu(QStringLiteral("ファイル"));
    fil->setObjectName(QStringLiteral("fil"));
    fil->menuAction()->setObjectName(QStringLiteral("fil"));
    m_addFolder = fil->addAction(QStringLiteral("フォルダを追加…"));
    m_addFolder->setObjectName(QStringLiteral("addFolder"));
    m_addFolder->setShortcut(QKeySequence::Open);
    m_sev = fil->addAction(QStringLiteral("保存"));
    m_sev->setObjectName(QStringLiteral("sev"));
    m_sev->setShortcut(QKeySequence::Save);
    fil->addSeparator()->setObjectName(QStringLiteral("line1"));
    m_seti = fil->addAction(QStringLiteral("設定"));
    m_seti->setObjectName(QStringLiteral("seti"));
    fil->addSeparator()->setObjectName(QStringLiteral("line2"));
    m_en = fil->addAction(QStringLiteral("終了"));
    m_en->setObjectName(QStringLiteral("en"));
    m_en->setShortcut(QKeySequence::Quit);

    buildEditMenu();

    QMenu *line12 = menuBar()->addMenu(QStringLiteral("検索"));
    line12->setObjectName(QStringLiteral("line12"));
    line12->menuAction()->setObjectName(QStringLiteral("line12"));
    QMenu *line13 = line12->addMenu(QStringLiteral("同一ファイルの検索"));
    line13->setObjectName(QStringLiteral("line13"));
    line13->menuAction()->setObjectName(QStringLiteral("line13"));
    const char16_t *captions[] = { u"ファイル名", u"ファイルサイズ", u"ファイル名＋サイズ" };
    for (int i = 0; i < 3; ++i) {
        QAction *item = line13->addAction(QString::fromUtf16(captions[i]));
        item->setObjectName(QStringLiteral("douitu%1").arg(i));
        item->setData(i);
        m_douitu.append(item);
    }

    QMenu *he = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    he->setObjectName(QStringLiteral("he"));
    he->menuAction()->setObjectName(QStringLiteral("he"));
    m_vre = he->addAction(QStringLiteral("バージョン情報"));
    m_vre->setObjectName(QStringLiteral("vre"));

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &Form1::focusSearchBox);

    // The captions carry no mnemonic letters, so F10 opens the menu bar.
    auto *openMenuBar = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenuBar, &QShortcut::activated, this, [this, fil] {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(fil->menuAction());
    });
}

// The five category tabs must fit their design width: with a wide font the
// tab bar would otherwise scroll and cut "その他２" off.
void Form1::fitCategoryTabs()
{
    const int width = pixels(TabStrip2Place).width();
    QFont font = m_tabStrip2->font();
    while (m_tabStrip2->sizeHint().width() > width && font.pointSizeF() > 7) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        m_tabStrip2->setFont(font);
    }
}

void Form1::placeDesignControls()
{
    fitCategoryTabs();
    m_tabStrip2->setGeometry(pixels(TabStrip2Place));
    m_text3->setGeometry(pixels(Text3Place));
    m_command1->setGeometry(pixels(Command1Place));
    m_tabStrip1->setGeometry(pixels(TabStrip1Place));
    m_listView->setGeometry(pixels(ListView2Place));
}

void Form1::connectControls()
{
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1Tick);
    connect(m_tabStrip2, &QTabBar::currentChanged, this, [this] { onCategoryTabClick(); });
    connect(m_tabStrip2, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == m_tabStrip2->currentIndex())
            onCategoryTabClick();
    });
    connect(m_tabStrip1, &ValueTabStrip::tabClicked, this, [this] { RefreshView(); });
    connect(m_command1, &QPushButton::clicked, this, &Form1::SearchNames);
    connect(m_sev, &QAction::triggered, this, &Form1::SaveAll);
    connect(m_seti, &QAction::triggered, this, [this] { m_form2->showModeless(); });
    connect(m_en, &QAction::triggered, this, &Form1::SaveAndQuit);
    connect(m_vre, &QAction::triggered, this, &Form1::ShowAbout);
    for (QAction *item : std::as_const(m_douitu))
        connect(item, &QAction::triggered, this, [this, item] { FindDuplicates(item->data().toInt()); });
    connect(m_listView->horizontalHeader(), &QHeaderView::sectionClicked, this,
        [this](int logical) { SortByColumn(logical + 1); });
    connect(m_model, &VisibleListModel::nameEdited, this, &Form1::CommitNameEdit);
    connect(m_rowMenu, &RowMenu::categoryChosen, this, &Form1::AssignCategory);
    connect(m_rowMenu, &RowMenu::removeChosen, this, &Form1::RemoveSelectedRows);
    connect(m_intake, &DropIntakeRunner::dropStarted, this, &Form1::onDropStarted);
    connect(m_intake, &DropIntakeRunner::filesProbed, this, &Form1::onFilesProbed);
    connect(m_intake, &DropIntakeRunner::dropFinished, this, &Form1::onDropFinished);
    connect(m_intake, &DropIntakeRunner::folderStarted, this, &Form1::onFolderStarted);
    connect(m_intake, &DropIntakeRunner::folderFinished, this, [this](const DropIntakeRunner::FolderSummary &done) {
        onFolderFinished(done.added, done.skippedFolders, done.cancelled);
    });
    connect(m_addFolder, &QAction::triggered, this, &Form1::ChooseFolderToAdd);
}

// A name typed into the list's in-place editor is taken before the visible
// list is refilled or anything is saved: the list would otherwise drop the
// editor with its text, or the save would write the old name.
void Form1::commitOpenNameEditor()
{
    // An edit always starts on the current cell.
    QWidget *editor = m_listView->indexWidget(m_listView->currentIndex());
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = m_listView->itemDelegate();
    Q_EMIT delegate->commitData(editor);
    Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QString Form1::statusText() const
{
    return m_statusBar->currentMessage();
}

void Form1::setStatus(const QString &text)
{
    m_statusBar->showMessage(text);
    m_statusTicks = 0;
}

void Form1::Timer1Tick()
{
    m_statusTicks = qint16(std::min(m_statusTicks + 1, 500));
    if (m_statusTicks == 20)
        m_statusBar->showMessage(QString());
}

bool Form1::event(QEvent *event)
{
    // Menu items' status tips would replace the status text and clear it
    // when the pointer leaves them; the status bar shows only our texts.
    if (event->type() == QEvent::StatusTip)
        return true;
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest:
        applySavedOuterSizeOnceFramed();
        break;
    default:
        break;
    }
    return handled;
}

// Ctrl+F: typing replaces the search text, also when the box had the focus.
void Form1::focusSearchBox()
{
    m_text3->setFocus(Qt::ShortcutFocusReason);
    m_text3->selectAll();
}

void Form1::ShowAbout()
{
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new frmAbout(this);
    m_about->show();
}

// ---- Layout ---------------------------------------------------------------

QSize Form1::outerSizeTwips() const
{
    const QSize outer = frameGeometry().size();
    return { int(std::lround(Twips::fromPixels(outer.width()))), int(std::lround(Twips::fromPixels(outer.height()))) };
}

void Form1::setOuterSizeTwips(double width, double height)
{
    const QSize frame = frameGeometry().size() - size();
    resize(Twips::toPixels(width) - frame.width(), Twips::toPixels(height) - frame.height());
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized())
        return;
    // The height is raised to 3500 twips, then the width to 9000 (whole
    // pixels, rounded up).
    const QSize outer = frameGeometry().size();
    const QSize frame = outer - size();
    const int minimumHeight = int(std::ceil(MinimumHeight / Twips::twipsPerPixel()));
    const int minimumWidth = int(std::ceil(MinimumWidth / Twips::twipsPerPixel()));
    if (outer.height() < minimumHeight || outer.width() < minimumWidth) {
        resize(std::max(outer.width(), minimumWidth) - frame.width(),
            std::max(outer.height(), minimumHeight) - frame.height());
        if (frameGeometry().size() != outer)
            return; // the new size lays the window out again
    }
    layoutTabArea(ResizeAllowance);
}

void Form1::LayoutTabArea()
{
    layoutTabArea(TabAreaAllowance);
}

void Form1::layoutTabArea(int listHeightAllowance)
{
    const QSize outer = outerSizeTwips();
    const int stripWidth = Twips::toPixels(outer.width() - 300);
    const double x = m_tabStrip1->extraHeightTwips(stripWidth);
    QRect strip = pixels(TabStrip1Place);
    strip.setHeight(Twips::toPixels(OneTabRow + x));
    strip.setWidth(std::max(0, stripWidth));
    m_tabStrip1->setGeometry(strip);

    QRect list = pixels(ListView2Place);
    list.moveTop(Twips::toPixels(m_designListTop + x));
    list.setWidth(std::max(0, Twips::toPixels(outer.width() - 250)));
    list.setHeight(std::max(0, Twips::toPixels(outer.height() - listHeightAllowance - x)));
    m_listView->setGeometry(list);
}
