// The windows of the program as a user meets them: documents in the MDI area, their menus, the
// Window menu, the progress window, printing and closing during a run. Every step goes through
// the main window's menus, keys or title-bar buttons.
#include "app/ChildFrm.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/ShellFixture.h"
#include "app/XInput.h"
#include "model/DynSys.h"
#include "model/RunProtocol.h"
#include "model/ViewKinds.h"
#include "platform/DocTemplate.h"
#include "platform/Ids.h"
#include "platform/View.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

namespace {

const UINT kModelTypes[] = {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE};

void Settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

QMainWindow* MainWindow()
{
    return static_cast<QMainWindow*>(StartShell()->GetWidget());
}

QMdiArea* Area()
{
    return StartShell()->GetMdiArea();
}

// A rectangle as a failure shows it: "x,y wxh".
std::string Place(const QRect& r)
{
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// With VELTRIX_SHOTS naming a folder, saves a picture of the widget there to be looked at.
void Shot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (!dir.isEmpty() && w)
        w->grab().save(dir + "/" + name + ".png");
}

// Carries out the command that the menu bar offers there and then, as the main window does
// with a picked item once Qt has finished with the menu; false when it is not offered.
bool CarryOut(UINT id)
{
    if (!Offered(id))
        return false;
    StartShell()->SendMessage(WM_COMMAND, id);
    return true;
}

// Chooses the command from the menu bar, which must offer it.
void Pick(UINT id)
{
    ASSERT_TRUE(Choose(id)) << id;
    Settle();
}

class Windows : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_NE(StartShell(), nullptr);
        MainWindow()->showMaximized();
        Settle();
    }
    void TearDown() override
    {
        for (CDynSys* doc : m_docs)
            if (doc->m_bRunning) {
                doc->OnControlsStop();
                Pump([doc] { return !doc->m_bRunning; });
            }
        for (CDocTemplate* t : theApp.GetDocTemplates())
            t->CloseAllDocuments(FALSE);
        Settle();
    }
    CDynSys* New(UINT nType)
    {
        CDynSys* doc = NewModel(nType);
        Settle();
        if (doc)
            m_docs.push_back(doc);
        return doc;
    }
    static CView* View(CDocument* doc) { return doc->GetViews().front(); }
    static QMdiSubWindow* Sub(CDocument* doc)
    {
        return static_cast<QMdiSubWindow*>(View(doc)->GetParentFrame()->GetFrameWidget());
    }
    // Runs the model to its end through Controls/Run.
    static void RunToEnd(CDynSys* doc)
    {
        Pick(ID_CONTROLS_RUN);
        ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
        Settle();
    }
    // Starts a run drawn live that lasts until it is stopped. It waits for each row to be
    // drawn, so it moves on only while events are pumped, but then fast: a run time that a
    // long wait for the window manager could reach would end it under the test's feet.
    static void StartLongRun(CDynSys* doc)
    {
        doc->m_bPlotConcurrent = 1;
        doc->m_bPlotPostCalc = 0;
        doc->m_dRunTimeLimit = 1e9;
        Pick(ID_CONTROLS_RUN);
    }
    // Dark pixels of the view: its frame, axes, texts and curves; a blank window has none.
    static int InkOf(CView* view, QColor colour = Qt::black)
    {
        const QImage img = view->GetWidget()->grab().toImage();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                        std::abs(c.blue() - colour.blue()) <
                    60)
                    ++n;
            }
        return n;
    }
    std::vector<CDynSys*> m_docs;
};

// Every way a maximised graph window is restored ends with its picture drawn.
TEST_F(Windows, GraphIsDrawnAgainAfterEveryRestore)
{
    struct Case
    {
        const char* how;
        std::function<void(Windows*, CDynSys*)> restore;
    };
    const Case cases[] = {
        {"Window/Tile", [](Windows*, CDynSys*) { Pick(ID_WINDOW_TILE_HORZ); }},
        {"Window/Cascade", [](Windows*, CDynSys*) { Pick(ID_WINDOW_CASCADE); }},
        {"restore button", [](Windows*, CDynSys* d) { Sub(d)->showNormal(); }},
        {"another document", [](Windows* w, CDynSys*) { w->New(IDR_SYS1NNTYPE); }},
    };
    for (const Case& c : cases) {
        CDynSys* doc = New(IDR_SYS2TYPE);
        ASSERT_NE(doc, nullptr);
        RunToEnd(doc);
        Sub(doc)->showMaximized();
        Settle();
        const int before = InkOf(View(doc));
        ASSERT_GT(before, 200) << c.how;
        c.restore(this, doc);
        Settle();
        Area()->setActiveSubWindow(Sub(doc));
        Settle();
        EXPECT_GT(InkOf(View(doc)), 200) << c.how;
        Shot(MainWindow(), QString("restored_by_") + QString(c.how).replace('/', '_'));
        TearDown();
        m_docs.clear();
    }
}

