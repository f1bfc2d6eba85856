#pragma once
// The Data Table view: a model's table as text, one page of 50 rows at a time, in a form with
// Up, Down and Print buttons, a heading line and a list of the page's rows. It follows runs as
// every model view does (CKindView, with its help and toolbar) but reads nothing while its
// model runs: the run's end refreshes it. A click in a plot of its model jumps it to a row
// (WM_TABLE_GOTO_ROW); a double click on a Newtonian row shows that row's forces. One design for
// the four kinds: the kind picks the columns (its variables in KindVars.h) and the caption's page
// word.
#include "platform/Dc.h"
#include "platform/View.h"
#include "views/base/KindView.h"
#include "views/graph/TablePages.h"

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class CTableView : public CKindView<CFormView>
{
    VX_DECLARE_CLASS(CTableView)
public:
    explicit CTableView(SystemKind kind = SystemKind::Newtonian);
    ~CTableView() override;

    void OnInitialUpdate() override;
    // Any update while the model does not run rebuilds the view at page 1; without a valid
    // table or imported data the view closes.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    ViewKey Key() const override { return {kViewTable, m_kind}; }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

    void OnPageUp();
    void OnPageDown();
    void OnPrintButton();
    LRESULT OnTableGotoRow(WPARAM wParam, LPARAM lParam);
    // The Newtonian box of the values and forces of line nRow of the page.
    void ShowRowDetails(int nRow);

    // The frame's caption for a page: "name Data Table", "(Imported)", the page word, the page.
    std::string Caption(int nPage) const;

    // The page on screen and what the rows give.
    int m_nPage = 0;
    int m_nSelRow = 0;
    const int m_nRowsPerPage = 50;
    int m_nLastPage = 0;
    int m_nLastPageRows = 0;
    std::string m_strHeading;
    QPushButton* m_btnUp = nullptr;
    QPushButton* m_btnDown = nullptr;
    QPushButton* m_btnPrint = nullptr;
    QLabel* m_stHeading = nullptr;
    QListWidget* m_list = nullptr;

protected:
    void OnSize(UINT nType, int cx, int cy) override;
    void OnDestroy() override;
    LRESULT OnCloseFrame(WPARAM, LPARAM);

private:
    void CreateControls();
    void Refresh();
    void ShowPage(int nPage);
    void FillPage();
    void Layout();
    // The rows of the table's source, read under the table's lock.
    TableRows Rows(const CTableReadLock& lock) const;
    TablePaging Paging() const { return {m_nCount, m_nRowsPerPage}; }

    SystemKind m_kind;
    std::vector<TableColumn> m_columns;
    int m_nCount = 0;
    std::unique_ptr<CFont> m_hFontHeading, m_hFontList, m_hFontPrint;
};

VX_KIND_VIEW(CSys1Tab, CTableView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNTab, CTableView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2Tab, CTableView, SystemKind::TwoVariable)
VX_KIND_VIEW(CSys3Tab, CTableView, SystemKind::ThreeVariable)
