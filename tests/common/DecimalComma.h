#pragma once
// Switches the C and C++ locales to a decimal-comma one while it lives (a German one, which
// scripts/setup.sh generates); Active() is false when none is installed.
#include <clocale>
#include <locale>

class DecimalCommaLocale
{
public:
    DecimalCommaLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if (std::setlocale(LC_ALL, name)) {
                m_old = std::locale::global(std::locale(name));
                m_bActive = true;
                return;
            }
    }
    ~DecimalCommaLocale()
    {
        if (!m_bActive)
            return;
        std::locale::global(m_old);
        std::setlocale(LC_ALL, "C");
    }
    bool Active() const { return m_bActive; }

private:
    std::locale m_old;
    bool m_bActive = false;
};
