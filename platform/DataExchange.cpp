#include "platform/DataExchange.h"

#include "platform/base/MessageHook.h"
#include "platform/base/TextNumbers.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>

namespace {

std::string EditText(const QLineEdit* pEdit)
{
    return pEdit->text().toLatin1().toStdString();
}

void SetEditText(QLineEdit* pEdit, const std::string& text)
{
    const QString t = QString::fromLatin1(text.data(), qsizetype(text.size()));
    if (pEdit->text() != t)
        pEdit->setText(t);
}

bool Parse(const std::string& text, int& value)
{
    return ParseInteger(text, value);
}

bool Parse(const std::string& text, double& value)
{
    return ParseNumber(text, value);
}

std::string Text(int value)
{
    return std::to_string(value);
}

std::string Text(double value)
{
    return FormatGeneral(value, 15);
}

// An edit's number; in the save direction a text that is none fails with the given message.
template <class T>
void ExchangeNumber(CDataExchange* pDX, QLineEdit* pEdit, T& value, const char* notANumber)
{
    pDX->PrepareEditCtrl(pEdit);
    if (!pDX->m_bSaveAndValidate) {
        SetEditText(pEdit, Text(value));
        return;
    }
    T v{};
    if (!Parse(EditText(pEdit), v))
        pDX->Fail(notANumber);
    value = v;
}

} // namespace

void CDataExchange::PrepareEditCtrl(QLineEdit* pEdit)
{
    m_pLastControl = pEdit;
    m_pLastEdit = pEdit;
}

void CDataExchange::PrepareCtrl(QWidget* pControl)
{
    m_pLastControl = pControl;
    m_pLastEdit = nullptr;
}

void CDataExchange::Fail(const std::string& message)
{
    ShowMessageBox(message, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
    if (m_pLastControl)
        m_pLastControl->setFocus();
    if (m_pLastEdit)
        m_pLastEdit->selectAll();
    throw Failure{};
}

void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, int& value)
{
    ExchangeNumber(pDX, pEdit, value, "Please enter an integer.");
}

int NumberEditWidth(const QLineEdit* pEdit)
{
    // The edit's frame and margins: what its size hint (17 letters x wide) adds to the text.
    const QFontMetrics fm = pEdit->fontMetrics();
    const int room = pEdit->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return fm.horizontalAdvance(QStringLiteral("-8.88888888888888e+888")) + std::max(room, 0);
}

void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, double& value)
{
    ExchangeNumber(pDX, pEdit, value, "Please enter a number.");
}

void DDX_Text(CDataExchange* pDX, QLineEdit* pEdit, std::string& value)
{
    pDX->PrepareEditCtrl(pEdit);
    if (pDX->m_bSaveAndValidate)
        value = EditText(pEdit);
    else
        SetEditText(pEdit, value);
}

void DDX_Check(CDataExchange* pDX, QAbstractButton* pBox, int& value)
{
    pDX->PrepareCtrl(pBox);
    if (pDX->m_bSaveAndValidate)
        value = pBox->isChecked() ? 1 : 0;
    else
        pBox->setChecked(value != 0);
}

void DDX_Check(CDataExchange* pDX, QAbstractButton* pBox, bool& value)
{
    int n = value ? 1 : 0;
    DDX_Check(pDX, pBox, n);
    value = n != 0;
}

void DDX_Radio(CDataExchange* pDX, QButtonGroup* pGroup, int& value)
{
    if (pGroup->buttons().isEmpty())
        return;
    pDX->PrepareCtrl(pGroup->buttons().front());
    if (pDX->m_bSaveAndValidate) {
        value = pGroup->checkedId();
        return;
    }
    // Checking no button at all needs the group's exclusivity off for a moment.
    const bool exclusive = pGroup->exclusive();
    pGroup->setExclusive(false);
    for (QAbstractButton* b : pGroup->buttons())
        b->setChecked(pGroup->id(b) == value);
    pGroup->setExclusive(exclusive);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        pDX->Fail("Please enter an integer between " + std::to_string(minVal) + " and " +
                  std::to_string(maxVal) + ".");
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal, bool bMinOpen)
{
    const bool above = bMinOpen ? value > minVal : value >= minVal;
    if (pDX->m_bSaveAndValidate && !(above && value <= maxVal))
        pDX->Fail("Please enter a number between " + FormatGeneral(minVal, 15) + " and " +
                  FormatGeneral(maxVal, 15) + ".");
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        if (QLineEdit* pEdit = pDX->LastEdit())
            pEdit->setMaxLength(nChars);
        return;
    }
    if (static_cast<int>(value.size()) > nChars)
        pDX->Fail("Please enter no more than " + std::to_string(nChars) + " characters.");
}
