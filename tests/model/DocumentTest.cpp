// Model documents: creation, defaults, files, plot timing, Clear Data, data entry.
#include "ModelFixture.h"

#include "common/FileSizeLimit.h"

#include "dataentry/DataEntry.h"
#include "model/core/Globals.h"
#include "platform/Resources.h"
#include "platform/base/Archive.h"

#include <QLineEdit>
#include <QWidget>

#include <cstdio>
#include <filesystem>

namespace {

struct NewCase
{
    SystemKind kind;
    const char* title;
    const char* caption;
};

const NewCase kNewCases[] = {
    {SystemKind::Newtonian, "New N Sys", "NS1-1 Set name=value"},
    {SystemKind::OneVariable, "New 1 Var Sys", "DS1-1 Set name=value"},
    {SystemKind::TwoVariable, "New 2 Var Sys", "DS2-1 Set name=value"},
    {SystemKind::ThreeVariable, "New 3 Var Sys", "DS3-1 Set name=value"},
};

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

} // namespace

TEST_F(ModelTest, NewDocumentOfEachKindHasItsTitleCaptionAndDefaults)
{
    for (const NewCase& c : kNewCases) {
        SCOPED_TRACE(c.title);
        CDynSys* doc = NewDoc(c.kind);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->m_strFileName, c.title);
        EXPECT_EQ(doc->GetTitle(), c.title);
        EXPECT_EQ(doc->m_bViewsRestored, 1);
        ASSERT_NE(doc->DataEntry(), nullptr);
        EXPECT_EQ(doc->DataEntry()->GetWindowText(), c.caption);
        EXPECT_TRUE(doc->DataEntry()->IsWindowVisible());
        EXPECT_NE(FirstView(doc), nullptr);
    }
    EXPECT_EQ(g_nDocsAll, 4);
    EXPECT_TRUE(m_messages.empty()); // every default equation compiles
}

TEST_F(ModelTest, DataEntryShortcutShowsAndHides)
{
    CDynSys* doc = NewDoc(SystemKind::OneVariable);
    auto* entry = dynamic_cast<CDataEntry*>(doc->DataEntry());
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->Edit().GetEdit(), nullptr);
    EXPECT_EQ(entry->Edit().GetEdit()->objectName(), "2001");
    EXPECT_EQ(entry->Edit().m_pDoc, doc);
    CCmdUI ui(ID_VIEW_DATA_ENTRY_SHORTCUT);
    doc->OnUpdateViewDataEntryShortcut(&ui);
    EXPECT_EQ(ui.m_nCheck, 1);      // the window opened shown
    doc->OnViewDataEntryShortcut(); // unchecks and hides
    doc->OnUpdateViewDataEntryShortcut(&ui);
    EXPECT_EQ(ui.m_nCheck, 0);
    EXPECT_FALSE(entry->IsWindowVisible());
    // Another document of the kind, shown while the item is unchecked: checked and still shown.
    CDynSys* other = NewDoc(SystemKind::OneVariable);
    other->OnViewDataEntryShortcut();
    EXPECT_TRUE(other->DataEntry()->IsWindowVisible());
    other->OnUpdateViewDataEntryShortcut(&ui);
    EXPECT_EQ(ui.m_nCheck, 1);
}

TEST_F(ModelTest, PlotTimingChoicesExcludeEachOtherAndOverlayIsApart)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    struct Step
    {
        void (CDynSys::*command)();
        int concurrent, postCalc, manual, overlay;
    };
    const Step steps[] = {
        {&CDynSys::OnControlsPlotTimingConcurrentPlot, 1, 0, 0, 0},
        {&CDynSys::OnControlsPlotTimingManualPlot, 0, 0, 1, 0},
        {&CDynSys::OnControlsPlotTimingOverlayPlot, 0, 0, 1, 1},
        {&CDynSys::OnControlsPlotTimingPostCalcPlot, 0, 1, 0, 1},
        {&CDynSys::OnControlsPlotTimingPostCalcPlot, 0, 0, 0, 1}, // again: none checked
        {&CDynSys::OnControlsPlotTimingOverlayPlot, 0, 0, 0, 0},
    };
    for (const Step& s : steps) {
        (doc->*s.command)();
        EXPECT_EQ(doc->m_bPlotConcurrent, s.concurrent);
        EXPECT_EQ(doc->m_bPlotPostCalc, s.postCalc);
        EXPECT_EQ(doc->m_bPlotManual, s.manual);
        EXPECT_EQ(doc->m_bPlotOverlay, s.overlay);
    }
    CCmdUI ui(ID_CONTROLS_PLOTTIMING_OVERLAYPLOT);
    doc->UpdateCommand(&ui);
    EXPECT_EQ(ui.m_nCheck, 0);
}

