#include "dialogs/PageFields.h"

#include "model/core/SettingsTable.h"
#include "platform/base/TextNumbers.h"

#include <QLineEdit>

#include <algorithm>

FieldRange RangeOf(const char* member)
{
    const SettingField* f = FindField(member);
    return {f->lo, f->hi};
}

void CKeptEdits::Note(QLineEdit* pEdit, double number)
{
    m_kept[pEdit] = {pEdit->text(), number};
}

bool CKeptEdits::Kept(CDataExchange* pDX, QLineEdit* pEdit, double* pNumber)
{
    if (!pDX->m_bSaveAndValidate)
        return false;
    const auto it = m_kept.find(pEdit);
    if (it == m_kept.end() || it->second.first != pEdit->text())
        return false;
    pDX->PrepareEditCtrl(pEdit);
    if (pNumber)
        *pNumber = it->second.second;
    return true;
}

bool CKeptEdits::Number(CDataExchange* pDX, QLineEdit* pEdit, double& value, FieldRange range)
{
    if (Kept(pDX, pEdit, &value))
        return false;
    DDX_Text(pDX, pEdit, value);
    DDV_MinMaxDouble(pDX, value, range.lo, range.hi, range.loOpen);
    Note(pEdit, value);
    return pDX->m_bSaveAndValidate;
}

void CKeptEdits::Integer(CDataExchange* pDX, QLineEdit* pEdit, int& value, FieldRange range)
{
    double kept = value;
    if (Kept(pDX, pEdit, &kept)) {
        value = static_cast<int>(kept);
        return;
    }
    DDX_Text(pDX, pEdit, value);
    DDV_MinMaxInt(pDX, value, static_cast<int>(range.lo), static_cast<int>(range.hi));
    Note(pEdit, value);
}

void CKeptEdits::Text(CDataExchange* pDX, QLineEdit* pEdit, std::string& value, int nChars)
{
    if (Kept(pDX, pEdit, nullptr))
        return;
    if (!pDX->m_bSaveAndValidate)
        pEdit->setMaxLength(std::max(nChars, static_cast<int>(value.size())));
    DDX_Text(pDX, pEdit, value);
    DDV_MaxChars(pDX, value, pDX->m_bSaveAndValidate ? nChars : pEdit->maxLength());
    Note(pEdit, 0);
}

void CKeptEdits::Show(QLineEdit* pEdit, double value)
{
    CDataExchange dx(nullptr, FALSE);
    DDX_Text(&dx, pEdit, value);
    Note(pEdit, value);
}

void CKeptEdits::Show(QLineEdit* pEdit, const std::string& value)
{
    CDataExchange dx(nullptr, FALSE);
    std::string text = value;
    DDX_Text(&dx, pEdit, text);
    Note(pEdit, 0);
}
