#include "app/DocTypes.h"

#include "platform/Document.h"
#include "platform/View.h"
#include "platform/WinApp.h"
#include "resources/ResourceIds.h"

namespace {

// Stands in for a document kind that is not part of the program yet.
class CPlaceholderDoc : public CDocument
{
    VX_DECLARE_CLASS(CPlaceholderDoc)
public:
    BOOL OnOpenDocument(const char*) override
    {
        AfxMessageBox("This kind of document cannot be opened yet.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
};

class CPlaceholderView : public CView
{
    VX_DECLARE_CLASS(CPlaceholderView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, GetSysColor(COLOR_WINDOW));
    }
};

VX_IMPLEMENT_CLASS(CPlaceholderDoc, CDocument)
VX_IMPLEMENT_CLASS(CPlaceholderView, CView)

const CRuntimeClass* FindOr(const char* name, const CRuntimeClass* base,
                            const CRuntimeClass* fallback)
{
    const CRuntimeClass* c = CRuntimeClass::FromName(name);
    return c && c->IsDerivedFrom(base) && c->m_pfnCreateObject ? c : fallback;
}

std::vector<IdleDocumentHandler>& Handlers()
{
    static std::vector<IdleDocumentHandler> handlers;
    return handlers;
}

} // namespace

const std::vector<DocTypeInfo>& ShellDocTypes()
{
    static const std::vector<DocTypeInfo> types = {
        {IDR_VXTEXTTYPE, "CVXTextDoc", "CVXTextView"},  {IDR_SYS1TYPE, "CSys1Var", "CSys1Graph"},
        {IDR_SYS1NNTYPE, "CSys1NNVar", "CSys1NNGraph"}, {IDR_SYS2TYPE, "CSys2Var", "CSys2Graph"},
        {IDR_SYS3TYPE, "CSys3Var", "CSys3Graph"},
    };
    return types;
}

const CRuntimeClass* FindDocClass(const char* name)
{
    return FindOr(name, VX_RUNTIME_CLASS(CDocument), VX_RUNTIME_CLASS(CPlaceholderDoc));
}

const CRuntimeClass* FindViewClass(const char* name)
{
    return FindOr(name, VX_RUNTIME_CLASS(CView), VX_RUNTIME_CLASS(CPlaceholderView));
}

void RegisterIdleDocumentHandler(IdleDocumentHandler fn)
{
    Handlers().push_back(std::move(fn));
}

const std::vector<IdleDocumentHandler>& IdleDocumentHandlers()
{
    return Handlers();
}
