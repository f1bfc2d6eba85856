#pragma once
// "Set Plot Boundaries" and "Select Variables to Plot" of the Graph vs Time views: one design,
// with the differences of each model kind taken from its GraphKindInfo.
#include "views/graph/GraphKinds.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class CGraphLimDlg : public QDialog
{
    Q_OBJECT
public:
    CGraphLimDlg(GraphKind kind, QWidget* pParent = nullptr);

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

    int DoModal();
    void OnInitDialog();
    void OnAutoScale();
    void accept() override;

    QLineEdit* Field(int id) const; // by control id, 1021 .. 1026

private:
    bool UpdateData(bool bSave);

    GraphKind m_kind;
    QLineEdit* m_edits[6] = {}; // 1021 .. 1026
};

class CGraphVarDlg : public QDialog
{
    Q_OBJECT
public:
    CGraphVarDlg(GraphKind kind, QWidget* pParent = nullptr);

    bool m_bPlot[kSlots] = {}; // shown flags by slot; only the kind's slots are used

    int DoModal();
    void accept() override;
    QCheckBox* Box(VarSlot slot) const { return m_boxes[slot]; }

private:
    GraphKind m_kind;
    QCheckBox* m_boxes[kSlots] = {};
};
