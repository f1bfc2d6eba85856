#include "app/VXTextView.h"

#include "app/LessonDialogs.h"
#include "app/LessonLink.h"
#include "app/LessonPaper.h"
#include "app/Rtf.h"
#include "app/ShellGlobals.h"
#include "app/VXTextDoc.h"
#include "platform/FileNames.h"
#include "platform/Frame.h"
#include "platform/Latin1.h"
#include "platform/WinApp.h"
#include "platform/base/Archive.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <cerrno>
#include <memory>
#include <new>
#include <utility>
#include <vector>

VX_IMPLEMENT_CLASS(CVXTextView, CView)

namespace {

constexpr DWORD kGlossaryTopic = 0x50BB9;
constexpr int kMarginTwips = 720;
constexpr int kMaxLine = 511;

// The attachment's file name: the lesson's own, with the lesson extension when it has none.
std::string AttachmentName(const std::string& title)
{
    const bool usable =
        !title.empty() && title != "." && title != ".." && title.find('/') == std::string::npos;
    const std::string name = usable ? title : "lesson.vxt";
    return name.find('.') == std::string::npos ? name + ".vxt" : name;
}

// Why Insert New Object refused a picture it could read.
std::string ReasonOf(PictureFault fault)
{
    return fault == PictureFault::NoMemory ? "There is not enough memory to turn it upright."
                                           : "It is too large to show.";
}

std::string SizeText(const QSize& size)
{
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

} // namespace

// The lesson's editor: its double-click goes to the view's link handler first.
class LessonEdit : public QTextEdit
{
public:
    LessonEdit(QWidget* parent, CVXTextView* pView) : QTextEdit(parent), m_pView(pView) {}
    void DefaultDoubleClick(QMouseEvent* e) { QTextEdit::mouseDoubleClickEvent(e); }

protected:
    // Qt keeps the caret in view, and the caret's line is a picture's whole height: one taller
    // than the window would show its bottom. The start of the lesson shows its top.
    void showEvent(QShowEvent* e) override
    {
        const bool first = !m_bShown;
        m_bShown = true;
        QTextEdit::showEvent(e);
        if (first)
            ShowTop();
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        QTextEdit::keyPressEvent(e);
        if (e->matches(QKeySequence::MoveToStartOfDocument) ||
            e->matches(QKeySequence::SelectStartOfDocument))
            ShowTop();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton) {
            QTextEdit::mouseDoubleClickEvent(e);
            return;
        }
        QPointer<QTextEdit> alive(this);
        m_pView->m_pDoubleClick = e;
        const QPoint p = e->position().toPoint();
        m_pView->OnLButtonDblClk(0, CPoint(p.x(), p.y()));
        if (alive)
            m_pView->m_pDoubleClick = nullptr;
    }

private:
    void ShowTop() { verticalScrollBar()->setValue(verticalScrollBar()->minimum()); }

    CVXTextView* m_pView;
    bool m_bShown = false;
};

CVXTextView::CVXTextView()
{
    MapCommand(ID_EDIT_UNDO, &CVXTextView::OnEditUndo);
    MapCommand(ID_EDIT_CUT, &CVXTextView::OnEditCut);
    MapCommand(ID_EDIT_COPY, &CVXTextView::OnEditCopy);
    MapCommand(ID_EDIT_PASTE, &CVXTextView::OnEditPaste);
    MapCommand(ID_EDIT_SELECT_ALL, &CVXTextView::OnEditSelectAll);
    MapCommand(ID_EDIT_FIND, &CVXTextView::OnEditFind);
    MapCommand(ID_EDIT_REPEAT, &CVXTextView::OnEditRepeat);
    MapCommand(ID_EDIT_REPLACE, &CVXTextView::OnEditReplace);
    MapCommand(ID_OLE_INSERT_NEW, &CVXTextView::OnInsertObject);
    MapCommand(ID_FORMAT_FONT, &CVXTextView::OnFormatFont);
    MapCommand(ID_FILE_SEND_MAIL, &CVXTextView::OnFileSendMail);
    MapCommand(ID_FILE_PRINT, &CVXTextView::OnFilePrint);
    MapCommand(ID_FILE_PRINT_DIRECT, &CVXTextView::OnFilePrintDirect);
    MapCommand(ID_FILE_PRINT_PREVIEW, &CVXTextView::OnFilePrintPreview);
    MapUpdate(ID_EDIT_UNDO, &CVXTextView::OnUpdateEditUndo);
    MapUpdate(ID_EDIT_CUT, &CVXTextView::OnUpdateNeedSelection);
    MapUpdate(ID_EDIT_COPY, &CVXTextView::OnUpdateNeedSelection);
    MapUpdate(ID_EDIT_PASTE, &CVXTextView::OnUpdateEditPaste);
    MapUpdate(ID_EDIT_REPEAT, &CVXTextView::OnUpdateEditRepeat);
}

