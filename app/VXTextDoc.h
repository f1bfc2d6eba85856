#pragma once
// CVXTextDoc: a lesson, rich text with pictures ("*.vxt", stored as RTF). A student's lesson is
// always saved into the student's own folder under the chosen file name.
#include "platform/Document.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QTextDocument;
class CVeltrixCntrItem;

// The largest lesson: Save refuses a longer one, so every lesson it writes opens again. Pictures
// are stored as hexadecimal text, two characters a byte of their JPEG or PNG, so a few large
// pictures reach it. A longer file is refused at Open before it is read, as reading it whole
// takes its size twice over in memory.
constexpr std::size_t kLessonFileLimit = std::size_t{64} << 20;
// Why a lesson past kLessonFileLimit is refused, at Save and at Insert New Object.
std::string LessonTooLargeText();

class CVXTextDoc : public CDocument
{
    VX_DECLARE_CLASS(CVXTextDoc)
public:
    CVXTextDoc();
    ~CVXTextDoc() override;

    // "New Lesson", or the file name without its folder: every frame's caption.
    std::string m_strTitleText;

    QTextDocument* GetTextDocument() const { return m_pText.get(); }
    // An item for a picture of the text, owned by the document.
    CVeltrixCntrItem* CreateClientItem(const std::string& pictureName);
    const std::vector<std::unique_ptr<CVeltrixCntrItem>>& GetItems() const { return m_items; }

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const char* lpszPathName) override;
    BOOL OnSaveDocument(const char* lpszPathName) override;
    BOOL CanCloseFrame(CFrameWnd* pFrame) override;
    void SetPathName(const FilePath& path, BOOL bAddToMRU = TRUE) override;
    BOOL IsModified() override;
    void SetModifiedFlag(BOOL bModified = TRUE) override;
    void DeleteContents() override;

private:
    void CreateItemsForPictures();

    std::unique_ptr<QTextDocument> m_pText;
    std::vector<std::unique_ptr<CVeltrixCntrItem>> m_items;
    FilePath m_strWrittenPath; // where the last save really wrote
};
