#pragma once
// "Plot Style Setup": the pen of one plotted item (width, line type, colour, return mark).
// The caller fills the members, runs DoModal and on IDOK stores what applies.
#include "platform/Dialog.h"

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

class CPlotStyleDlg : public CDialog
{
public:
    explicit CPlotStyleDlg(CWnd* pParent = nullptr);

    COLORREF m_clrColor = 0;      // the item's colour, where the colour dialog starts
    bool m_bColorChanged = false; // a colour was picked and confirmed
    COLORREF m_clrNew = 0;        // the colour picked
    int m_nMode = 0;              // 0 plain curve; 1, 2 can mark the return chronon; 3 colour only
    int m_nLineType = -1;         // 0 Solid, 1 Dash, 2 Dot, -1 none checked
    int m_nWidth = 0;             // pixels, 1..10
    bool m_bMarkReturn = false;

    // Chooses a colour starting at the given one; empty when cancelled. Tests replace it.
    using ColorPicker = std::function<std::optional<COLORREF>(COLORREF initial, QWidget* parent)>;
    static ColorPicker s_pickColor;

    QLineEdit* m_editWidth = nullptr;

    BOOL OnInitDialog() override;
    void OnChangeWidth();
    void OnSetColor();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void MakeControls();
    void ApplyWidthRule();

    QButtonGroup* m_groupType = nullptr;
    QRadioButton* m_radio[3] = {};
    QCheckBox* m_checkMark = nullptr;
};

// The pen of a plotted item edited from its legend swatch (mode 0): the line type is shown and
// kept only when it is solid, dash or dot, the width always, the colour when one was picked.
// True after OK.
bool EditPen(CWnd* pParent, int& style, int& width, COLORREF& color);
// The same with the "Mark Return Chronon" check of an orbit's item (mode 1), kept after OK.
bool EditPen(CWnd* pParent, int& style, int& width, COLORREF& color, BOOL& markReturn);
