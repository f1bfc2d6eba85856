#include "app/ConfigDlgs.h"

#include "app/Configuration.h"
#include "app/ShellGlobals.h"
#include "platform/Latin1.h"
#include "platform/WinApp.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit* MakeEdit(QWidget* parent, UINT nID, int nMaxChars, bool bMasked)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::number(nID));
    e->setMaxLength(nMaxChars); // what the exchange's check allows
    if (bMasked)
        e->setEchoMode(QLineEdit::Password);
    return e;
}

QDialogButtonBox* OkCancel(QDialog* d)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

// Passes the password edit's focus changes to the dialog. A change of active window (a message
// box of the dialog itself) is not the user leaving the field, nor is a click on Cancel, which
// would otherwise ask for the password again and never let the dialog go.
class FocusWatch : public QObject
{
public:
    FocusWatch(QObject* parent, CConfig* pDlg) : QObject(parent), m_pDlg(pDlg) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::FocusIn && e->type() != QEvent::FocusOut)
            return false;
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why == Qt::ActiveWindowFocusReason || why == Qt::PopupFocusReason || m_bBusy)
            return false;
        const QWidget* to = QApplication::focusWidget();
        if (e->type() == QEvent::FocusOut && to && to->objectName() == "cancel")
            return false;
        m_bBusy = true;
        e->type() == QEvent::FocusIn ? m_pDlg->OnSetfocusPassword() : m_pDlg->OnKillfocusPassword();
        m_bBusy = false;
        return false;
    }

private:
    CConfig* m_pDlg;
    bool m_bBusy = false;
};

} // namespace

// --- one-field dialogs ------------------------------------------------------------------------

COneFieldDlg::COneFieldDlg(UINT nIDTemplate, const Layout& layout)
    : CDialog(nIDTemplate), m_layout(layout)
{
}

BOOL COneFieldDlg::OnInitDialog()
{
    QDialog* d = GetDialog();
    d->setWindowTitle(m_layout.title);
    auto* group = new QGroupBox(m_layout.group, d);
    auto* inner = new QVBoxLayout(group);
    if (m_layout.text)
        inner->addWidget(new QLabel(m_layout.text, group));
    QLineEdit* edit = MakeEdit(group, m_layout.nIDEdit, m_layout.nMaxChars, m_layout.bMasked);
    inner->addWidget(edit);
    auto* layout = new QVBoxLayout(d);
    layout->addWidget(group);
    layout->addWidget(OkCancel(d));
    edit->setFocus();
    return CDialog::OnInitDialog();
}

void COneFieldDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, DlgItem<QLineEdit>(*this, m_layout.nIDEdit), m_strField);
    DDV_MaxChars(pDX, m_strField, m_layout.nMaxChars);
}

CLogOnDlg::CLogOnDlg()
    : COneFieldDlg(IDD_LOGON,
                   {"Student Log On", "Enter your log on name",
                    "Up to 8 characters that uniquely identify you", IDC_LOGON_NAME, 8, false}),
      m_strName(Field())
{
}

CPWDlg::CPWDlg()
    : COneFieldDlg(IDD_PASSWORD, {"Password", "Enter the teacher access level password", nullptr,
                                  IDC_PASSWORD_ENTRY, 15, true}),
      m_strPassword(Field())
{
}

// --- Configuration ----------------------------------------------------------------------------

CConfig::CConfig() : CDialog(IDD_CONFIG)
{
}

QLineEdit* CConfig::NameEdit() const
{
    return DlgItem<QLineEdit>(*this, IDC_LOGON_NAME);
}

QLineEdit* CConfig::PasswordEdit() const
{
    return DlgItem<QLineEdit>(*this, IDC_NEW_PASSWORD);
}

QRadioButton* CConfig::Radio(int nLevel) const
{
    return DlgItem<QRadioButton>(*this, nLevel == 0 ? IDC_STUDENT : IDC_TEACHER);
}

