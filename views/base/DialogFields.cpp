#include "views/base/DialogFields.h"

#include "platform/base/MessageHook.h"
#include "views/base/PlotText.h"

#include <QLineEdit>
#include <charconv>

namespace {
std::string Trimmed(const std::string& text)
{
    const auto b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const auto e = text.find_last_not_of(" \t");
    std::string s = text.substr(b, e - b + 1);
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    return s;
}

template <typename T> bool ParseWhole(const std::string& text, T& value)
{
    const std::string s = Trimmed(text);
    if (s.empty())
        return false;
    T v{};
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        return false;
    value = v;
    return true;
}

void Refuse(QLineEdit* edit, const std::string& message)
{
    ShowMessageBox(message, msgbox::MB_OK | msgbox::MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
}

std::string FieldText(QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}
} // namespace

bool ParseNumber(const std::string& text, double& value)
{
    return ParseWhole(text, value);
}

bool ParseInteger(const std::string& text, int& value)
{
    return ParseWhole(text, value);
}

bool ReadNumberField(QLineEdit* edit, double lo, double hi, double& value)
{
    double v = 0;
    if (!ParseNumber(FieldText(edit), v)) {
        Refuse(edit, "Please enter a number.");
        return false;
    }
    if (!(v >= lo && v <= hi)) {
        Refuse(edit, "Please enter a number between " + FormatGeneral(lo, 15) + " and " +
                         FormatGeneral(hi, 15) + ".");
        return false;
    }
    value = v;
    return true;
}

bool ReadIntegerField(QLineEdit* edit, int lo, int hi, int& value)
{
    int v = 0;
    if (!ParseInteger(FieldText(edit), v)) {
        Refuse(edit, "Please enter an integer.");
        return false;
    }
    if (v < lo || v > hi) {
        Refuse(edit, "Please enter an integer between " + std::to_string(lo) + " and " +
                         std::to_string(hi) + ".");
        return false;
    }
    value = v;
    return true;
}

void WriteNumberField(QLineEdit* edit, double value)
{
    edit->setText(QString::fromLatin1(FormatGeneral(value, 15)));
}

void WriteIntegerField(QLineEdit* edit, int value)
{
    edit->setText(QString::number(value));
}