// Window/Tile over 2 to 12 windows, some starting maximised or with one minimised: the tiles
// cover the area above the minimised window without overlapping, in rows and columns, each at
// least a third of the area wide and a quarter of it tall; the minimised window stays put.
void ExpectTiledInRowsAndColumns(Windows& t)
{
    struct Case
    {
        int windows;
        bool minimiseOne, maximiseActive;
    };
    for (const Case& c : {Case{2, false, true}, Case{4, true, false}, Case{7, false, false},
                          Case{7, true, true}, Case{12, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.windows << " windows");
        for (int i = 0; i < c.windows; ++i)
            ASSERT_NE(t.New(kModelTypes[i % 4]), nullptr);
        QMdiSubWindow* icon = c.minimiseOne ? Windows::Sub(t.m_docs.front()) : nullptr;
        if (icon)
            icon->showMinimized();
        if (c.maximiseActive)
            Windows::Sub(t.m_docs.back())->showMaximized();
        Settle();
        const QRect iconPlace = icon ? icon->geometry() : QRect();
        Pick(ID_WINDOW_TILE_HORZ);
        QRect free = Area()->viewport()->rect();
        if (icon)
            free.setBottom(iconPlace.top() - 1);
        std::vector<QRect> tiles;
        for (CDynSys* doc : t.m_docs)
            if (Windows::Sub(doc) != icon) {
                EXPECT_FALSE(Windows::Sub(doc)->isMaximized());
                tiles.push_back(Windows::Sub(doc)->geometry());
            }
        long covered = 0;
        for (size_t i = 0; i < tiles.size(); ++i) {
            const QRect& g = tiles[i];
            SCOPED_TRACE(testing::Message()
                         << g.x() << "," << g.y() << " " << g.width() << "x" << g.height());
            EXPECT_TRUE(free.contains(g));
            EXPECT_GE(g.width(), free.width() / 3);
            EXPECT_GE(g.height(), free.height() / 4);
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(g.intersects(tiles[j]));
            covered += long(g.width()) * g.height();
        }
        EXPECT_EQ(covered, long(free.width()) * free.height());
        if (icon) {
            EXPECT_TRUE(icon->isMinimized());
            EXPECT_EQ(icon->geometry(), iconPlace);
        }
        t.TearDown();
        t.m_docs.clear();
    }
}

TEST_F(Windows, TileArrangesWindowsInRowsAndColumns)
{
    ExpectTiledInRowsAndColumns(*this);
}

// New windows open cascaded, wholly inside the MDI area, at a usable size; Window/Cascade
// keeps them so.
TEST_F(Windows, NewAndCascadedWindowsAreInsideTheAreaAtAUsableSize)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(New(kModelTypes[i]), nullptr);
    const QRect area = Area()->viewport()->rect();
    auto check = [&](const char* when) {
        QPoint previous(-1, -1);
        for (CDynSys* doc : m_docs) {
            const QRect g = Sub(doc)->geometry();
            EXPECT_TRUE(area.contains(g)) << when << ": " << Place(g);
            EXPECT_GE(g.width(), area.width() / 2) << when;
            EXPECT_GE(g.height(), area.height() / 2) << when;
            EXPECT_NE(g.topLeft(), previous) << when; // each one stands apart
            previous = g.topLeft();
        }
    };
    check("opened");
    Pick(ID_WINDOW_CASCADE);
    check("cascaded");
    Shot(MainWindow(), "windows_cascaded");
    Pick(ID_WINDOW_TILE_HORZ);
    Shot(MainWindow(), "windows_tiled");
}

// A model shows its own menu bar: no item of the shell's own menu, and each mnemonic opens its
// menu every time.
TEST_F(Windows, EveryMnemonicOfAModelMenuOpensItsMenu)
{
    for (UINT type : kModelTypes) {
        ASSERT_NE(New(type), nullptr);
        QMainWindow* main = MainWindow();
        main->activateWindow();
        Settle();
        std::vector<QChar> keys;
        for (QAction* top : main->menuBar()->actions()) {
            const QString text = top->text();
            const qsizetype amp = text.indexOf('&');
            ASSERT_GE(amp, 0) << text.toStdString();
            const QChar key = text.at(amp + 1).toUpper();
            EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 0) << text.toStdString();
            keys.push_back(key);
            EXPECT_NE(text.toStdString(), "&Configuration");
            for (int round = 0; round < 2; ++round) {
                QTest::keyClick(main, key.toLatin1(), Qt::AltModifier);
                Settle();
                QWidget* popup = QApplication::activePopupWidget();
                EXPECT_EQ(popup, top->menu()) << text.toStdString() << " round " << round;
                if (round == 0 && text == "&Controls")
                    Shot(popup, QString("controls_menu_%1").arg(type));
                if (popup)
                    popup->close();
                Settle();
            }
        }
    }
}

// The key that Alt and a menu's letter reach in an item's text: the letter after the first
// single "&" ("&&" is a literal one), upper case; none when the text has no such letter.
QChar AccessKey(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text.at(i) == '&') {
            if (text.at(i + 1) != '&')
                return text.at(i + 1).toUpper();
            ++i;
        }
    return {};
}

// The texts of the menu's items (and of its submenus' items, each menu apart) that share an
// access key with an item before them in the same menu, after the menu's update.
void RepeatedKeys(QMenu* menu, const QString& path, std::vector<std::string>& repeats)
{
    emit menu->aboutToShow();
    std::map<QChar, QString> seen;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        const QChar key = AccessKey(a->text());
        if (!key.isNull() && !seen.emplace(key, a->text()).second)
            repeats.push_back((path + ": " + seen[key] + " / " + a->text()).toStdString());
        if (a->menu())
            RepeatedKeys(a->menu(), path + "/" + a->text(), repeats);
    }
}

