#pragma once
// Opens a Data Table view of a test document in a 900 x 640 window, offscreen, over a made-up
// run whose x column holds each row's number.
#include "ViewHarness.h"
#include "views/graph/TableView.h"

#include <QListWidget>

#include <memory>
#include <string>

class TableHarness : public KindViewHarness<CTableView>
{
public:
    explicit TableHarness(SystemKind kind, int rows = 1000, int count = 0) : KindViewHarness(kind)
    {
        Fill(rows, count);
        Open(NewKindView<CTableView, CSys1Tab, CSys1NNTab, CSys2Tab, CSys3Tab>(kind), 900, 640);
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
};
