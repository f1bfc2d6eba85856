#pragma once
// The dialogs of the access level: CConfig (the Configuration command: level, new teacher
// password typed twice, the log-on name of a new student), CPWDlg (the teacher password) and
// CLogOnDlg (the student's log-on name at start). Controls carry their ids as object names.
#include "platform/Dialog.h"

#include <QString>
#include <QWidget>

#include <string>

class QButtonGroup;
class QLineEdit;
class QRadioButton;

// The control of a dialog with that id, or null.
template <class W> W* DlgItem(const CDialog& dlg, UINT nID)
{
    QWidget* w = dlg.GetWidget();
    return w ? w->findChild<W*>(QString::number(nID)) : nullptr;
}

// A dialog of one text field in a group: the log-on name or the password.
class COneFieldDlg : public CDialog
{
public:
    std::string& Field() { return m_strField; }

protected:
    struct Layout
    {
        const char* title;
        const char* group;
        const char* text; // a line under the group's caption, or null
        UINT nIDEdit;
        int nMaxChars;
        bool bMasked;
    };
    COneFieldDlg(UINT nIDTemplate, const Layout& layout);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    Layout m_layout;
    std::string m_strField;
};

class CLogOnDlg : public COneFieldDlg
{
public:
    CLogOnDlg();
    std::string& m_strName;
};

class CPWDlg : public COneFieldDlg
{
public:
    CPWDlg();
    std::string& m_strPassword;
};

class CConfig : public CDialog
{
public:
    CConfig();

    BYTE m_bPendingConfirm = 0;
    std::string m_strNewPassword;
    std::string m_strName;
    std::string m_strPassword;
    int m_nLevel = -1;

    void OnStudent();
    void OnTeacher();
    void OnSetfocusPassword();
    void OnKillfocusPassword();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* NameEdit() const;
    QLineEdit* PasswordEdit() const;
    QRadioButton* Radio(int nLevel) const;
    QButtonGroup* LevelGroup() const;
};