CVXTextView::~CVXTextView() = default;

CVXTextDoc* CVXTextView::GetDocument() const
{
    return static_cast<CVXTextDoc*>(CView::GetDocument());
}

int CVXTextView::OnCreate(CREATESTRUCT* pCs)
{
    if (CView::OnCreate(pCs) == -1)
        return -1;
    m_pEdit = new LessonEdit(GetWidget(), this);
    m_pEdit->setObjectName("lesson");
    GetWidget()->setFocusProxy(m_pEdit);
    m_pEdit->show();
    return 0;
}

void CVXTextView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_pEdit)
        m_pEdit->setGeometry(0, 0, cx, cy);
}

void CVXTextView::OnDestroy()
{
    // The editor goes before the document that holds its text.
    delete std::exchange(m_pEdit, nullptr);
    CView::OnDestroy();
}

void CVXTextView::OnInitialUpdate()
{
    if (CVXTextDoc* doc = GetDocument())
        m_pEdit->setDocument(doc->GetTextDocument());
    CView::OnInitialUpdate();
    m_rectMargin = CRect(kMarginTwips, kMarginTwips, kMarginTwips, kMarginTwips);
    g_strLinkPath = "none";
}

void CVXTextView::OnUpdate(CView*, LPARAM, CObject*)
{
    if (CFrameWnd* frame = GetParentFrame())
        if (CVXTextDoc* doc = GetDocument())
            frame->SetWindowText(doc->m_strTitleText);
}

void CVXTextView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate)
        AfxLoadMainToolBar(IDR_MAINFRAME);
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

// --- links -----------------------------------------------------------------------------------

std::string CVXTextView::CaretLine() const
{
    const int pos = m_pEdit->textCursor().selectionStart();
    const QTextBlock block = m_pEdit->document()->findBlock(pos);
    QString text = block.text();
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(pos - block.position());
        if (line.isValid())
            text = text.mid(line.textStart(), line.textLength());
    }
    return text.left(kMaxLine).toLatin1().toStdString();
}

void CVXTextView::DefaultDoubleClick()
{
    if (m_pDoubleClick) {
        static_cast<LessonEdit*>(m_pEdit)->DefaultDoubleClick(m_pDoubleClick);
        return;
    }
    QTextCursor c = m_pEdit->textCursor();
    c.select(QTextCursor::WordUnderCursor);
    m_pEdit->setTextCursor(c);
}

void CVXTextView::OnLButtonDblClk(UINT, CPoint)
{
    const LessonLink link = ParseLessonLink(CaretLine());
    switch (link.kind) {
    case LessonLink::Lesson: {
        m_strLastLesson = link.name;
        const std::string name = PathFromText(link.name);
        const std::string path = ResolveLinkPath(name);
        if (!AfxGetApp()->OpenDocumentFile(path.empty() ? name.c_str() : path.c_str()))
            DefaultDoubleClick();
        return;
    }
    case LessonLink::Glossary:
        AfxGetApp()->WinHelp(kGlossaryTopic, HELP_CONTEXT);
        return;
    case LessonLink::OtherHelp:
        AfxMessageBox("The only path to the help system\nfrom within a lesson is through\nthe "
                      "file [glossary.hlp].");
        return;
    case LessonLink::Model:
        if (!FollowModelLink(link.name))
            DefaultDoubleClick();
        return;
    case LessonLink::None:
        DefaultDoubleClick();
        return;
    }
}

bool CVXTextView::FollowModelLink(const std::string& name)
{
    const std::string previous = g_strLinkPath;
    const std::string path = ResolveLinkPath(PathFromText(name));
    if (path.empty()) {
        AfxMessageBox("Unable to load file.  Check for valid path.");
        return false;
    }
    g_strLinkPath = path;
    if (!AfxGetApp()->OpenDocumentFile(path.c_str())) {
        g_strLinkPath = previous;
        return false;
    }
    m_strPrevLinkPath = previous;
    return true;
}

// --- printing --------------------------------------------------------------------------------

int CVXTextView::PageCount(QPrinter* pPrinter)
{
    return LayOut(*m_pEdit->document(), pPrinter, m_rectMargin).doc->pageCount();
}