// Within each menu of the main window, with no document, a lesson or a model of each kind
// active, no two items share an access key: Alt and a menu's letter, then an item's letter,
// carry out that item rather than only highlight one of two.
TEST_F(Windows, NoTwoItemsOfAMenuShareAnAccessKey)
{
    ASSERT_EQ(StartShell()->GetShownMenu(), UINT(IDR_MAINFRAME));
    std::vector<UINT> shown = {IDR_MAINFRAME, IDR_VXTEXTTYPE};
    shown.insert(shown.end(), std::begin(kModelTypes), std::end(kModelTypes));
    for (UINT type : shown) {
        if (type == IDR_VXTEXTTYPE) {
            ASSERT_NE(TemplateOf(type)->OpenDocumentFile(nullptr), nullptr);
        } else if (type != IDR_MAINFRAME) {
            ASSERT_NE(New(type), nullptr);
        }
        Settle();
        ASSERT_EQ(StartShell()->GetShownMenu(), type);
        QMenu bar; // the bar's menus, walked as one menu of menus
        bar.addActions(MainWindow()->menuBar()->actions());
        std::vector<std::string> repeats;
        RepeatedKeys(&bar, QString::number(type), repeats);
        EXPECT_EQ(repeats, std::vector<std::string>{});
    }
}

// Alt+V, then the letter of a view's item in the View menu, opens that view, in every kind.
TEST_F(Windows, AltVThenAViewsLetterOpensTheView)
{
    // By view, the letter in the Newtonian, one-, two- and three-variable kinds; "-" where the
    // kind has no such view. The three-variable kind has no Orbit Sections to take the O.
    const std::map<int, const char*> kLetters = {
        {kViewTable, "DDDD"},         {kViewProjectedOrbit, "JJJO"},  {kViewFullOrbit, "FFF-"},
        {kViewOrbitSections, "OOO-"}, {kViewPoincareSection, "PPPP"}, {kViewBasins, "BBB-"},
        {kViewVectorField, "VVV-"},
    };
    for (int k = 0; k < kSystemKinds; ++k)
        for (const auto& [v, letters] : kLetters) {
            const SystemKind kind = static_cast<SystemKind>(k);
            SCOPED_TRACE(testing::Message() << k << " " << ViewMenuText(kind, v));
            ASSERT_EQ(letters[k] == '-', !ViewClass(kind, v));
            if (letters[k] == '-')
                continue;
            CDynSys* doc = New(DocKindInfo(kind).nIDResource);
            ASSERT_NE(doc, nullptr);
            if (v == kViewTable)
                RunToEnd(doc); // a table of nothing is not offered
            QMainWindow* main = MainWindow();
            main->activateWindow();
            Settle();
            QTest::keyClick(main, 'V', Qt::AltModifier);
            Settle();
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QTest::keyClick(menu, QChar(letters[k]).toLower().toLatin1());
            Settle();
            vx::DeliverPostedMessages();
            Settle();
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            EXPECT_EQ(doc->m_nOpenViews[v], 1);
            TearDown();
            m_docs.clear();
        }
}

// The Controls menu of every kind reaches the graph's zoom, pan and limits commands and opens
// its limits and variables dialogs.
TEST_F(Windows, ControlsMenuZoomsPansAndOpensTheGraphsDialogs)
{
    for (UINT type : kModelTypes) {
        CDynSys* doc = New(type);
        ASSERT_NE(doc, nullptr);
        const double tmax = doc->m_dGraphTMax;
        Pick(ID_CONTROLS_ZOOM_NEAR);
        EXPECT_LT(doc->m_dGraphTMax, tmax);
        Pick(ID_CONTROLS_PAN_LEFT);
        Pick(ID_CONTROLS_PAN_UP);
        Pick(ID_CONTROLS_ZOOM_FAR);
        Pick(ID_CONTROLS_RESET_LIMITS);
        EXPECT_EQ(doc->m_dGraphTMax, doc->m_dRunTimeLimit);
        EXPECT_EQ(doc->m_dGraphVMax, doc->m_dGraphVAbsMax);
        // Pan Right is grey while the window ends at the run time.
        QAction* right = UpdatedAction(ID_CONTROLS_PAN_RIGHT);
        ASSERT_NE(right, nullptr);
        EXPECT_FALSE(right->isEnabled());
        // A window zoomed far in: its limits take many digits.
        doc->m_dGraphVAbsMin = doc->m_dGraphVMin = -1.2345671e-5;
        doc->m_dGraphVAbsMax = doc->m_dGraphVMax = -1.234567e-5;
        for (UINT id : {ID_CONTROLS_SET_LIMITS, ID_CONTROLS_SELECT_VARIABLES}) {
            ModalDriver driver({[](QDialog* dlg) {
                // Every number shows whole.
                for (QLineEdit* e : dlg->findChildren<QLineEdit*>())
                    EXPECT_LT(e->fontMetrics().horizontalAdvance(e->text()),
                              e->contentsRect().width() - 4)
                        << e->text().toStdString();
                dlg->reject();
            }});
            Pick(id);
            EXPECT_TRUE(driver.Done()) << id;
        }
    }
}

// The Window menu lists the open windows, numbered, with a check on the active one; choosing
// an entry activates its window.
TEST_F(Windows, WindowMenuListsTheOpenWindows)
{
    CDynSys* first = New(IDR_SYS1TYPE);
    CDynSys* second = New(IDR_SYS3TYPE);
    ASSERT_TRUE(first && second);
    auto entries = [] {
        std::vector<std::pair<std::string, bool>> list;
        for (QAction* top : MainWindow()->menuBar()->actions())
            if (top->text() == "&Window") {
                emit top->menu()->aboutToShow();
                for (QAction* a : top->menu()->actions())
                    if (!a->text().isEmpty() && a->text().at(0) == '&' && a->text().at(1).isDigit())
                        list.emplace_back(a->text().toStdString(), a->isChecked());
            }
        return list;
    };
    const std::string one = "&1 " + View(first)->GetParentFrame()->GetWindowText();
    const std::string two = "&2 " + View(second)->GetParentFrame()->GetWindowText();
    EXPECT_EQ(entries(), (std::vector<std::pair<std::string, bool>>{{one, false}, {two, true}}));
    QAction* entry = nullptr;
    for (QAction* top : MainWindow()->menuBar()->actions())
        if (top->text() == "&Window")
            for (QAction* a : top->menu()->actions())
                if (a->text().toStdString() == one)
                    entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    Settle();
    EXPECT_EQ(StartShell()->MDIGetActive(), View(first)->GetParentFrame());
    EXPECT_EQ(entries(), (std::vector<std::pair<std::string, bool>>{{one, true}, {two, false}}));
}