TEST_F(ModelTest, ClearDataEmptiesTableAndImportAndShiftsTimeAxis)
{
    CDynSys* doc = NewDoc(SystemKind::TwoVariable);
    RunToEnd(doc);
    ASSERT_GT(doc->m_nTableCount, 0);
    doc->m_dGraphTMin = 2;
    doc->m_dGraphTMax = 8;
    doc->m_arrImport[kSlotX].assign(5, 1.0);
    doc->m_bHaveImport = 1;
    doc->m_nTableSource = 1;
    FirstView(doc)->m_hints.clear();
    doc->OnControlsClearData();
    EXPECT_EQ(doc->m_nTableCount, 0);
    EXPECT_EQ(doc->m_bHaveData, 0);
    EXPECT_EQ(doc->m_bHaveImport, 0);
    EXPECT_DOUBLE_EQ(doc->m_dGraphTMax, 6);
    EXPECT_EQ(FirstView(doc)->m_hints, std::vector<LPARAM>{HINT_RESET});
    CCmdUI plot(ID_CONTROLS_PLOT);
    doc->UpdateCommand(&plot);
    EXPECT_FALSE(plot.m_bEnabled); // nothing to plot any more
}

// A saved model opens with its settings; an equation that does not compile is reported and the
// model opens all the same.
TEST_F(ModelTest, SavedModelOpensWithItsSettings)
{
    const std::string path = TempPath("veltrix_doc_test.ds2");
    for (const bool bad : {false, true}) {
        const std::string rate = bad ? "c*x+" : "c*x+d*y+1";
        SCOPED_TRACE(rate);
        CDynSys* doc = NewDoc(SystemKind::TwoVariable);
        doc->m_strYRate = rate;
        doc->m_dInitY = 2.5;
        FirstView(doc)->m_hints.clear();
        m_messages.clear();
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        EXPECT_EQ(doc->m_strFileName, "veltrix_doc_test.ds2");
        EXPECT_EQ(FirstView(doc)->m_hints, std::vector<LPARAM>{HINT_TITLE});
        doc->OnCloseDocument();
        auto* opened = dynamic_cast<CDynSys*>(
            ModelTemplate(SystemKind::TwoVariable)->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->m_strFileName, "veltrix_doc_test.ds2");
        EXPECT_EQ(opened->m_strYRate, rate);
        EXPECT_DOUBLE_EQ(opened->m_dY, 2.5);
        EXPECT_EQ(opened->m_bViewsRestored, 0);
        if (bad) {
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_EQ(m_messages[0].rfind("The system differential equation:\n[c*x+]\n", 0), 0u);
        } else {
            EXPECT_TRUE(m_messages.empty());
        }
        opened->OnCloseDocument();
    }
    std::remove(path.c_str());
}