BOOL CVXTextView::OnPreparePrinting(CPrintInfo* pInfo)
{
    if (QPrinter* printer = AfxGetApp() ? AfxGetApp()->GetPrinter() : nullptr)
        pInfo->SetMaxPage(UINT(PageCount(printer)));
    return DoPreparePrinting(pInfo);
}

// The text is laid out once a job, on the paper the print dialog may have changed, and each
// page drawn from that layout.
void CVXTextView::OnBeginPrinting(CDC*, CPrintInfo* pInfo)
{
    m_pPrinted.reset();
    if (!pInfo->m_pPrinter)
        return;
    m_pPrinted =
        std::make_unique<PageLayout>(LayOut(*m_pEdit->document(), pInfo->m_pPrinter, m_rectMargin));
    pInfo->SetMaxPage(UINT(m_pPrinted->doc->pageCount()));
}

void CVXTextView::OnEndPrinting(CDC*, CPrintInfo* pInfo)
{
    if (m_pPrinted && m_pPrinted->ScreenCopies() && m_pPrinted->drawnTo == pInfo->GetMaxPage() &&
        pInfo->m_pPrinter)
        m_strScreenCopiesIn = pInfo->m_pPrinter->outputFileName().toStdString();
    m_pPrinted.reset();
}

// After the job, which a preview's Print runs too: a job that failed said so, and left no file.
void CVXTextView::PrintThenTell(const std::function<void()>& print)
{
    m_strScreenCopiesIn.reset();
    print();
    const std::optional<std::string> in = std::exchange(m_strScreenCopiesIn, std::nullopt);
    if (in && (in->empty() || QFile::exists(QString::fromStdString(*in))))
        AfxMessageBox("Some pictures were printed at screen resolution: there was not enough "
                      "memory for more.",
                      MB_OK | MB_ICONEXCLAMATION);
}

void CVXTextView::OnFilePrint()
{
    PrintThenTell([this] { CView::OnFilePrint(); });
}

void CVXTextView::OnFilePrintDirect()
{
    PrintThenTell([this] { CView::OnFilePrintDirect(); });
}

void CVXTextView::OnFilePrintPreview()
{
    PrintThenTell([this] { CView::OnFilePrintPreview(); });
}

void CVXTextView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    QPainter* p = pDC->GetPainter();
    if (!p || !m_pPrinted)
        return;
    const PageLayout& l = *m_pPrinted;
    const QRectF page(QPointF(0, (pInfo->m_nCurPage - 1) * l.body.height()), l.body);
    p->save();
    p->scale(l.scale, l.scale);
    p->translate(l.origin - page.topLeft());
    p->setClipRect(page);
    l.doc->drawContents(p, page);
    p->restore();
    // The job is given up rather than left with a hole where a picture stands.
    if (l.LeftOut())
        throw std::bad_alloc();
    m_pPrinted->drawnTo = pInfo->m_nCurPage;
}

QSizeF CVXTextView::PrintedRoom() const
{
    QPrinter* printer = AfxGetApp() ? AfxGetApp()->GetPrinter() : nullptr;
    if (!printer)
        return {};
    return PictureRoom(PageBody(printer, m_rectMargin), *m_pEdit->document(),
                       m_pEdit->currentCharFormat().font());
}

// --- Edit menu -------------------------------------------------------------------------------

void CVXTextView::OnEditUndo()
{
    m_pEdit->undo();
}

void CVXTextView::OnEditCut()
{
    m_pEdit->cut();
}

void CVXTextView::OnEditCopy()
{
    m_pEdit->copy();
}

void CVXTextView::OnEditPaste()
{
    m_pEdit->paste();
}

void CVXTextView::OnEditSelectAll()
{
    m_pEdit->selectAll();
}

void CVXTextView::OnEditFind()
{
    FindRequest r{Latin1(m_strFind), {}, m_bFindMatchCase, false};
    if (!AskFind(GetWidget(), false, r))
        return;
    m_strFind = r.what.toLatin1().toStdString();
    m_bFindMatchCase = r.matchCase;
    OnEditRepeat();
}

void CVXTextView::OnEditRepeat()
{
    const QTextDocument::FindFlags flags =
        m_bFindMatchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    if (m_strFind.empty() || m_pEdit->find(Latin1(m_strFind), flags))
        return;
    // Not found below the caret: once more from the top.
    QTextCursor c = m_pEdit->textCursor();
    c.movePosition(QTextCursor::Start);
    m_pEdit->setTextCursor(c);
    if (!m_pEdit->find(Latin1(m_strFind), flags))
        QApplication::beep();
}