// Opens the Window menu and picks the item of that command; false when it is not there.
bool PickFromWindowMenu(UINT id)
{
    for (QAction* top : MainWindow()->menuBar()->actions())
        if (top->text() == "&Window") {
            emit top->menu()->aboutToShow();
            for (QAction* a : top->menu()->actions())
                if (a->data().toUInt() == id && a->isEnabled()) {
                    a->trigger();
                    QCoreApplication::processEvents();
                    vx::DeliverPostedMessages();
                    return true;
                }
        }
    return false;
}

// A sanitizer holds freed memory back (quarantine, shadow memory): the resident size tells
// of a leak only in a build without one.
#ifdef VELTRIX_SANITIZED
constexpr bool kResidentSizeCounts = false;
#else
constexpr bool kResidentSizeCounts = true;
#endif

// The resident memory of the process, in kilobytes.
long ResidentKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

// Switching between two models' windows through the Window menu, hundreds of times, leaves
// the menus under the bar, the actions of the main window and the memory as they were.
TEST_F(Windows, SwitchingWindowsKeepsMenusAndMemoryFlat)
{
    ASSERT_NE(New(IDR_SYS1TYPE), nullptr);
    ASSERT_NE(New(IDR_SYS2TYPE), nullptr);
    const std::vector<CFrameWnd*> frames = {View(m_docs[0])->GetParentFrame(),
                                            View(m_docs[1])->GetParentFrame()};
    auto switchTimes = [&frames](int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(PickFromWindowMenu(AFX_IDM_FIRST_MDICHILD + UINT(i % 2)));
            ASSERT_EQ(StartShell()->MDIGetActive(), frames[size_t(i % 2)]);
        }
        Settle();
    };
    switchTimes(20);
    const auto menus = MainWindow()->menuBar()->findChildren<QMenu*>().size();
    const auto actions = MainWindow()->findChildren<QAction*>().size();
    const long before = ResidentKb();
    switchTimes(400);
    EXPECT_EQ(MainWindow()->menuBar()->findChildren<QMenu*>().size(), menus);
    EXPECT_EQ(MainWindow()->findChildren<QAction*>().size(), actions);
    if (kResidentSizeCounts) {
        EXPECT_LT(ResidentKb() - before, 8 * 1024) << "kilobytes";
    }
}

// Past nine windows the Window menu lists the active one, checked, and "More Windows..."
// opens a list of every window, from which the one chosen becomes active.
TEST_F(Windows, MoreWindowsReachesEveryWindow)
{
    for (int i = 0; i < 11; ++i)
        ASSERT_NE(New(kModelTypes[i % 4]), nullptr);
    QMenu* window = nullptr;
    for (QAction* top : MainWindow()->menuBar()->actions())
        if (top->text() == "&Window")
            window = top->menu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    int listed = 0;
    QAction* checked = nullptr;
    for (QAction* a : window->actions())
        if (a->data().toUInt() >= AFX_IDM_FIRST_MDICHILD &&
            a->data().toUInt() < AFX_IDM_WINDOW_MORE) {
            ++listed;
            checked = a->isChecked() ? a : checked;
        }
    EXPECT_EQ(listed, 9);
    ASSERT_NE(checked, nullptr);
    EXPECT_TRUE(checked->text().endsWith(Sub(m_docs.back())->windowTitle()));
    std::vector<QString> titles;
    ModalDriver driver({[&titles](QDialog* d) {
        auto* list = d->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i)
            titles.push_back(list->item(i)->text());
        list->setCurrentRow(0);
        d->accept();
    }});
    ASSERT_TRUE(PickFromWindowMenu(AFX_IDM_WINDOW_MORE));
    Settle();
    ASSERT_TRUE(driver.Done());
    ASSERT_EQ(titles.size(), 11u);
    EXPECT_EQ(titles.front(), Sub(m_docs.front())->windowTitle());
    EXPECT_EQ(StartShell()->MDIGetActive(), View(m_docs.front())->GetParentFrame());
}

// A model file that fails to open (damaged, or not there) leaves the window that was active
// active, so the next command goes to the model the user was working on.
TEST_F(Windows, AFileThatFailsToOpenLeavesTheActiveWindowActive)
{
    ASSERT_TRUE(New(IDR_SYS2TYPE));
    CDynSys* active = New(IDR_SYS3TYPE);
    ASSERT_NE(active, nullptr);
    QTemporaryDir dir;
    const std::string damaged = dir.filePath("damaged.ds2").toStdString();
    std::ofstream(damaged) << "abc";
    for (const std::string& path : {damaged, dir.filePath("missing.ds2").toStdString()}) {
        auto oldFile = SetFileDialogHook([&path](bool, const std::string&) { return path; });
        Pick(ID_FILE_OPEN);
        SetFileDialogHook(std::move(oldFile));
        EXPECT_EQ(StartShell()->MDIGetActive(), View(active)->GetParentFrame()) << path;
    }
}

