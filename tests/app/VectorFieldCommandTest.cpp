// The Vector Field views through the real main window: View/Vector Field opens the view of each
// kind (grey while it is open and for equations that read delayed values).
#ifdef HAVE_VELTRIX_VIEWSPHASE
#include "app/MenuDriver.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "views/base/2DView.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT ID_VECTOR_FIELD = 32802;

struct KindCase
{
    UINT type;
    const char* viewClass;
};
const KindCase kKinds[] = {
    {IDR_SYS1TYPE, "CSys1VF"}, {IDR_SYS1NNTYPE, "CSys1NNVF"}, {IDR_SYS2TYPE, "CSys2VF"}};

C2DView* VectorFieldOf(const CDynSys* doc)
{
    for (CView* v : doc->GetViews())
        if (std::string(v->GetRuntimeClass()->m_lpszClassName).ends_with("VF"))
            return dynamic_cast<C2DView*>(v);
    return nullptr;
}

} // namespace

TEST(VectorFieldCommands, ViewMenuOpensTheViewOfEachKind)
{
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.viewClass);
        CDynSys* doc = NewModel(k.type);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(Choose(ID_VECTOR_FIELD));
        C2DView* view = VectorFieldOf(doc);
        ASSERT_NE(view, nullptr);
        EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, k.viewClass);
        EXPECT_EQ(doc->m_nOpenViews[kViewVectorField], 1);
        EXPECT_FALSE(Offered(ID_VECTOR_FIELD)) << "one view per document";
        EXPECT_EQ(view->GetParentFrame()->GetWindowText(), doc->m_strFileName + " Vector Field");
        EXPECT_TRUE(Offered(ID_CONTROLS_SET_LIMITS));
        doc->OnCloseDocument();
    }
}

TEST(VectorFieldCommands, GreyForEquationsThatReadDelayedValues)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_strXRate = "y:";
    EXPECT_FALSE(Offered(ID_VECTOR_FIELD));
    doc->m_strXRate = "y";
    EXPECT_TRUE(Offered(ID_VECTOR_FIELD));
    doc->OnCloseDocument();
}
#endif
