#include "app/hexagram.h"

#include "app/application.h"
#include "app/settings.h"
#include "archive/content.h"
#include "archive/stream.h"
#include "htmlview/htmlviewer.h"
#include "model/hexaroutines.h"
#include "model/pagebuilder.h"
#include "platform/fonts.h"
#include "platform/instances.h"
#include "platform/shell.h"
#include "platform/strings.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString productTitle = QStringLiteral("Lunvareth 1.0");

QString latin1(const std::string& s) {
    return QString::fromLatin1(s.c_str());
}

QLabel* numberPanel(QWidget* parent, int left) {
    auto* panel = new QLabel(parent);
    panel->setGeometry(left, 143, 89, 26);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(200, 200, 200));
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    panel->setPalette(pal);
    QFont font(QStringLiteral("System"), 10);
    font.setBold(true);
    panel->setFont(font);
    panel->hide();
    return panel;
}

QLabel* hexagramPicture(QWidget* parent, int left) {
    auto* picture = new QLabel(parent);
    picture->setGeometry(left, 8, 89, 129);
    picture->setAutoFillBackground(true);
    QPalette pal = picture->palette();
    pal.setColor(QPalette::Window, Qt::white);
    picture->setPalette(pal);
    picture->hide();
    return picture;
}

QToolButton* panelButton(QWidget* parent, const QRect& geometry, const QString& caption,
                         const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setGeometry(geometry);
    button->setText(caption);
    button->setToolTip(hint);
    return button;
}

} // namespace

TTOCDelegate::TTOCDelegate(Tfhexagram* owner) : QStyledItemDelegate(owner), owner_(owner) {}

void TTOCDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    owner_->TOCDrawItem(painter, option.rect, index.data().toString(),
                        option.state.testFlag(QStyle::State_Selected));
}

QSize TTOCDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), Tfhexagram::tocItemHeight);
}

Tfhexagram::Tfhexagram(const QStringList& params, QWidget* parent) : QMainWindow(parent) {
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowIcon(ImageList1.icon(picOracle));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    createToolBar();
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(central);
    createOraclePanel();
    createTocPanel();
    createViews();
    row->addWidget(oraculo);
    row->addWidget(TOCPanel);
    row->addWidget(visores, 1);
    createMenus();
    qApp->installEventFilter(this);

    askQuestion = [this](const QString& text) {
        return QMessageBox::question(this, QStringLiteral("Confirm"), text,
                                     QMessageBox::Yes | QMessageBox::No);
    };
    // An error while the window is created is shown, and the window still opens.
    try {
        FormCreate(params);
    } catch (const std::exception& e) {
        showException(e.what());
    }
    registerMainWindow(this);
}

Tfhexagram::~Tfhexagram() {
    qApp->removeEventFilter(this);
}

QToolButton* Tfhexagram::addToolButton(int picture, const QString& hint,
                                       void (Tfhexagram::*handler)()) {
    auto* button = new QToolButton(ToolBar2);
    button->setFixedSize(45, 30);
    button->setIconSize(QSize(TImageList::pictureSize, TImageList::pictureSize));
    button->setIcon(ImageList1.icon(picture));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, handler);
    ToolBar2->addWidget(button);
    return button;
}

void Tfhexagram::addSeparator() {
    auto* gap = new QWidget(ToolBar2);
    gap->setFixedWidth(8);
    ToolBar2->addWidget(gap);
}

void Tfhexagram::createToolBar() {
    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    tocBtn = addToolButton(picToc, QStringLiteral("TOC (Ctrl-T)"), &Tfhexagram::tocBtnClick);
    oracleBtn =
        addToolButton(picOracle, QStringLiteral("Oracle (Ctrl-O)"), &Tfhexagram::oracleBtnClick);
    addSeparator();
    backBtn =
        addToolButton(picBack, QStringLiteral("See Previous Hexagram"), &Tfhexagram::backBtnClick);
    forwardBtn = addToolButton(picForward, QStringLiteral("See Next Hexagram"),
                               &Tfhexagram::forwardBtnClick);
    addSeparator();
    printBtn =
        addToolButton(picPrint, QStringLiteral("Print (Ctrl-P)"), &Tfhexagram::printBtnClick);
    searchBtn =
        addToolButton(picSearch, QStringLiteral("Search (Ctrl-S)"), &Tfhexagram::searchBtnClick);
    chineseBtn = addToolButton(picChineseOff, QStringLiteral("Show/Hide Chinese Text"),
                               &Tfhexagram::chineseBtnClick);
    zoomBtn = addToolButton(picZoom, QStringLiteral("Text Size"), &Tfhexagram::zoomBtnClick);
    addSeparator();
    exitBtn = addToolButton(picExit, QStringLiteral("Exit"), &Tfhexagram::Exit1Click);
}