// Answers a file dialog with the path, as a user types it into its name field.
ModalDriver::Step TypeFileName(const QString& path)
{
    return [path](QDialog* d) {
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(path);
        d->accept();
    };
}

// Names with accents and in Greek are saved through File/Save As under their own name, and
// opened again by that name through File/Open and the recent-file list.
TEST_F(Windows, FileNamesWithAccentsAreSavedAndOpenedAgain)
{
    struct Case
    {
        const char* name;
        UINT type;
    };
    const Case cases[] = {{"física/model.ds2", IDR_SYS2TYPE},
                          {"résumé.ns1", IDR_SYS1TYPE},
                          {"Übung.ds1", IDR_SYS1NNTYPE},
                          {"μοντέλο.ds3", IDR_SYS3TYPE}};
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8("física")));
    auto close = [this] {
        Pick(ID_FILE_CLOSE);
        m_docs.clear();
        return StartShell()->GetActiveDocument() == nullptr;
    };
    auto openedPath = [] {
        CDocument* doc = StartShell()->GetActiveDocument();
        return doc ? doc->GetPathName() : std::string("nothing opened");
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        const std::string onDisk = QFile::encodeName(path).toStdString();
        CDynSys* doc = New(c.type);
        ASSERT_NE(doc, nullptr);
        ModalDriver saveAs({TypeFileName(path)});
        Pick(ID_FILE_SAVE_AS);
        ASSERT_TRUE(saveAs.Done()) << c.name;
        EXPECT_TRUE(std::filesystem::exists(onDisk)) << c.name;
        EXPECT_EQ(doc->GetPathName(), onDisk);
        const QString fileName = QFileInfo(path).fileName();
        if (QString::fromLatin1(fileName.toLatin1()) == fileName) { // the title is Latin-1 text
            EXPECT_TRUE(Sub(doc)->windowTitle().contains(fileName))
                << Sub(doc)->windowTitle().toStdString();
        }
        ASSERT_TRUE(close());

        ModalDriver open({TypeFileName(path)});
        Pick(ID_FILE_OPEN);
        ASSERT_TRUE(open.Done()) << c.name;
        EXPECT_EQ(openedPath(), onDisk);
        ASSERT_TRUE(close());

        Pick(ID_FILE_MRU_FILE1);
        EXPECT_EQ(openedPath(), onDisk);
        ASSERT_TRUE(close());
    }
}

// The progress window and the data-entry window of a running model stand wholly on the screen
// (with their title bars under a window manager); the progress window inside the main window
// and clear of its menus (the data-entry window sits beside them, on the toolbar), at its own
// height and wide enough to show its whole caption.
void ExpectToolWindowsPlaced(CDynSys* doc, const std::function<QRect(QWidget*)>& frameOf)
{
    ASSERT_TRUE(doc->m_bRunning);
    QWidget* main = MainWindow();
    const QRect mainRect(main->mapToGlobal(QPoint(0, 0)), main->size());
    QMenuBar* bar = MainWindow()->menuBar();
    const QRect menus(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    CWnd* progress = CWnd::FromHandle(doc->ProgressWindow());
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->GetWidget()->windowTitle(), "Calculation Progress");
    EXPECT_EQ(progress->GetWidget()->geometry().height(), 40);
    EXPECT_GE(progress->GetWidget()->geometry().width(),
              std::max(200, CFrameWnd::CaptionWidth("Calculation Progress")));
    for (CWnd* pWnd : {progress, doc->DataEntry()}) {
        ASSERT_NE(pWnd, nullptr);
        QWidget* w = pWnd->GetWidget();
        const QRect frame = frameOf(w);
        EXPECT_TRUE(w->screen()->availableGeometry().contains(frame)) << pWnd->GetWindowText();
        if (pWnd == progress) {
            EXPECT_TRUE(mainRect.contains(frame));
            EXPECT_FALSE(frame.intersects(menus));
        }
    }
}

