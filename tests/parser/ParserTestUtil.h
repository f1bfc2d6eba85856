#pragma once
// A parser on the heap with known variable values, and a recorder in place of message boxes.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/MessageRecorder.h"
#include "parser/Parser.h"

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
