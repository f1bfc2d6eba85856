// The orbit views in space through the real main window: the View command of each kind opens its
// Full Orbit, Orbit Sections, Poincaré Section or Projected Orbit with the run drawn, and a model
// saved with a real-space mode of 6 to 11 comes back with its Cycle Planes view.
#ifdef HAVE_VELTRIX_VIEWSORBIT
#include "app/MenuDriver.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "views/PlotPixels.h"
#include "views/base/3DView.h"
#include "views/orbit/CyclePlanesView.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

C3DView* ViewNamed(const CDynSys* doc, const std::string& name)
{
    for (CView* v : doc->GetViews())
        if (v->GetRuntimeClass()->m_lpszClassName == name)
            return dynamic_cast<C3DView*>(v);
    return nullptr;
}

int PlotPixelsOf(C3DView* v, COLORREF c)
{
    v->UpdateWindow();
    return CountColour(v->GetBackingImage(), v->m_rcPlotHit, c);
}

struct OrbitCase
{
    UINT kind;
    int view;
    const char* name;
    const char* title;
    COLORREF CModelSettings::*color;
};

const OrbitCase kOrbitViews[] = {
    {IDR_SYS1TYPE, kViewFullOrbit, "CSys1PSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS1NNTYPE, kViewFullOrbit, "CSys1NNPSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS2TYPE, kViewFullOrbit, "CSys2PSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS1TYPE, kViewOrbitSections, "CSys1PSOC", " Orbit Sections", nullptr},
    {IDR_SYS1NNTYPE, kViewOrbitSections, "CSys1NNPSOC", " Orbit Sections", nullptr},
    {IDR_SYS2TYPE, kViewOrbitSections, "CSys2PSOC", " Orbit Sections", nullptr},
    {IDR_SYS3TYPE, kViewPoincareSection, "CSys3PS", " Poincar\xE9 Section", nullptr},
    {IDR_SYS3TYPE, kViewProjectedOrbit, "CSys3PSP", " Projected Orbit", &CModelSettings::m_clrPO},
};
} // namespace

// Each kind's View command opens the view after a run: counted, captioned, turnable, drawn.
TEST(Orbit3DCommand, EachKindOpensItsViews)
{
    for (const OrbitCase& c : kOrbitViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.kind);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(RunThroughMenu(doc));
        ASSERT_TRUE(Choose(ViewInfo(c.view).nID));
        C3DView* v = ViewNamed(doc, c.name);
        ASSERT_NE(v, nullptr);
        v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        EXPECT_EQ(doc->m_nOpenViews[c.view], 1);
        EXPECT_EQ(v->GetParentFrame()->GetWindowText(), doc->m_strFileName + c.title);
        EXPECT_FALSE(Offered(ViewInfo(c.view).nID)); // one frame per view
        EXPECT_TRUE(Offered(ID_CONTROLS_SET_YAW_PITCH));
        if (c.color) {
            EXPECT_GT(PlotPixelsOf(v, doc->*c.color), 20);
        }
        if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty()) {
            v->UpdateWindow();
            StartShell()->GetWidget()->grab().save(dir + "/" + c.name + ".png");
        }
        doc->OnCloseDocument();
    }
}

// The Cycle Planes view has no View command: a model saved with a real-space mode of 6 to 11
// reopens it, captioned by the mode.
TEST(Orbit3DCommand, ASavedModeReopensTheCyclePlanes)
{
    const std::string path = ::testing::TempDir() + "planes.ns1";
    for (int mode : {0, 3, 6, 7, 8, 9, 10, 11}) {
        SCOPED_TRACE(mode);
        CDynSys* doc = NewModel(IDR_SYS1TYPE);
        ASSERT_NE(doc, nullptr);
        doc->m_nRSMode = mode;
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        doc->OnCloseDocument();
        auto* opened =
            dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        Idle();
        C3DView* v = ViewNamed(opened, "CSys1CP");
        EXPECT_EQ(v != nullptr, mode >= 6) << mode;
        if (v) {
            EXPECT_EQ(v->GetParentFrame()->GetWindowText(),
                      opened->m_strFileName + CyclePlanesTitle(mode));
        }
        opened->OnCloseDocument();
    }
    std::remove(path.c_str());
}
#endif