TEST_F(Windows, ToolWindowsAreOnTheScreenClearOfTheMenus)
{
    CDynSys* doc = New(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    StartLongRun(doc);
    ExpectToolWindowsPlaced(doc, [](QWidget* w) { return w->frameGeometry(); });
}

// A view without a window, told of each row a run stores before the graph draws it. A test
// acts there at the row count it needs: between two looks from outside the busy run could get
// any number of rows further (and wrap the table ring), but it is never more than a few rows
// ahead of the drawing.
class RowWatch : public CView
{
public:
    RowWatch(CDynSys* doc, std::function<void(RowCount)> atRow) : m_doc(doc), m_atRow(atRow)
    {
        doc->AddView(this);
    }
    ~RowWatch() override { m_doc->RemoveView(this); }
    void OnUpdate(CView*, LPARAM lHint, CObject*) override
    {
        if (lHint == HINT_ROW)
            m_atRow(m_doc->m_nTableCount);
    }
    void OnDraw(CDC*) override {}

private:
    CDynSys* m_doc;
    std::function<void(RowCount)> m_atRow;
};

// A repaint during a continued run (Controls/Plot) draws the rows stored so far, and the live
// drawing goes on over them.
TEST_F(Windows, PlotDuringAContinuedRunKeepsTheRowsSoFar)
{
    CDynSys* doc = New(IDR_SYS1NNTYPE);
    ASSERT_NE(doc, nullptr);
    CView* view = View(doc);
    const QColor curve =
        QColor::fromRgb(doc->m_clrX & 0xFF, (doc->m_clrX >> 8) & 0xFF, (doc->m_clrX >> 16) & 0xFF);
    int before = 0, after = 0;
    bool stopped = false, plotted = false;
    int step = 0; // each command is picked once: the run waits while a row is watched
    {
        // The first run is stopped after a window's width of rows, the continued one plotted
        // once it has drawn rows live; both well inside the ring.
        RowWatch watch(doc, [&](RowCount rows) {
            if (rows >= 300 && step == 0) {
                step = 1;
                stopped = CarryOut(ID_CONTROLS_STOP);
            } else if (rows >= 400 && step == 1) {
                step = 2;
                before = InkOf(view, curve);
                plotted = CarryOut(ID_CONTROLS_PLOT);
                after = InkOf(view, curve);
            }
        });
        StartLongRun(doc);
        ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
        ASSERT_TRUE(stopped);
        ASSERT_LT(doc->m_nTableCount, 400);
        Pick(ID_CONTROLS_RUN); // goes on from where it stopped
        ASSERT_TRUE(Pump([&step] { return step == 2; }));
        ASSERT_TRUE(plotted);
        ASSERT_TRUE(doc->m_bRunning);
    }
    ASSERT_GT(before, 100);
    EXPECT_GT(after, before * 9 / 10);
}

// A close refused during a run says why in the status bar.
TEST_F(Windows, RefusedCloseDuringARunSaysSo)
{
    CDynSys* doc = New(IDR_SYS3TYPE);
    ASSERT_NE(doc, nullptr);
    StartLongRun(doc);
    ASSERT_TRUE(doc->m_bRunning);
    QStatusBar* bar = MainWindow()->statusBar();
    bar->clearMessage();
    Sub(doc)->close(); // the title bar's close button
    Settle();
    EXPECT_EQ(doc->GetViews().size(), 1u);
    EXPECT_FALSE(bar->currentMessage().isEmpty());
    bar->clearMessage();
    MainWindow()->close();
    Settle();
    EXPECT_TRUE(MainWindow()->isVisible());
    const QString why = bar->currentMessage();
    EXPECT_FALSE(why.isEmpty());
    // Once the run ends the reason no longer stands.
    Pick(ID_CONTROLS_STOP);
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    Settle();
    EXPECT_NE(bar->currentMessage().toStdString(), why.toStdString());
}

// The horizontal lines of the page in a print preview at fit-page zoom: rows (of the page's
// picture) where dark pixels run across more than half of the page's width, neighbours joined.
std::vector<int> PreviewLines(const QImage& shot)
{
    // The page is the white part of the preview's grey background.
    QRect page;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                page |= QRect(x, y, 1, 1);
    std::vector<int> lines;
    int last = -10;
    for (int y = page.top(); y <= page.bottom(); ++y) {
        int run = 0, longest = 0;
        for (int x = page.left(); x <= page.right(); ++x) {
            run = qGray(shot.pixel(x, y)) < 200 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest > page.width() / 2) {
            if (y - last > 2)
                lines.push_back(y - page.top());
            last = y;
        }
    }
    return lines;
}

// Print preview in both orientations, with the frame's skip request set: the page shows the
// whole picture with the lines of the screen (the frame's top and bottom and the v = 0 axis),
// and the request is left to the screen.
TEST_F(Windows, PrintPreviewShowsTheWholePictureWithTheScreensLines)
{
    CDynSys* doc = New(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    RunToEnd(doc);
    ASSERT_LT(doc->m_dGraphVMin, 0);
    ASSERT_GT(doc->m_dGraphVMax, 0);
    QTemporaryDir dir;
    for (auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(dir.path() + "/preview.pdf");
        printer->setPageOrientation(orientation);
        theApp.SetPrinter(std::move(printer));
        CFrameWnd* frame = View(doc)->GetParentFrame();
        frame->m_bSkipNextDraw = 1;
        std::vector<int> lines;
        ModalDriver driver({[&lines](QDialog* dlg) {
            auto* preview = dlg->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(preview, nullptr);
            dlg->resize(600, 600);
            preview->fitInView();
            Settle();
            lines = PreviewLines(preview->grab().toImage());
            dlg->reject();
        }});
        Pick(ID_FILE_PRINT_PREVIEW);
        EXPECT_EQ(lines.size(), 3u) << int(orientation);
        EXPECT_EQ(frame->m_bSkipNextDraw, 1) << int(orientation);
        frame->m_bSkipNextDraw = 0;
    }
    theApp.SetPrinter(nullptr);
}

// The data-entry window is wide enough for its whole caption.
TEST_F(Windows, DataEntryCaptionFits)
{
    CDynSys* doc = New(IDR_SYS3TYPE);
    ASSERT_NE(doc, nullptr);
    CWnd* entry = doc->DataEntry();
    ASSERT_NE(entry, nullptr);
    QWidget* w = entry->GetWidget();
    QFont title = QApplication::font("QMdiSubWindowTitleBar");
    title.setBold(true);
    const int text = QFontMetrics(title).horizontalAdvance(w->windowTitle());
    EXPECT_GE(w->width(), text + 60) << w->windowTitle().toStdString();
}

// How long the window manager may take to reach a state: a slowed one (at the lowest priority on
// a busy machine) takes seconds where it otherwise takes milliseconds.
constexpr std::chrono::minutes kWindowManagerWait(2);

// Pumps events until the window manager has reached a state; the failure names the state.
testing::AssertionResult WaitFor(const std::string& state, const std::function<bool()>& reached)
{
    if (PumpUntil(reached, kWindowManagerWait))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "never came within two minutes: " << state;
}

// The tests that need real window frames: on an X display with a window manager
// (UnderWindowManager.sh runs them so), skipped elsewhere. What the window manager has done is
// read from the X server, where it shows first: Qt's view of a window follows it late.
class WindowManager : public Windows
{
public:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X display with a window manager";
        ASSERT_TRUE(XInput::Get().Ready()) << "needs the X test extension";
        Windows::SetUp();
        // The window manager maximises the main window in its own time; the tool windows are
        // placed by where it stands. One that is late letting go of a closed program's window
        // whose id this one has (the X server hands a closed client's ids out again) wipes the
        // maximised state asked for before the window was shown, and takes the window in as a
        // normal one: maximised is then asked again, once Qt has followed.
        ASSERT_TRUE(WaitFor("the main window maximised", [] {
            QMainWindow* main = MainWindow();
            const QWindow* h = main->windowHandle();
            if (XInput::Get().Managed(h) && !XInput::Get().Maximised(h) && !main->isMaximized())
                main->showMaximized();
            return Maximised(main);
        })) << State(MainWindow());
    }
    // The window's frame as the window manager has it: its borders and title bar (none before
    // it has framed the window) around the window.
    static QRect FrameNow(QWidget* w)
    {
        const QWindow* h = w->windowHandle();
        return XInput::Get().Geometry(h).marginsAdded(XInput::Get().FrameExtents(h));
    }
    // The window's frame once the window manager has put its title bar on.
    static QRect Frame(QWidget* w)
    {
        EXPECT_TRUE(WaitFor("a title bar on " + w->windowTitle().toStdString(), [w] {
            return FrameNow(w).top() < XInput::Get().Geometry(w->windowHandle()).top();
        })) << State(w);
        return FrameNow(w);
    }
    // Whether the window manager has taken the window in and holds it maximised, framed, its
    // frame the available area, and Qt has followed.
    static bool Maximised(QWidget* w)
    {
        const QWindow* h = w->windowHandle();
        return XInput::Get().Managed(h) && XInput::Get().Maximised(h) && XInput::Get().Framed(h) &&
               w->isMaximized() && FrameNow(w) == w->screen()->availableGeometry() && Followed(w);
    }
    // Whether the window manager has given the window the focus and Qt has taken it: the keys
    // the X server sends reach it.
    static bool Focused(QWidget* w)
    {
        return XInput::Get().Active(w->windowHandle()) && QApplication::activeWindow() == w;
    }
    // Asks the window manager for the focus on the window once it has framed every window
    // shown (it gives a new one the focus as it frames it); the keys go there once it has.
    static testing::AssertionResult GiveFocus(QWidget* w)
    {
        const testing::AssertionResult framed = WaitFor("every window framed", [] {
            for (QWidget* t : QApplication::topLevelWidgets())
                if (t->isVisible() && t->windowType() != Qt::ToolTip &&
                    t->windowType() != Qt::Popup && !XInput::Get().Framed(t->windowHandle()))
                    return false;
            return true;
        });
        if (!framed)
            return framed;
        w->activateWindow();
        return WaitFor("the focus on " + w->windowTitle().toStdString(), [w] { return Focused(w); })
               << State(w);
    }
    // The window as the window manager, the X server and Qt have it, for a failure to show.
    static std::string State(QWidget* w)
    {
        const QWindow* h = w->windowHandle();
        const XInput& x = XInput::Get();
        auto yes = [](bool b, const char* what) { return std::string(b ? " " : " not ") + what; };
        return w->windowTitle().toStdString() + ": the window manager's" +
               yes(x.Maximised(h), "maximised,") + yes(x.Framed(h), "framed,") +
               yes(x.Active(h), "active") + "; the X server's at " + Place(x.Geometry(h)) +
               ", framed " + Place(FrameNow(w)) + "; Qt's" + yes(w->isMaximized(), "maximised,") +
               yes(QApplication::activeWindow() == w, "active,") + " at " + Place(w->geometry()) +
               "; the screen's free area " + Place(w->screen()->availableGeometry());
    }
    // Whether Qt has the window where the X server has it.
    static bool Followed(QWidget* w)
    {
        return w->geometry() == XInput::Get().Geometry(w->windowHandle());
    }
};

// The middle of the window's title bar, on the screen.
QPoint TitleBar(QWidget* w)
{
    const QRect frame = WindowManager::Frame(w);
    const int top = XInput::Get().Geometry(w->windowHandle()).top();
    return QPoint(frame.center().x(), (frame.top() + top) / 2);
}

// With VELTRIX_SHOTS naming a folder, saves the whole screen there, window frames included.
void ScreenShot(const QString& name)
{
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (!dir.isEmpty())
        MainWindow()->screen()->grabWindow(0).save(dir + "/" + name + ".png");
}

TEST_F(WindowManager, TileArrangesWindowsInRowsAndColumns)
{
    ExpectTiledInRowsAndColumns(*this);
    // Seven views of one model after its run, to be looked at: each keeps its texts apart.
    CDynSys* doc = New(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    RunToEnd(doc);
    for (int view : {1, 2, 3, 4, 5, 7})
        Pick(ViewInfo(view).nID);
    ASSERT_EQ(Area()->subWindowList().size(), 7);
    Pick(ID_WINDOW_TILE_HORZ);
    for (QMdiSubWindow* s : Area()->subWindowList())
        EXPECT_GE(s->height(), Area()->viewport()->height() / 4);
    ScreenShot("windows_tiled_seven_views");
}

// Eleven windows, cascaded from the menu; the Window menu opened by its key lists nine, the
// active one checked, and its "More Windows..." (key M) lists all eleven, from which Home and
// Enter make the first window active. The pictures are saved to be looked at.
TEST_F(WindowManager, TheWindowMenuReachesElevenWindowsByKeys)
{
    for (int i = 0; i < 11; ++i)
        ASSERT_NE(New(kModelTypes[i % 4]), nullptr);
    Pick(ID_WINDOW_CASCADE);
    ASSERT_TRUE(GiveFocus(MainWindow()));
    XInput::Get().Keys({"Alt_L", "w"});
    ASSERT_TRUE(Pump([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    Settle();
    ScreenShot("windows_menu_eleven");
    int rows = 0;
    ModalDriver driver({[&rows](QDialog* d) {
        rows = d->findChild<QListWidget*>()->count();
        Shot(d, "windows_more_windows");
        // The keys go to the dialog once the window manager has given it the focus; a dialog
        // they do not reach is called off, so that the test fails instead of waiting for ever.
        const QPointer<QDialog> dialog(d);
        const testing::AssertionResult focused =
            WaitFor("the focus on More Windows", [d] { return Focused(d); }) << State(d);
        EXPECT_TRUE(focused);
        if (focused) {
            XInput::Get().Keys({"Home"});
            XInput::Get().Keys({"Return"});
            EXPECT_TRUE(WaitFor("More Windows closed by its keys",
                                [&dialog] { return !dialog || !dialog->isVisible(); }));
        }
        if (dialog && dialog->isVisible())
            dialog->reject();
    }});
    XInput::Get().Keys({"m"});
    ASSERT_TRUE(Pump([&driver] { return driver.Done() && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(rows, 11);
    EXPECT_EQ(StartShell()->MDIGetActive(), View(m_docs.front())->GetParentFrame());
}

// The window manager's close (Alt+F4 on the focused window) hides the data-entry window, as
// View/Data Entry Shortcut does; the menu item follows and brings the window back.
TEST_F(WindowManager, ClosingTheDataEntryWindowHidesIt)
{
    CDynSys* doc = New(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(doc->DataEntry(), nullptr);
    QWidget* entry = doc->DataEntry()->GetWidget();
    XInput::Get().Click(TitleBar(entry));
    ASSERT_TRUE(WaitFor("the focus on the data-entry window", [entry] { return Focused(entry); }))
        << State(entry);
    XInput::Get().Keys({"Alt_L", "F4"});
    ASSERT_TRUE(WaitFor("the data-entry window closed by Alt+F4", [doc] {
        return !doc->DataEntry() || !doc->DataEntry()->IsWindowVisible();
    }));
    ASSERT_NE(doc->DataEntry(), nullptr) << "the close destroyed the window";
    QAction* item = UpdatedAction(ID_VIEW_DATA_ENTRY_SHORTCUT);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    Pick(ID_VIEW_DATA_ENTRY_SHORTCUT);
    EXPECT_TRUE(Pump([doc] { return doc->DataEntry()->IsWindowVisible(); }));
    EXPECT_TRUE(UpdatedAction(ID_VIEW_DATA_ENTRY_SHORTCUT)->isChecked());
}

TEST_F(WindowManager, ToolWindowsAreOnTheScreenWithTheirTitleBars)
{
    CDynSys* doc = New(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    StartLongRun(doc);
    ExpectToolWindowsPlaced(doc, [](QWidget* w) {
        const QRect frame = Frame(w);
        EXPECT_LT(frame.top(), w->geometry().top()) << w->windowTitle().toStdString();
        return frame;
    });
}

// Restored from maximised by a double click on its title bar, the main window has a normal
// size and stands wholly on the screen, title bar included; the MDI area then shows scroll
// bars that reach the windows a smaller main window leaves outside.
TEST_F(WindowManager, RestoredMainWindowIsOnTheScreenAndReachesItsWindows)
{
    QMainWindow* main = MainWindow();
    const QRect avail = main->screen()->availableGeometry();
    XInput::Get().Click(TitleBar(main), 2);
    ASSERT_TRUE(WaitFor("the main window restored", [main] {
        return !XInput::Get().Maximised(main->windowHandle()) && !main->isMaximized();
    })) << State(main);
    // The window manager restores the window to its size at the start, the program then gives
    // it its normal place: the frame ends inside the screen.
    EXPECT_TRUE(WaitFor("the restored main window wholly on the screen", [main, avail] {
        const QRect frame = FrameNow(main);
        return avail.contains(frame) && frame.width() < avail.width() &&
               frame.height() < avail.height() && Followed(main);
    })) << State(main);
    const QRect frame = Frame(main);
    EXPECT_LT(frame.top(), main->geometry().top()); // a title bar
    ScreenShot("main_window_restored");

    for (UINT type : kModelTypes)
        ASSERT_NE(New(type), nullptr);
    main->resize(main->size() / 2);
    Settle();
    QMdiArea* area = Area();
    ASSERT_TRUE(Pump([area] {
        return area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible();
    }));
    ScreenShot("main_window_smaller_with_scroll_bars");
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    Settle();
    const QRect seen = area->viewport()->rect();
    for (CDynSys* doc : m_docs) {
        const QRect g = Sub(doc)->geometry();
        EXPECT_TRUE(seen.contains(g.bottomRight())) << g.right() << "," << g.bottom() << " outside "
                                                    << seen.width() << "x" << seen.height();
    }
    main->showMaximized();
    EXPECT_TRUE(WaitFor("the main window maximised again", [main] { return Maximised(main); }))
        << State(main);
}

} // namespace