void Tfhexagram::createOraclePanel() {
    oraculo = new QFrame(this);
    oraculo->setObjectName(QStringLiteral("oraculo"));
    oraculo->setFixedWidth(panelWidth);
    oraculo->setAutoFillBackground(true);
    QPalette pal = oraculo->palette();
    pal.setColor(QPalette::Window, QColor(160, 160, 160));
    oraculo->setPalette(pal);
    oraculo->installEventFilter(this); // its resizes place the answer pane

    H1 = hexagramPicture(oraculo, 21);
    H2 = hexagramPicture(oraculo, 138);
    NH1 = numberPanel(oraculo, 21);
    NH2 = numberPanel(oraculo, 138);
    openb = panelButton(oraculo, QRect(22, 179, 99, 56), QStringLiteral("Open"),
                        QStringLiteral("Open Previously saved Oracles"));
    baquilea = panelButton(oraculo, QRect(130, 179, 99, 56), QStringLiteral("Stalks Oracle"),
                           QStringLiteral("Start the Stalks Oracle"));
    bcoins = panelButton(oraculo, QRect(130, 241, 99, 56), QStringLiteral("Coins Oracle"),
                         QStringLiteral("Start the Coins Oracle"));

    info = new THTMLViewer(oraculo);
    info->DefFontName = QStringLiteral("Georgia");
    info->DefPreFontName = QStringLiteral("Courier New");
    info->DefFontSize = 10;
    info->setDefBackground(Qt::white);
    info->setBorderStyle(THTMLViewer::htNone);
    info->HistoryMaxCount = 0;
    info->setNoSelect(true);
    info->setScrollBars(THTMLViewer::ssVertical);
    info->MarginWidth = 5;
    info->MarginHeight = 0;
    info->hide();
}

void Tfhexagram::createTocPanel() {
    TOCPanel = new QWidget(this);
    TOCPanel->setObjectName(QStringLiteral("TOCPanel"));
    TOCPanel->setFixedWidth(panelWidth);
    auto* column = new QVBoxLayout(TOCPanel);
    column->setContentsMargins(0, 0, 0, 0);
    TOC = new QListWidget(TOCPanel);
    TOC->setFrameShape(QFrame::NoFrame);
    TOC->setUniformItemSizes(true);
    TOC->setItemDelegate(new TTOCDelegate(this));
    TOC->setToolTip(QStringLiteral("Right-click to Open a new instance"));
    for (int i = 0; i <= 64; ++i)
        TOC->addItem(latin1(tocItemText(i)));
    TOC->viewport()->installEventFilter(this);
    column->addWidget(TOC);
    TOCPanel->hide();
}

void Tfhexagram::createViews() {
    visores = new QWidget(this);
    visores->setObjectName(QStringLiteral("visores"));
    auto* fill = new QVBoxLayout(visores);
    fill->setContentsMargins(0, 0, 0, 0);
    Viewer = new THTMLViewer(visores);
    Viewer->DefFontName = QStringLiteral("Times New Roman");
    Viewer->DefPreFontName = QStringLiteral("Courier New");
    Viewer->DefFontSize = 12;
    Viewer->setDefBackground(QApplication::palette().color(QPalette::Button));
    Viewer->setBorderStyle(THTMLViewer::htNone);
    Viewer->HistoryMaxCount = 0;
    Viewer->setNoSelect(true);
    Viewer->setScrollBars(THTMLViewer::ssBoth);
    Viewer->MarginWidth = 10;
    Viewer->MarginHeight = 5;
    Viewer->OnHotSpotClick = [this](const std::string& target, bool& handled) {
        ViewerHotSpotClick(target, handled);
    };
    Viewer->OnhtStreamRequest = [this](const std::string& name, TMemoryStream*& out) {
        ViewerhtStreamRequest(name, out);
    };
    fill->addWidget(Viewer);
}

