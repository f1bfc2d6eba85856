#pragma once
// A parser on the heap with known variable values, and a recorder in place of message boxes.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/MessageRecorder.h"
#include "parser/Parser.h"

// A row's name from the text it scans, the same at every run: letters and digits as they are,
// each other character as a word, joined by underscores ("2^-1" is "2_pow_minus_1").
inline std::string TextName(const std::string& text)
{
    static const std::pair<char, const char*> kWords[] = {
        {'+', "plus"},  {'-', "minus"}, {'*', "times"},  {'/', "over"},
        {'^', "pow"},   {'(', "open"},  {')', "close"},  {'.', "dot"},
        {',', "comma"}, {' ', "sp"},    {'\t', "tab"},   {'<', "lt"},
        {'>', "gt"},    {'=', "eq"},    {'\'', "prime"}, {':', "colon"}};
    std::string name;
    bool inWord = false; // within a run of letters and digits
    for (const char c : text) {
        const bool alnum = std::isalnum(static_cast<unsigned char>(c)) != 0;
        if (!name.empty() && !(alnum && inWord))
            name += '_';
        inWord = alnum;
        if (alnum) {
            name += c;
            continue;
        }
        const auto* word = std::find_if(std::begin(kWords), std::end(kWords),
                                        [c](const auto& w) { return w.first == c; });
        if (word != std::end(kWords)) {
            name += word->second;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "x%02X", static_cast<unsigned char>(c));
            name += hex;
        }
    }
    return name.empty() ? "empty" : name;
}

class ParserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        p = std::make_unique<CParser>();
        p->m_dA = 1.5;
        p->m_dB = -2.0;
        p->m_dC = 0.25;
        p->m_dD = 4.0;
        p->m_dX = 1.0;
        p->m_dY = 2.0;
        p->m_dZ = 3.0;
    }

    // A one-off scanning evaluation, nothing recorded.
    double Scan(const std::string& text, int& status)
    {
        p->m_bScan = 1;
        p->m_nList = 0;
        p->m_nListIndex = 0;
        return p->Evaluate(text.c_str(), status);
    }
    double Record(int nList, const std::string& text, int& status)
    {
        p->m_bScan = 1;
        p->m_nList = nList;
        p->m_nListIndex = 0;
        return p->Evaluate(text.c_str(), status);
    }
    double Replay(int nList, int& status, bool bCompiled = true)
    {
        p->SetCompiledReplay(bCompiled);
        p->m_bScan = 0;
        p->m_nList = nList;
        p->m_nListIndex = 0;
        return p->Evaluate("", status);
    }

    std::unique_ptr<CParser> p;
    MessageRecorder m_recorder;
    std::vector<std::string>& m_messages = m_recorder.messages;
};
