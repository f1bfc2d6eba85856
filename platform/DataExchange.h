#pragma once
// Data exchange between a dialog's controls and its members (CDialog::DoDataExchange). In the
// load direction the members go into the controls: a text is set only where it differs, a
// double is written with 15 significant digits. In the save direction the controls are read
// back and checked in the order of the exchange; the first check that fails shows its message,
// gives its control the focus (an edit with its text selected) and ends the exchange. The
// members read before it keep their new values.
#include "platform/Types.h"

#include <string>

class CWnd;
class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QWidget;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    BOOL m_bSaveAndValidate; // TRUE: from the controls into the members, with the checks
    CWnd* m_pDlgWnd;

    // The control that the checks which follow refer to.
    void PrepareEditCtrl(QLineEdit* pEdit);
    void PrepareCtrl(QWidget* pControl);
    QLineEdit* LastEdit() const { return m_pLastEdit; }

    // Shows the message, moves the focus to the last control and ends the exchange (by
    // throwing CDataExchange::Failure, which CDialog::UpdateData catches).
    [[noreturn]] void Fail(const std::string& message);
    struct Failure
    {
    };

private:
    QWidget* m_pLastControl = nullptr;
    QLineEdit* m_pLastEdit = nullptr;
};

// Edits: integers ("Please enter an integer."), numbers ("Please enter a number.") and texts.
void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, int& value);
void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, double& value);
void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, std::string& value);
// The width at which an edit shows whole any number that DDX_Text writes (15 digits, a sign
// and a three-digit exponent).
int NumberEditWidth(const QLineEdit* pEdit);
// Check boxes (0 or 1) and radio groups (the checked button's id, -1 for none).
void DDX_Check(CDataExchange* pDX, QAbstractButton* pBox, int& value);
void DDX_Check(CDataExchange* pDX, QAbstractButton* pBox, bool& value);
void DDX_Radio(CDataExchange* pDX, QButtonGroup* pGroup, int& value);

// Range checks of the value just exchanged, in the save direction: "Please enter an integer
// between %1 and %2." and "Please enter a number between %1 and %2.".
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
// With bMinOpen the least value itself is refused too (a time that must follow another).
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal,
                      bool bMinOpen = false);
// "Please enter no more than %1 characters."; in the load direction the edit takes no more.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);
