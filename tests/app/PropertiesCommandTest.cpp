// View/Set Properties of the model documents, reached through the real main window's menu.
#if defined(HAVE_VELTRIX_VIEWSGRAPH) && defined(HAVE_VELTRIX_DIALOGS)
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "common/TypeText.h"
#include "dialogs/ModelPropSheet.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// Chooses View/Set Properties and lets fn work in the sheet once it is up; true when the sheet
// was shown and has gone.
bool SetProperties(const std::function<void(CModelPropSheet&, QDialog&)>& fn)
{
    bool shown = false;
    ModalDriver driver({[&](QDialog* dlg) {
        if (auto* sheet = dynamic_cast<CModelPropSheet*>(CWnd::FromWidget(dlg))) {
            shown = true;
            fn(*sheet, *dlg);
        }
    }});
    return Choose(ID_VIEW_SET_PROPERTIES) && Pump([&shown] { return shown; }) &&
           !QApplication::activeModalWidget();
}

QLineEdit* FirstEdit(CModelPropSheet& sheet, int page)
{
    sheet.SetActivePage(page);
    return sheet.GetPage(page)->GetWidget()->findChild<QLineEdit*>();
}

} // namespace

TEST(SetProperties, OkFromTheMenuWritesBackAndKeepsAnUnshapedRun)
{
    StartShell();
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    doc->OnControlsRun();
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    ASSERT_TRUE(doc->m_bHaveData);
    doc->SetModifiedFlag(FALSE);

    ASSERT_TRUE(SetProperties([](CModelPropSheet& sheet, QDialog& dlg) {
        sheet.SetActivePage(0);
        QCoreApplication::processEvents();
        for (QLineEdit* e : sheet.GetPage(0)->GetWidget()->findChildren<QLineEdit*>())
            EXPECT_LT(e->fontMetrics().horizontalAdvance(e->text()), e->contentsRect().width() - 4)
                << e->text().toStdString(); // the period's 15 digits show whole
        dlg.accept();
    }));
    EXPECT_TRUE(doc->m_bHaveData); // nothing edited: the run stays
    EXPECT_TRUE(doc->IsModified());

    ASSERT_TRUE(SetProperties([](CModelPropSheet& sheet, QDialog& dlg) {
        Type(FirstEdit(sheet, 3), "2"); // Object page: ix
        dlg.accept();
    }));
    EXPECT_EQ(doc->m_dInitX, 2);
    EXPECT_FALSE(doc->m_bHaveData); // a new start value: the run is discarded
    EXPECT_EQ(doc->m_nActivePage, 3);

    int opened = -1;
    ASSERT_TRUE(SetProperties([&opened](CModelPropSheet& sheet, QDialog& dlg) {
        opened = sheet.GetActiveIndex();
        auto& time = static_cast<CTimePage&>(*sheet.GetPage(0));
        sheet.SetActivePage(0);
        Type(time.m_editChrononsPerCycle, "200");
        dlg.reject();
    }));
    EXPECT_EQ(opened, 3); // on the page last shown
    EXPECT_EQ(doc->m_nChrononsPerCycle, 100);
    EXPECT_EQ(doc->m_nActivePage, 0);

    doc->m_bRunning = 1; // greyed during a run
    EXPECT_FALSE(Offered(ID_VIEW_SET_PROPERTIES));
    doc->m_bRunning = 0;
    doc->SetModifiedFlag(FALSE);
    doc->OnCloseDocument();
}
#endif
