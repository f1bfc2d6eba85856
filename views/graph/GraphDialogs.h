#pragma once
// "Set Plot Boundaries" and "Select Variables to Plot" of the Graph vs Time views: one design,
// with the differences of each model kind taken from its GraphKindInfo.
#include "platform/Dialog.h"
#include "views/graph/GraphKinds.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class CGraphLimDlg : public CDialog
{
public:
    explicit CGraphLimDlg(GraphKind kind, CWnd* pParent = nullptr);

    QLineEdit* m_editTMin = nullptr;
    QPushButton* m_btnAutoScale = nullptr;
    double m_dTMax = 0, m_dTMin = 0, m_dVAbsMax = 0, m_dVAbsMin = 0, m_dVMax = 0, m_dVMin = 0;

    // What Auto Scale reads of the document: whether it holds computed or imported data, and
    // the recorded extent and shown flag of each slot.
    bool m_bHaveData = false;
    VarExtent m_extents[kSlots];

    // The six limits at once, as the view hands them over.
    void SetFields(const GraphLimitFields& f);
    GraphLimitFields Fields() const;

    BOOL OnInitDialog() override;
    void OnAutoScale();

    QLineEdit* Field(int id) const; // by control id, 1021 .. 1026

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void MakeControls();

    GraphKind m_kind;
    QLineEdit* m_edits[6] = {}; // 1021 .. 1026
};

class CGraphVarDlg : public CDialog
{
public:
    explicit CGraphVarDlg(GraphKind kind, CWnd* pParent = nullptr);

    bool m_bPlot[kSlots] = {}; // shown flags by slot; only the kind's slots are used

    BOOL OnInitDialog() override;
    QCheckBox* Box(VarSlot slot) const { return m_boxes[slot]; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    GraphKind m_kind;
    QCheckBox* m_boxes[kSlots] = {};
};

// "Select Variables to Plot" on the curve flags of the kind's model; true after OK.
bool SelectGraphVariables(GraphKind kind, CModelSettings& s, CWnd* pParent);
