#include "app/VXTextDoc.h"

#include "app/CntrItem.h"
#include "app/Rtf.h"
#include "app/ShellGlobals.h"
#include "platform/FileNames.h"
#include "platform/WinApp.h"
#include "platform/base/Archive.h"
#include "resources/ResourceIds.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <filesystem>

VX_IMPLEMENT_CLASS(CVXTextDoc, CDocument)

namespace {
constexpr LPARAM kHintTitle = 0;

// Two spellings of one file (a "..", a doubled slash, a link to its folder) are one file.
bool SameFile(const FilePath& a, const FilePath& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a.Bytes(), b.Bytes(), ec);
}
} // namespace

std::string LessonTooLargeText()
{
    return "The lesson is too large: with its pictures it takes more than " +
           std::to_string(kLessonFileLimit >> 20) + " MB.";
}

CVXTextDoc::CVXTextDoc() : m_pText(std::make_unique<QTextDocument>())
{
    m_pText->setDefaultFont(QFont("Liberation Serif", 12));
}

CVXTextDoc::~CVXTextDoc() = default;

CVeltrixCntrItem* CVXTextDoc::CreateClientItem(const std::string& pictureName)
{
    m_items.push_back(std::make_unique<CVeltrixCntrItem>(pictureName));
    return m_items.back().get();
}

void CVXTextDoc::CreateItemsForPictures()
{
    for (QTextBlock b = m_pText->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                CreateClientItem(it.fragment().charFormat().toImageFormat().name().toStdString());
}

void CVXTextDoc::DeleteContents()
{
    m_items.clear();
    m_pText->clear();
    m_pText->clearUndoRedoStacks();
    m_pText->setModified(false);
}

BOOL CVXTextDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    AfxLoadMainToolBar(IDR_MAINFRAME);
    m_strTitleText = "New Lesson";
    return TRUE;
}

BOOL CVXTextDoc::OnOpenDocument(const char* lpszPathName)
{
    const FilePath path(lpszPathName);
    std::string rtf;
    {
        // The bytes go once copied: a long lesson is not held twice while it is read.
        std::vector<std::uint8_t> bytes;
        if (!ReadDocumentFile(path, bytes, kLessonFileLimit))
            return FALSE;
        rtf.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    DeleteContents();
    int notShown = 0;
    if (!RtfToDocument(rtf, *m_pText, &notShown)) {
        AfxMessageBox("Unexpected file format.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_pText->clearUndoRedoStacks();
    m_pText->setModified(false);
    CreateItemsForPictures();
    m_strTitleText = PathText(path.Name());
    if (notShown > 0)
        AfxMessageBox("Some pictures of this lesson cannot be shown here. They are kept, and "
                      "saved with the lesson.",
                      MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

BOOL CVXTextDoc::OnSaveDocument(const char* lpszPathName)
{
    m_strWrittenPath = {};
    FilePath path(lpszPathName);
    if (path.Bytes().find('/') == std::string::npos) {
        AfxMessageBox("Unable to save file.\nPath is incomplete.");
        return FALSE;
    }
    // Refused before the student is told where it goes, and before anything is written.
    const std::string rtf = DocumentToRtf(*m_pText);
    if (rtf.size() > kLessonFileLimit) {
        AfxMessageBox("Unable to save file.\n" + LessonTooLargeText(), MB_OK | MB_ICONEXCLAMATION);
        m_bSaveCalledOff = true; // told why already
        return FALSE;
    }
    const FilePath name = path.Name();
    if (g_nAccessLevel == 0) {
        path = g_strUserDir + name.Bytes();
        // The file dialog asked about the file chosen, not about this one: another lesson of
        // the student's may have this name. Return keeps it: the student did not choose it.
        // Asked before the student is told where the lesson goes: after No nothing is saved.
        std::error_code ec;
        if (std::filesystem::exists(path.Bytes(), ec) && !SameFile(path, lpszPathName) &&
            !SameFile(path, GetPathName()) &&
            AfxMessageBox(PathText(path) + " already exists.\nDo you want to replace it?",
                          MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
            m_bSaveCalledOff = true;
            return FALSE;
        }
        AfxMessageBox("Saving the file as\n" + PathText(path));
    }
    CFileWriter file; // written from the text itself, not from a copy of it
    if (!file.Open(path.Bytes()) || !file.Write(rtf.data(), rtf.size()) || !file.Commit())
        return SaveFailed(path); // nothing was saved under the new name: the lesson keeps its own
    m_strTitleText = PathText(name);
    UpdateAllViews(nullptr, kHintTitle);
    m_strWrittenPath = path;
    return TRUE;
}

void CVXTextDoc::SetPathName(const FilePath& path, BOOL bAddToMRU)
{
    // After a student's save the document (and the recent-file list) names the file that was
    // written, not the one that was asked for.
    CDocument::SetPathName(m_strWrittenPath.empty() ? path : m_strWrittenPath, bAddToMRU);
    m_strWrittenPath = {};
}

BOOL CVXTextDoc::CanCloseFrame(CFrameWnd* pFrame)
{
    AfxLoadMainToolBar(IDR_MAINFRAME);
    return CDocument::CanCloseFrame(pFrame);
}

BOOL CVXTextDoc::IsModified()
{
    return m_pText->isModified();
}

void CVXTextDoc::SetModifiedFlag(BOOL bModified)
{
    m_pText->setModified(bModified != 0);
}
