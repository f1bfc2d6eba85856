#pragma once
// "Table Properties": the rows of the table ring, the interval between stored rows, the columns
// the Data Table shows, generated or imported data, and the table's size in kilobytes. The
// interval reaches the document as soon as a valid one is typed.
#include "dialogs/ModelPage.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;

class CTablePage : public CModelPage
{
    VX_DECLARE_CLASS(CTablePage)
public:
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    void OnChangeTableInterval();
    void OnChangeTableRows();
    void OnGeneratedData();
    void OnImportedData();

    QButtonGroup* m_groupSource = nullptr;
    QAbstractButton* m_btnGenerated = nullptr;
    QAbstractButton* m_btnImported = nullptr;
    QLabel* m_stcTableSize = nullptr;
    QLineEdit* m_editRows = nullptr;
    QLineEdit* m_editInterval = nullptr;
    QCheckBox* m_checkColumn[6] = {};

    // The kilobytes of a table of so many rows of the kind.
    static long long TableKB(SystemKind kind, long long rows);

protected:
    explicit CTablePage(SystemKind kind = SystemKind::Newtonian);
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void MakeControls() override;
    // The table's size in kilobytes.
    void ShowDerived() override;
    void EnableShape(bool bEnable);
    int ChrononsPerCycle() const;
};

VX_KIND_PAGE(CDS1Table, CTablePage)
VX_KIND_PAGE(CDS1NNTable, CTablePage)
VX_KIND_PAGE(CDS2Table, CTablePage)
VX_KIND_PAGE(CDS3Table, CTablePage)
