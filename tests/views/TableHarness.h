#pragma once
// Opens a Data Table view of a test document in a 900 x 640 window, offscreen, over a made-up
// run whose x column holds each row's number.
#include "GraphTestDoc.h"
#include "views/graph/TableView.h"

#include <QListWidget>

#include <memory>
#include <string>

inline CTableView* NewTableView(SystemKind kind)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return new CSys1Tab;
    case SystemKind::OneVariable:
        return new CSys1NNTab;
    case SystemKind::TwoVariable:
        return new CSys2Tab;
    case SystemKind::ThreeVariable:
        break;
    }
    return new CSys3Tab;
}

class TableHarness
{
public:
    explicit TableHarness(SystemKind kind, int rows = 1000, int count = 0)
        : doc(std::make_unique<CGraphTestDoc>(kind))
    {
        Fill(rows, count);
        view = NewTableView(kind);
        CCreateContext ctx;
        ctx.m_pCurrentDoc = doc.get();
        view->Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 900, 640), nullptr, 1, &ctx);
        view->OnInitialUpdate();
    }
    ~TableHarness()
    {
        if (view)
            view->DestroyWindow();
    }
    // A run of count rows in a ring of rows; x is the row's number.
    void Fill(int rows, int count)
    {
        doc->FillRun(rows, count, [this](int slot, double t) {
            return slot == kSlotX ? t / (doc->m_dChronon * doc->m_nTableInterval) : -t;
        });
        doc->m_bTableValid = 1;
    }
    void Update() { view->OnUpdate(nullptr, HINT_RESET, nullptr); }
    int Lines() const { return view->m_list->count(); }
    std::string Line(int i) const { return view->m_list->item(i)->text().toStdString(); }
    // The table row shown at line i: its x value.
    int RowAt(int i) const { return std::stoi(Line(i).substr(Line(i).find('|') + 1)); }
    int Selected() const { return view->m_list->currentRow(); }
    int TopLine() const { return view->m_list->indexAt(QPoint(2, 2)).row(); }

    std::unique_ptr<CGraphTestDoc> doc;
    CTableView* view = nullptr;
};
