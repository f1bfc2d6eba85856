#pragma once
// CKindView<Base>: a view of a model that knows itself by its ViewKey (its index in
// model/ViewKinds and its model's kind) and takes from the per-view table what every such view
// does alike: it follows its model's runs (CRunFollower), loads its kind's toolbar when it
// becomes active, answers F1 and Shift+F1 with its help context, and counts itself in its
// document's open views while it lives (from its OnInitialUpdate, CountOpenView).
#include "model/RunFollower.h"
#include "platform/Help.h"
#include "platform/Ids.h"
#include "platform/WinApp.h"
#include "views/rows/ViewIndex.h"

template <class Base> class CKindView : public CRunFollower<Base>
{
public:
    CKindView()
    {
        this->MapMessage(WM_HELPHITTEST, &CKindView::OnHelpHitTest);
        this->MapMessage(WM_COMMANDHELP, &CKindView::OnCommandHelp);
    }

    virtual ViewKey Key() const = 0;
    ViewKindEntry KindEntry() const { return ViewKindEntryOf(Key()); }

    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        if (bActivate)
            if (const UINT toolBar = KindEntry().toolBar)
                AfxLoadMainToolBar(toolBar);
        Base::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }

protected:
    void CountOpenView() { m_count.Raise(this->GetModel(), KindEntry().openViewSlot); }

    COpenViewCount m_count; // the document's count of this view's kind

private:
    LRESULT OnHelpHitTest(WPARAM, LPARAM) { return KindEntry().helpContext; }
    LRESULT OnCommandHelp(WPARAM, LPARAM)
    {
        const DWORD context = KindEntry().helpContext;
        if (context == 0)
            return FALSE;
        vx::help::Show(context, HELP_CONTEXT);
        return TRUE;
    }
};

// A registered view class that is the design Design made for one model kind.
#define VX_KIND_VIEW(Name, Design, Kind)                                                           \
    class Name : public Design                                                                     \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : Design(Kind) {}                                                                   \
    };