void Tfhexagram::createMenus() {
    ptzoom = new QMenu(this);
    ptzoom->setFont(font());
    zoomGroup = new QActionGroup(this);
    zoomGroup->setExclusive(true);
    auto entry = [this](int value) {
        QAction* action = ptzoom->addAction(QString::number(value) + QLatin1Char('%'));
        action->setCheckable(true);
        action->setData(value);
        zoomGroup->addAction(action);
        return action;
    };
    z100 = entry(100);
    z125 = entry(125);
    z150 = entry(150);
    z175 = entry(175);
    z200 = entry(200);
    z250 = entry(250);
    connect(zoomGroup, &QActionGroup::triggered, this, &Tfhexagram::changeFZoom);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setFont(font());
    loadh = PopupMenu1->addAction(QStringLiteral("Load Hexagram in another window"));
    connect(PopupMenu1, &QMenu::aboutToShow, this, &Tfhexagram::PopupMenu1Popup);
    connect(loadh, &QAction::triggered, this, &Tfhexagram::loadhClick);
}

void Tfhexagram::FormCreate(const QStringList& params) {
    configure();

    int n = 0;
    if (params.size() == 1) {
        bool ok = false;
        const int value = params.first().toInt(&ok, 10);
        // A number that names no page counts like a parameter that is no number.
        if (ok && value >= 0 && value <= 64) {
            n = value;
            oraculo->hide();
        }
    }
    config.maximized = n == 0;
    if (!config.maximized) {
        const QSize screenSize = screen()->size();
        config.width = screenSize.width() / 2;
        config.height = screenSize.height() / 3 * 2;
    }
    currentHexagram = 0;
    setWindowTitle(productTitle);
    chineseShown = false;
    zoomCopy = zoomPercent;
    answerMode = false;
    if (config.maximized) {
        // The whole screen also where no window manager maximizes windows.
        setGeometry(screen()->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(config.width, config.height);
    }
    load(pageName(n), n, false);
}

void Tfhexagram::configure() {
    collectInstances(instanceList);
    // Our own window is not shown yet, so an empty list means no other copy runs.
    if (instanceList.isEmpty())
        QFile::remove(latin1(programFolder() + "active"));
    instanceList.clear();
    syncSettings(true);
    addFontFile(latin1(programFolder() + loadResString(strFirstFontFile)));
    addFontFile(latin1(programFolder() + loadResString(strSecondFontFile)));
}

void Tfhexagram::load(const std::string& page, int n, bool flag) {
    answerMode = flag;
    loadPage(Viewer, page, flag ? sourceArchive + 10 : sourceArchive, chineseShown, n);
    Viewer->scrollToTop();
    QString title = productTitle;
    if (n > 0)
        title += QStringLiteral(" / ") + latin1(tocItemText(n));
    setWindowTitle(title);
    currentHexagram = n;
}

void Tfhexagram::selectTocItem(int index) {
    if (index < 0) {
        TOC->clearSelection();
        TOC->setCurrentRow(-1);
        return;
    }
    TOC->setCurrentRow(index);
}

void Tfhexagram::beep() {
    ++beepCount;
    QApplication::beep();
    emit beeped();
}

void Tfhexagram::backBtnClick() {
    if (currentHexagram > 0)
        --currentHexagram;
    load(pageName(currentHexagram), currentHexagram, false);
    selectTocItem(currentHexagram);
}

void Tfhexagram::forwardBtnClick() {
    if (currentHexagram >= 64) {
        beep();
        return;
    }
    ++currentHexagram;
    load(pageName(currentHexagram), currentHexagram, false);
    selectTocItem(currentHexagram);
}

void Tfhexagram::tocBtnClick() {
    TOCPanel->setVisible(!TOCPanel->isVisible());
    if (TOCPanel->isVisible()) {
        oraculo->hide();
        selectTocItem(currentHexagram);
    }
}

void Tfhexagram::oracleBtnClick() {
    oraculo->setVisible(!oraculo->isVisible());
    if (oraculo->isVisible())
        TOCPanel->hide();
}

void Tfhexagram::chineseBtnClick() {
    chineseShown = !chineseShown;
    chineseBtn->setIcon(ImageList1.icon(chineseShown ? picChineseOn : picChineseOff));
    load(pageName(currentHexagram), currentHexagram, false);
    selectTocItem(currentHexagram);
}

void Tfhexagram::zoomBtnClick() {
    for (QAction* entry : zoomGroup->actions())
        if (entry->data().toInt() == zoomCopy)
            entry->setChecked(true);
    ptzoom->popup(QCursor::pos());
}

void Tfhexagram::changeFZoom(QAction* entry) {
    entry->setChecked(true);
    zoomPercent = entry->data().toInt();
    zoomCopy = zoomPercent;
    load(pageName(currentHexagram), currentHexagram, answerMode);
    selectTocItem(currentHexagram);
}

void Tfhexagram::printBtnClick() {
    load("about.htm", 0, false);
    selectTocItem(-1);
}

void Tfhexagram::searchBtnClick() {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Search"),
                                QStringLiteral("Searching the pages is not available yet."),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Tfhexagram::Exit1Click() {
    collectInstances(instanceList);
    // Only this window (or, should the registry be unusable, none at all).
    if (instanceList.size() <= 1) {
        close();
        return;
    }
    QString text = latin1(loadResString(strCloseAllInstances));
    text.replace(QStringLiteral("%s"), QStringLiteral("Lunvareth"));
    if (askQuestion(text) != QMessageBox::Yes)
        return;
    // A copy: processing the pending events may run Exit again, which refills the list.
    const QStringList targets = instanceList;
    for (const QString& handle : targets) {
        postCloseMessage(handle);
        QCoreApplication::processEvents();
    }
}

void Tfhexagram::closeEvent(QCloseEvent* event) {
    requestStream.reset();
    syncSettings(false);
    freeArchiveReader();
    event->accept();
}

void Tfhexagram::FormResize() {
    const int height = oraculo->height() - (bcoins->y() + 70);
    info->setGeometry(0, oraculo->height() - height, oraculo->width(), height);
}

void Tfhexagram::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tfhexagram::FormActivate() {
    raise();
    activateWindow();
    // The window keeps the control that had the focus; the first time it is the page.
    if (!focusWidget())
        Viewer->setFocus();
}

bool Tfhexagram::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

bool Tfhexagram::FormKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    if (!modifiers.testFlag(Qt::ControlModifier))
        return false;
    switch (key) {
    case Qt::Key_O:
        oracleBtnClick();
        return true;
    case Qt::Key_P:
        printBtnClick();
        return true;
    case Qt::Key_S:
        searchBtnClick();
        return true;
    case Qt::Key_T:
        tocBtnClick();
        return true;
    default:
        return false;
    }
}

bool Tfhexagram::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oraculo && event->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (TOC && watched == TOC->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The right button does not move the selection by itself: its release opens the menu.
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton)
            return true;
        if (event->type() == QEvent::MouseButtonRelease) {
            TOCMouseUp(mouse->button(), mouse->position().toPoint());
            return mouse->button() == Qt::RightButton;
        }
        return false;
    }
    if (event->type() == QEvent::KeyRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys reach the window before the focused control; a handled one goes no further.
        if (widget && widget->window() == this && !key->isAutoRepeat())
            return FormKeyUp(key->key(), key->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tfhexagram::TOCDrawItem(QPainter* painter, const QRect& rect, const QString& text,
                             bool selected) const {
    const QPalette& pal = TOC->palette();
    painter->save();
    painter->fillRect(rect, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    painter->setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    painter->setFont(font());
    painter->drawText(rect.adjusted(2, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      text);
    painter->restore();
}

void Tfhexagram::TOCMouseUp(Qt::MouseButton button, const QPoint& pos) {
    if (button != Qt::RightButton) {
        TOCClick();
        return;
    }
    QListWidgetItem* item = TOC->itemAt(pos);
    if (!item)
        return; // nothing to open in another window: no menu, the selection stays
    savedTocIndex = TOC->currentRow();
    TOC->setCurrentItem(item);
    PopupMenu1->popup(TOC->viewport()->mapToGlobal(pos));
}

void Tfhexagram::TOCClick() {
    const int index = TOC->currentRow();
    if (index < 0)
        return;
    currentHexagram = index;
    load(pageName(currentHexagram), currentHexagram, false);
}

void Tfhexagram::PopupMenu1Popup() {
    const QListWidgetItem* item = TOC->currentItem();
    loadh->setText(QStringLiteral("Load ") + (item ? item->text() : QString()) +
                   QStringLiteral(" in another window"));
}

void Tfhexagram::loadhClick() {
    shellOpen(latin1(programFolder() + "lunvareth"), {QString::number(TOC->currentRow())});
    selectTocItem(savedTocIndex);
}

void Tfhexagram::ViewerHotSpotClick(const std::string& target, bool& handled) {
    if (target == "intro.htm")
        load("intro.htm", 0, false);
    else
        shellOpen(latin1(target));
    handled = true;
}

void Tfhexagram::ViewerhtStreamRequest(const std::string& name, TMemoryStream*& out) {
    if (requestStream)
        requestStream->clear();
    else
        requestStream = std::make_unique<TMemoryStream>();
    loadArchiveMember(archivePath(), *requestStream, name);
    out = requestStream.get();
}
