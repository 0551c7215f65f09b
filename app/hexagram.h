// Tfhexagram: the main window. A toolbar on top, on the left the oracle panel
// or the table of contents, the page view filling the rest.
#pragma once

#include "app/imagelist.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QStyledItemDelegate>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QToolBar;
class QToolButton;
class THTMLViewer;
class TMemoryStream;
class Tfhexagram;

// Window placement chosen from the command line at each start.
struct TConfig {
    bool maximized = true;
    int width = 0;
    int height = 0;
};

// Draws the TOC items through Tfhexagram::TOCDrawItem.
class TTOCDelegate : public QStyledItemDelegate {
public:
    explicit TTOCDelegate(Tfhexagram* owner);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    Tfhexagram* owner_;
};

class Tfhexagram : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int panelWidth = 247;
    static constexpr int tocItemHeight = 20;

    // params: the command-line parameters, without the program's name.
    explicit Tfhexagram(const QStringList& params, QWidget* parent = nullptr);
    ~Tfhexagram() override;

    // Components.
    QToolBar* ToolBar2 = nullptr;
    QToolButton* tocBtn = nullptr;
    QToolButton* oracleBtn = nullptr;
    QToolButton* backBtn = nullptr;
    QToolButton* forwardBtn = nullptr;
    QToolButton* printBtn = nullptr;
    QToolButton* searchBtn = nullptr;
    QToolButton* chineseBtn = nullptr;
    QToolButton* zoomBtn = nullptr;
    QToolButton* exitBtn = nullptr;
    QFrame* oraculo = nullptr;
    QLabel* H1 = nullptr;
    QLabel* H2 = nullptr;
    QLabel* NH1 = nullptr;
    QLabel* NH2 = nullptr;
    QToolButton* openb = nullptr;
    QToolButton* baquilea = nullptr;
    QToolButton* bcoins = nullptr;
    THTMLViewer* info = nullptr;
    QWidget* TOCPanel = nullptr;
    QListWidget* TOC = nullptr;
    QWidget* visores = nullptr;
    THTMLViewer* Viewer = nullptr;
    QMenu* ptzoom = nullptr;
    QActionGroup* zoomGroup = nullptr;
    QAction* z100 = nullptr;
    QAction* z125 = nullptr;
    QAction* z150 = nullptr;
    QAction* z175 = nullptr;
    QAction* z200 = nullptr;
    QAction* z250 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* loadh = nullptr;
    TImageList ImageList1;

    // Navigation state.
    int currentHexagram = 0;
    bool chineseShown = false;
    bool answerMode = false;
    int savedTocIndex = 0;
    int zoomCopy = 100; // ticks the zoom menu

    TConfig config;
    QStringList instanceList;
    std::unique_ptr<TMemoryStream> requestStream;

    // The Exit confirmation; tests replace it.
    std::function<QMessageBox::StandardButton(const QString& text)> askQuestion;
    // How often the window has beeped (forward at the last hexagram).
    int beepCount = 0;

    // Start-up.
    void FormCreate(const QStringList& params);
    void configure();
    // Shows page in Viewer: n is its hexagram (0 for other pages); flag asks
    // for the answer summary on top.
    void load(const std::string& page, int n, bool flag);

    // Commands.
    void backBtnClick();
    void forwardBtnClick();
    void tocBtnClick();
    void oracleBtnClick();
    void chineseBtnClick();
    void zoomBtnClick();
    void changeFZoom(QAction* entry);
    void printBtnClick();
    void searchBtnClick();
    void Exit1Click();
    void FormResize();
    void FormActivate();
    // A key released anywhere in the window; true when it was a shortcut.
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);

    // Table of contents.
    void TOCDrawItem(QPainter* painter, const QRect& rect, const QString& text,
                     bool selected) const;
    void TOCMouseUp(Qt::MouseButton button, const QPoint& pos);
    void TOCClick();
    void PopupMenu1Popup();
    void loadhClick();

    // Events of the page view.
    void ViewerHotSpotClick(const std::string& target, bool& handled);
    void ViewerhtStreamRequest(const std::string& name, TMemoryStream*& out);

    void selectTocItem(int index);

signals:
    void beeped();

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createToolBar();
    void createOraclePanel();
    void createTocPanel();
    void createViews();
    void createMenus();
    QToolButton* addToolButton(int picture, const QString& hint, void (Tfhexagram::*handler)());
    void addSeparator();
    void beep();
};