// A short file, a missing one and folders (named as model files or not) open no document and
// leave no frame.
TEST_F(ModelTest, AShortMissingOrFolderFileIsNotOpened)
{
    const std::filesystem::path dir = TempPath("veltrix_folder_test");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::FILE* f = std::fopen((dir / "short.ds1").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("abc", f);
    std::fclose(f);
    const char* names[] = {"short.ds1", "missing.ds1", "x.ds3", "y.ns1", "z"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string path = (dir / name).string();
        if (name[0] != 's' && name[0] != 'm')
            std::filesystem::create_directories(path);
        m_messages.clear();
        const size_t frames = ModelMainFrame()->GetChildFrames().size();
        CDocument* doc = nullptr;
        EXPECT_NO_THROW(doc = ModelTestApp().OpenDocumentFile(path.c_str()));
        EXPECT_EQ(doc, nullptr);
        ASSERT_EQ(m_messages.size(), 1u);
        if (name[0] != 's') {
            EXPECT_EQ(m_messages[0], "Cannot open the file " + path + ".");
        }
        EXPECT_EQ(g_nDocsAll, 0);
        EXPECT_EQ(ModelMainFrame()->GetChildFrames().size(), frames);
    }
    std::filesystem::remove_all(dir);
}

// A save that cannot be written whole (the disk is full) keeps the old file and the document's
// name; Save As does not take the new name either.
TEST_F(ModelTest, FailedSaveKeepsTheOldFileAndTheName)
{
    const std::filesystem::path dir = TempPath("veltrix_full_disk");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string saved = (dir / "kept.ds2").string();
    const char* targets[] = {"kept.ds2", "other.ds2"};
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        CDynSys* doc = NewDoc(SystemKind::TwoVariable);
        ASSERT_TRUE(doc->DoSave(saved.c_str()));
        std::vector<std::uint8_t> before;
        ASSERT_TRUE(ReadFileBytes(saved, before));
        doc->m_strYRate = "c*x+d*y+" + std::string(200, '1');
        doc->SetModifiedFlag();
        FirstView(doc)->m_hints.clear();
        m_messages.clear();
        {
            FileSizeLimit limit(before.size() / 2);
            EXPECT_FALSE(doc->DoSave((dir / target).string().c_str()));
        }
        // The reason follows, as Export gives it.
        EXPECT_EQ(m_messages,
                  std::vector<std::string>{"Failed to save document " + (dir / target).string() +
                                           ".\nFile too large."});
        std::vector<std::uint8_t> after;
        ASSERT_TRUE(ReadFileBytes(saved, after));
        EXPECT_EQ(after, before);
        EXPECT_EQ(doc->GetPathName(), saved);
        EXPECT_EQ(doc->GetTitle(), "kept.ds2");
        EXPECT_EQ(doc->m_strFileName, "kept.ds2");
        EXPECT_TRUE(FirstView(doc)->m_hints.empty());
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                                std::filesystem::directory_iterator()),
                  1); // nothing half written beside it
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
    std::filesystem::remove_all(dir);
}

TEST_F(ModelTest, ModelMenuGetsControlsAndDataEntry)
{
    NewDoc(SystemKind::ThreeVariable);
    const auto* menu = vx::res::FindMenu(DocKindInfo(SystemKind::ThreeVariable).nIDResource);
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> tops;
    for (const auto& item : *menu)
        tops.push_back(item.text);
    EXPECT_EQ(tops, (std::vector<std::string>{"&File", "&View", "&Controls", "&Window"}));
    EXPECT_EQ((*menu)[1].items.back().id, ID_VIEW_DATA_ENTRY_SHORTCUT);
    AddModelCommandsToMenu(DocKindInfo(SystemKind::ThreeVariable).nIDResource); // only once
    EXPECT_EQ(vx::res::FindMenu(DocKindInfo(SystemKind::ThreeVariable).nIDResource)->size(), 4u);
}

TEST_F(ModelTest, AnExportOfTheKindDisablesRunInEveryDocumentOfIt)
{
    CDynSys* a = NewDoc(SystemKind::OneVariable);
    CDynSys* other = NewDoc(SystemKind::TwoVariable);
    g_nExportsOneVariable = 1; // another document of the kind writes its table
    CCmdUI ui(ID_CONTROLS_RUN);
    a->UpdateCommand(&ui);
    EXPECT_FALSE(ui.m_bEnabled);
    a->OnControlsRun();
    EXPECT_FALSE(Running(a));
    other->UpdateCommand(&ui);
    EXPECT_TRUE(ui.m_bEnabled); // other kinds run
    // This document started no export: it closes without asking.
    a->OnCloseDocument();
    EXPECT_TRUE(m_messages.empty());
    g_nExportsOneVariable = 0;
}
