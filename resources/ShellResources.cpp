#include "resources/ShellResources.h"

#include "platform/Ids.h"
#include "platform/Resources.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <map>

using vx::res::MenuItem;
using vx::res::Separator;

namespace {

void RegisterStrings()
{
    using vx::res::RegisterString;
    RegisterString(IDR_MAINFRAME, "Veltrix");
    RegisterString(AFX_IDS_APP_TITLE, "Veltrix");
    RegisterString(AFX_IDS_IDLEMESSAGE, "Ready");
    RegisterString(IDP_OLE_INIT_FAILED, "OLE initialization failed.  Make sure that the OLE "
                                        "libraries are the correct version.");
    RegisterString(IDR_VXTEXTTYPE,
                   "\nVXText\nVXText\nVeltrix Text Files (*.vxt)\n.vxt\nVXText\nVXText Document");
    RegisterString(IDR_SYS1TYPE, "\nNew N Sys\nNewtonian System\n Newtonian System  Files "
                                 "(*.ns1)\n.ns1\nVeltrix.NS1\nNewtonian System");
    RegisterString(IDR_SYS1NNTYPE,
                   "\nNew 1D Sys\n1 Dimensional System\n 1 Dimensional System  Files "
                   "(*.ds1)\n.ds1\nVeltrix.DS1\n1 Dimensional System");
    RegisterString(IDR_SYS2TYPE, "\nNew 2D Sys\n2 Dimensional System\n 2 Dimensional System  "
                                 "Files (*.ds2)\n.ds2\nVeltrix.DS2\n2 Dimensional System");
    RegisterString(IDR_SYS3TYPE, "\nNew 3D Sys\n3 Dimensional System\n 3Dimensional System  "
                                 "Files (*.ds3)\n.ds3\nVeltrix.DS3\n3 Dimensional System");
    // Status-bar prompts and tool tips of the buttons: "prompt\ntip".
    const std::pair<UINT, const char*> prompts[] = {
        {ID_FILE_NEW, "Create a new document\nNew"},
        {ID_FILE_OPEN, "Open an existing document\nOpen"},
        {ID_FILE_CLOSE, "Close the active document\nClose"},
        {ID_FILE_SAVE, "Save the active document\nSave"},
        {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
        {ID_FILE_PRINT, "Print the active document\nPrint"},
        {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
        {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
        {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
        {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
        {ID_WINDOW_TILE_HORZ, "Arrange windows one above the other\nTile Horizontally"},
        {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {ID_HELP_FINDER, "List Help topics\nHelp Topics"},
        {ID_CONTEXT_HELP, "Display help for clicked on buttons, menus and windows\nHelp"},
        {ID_CONFIGURATION, "Set the access level and the teacher password\nConfiguration"},
        {ID_CONTROLS_RUN, "Run the model\nRun"},
        {ID_CONTROLS_STOP, "Stop the run\nStop"},
        {ID_CONTROLS_PLOT, "Plot the data\nPlot"},
        {ID_CONTROLS_CLEARDATA, "Clear the data\nClear Data"},
        {ID_FILE_SEND_MAIL, "Send the active document through electronic mail\nSend Mail"},
        {ID_EDIT_UNDO, "Undo the last action\nUndo"},
        {ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All"},
        {ID_EDIT_FIND, "Find the specified text\nFind"},
        {ID_EDIT_REPEAT, "Repeat the last action\nRepeat"},
        {ID_EDIT_REPLACE, "Replace specific text with different text\nReplace"},
        {ID_OLE_INSERT_NEW, "Insert a picture into the lesson\nInsert Object"},
        {ID_FORMAT_FONT, "Change the font of the selection\nFont"},
        {ID_WINDOW_TILE_VERT, "Arrange windows side by side\nTile Vertically"},
        {ID_INDICATOR_CAPS, "CAP"},
        {ID_INDICATOR_NUM, "NUM"},
        {ID_INDICATOR_SCRL, "SCRL"},
    };
    for (const auto& [id, text] : prompts)
        RegisterString(id, text);
}

std::vector<MenuItem> RecentFiles()
{
    std::vector<MenuItem> items;
    for (UINT id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id)
        items.push_back({"Recent File", id, {}});
    return items;
}

MenuItem FileMenu(bool withDocument)
{
    MenuItem file{
        "&File", 0, {{"&New\tCtrl+N", ID_FILE_NEW, {}}, {"&Open...\tCtrl+O", ID_FILE_OPEN, {}}}};
    if (withDocument) {
        file.items.push_back({"&Close", ID_FILE_CLOSE, {}});
        file.items.push_back({"&Save\tCtrl+S", ID_FILE_SAVE, {}});
        file.items.push_back({"Save &As...", ID_FILE_SAVE_AS, {}});
        file.items.push_back(Separator());
        file.items.push_back({"&Print...\tCtrl+P", ID_FILE_PRINT, {}});
        file.items.push_back({"Print Pre&view", ID_FILE_PRINT_PREVIEW, {}});
    } else {
        file.items.push_back(Separator());
    }
    file.items.push_back({"P&rint Setup...", ID_FILE_PRINT_SETUP, {}});
    file.items.push_back(Separator());
    for (const MenuItem& m : RecentFiles())
        file.items.push_back(m);
    file.items.push_back(Separator());
    file.items.push_back({"E&xit", ID_APP_EXIT, {}});
    return file;
}

std::vector<MenuItem> Menu(bool withDocument)
{
    std::vector<MenuItem> menu{FileMenu(withDocument)};
    // The shell's own item, only while no document is active: a document's menu has its own
    // item with the same mnemonic.
    if (!withDocument)
        menu.push_back({"&Configuration", ID_CONFIGURATION, {}});
    menu.push_back(
        {"&View", 0, {{"&Toolbar", ID_VIEW_TOOLBAR, {}}, {"&Status Bar", ID_VIEW_STATUS_BAR, {}}}});
    if (withDocument)
        menu.push_back({"&Window",
                        0,
                        {{"&Cascade", ID_WINDOW_CASCADE, {}},
                         {"&Tile", ID_WINDOW_TILE_HORZ, {}},
                         {"&Arrange Icons", ID_WINDOW_ARRANGE, {}}}});
    menu.push_back({"&Help",
                    0,
                    {{"&Help Topics", ID_HELP_FINDER, {}},
                     Separator(),
                     {"&About Veltrix", ID_APP_ABOUT, {}}}});
    return menu;
}

// Menu 129, shown while a lesson is active.
std::vector<MenuItem> LessonMenu()
{
    MenuItem file{"&File",
                  0,
                  {{"&New\tCtrl+N", ID_FILE_NEW, {}},
                   {"&Open...\tCtrl+O", ID_FILE_OPEN, {}},
                   {"&Close", ID_FILE_CLOSE, {}},
                   {"&Save\tCtrl+S", ID_FILE_SAVE, {}},
                   {"Save &As...", ID_FILE_SAVE_AS, {}},
                   Separator(),
                   {"&Print...\tCtrl+P", ID_FILE_PRINT, {}},
                   {"Print Pre&view", ID_FILE_PRINT_PREVIEW, {}},
                   {"P&rint Setup...", ID_FILE_PRINT_SETUP, {}},
                   Separator(),
                   {"Sen&d...", ID_FILE_SEND_MAIL, {}},
                   Separator()}};
    for (const MenuItem& m : RecentFiles())
        file.items.push_back(m);
    file.items.push_back(Separator());
    file.items.push_back({"E&xit", ID_APP_EXIT, {}});
    return {
        file,
        {"&Edit",
         0,
         {{"&Undo\tCtrl+Z", ID_EDIT_UNDO, {}},
          Separator(),
          {"Cu&t\tCtrl+X", ID_EDIT_CUT, {}},
          {"&Copy\tCtrl+C", ID_EDIT_COPY, {}},
          {"&Paste\tCtrl+V", ID_EDIT_PASTE, {}},
          Separator(),
          {"Select A&ll\tCtrl+A", ID_EDIT_SELECT_ALL, {}},
          Separator(),
          {"&Find...\tCtrl+F", ID_EDIT_FIND, {}},
          {"F&ind Next\tF3", ID_EDIT_REPEAT, {}},
          {"R&eplace\tCtrl+H", ID_EDIT_REPLACE, {}},
          Separator(),
          {"Insert &New Object...", ID_OLE_INSERT_NEW, {}},
          Separator(),
          {"F&ont", ID_FORMAT_FONT, {}}}},
        {"&View", 0, {{"&Toolbar", ID_VIEW_TOOLBAR, {}}, {"&Status Bar", ID_VIEW_STATUS_BAR, {}}}},
        {"&Window",
         0,
         {{"&Cascade", ID_WINDOW_CASCADE, {}},
          {"Tile &Horiz", ID_WINDOW_TILE_HORZ, {}},
          {"Tile &Vert", ID_WINDOW_TILE_VERT, {}}}},
        {"&Help",
         0,
         {{"&Help Topics", ID_HELP_FINDER, {}},
          Separator(),
          {"&About Lumetra_1...", ID_APP_ABOUT, {}}}}};
}

void RegisterMenus()
{
    vx::res::RegisterMenu(IDR_MAINFRAME, Menu(false));
    vx::res::RegisterMenu(IDR_VXTEXTTYPE, LessonMenu());
    for (UINT id : {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE})
        if (!vx::res::FindMenu(id))
            vx::res::RegisterMenu(id, Menu(true));
    vx::res::RegisterAccelerators(IDR_MAINFRAME, {
                                                     {"Ctrl+N", ID_FILE_NEW},
                                                     {"Ctrl+O", ID_FILE_OPEN},
                                                     {"Ctrl+S", ID_FILE_SAVE},
                                                     {"Ctrl+P", ID_FILE_PRINT},
                                                     {"Ctrl+Z", ID_EDIT_UNDO},
                                                     {"Alt+Backspace", ID_EDIT_UNDO},
                                                     {"Ctrl+X", ID_EDIT_CUT},
                                                     {"Shift+Del", ID_EDIT_CUT},
                                                     {"Ctrl+C", ID_EDIT_COPY},
                                                     {"Ctrl+Ins", ID_EDIT_COPY},
                                                     {"Ctrl+V", ID_EDIT_PASTE},
                                                     {"Shift+Ins", ID_EDIT_PASTE},
                                                     {"Ctrl+A", ID_EDIT_SELECT_ALL},
                                                     {"Ctrl+F", ID_EDIT_FIND},
                                                     {"F3", ID_EDIT_REPEAT},
                                                     {"Ctrl+H", ID_EDIT_REPLACE},
                                                     {"Alt+Return", ID_OLE_EDIT_PROPERTIES},
                                                     {"F6", ID_NEXT_PANE},
                                                     {"Shift+F6", ID_PREV_PANE},
                                                     {"F1", ID_HELP},
                                                     {"Shift+F1", ID_CONTEXT_HELP},
                                                     {"Esc", ID_ESCAPE},
                                                 });
}

void RegisterToolBars()
{
    vx::res::RegisterToolBar(
        IDR_MAINFRAME, {16,
                        15,
                        {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY,
                         ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT, ID_CONTEXT_HELP}});
    // The four model kinds share one button set.
    const vx::res::ToolBar model{16,
                                 16,
                                 {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT,
                                  ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0, ID_CONTROLS_RUN,
                                  ID_CONTROLS_STOP, ID_CONTROLS_PLOT, ID_CONTROLS_CLEARDATA, 0,
                                  ID_APP_ABOUT, ID_CONTEXT_HELP}};
    for (UINT id : {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE})
        vx::res::RegisterToolBar(id, model);
}

// --- button pictures, drawn on a 16 by 16 grid and scaled to the button --------------------

using Painter = std::function<void(QPainter&)>;

// The dark blue question mark of the help buttons.
void DrawQuestionMark(QPainter& p, const char* family, int pixels, const QRectF& box)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 160));
    p.drawText(box, Qt::AlignCenter, "?");
}

QImage Button(int cx, int cy, const Painter& paint)
{
    QImage img(cx, cy, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(cx / 16.0, cy / 16.0);
    paint(p);
    return img;
}

void Page(QPainter& p, QRectF r)
{
    const QPointF pts[] = {r.topLeft(),
                           {r.right() - 3, r.top()},
                           {r.right(), r.top() + 3},
                           r.bottomRight(),
                           r.bottomLeft()};
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(pts, 5);
}

const std::map<UINT, Painter>& Pictures()
{
    static const std::map<UINT, Painter> pictures = {
        {ID_FILE_NEW, [](QPainter& p) { Page(p, QRectF(3.5, 1.5, 9, 13)); }},
        {ID_FILE_OPEN,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(QColor(230, 200, 80));
             p.drawRect(QRectF(1.5, 4.5, 11, 9));
             p.setBrush(QColor(250, 225, 120));
             const QPointF flap[] = {{1.5, 13.5}, {4.5, 7.5}, {15, 7.5}, {12.5, 13.5}};
             p.drawPolygon(flap, 4);
         }},
        {ID_FILE_SAVE,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(QColor(60, 80, 160));
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4.5, 1.5, 7, 5));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(4.5, 9.5, 7, 5));
         }},
        {ID_EDIT_CUT,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1.2));
             p.drawLine(QPointF(5, 1), QPointF(10, 10));
             p.drawLine(QPointF(11, 1), QPointF(6, 10));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
             p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
         }},
        {ID_EDIT_COPY,
         [](QPainter& p) {
             Page(p, QRectF(1.5, 1.5, 8, 10));
             Page(p, QRectF(6.5, 4.5, 8, 10));
         }},
        {ID_EDIT_PASTE,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(QColor(170, 120, 60));
             p.drawRect(QRectF(1.5, 2.5, 10, 12));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(4.5, 1.5, 4, 3));
             Page(p, QRectF(7.5, 6.5, 7, 8));
         }},
        {ID_FILE_PRINT,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             Page(p, QRectF(4.5, 1.5, 7, 6));
             p.setBrush(QColor(190, 190, 190));
             p.drawRect(QRectF(1.5, 7.5, 13, 5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4.5, 11.5, 7, 3));
         }},
        {ID_APP_ABOUT,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             p.setBrush(QColor(255, 255, 200));
             p.drawEllipse(QRectF(1.5, 1.5, 13, 11));
             DrawQuestionMark(p, "Liberation Serif", 10, QRectF(1.5, 1.5, 13, 11));
         }},
        {ID_CONTEXT_HELP,
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::black);
             const QPointF arrow[] = {{1, 1},  {1, 12},    {4, 9},  {6.5, 14},
                                      {8, 13}, {5.5, 8.5}, {9, 8.5}};
             p.drawPolygon(arrow, 7);
             DrawQuestionMark(p, "Liberation Sans", 9, QRectF(8, 0, 8, 10));
         }},
        {ID_CONTROLS_RUN,
         [](QPainter& p) {
             p.setPen(QPen(QColor(0, 90, 0), 1));
             p.setBrush(QColor(40, 170, 40));
             const QPointF tri[] = {{4, 2}, {13, 8}, {4, 14}};
             p.drawPolygon(tri, 3);
         }},
        {ID_CONTROLS_STOP,
         [](QPainter& p) {
             p.setPen(QPen(QColor(110, 0, 0), 1));
             p.setBrush(QColor(200, 40, 40));
             p.drawRect(QRectF(3.5, 3.5, 9, 9));
         }},
        {ID_CONTROLS_PLOT,
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 1));
             p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
             p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
             QPainterPath wave(QPointF(2, 8));
             for (int i = 1; i <= 26; ++i)
                 wave.lineTo(2 + i * 0.5, 8 - 5 * std::sin(i * 0.5) * std::exp(-i * 0.04));
             p.setPen(QPen(QColor(0, 0, 200), 1.3));
             p.setBrush(Qt::NoBrush);
             p.drawPath(wave);
         }},
        {ID_CONTROLS_CLEARDATA,
         [](QPainter& p) {
             Page(p, QRectF(2.5, 1.5, 10, 13));
             p.setPen(QPen(QColor(200, 0, 0), 2));
             p.drawLine(QPointF(5, 5), QPointF(11, 12));
             p.drawLine(QPointF(11, 5), QPointF(5, 12));
         }},
    };
    return pictures;
}