void CVXTextView::OnEditReplace()
{
    FindRequest r{Latin1(m_strFind), {}, m_bFindMatchCase, false};
    if (!AskFind(GetWidget(), true, r))
        return;
    m_strFind = r.what.toLatin1().toStdString();
    m_bFindMatchCase = r.matchCase;
    const Qt::CaseSensitivity cs = r.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QTextCursor sel = m_pEdit->textCursor();
    if (sel.hasSelection() && sel.selectedText().compare(r.what, cs) == 0)
        sel.insertText(r.with);
    if (!r.all) {
        OnEditRepeat();
        return;
    }
    QTextCursor c(m_pEdit->document());
    c.beginEditBlock();
    const QTextDocument::FindFlags flags =
        r.matchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    for (QTextCursor hit = m_pEdit->document()->find(r.what, 0, flags); !hit.isNull();
         hit = m_pEdit->document()->find(r.what, hit, flags))
        hit.insertText(r.with);
    c.endEditBlock();
}

void CVXTextView::OnInsertObject()
{
    const std::string path = AfxPromptFileName(
        true, "Insert New Object", "Pictures (*.png *.jpg *.jpeg *.bmp *.gif);;All Files (*)");
    if (path.empty())
        return;
    const std::string refused = "Unable to insert the picture " + PathText(path) + ".\n";
    const std::string unreadable = "Unable to read the picture " + PathText(path) + ".";
    // Its bytes go into the lesson file as hex digits, two characters each: a file of more than
    // half a lesson's limit could never be saved, and is not read.
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, kLessonFileLimit / 2)) {
        AfxMessageBox(errno == EFBIG ? refused + LessonTooLargeText() : unreadable,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // One copy of the file held while a photograph is turned.
    QByteArray file(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    std::vector<std::uint8_t>().swap(bytes);
    LessonPicture picture;
    ShrunkPhotograph shrunk;
    PictureFault fault = PictureFault::None;
    {
        const CWaitCursor busy; // a photograph stored turned takes a second or more
        fault = PictureFromFile(file, picture, PrintedRoom(), &shrunk);
        file = {};
    }
    if (fault != PictureFault::None) {
        AfxMessageBox(fault == PictureFault::Unreadable ? unreadable : refused + ReasonOf(fault),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Refused now rather than found out at Save.
    if (DocumentToRtf(*m_pEdit->document()).size() + PictureToRtf(picture.kept).size() >
        kLessonFileLimit) {
        AfxMessageBox(refused + LessonTooLargeText(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!shrunk.own.isEmpty())
        AfxMessageBox((shrunk.damaged
                           ? "The picture " + PathText(path) +
                                 " is damaged: its data ends before its picture, " +
                                 SizeText(shrunk.own) + ", does."
                           : "There is not enough memory to turn the picture " + PathText(path) +
                                 " upright at its own size, " + SizeText(shrunk.own) + ".") +
                          "\nIt goes in at " + SizeText(shrunk.kept) + ".",
                      MB_OK | MB_ICONINFORMATION);
    QTextCursor cursor = m_pEdit->textCursor();
    GetDocument()->CreateClientItem(InsertPicture(cursor, picture).toStdString());
}

void CVXTextView::OnFormatFont()
{
    QTextCharFormat f = m_pEdit->currentCharFormat();
    if (AskFont(GetWidget(), f))
        m_pEdit->mergeCurrentCharFormat(f);
}

void CVXTextView::OnFileSendMail()
{
    // The lesson goes as an attachment of the desktop's mail program.
    // It is written into a folder of the program's own, which no other user can plant a link
    // in, and a link found there is replaced, not followed.
    const std::string& folder = PrivateTempFolder();
    const std::string path = folder + "/" + AttachmentName(GetDocument()->m_strTitleText);
    const std::string rtf = DocumentToRtf(*m_pEdit->document());
    if (folder.empty() ||
        !WriteFileBytes(path, std::vector<std::uint8_t>(rtf.begin(), rtf.end()), false) ||
        !QProcess::startDetached("xdg-email", {"--attach", PathToQt(path)}))
        AfxMessageBox("Unable to send mail.", MB_OK | MB_ICONEXCLAMATION);
}

void CVXTextView::OnUpdateNeedSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pEdit && m_pEdit->textCursor().hasSelection());
}

void CVXTextView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pEdit && m_pEdit->document()->isUndoAvailable());
}

void CVXTextView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pEdit && m_pEdit->canPaste());
}

void CVXTextView::OnUpdateEditRepeat(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_strFind.empty());
}
