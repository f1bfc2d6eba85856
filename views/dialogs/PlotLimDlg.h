#pragma once
// "Set Plot Boundaries" of the 2-D and 3-D plots: the working limits (what the view shows) and
// the absolute limits (the bounds of zoom and pan) of each axis, with labels set by the caller
// and an Auto Scale button that fits both to the data. The caller holds the working limits
// inside the absolute ones after OK (LimitDialogRules.h).
#include "platform/Dialog.h"
#include "views/rows/LimitDialogRules.h"
#include "views/rows/ViewIndex.h"

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

// The fields, labels and Auto Scale button that both dialogs share.
class CPlotLimDlg : public CDialog
{
public:
    QPushButton* m_btnAutoScale = nullptr;
    QLineEdit* m_editFirst = nullptr;
    BYTE m_bHaveData[2] = {0, 0}; // computed data, imported data

    BOOL OnInitDialog() override;
    virtual void OnAutoScale() = 0;
    QLineEdit* Edit(int id) const; // by control id, or null

protected:
    struct Field
    {
        int id;
        double* value;
        std::string* label;
    };
    CPlotLimDlg(UINT nIDTemplate, CWnd* pParent, int firstId);
    void DoDataExchange(CDataExchange* pDX) override;
    // Exchange order: the absolute limits, then the working ones. Display: a group per kind of
    // limit, the fields in the given order.
    void SetFields(std::vector<Field> exchange, std::vector<int> working,
                   std::vector<int> absolute);

private:
    std::vector<Field> m_fields;
    std::vector<int> m_working, m_absolute;
    std::vector<QLineEdit*> m_edits;
    std::vector<QLabel*> m_labels;
    int m_firstId;
};

class C2DViewLimDlg : public CPlotLimDlg
{
public:
    explicit C2DViewLimDlg(CWnd* pParent = nullptr);

    double m_dHAbsMax = 0, m_dHAbsMin = 0, m_dVAbsMax = 0, m_dVAbsMin = 0;
    double m_dHMax = 0, m_dHMin = 0, m_dVMax = 0, m_dVMin = 0;
    std::string m_strHMinLabel, m_strHMaxLabel, m_strHAbsMinLabel, m_strHAbsMaxLabel;
    std::string m_strVMinLabel, m_strVMaxLabel, m_strVAbsMinLabel, m_strVAbsMaxLabel;
    double m_dDataXMax = 0, m_dDataXMin = 0, m_dDataYMax = 0, m_dDataYMin = 0;
    BOOL m_bExactH = FALSE;

    void OnAutoScale() override;
    PlotLimits Limits() const;
    void SetLimits(const PlotLimits& g);
};

class C3DViewLimDlg : public CPlotLimDlg
{
public:
    explicit C3DViewLimDlg(CWnd* pParent = nullptr);

    double m_dXAbsMax = 0, m_dXAbsMin = 0, m_dYAbsMax = 0, m_dYAbsMin = 0, m_dZAbsMax = 0,
           m_dZAbsMin = 0;
    double m_dXMax = 0, m_dXMin = 0, m_dYMax = 0, m_dYMin = 0, m_dZMax = 0, m_dZMin = 0;
    // Labels of xlo, xhi, wxlo, wxhi, ylo, yhi, wylo, wyhi, zlo, zhi, wzlo, wzhi.
    std::string m_strLabels[12];
    double m_dDataXMax = 0, m_dDataXMin = 0, m_dDataYMax = 0, m_dDataYMin = 0, m_dDataZMax = 0,
           m_dDataZMin = 0;

    void OnAutoScale() override;
    std::array<AxisLimits, 3> Limits() const;
    void SetLimits(const std::array<AxisLimits, 3>& a);
};

// What a view's Set Limits gives its dialog besides the limits: the view whose captions it shows
// and the axis names, the data extents for Auto Scale, and whether computed and imported data
// exist.
struct LimitDialogInput
{
    ViewKey view;
    std::array<const char*, 3> names{"x", "y", "z"};
    std::array<DataExtent, 3> extents{};
    bool haveData = false, haveImport = false;
};

// The limits dialog of n axes (two: the plane's, three: the box's) showing axes rounded to their
// digits; true on OK, axes then holding what was typed (HoldWorkingInside checks it).
bool EditAxisLimits(CWnd* pParent, const LimitDialogInput& in, AxisLimits* axes, int n);