void RegisterButtonPictures()
{
    for (const auto& [id, paint] : Pictures()) {
        const Painter* pp = &paint;
        vx::res::RegisterButtonImage(id, [pp](int cx, int cy) { return Button(cx, cy, *pp); });
    }
}

} // namespace

QImage MakeBackgroundPicture()
{
    const int w = BACKGROUND_WIDTH, h = BACKGROUND_HEIGHT;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(16, 24, 56));
    sky.setColorAt(1, QColor(40, 58, 110));
    p.fillRect(img.rect(), sky);

    // A damped driven oscillator's orbit, the kind of picture the program draws.
    QPainterPath orbit;
    const double cx = w * 0.75, cy = h * 0.47;
    for (int i = 0; i <= 1400; ++i) {
        const double t = i * 0.02;
        const double r = 36 + 100 * std::exp(-t * 0.09);
        const QPointF pt(cx + r * std::cos(t) * 1.1,
                         cy + r * std::sin(t * 1.0) * 0.72 +
                             18 * std::sin(t * 3.0) * std::exp(-t * 0.05));
        if (i == 0)
            orbit.moveTo(pt);
        else
            orbit.lineTo(pt);
    }
    p.setPen(QPen(QColor(90, 200, 220, 190), 1.4));
    p.drawPath(orbit);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(cx - 150, cy), QPointF(cx + 160, cy));
    p.drawLine(QPointF(cx, cy - 150), QPointF(cx, cy + 150));

    QFont title("Liberation Serif");
    title.setPixelSize(96);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(240, 240, 250));
    p.drawText(QRect(36, 110, 400, 120), Qt::AlignLeft | Qt::AlignVCenter, "Veltrix");
    QFont sub("Liberation Sans");
    sub.setPixelSize(20);
    p.setFont(sub);
    p.setPen(QColor(190, 210, 235));
    p.drawText(QRect(40, 228, 420, 30), Qt::AlignLeft | Qt::AlignVCenter,
               "A laboratory for dynamical systems");
    sub.setPixelSize(15);
    p.setFont(sub);
    p.drawText(QRect(40, 262, 420, 24), Qt::AlignLeft | Qt::AlignVCenter, "Version 5.10");

    // A light frame, so the picture stands apart from the background around it.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(220, 225, 235), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(QPen(QColor(10, 14, 30), 1));
    p.drawRect(1, 1, w - 3, h - 3);
    return img;
}

// The program's icon: a small orbit on the background's teal.
QImage MakeIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 128));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    QPainterPath orbit;
    for (int i = 0; i <= 200; ++i) {
        const double t = i * 0.08;
        const double r = 3 + 9 * std::exp(-t * 0.12);
        const QPointF pt(16 + r * std::cos(t), 16 + r * std::sin(t) * 0.8);
        i == 0 ? orbit.moveTo(pt) : orbit.lineTo(pt);
    }
    p.setPen(QPen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(orbit);
    return img;
}

void RegisterShellResources()
{
    RegisterStrings();
    RegisterMenus();
    RegisterToolBars();
    RegisterButtonPictures();
    RegisterHelpTopics();
    vx::res::RegisterBitmap(IDB_BACKGROUND, [] { return MakeBackgroundPicture(); });
    vx::res::RegisterBitmap(IDR_MAINFRAME, [] { return MakeIcon(); });
}