BOOL CConfig::OnInitDialog()
{
    QDialog* d = GetDialog();
    d->setWindowTitle("Configuration");
    auto* level = new QGroupBox("Access Level", d);
    auto* levelRow = new QHBoxLayout(level);
    auto* radios = new QButtonGroup(level);
    radios->setObjectName("level");
    for (int n : {0, 1}) {
        auto* r = new QRadioButton(n == 0 ? "Student" : "Teacher", level);
        r->setObjectName(QString::number(n == 0 ? IDC_STUDENT : IDC_TEACHER));
        radios->addButton(r, n);
        levelRow->addWidget(r);
    }
    QObject::connect(radios, &QButtonGroup::idClicked,
                     [this](int n) { n == 0 ? OnStudent() : OnTeacher(); });

    auto* pwGroup = new QGroupBox("Change Password   Tab When Done", d);
    QLineEdit* pw = MakeEdit(pwGroup, IDC_NEW_PASSWORD, 15, true);
    (new QVBoxLayout(pwGroup))->addWidget(pw);
    pw->installEventFilter(new FocusWatch(pw, this));

    auto* nameGroup = new QGroupBox("Log On New Student", d);
    auto* nameCol = new QVBoxLayout(nameGroup);
    nameCol->addWidget(new QLabel("Enter up to 8 letters or numbers that", nameGroup));
    nameCol->addWidget(new QLabel("uniquely identify you to the program.", nameGroup));
    nameCol->addWidget(MakeEdit(nameGroup, IDC_LOGON_NAME, 8, false));

    auto* layout = new QVBoxLayout(d);
    layout->addWidget(level);
    layout->addWidget(pwGroup);
    layout->addWidget(nameGroup);
    layout->addWidget(OkCancel(d));

    CDialog::OnInitDialog();
    m_strNewPassword.clear();
    NameEdit()->setEnabled(g_nAccessLevel == 0);
    pw->setEnabled(g_nAccessLevel == 1);
    m_bPendingConfirm = 0;
    return TRUE;
}

QButtonGroup* CConfig::LevelGroup() const
{
    QWidget* w = GetWidget();
    return w ? w->findChild<QButtonGroup*>("level") : nullptr;
}

void CConfig::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, NameEdit(), m_strName);
    DDV_MaxChars(pDX, m_strName, 8);
    DDX_Text(pDX, PasswordEdit(), m_strPassword);
    DDV_MaxChars(pDX, m_strPassword, 15);
    // With neither button on (a level the file holds but the dialog does not name) the level
    // is kept.
    int level = m_nLevel;
    DDX_Radio(pDX, LevelGroup(), level);
    if (level >= 0 || !pDX->m_bSaveAndValidate)
        m_nLevel = level;
}

void CConfig::OnStudent()
{
    m_nLevel = 0;
    Radio(0)->setChecked(true);
    NameEdit()->setText(g_strLogOnName.empty() ? QString("none") : Latin1(g_strLogOnName));
    NameEdit()->setEnabled(true);
    PasswordEdit()->setEnabled(false);
    NameEdit()->setFocus();
}

void CConfig::OnTeacher()
{
    m_nLevel = 1;
    NameEdit()->clear();
    g_strLogOnName.clear(); // stays empty even when the password is refused
    NameEdit()->setEnabled(false);
    PasswordEdit()->setEnabled(true);
    CPWDlg dlg;
    if (dlg.DoModal() == IDOK && dlg.m_strPassword == g_strTeacherPassword)
        return;
    AfxMessageBox("Password incorrect.  Teacher access level denied.");
    OnStudent();
}

void CConfig::OnSetfocusPassword()
{
    m_bPendingConfirm = 1;
}

void CConfig::OnKillfocusPassword()
{
    UpdateData(TRUE);
    QLineEdit* pw = PasswordEdit();
    if (m_strNewPassword.empty()) {
        m_strNewPassword = m_strPassword;
        AfxMessageBox("Re-enter new password to confirm.");
        pw->clear();
        pw->setFocus();
    } else if (m_strPassword == m_strNewPassword) {
        m_bPendingConfirm = 0;
    } else {
        AfxMessageBox("Entries do not match.  Re-enter password.");
        m_strNewPassword.clear();
        pw->setFocus();
    }
}

void CConfig::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_bPendingConfirm) {
        AfxMessageBox("New password not confirmed.  Re-enter new password.");
        return;
    }
    // A folder name of its own, never a path that leads out of the start directory.
    if (HasLogOnPunctuation(m_strName)) {
        AfxMessageBox("No punctuation allowed in log on name");
        return;
    }
    EndDialog(IDOK);
}
