// Every dialog and property sheet of the program, opened through the real main window's menus:
// its title bar shows the whole caption and its tab row every tab. With VELTRIX_SHOTS naming a
// folder, saves each property sheet as it opens on each stored page.
#if defined(HAVE_VELTRIX_VIEWSGRAPH) && defined(HAVE_VELTRIX_DIALOGS)
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "model/CommandIds.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

// The caption and every tab of the dialog show whole.
void ExpectFits(QDialog* dlg, const std::string& what)
{
    const std::string caption = dlg->windowTitle().toStdString();
    EXPECT_GE(dlg->width(), CFrameWnd::CaptionWidth(caption)) << what << ": " << caption;
    for (QTabWidget* tabs : dlg->findChildren<QTabWidget*>()) {
        QTabBar* bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)))
                << what << ": tab " << bar->tabText(i).toStdString();
    }
}

void Shot(QDialog* dlg, const QString& name)
{
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (!dir.isEmpty())
        dlg->grab().save(dir + "/" + name + ".png");
}

// Picks the command and checks every dialog that comes up (the step may open one more from
// within the first); false when the command opened fewer than expected.
bool OpensFitting(UINT id, std::vector<ModalDriver::Step> steps)
{
    ModalDriver driver(std::move(steps));
    if (!Choose(id))
        return false;
    Pump([&driver] { return driver.Done() && !QApplication::activeModalWidget(); });
    return driver.Done() && driver.titles.size() > 0 && !QApplication::activeModalWidget();
}

ModalDriver::Step CheckAndClose(const std::string& what)
{
    return [what](QDialog* dlg) {
        ExpectFits(dlg, what);
        dlg->reject();
    };
}

const UINT kModelTypes[] = {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE, IDR_SYS3TYPE};

TEST(DialogsFit, EveryPropertySheetOnEveryStoredPage)
{
    StartShell();
    for (UINT type : kModelTypes)
        for (int page = 0; page < 4; ++page) {
            CDynSys* doc = NewModel(type);
            ASSERT_NE(doc, nullptr);
            doc->m_nActivePage = page;
            const std::string what =
                "kind " + std::to_string(type) + " page " + std::to_string(page);
            EXPECT_TRUE(OpensFitting(ID_VIEW_SET_PROPERTIES, {[=](QDialog* dlg) {
                                         ExpectFits(dlg, what);
                                         Shot(dlg,
                                              QString("properties_%1_page_%2").arg(type).arg(page));
                                         dlg->reject();
                                     }}))
                << what;
            doc->OnCloseDocument();
        }
}

// The dialogs of the Controls menu, and the standard-form dialog that the Space page opens.
TEST(DialogsFit, EveryModelDialog)
{
    StartShell();
    for (UINT type : kModelTypes) {
        CDynSys* doc = NewModel(type);
        ASSERT_NE(doc, nullptr);
        const std::string kind = "kind " + std::to_string(type);
        for (UINT id : {ID_CONTROLS_SET_LIMITS, ID_CONTROLS_SELECT_VARIABLES})
            EXPECT_TRUE(OpensFitting(id, {CheckAndClose(kind)})) << kind << " " << id;
        doc->m_nActivePage = 1;
        const auto openForms = [](QDialog* sheet) {
            for (QPushButton* b : sheet->findChildren<QPushButton*>())
                if (b->text() == "Select")
                    b->click();
            sheet->reject();
        };
        EXPECT_TRUE(OpensFitting(ID_VIEW_SET_PROPERTIES,
                                 {openForms, CheckAndClose(kind + " standard form")}))
            << kind;
        doc->OnCloseDocument();
    }
}

// The shell's own dialogs, with no model open.
TEST(DialogsFit, EveryShellDialog)
{
    StartShell();
    for (CDocTemplate* t : theApp.GetDocTemplates())
        t->CloseAllDocuments(FALSE);
    for (UINT id : {ID_APP_ABOUT, ID_CONFIGURATION})
        EXPECT_TRUE(OpensFitting(id, {CheckAndClose("shell " + std::to_string(id))})) << id;
}

} // namespace
#endif
