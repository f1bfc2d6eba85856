#pragma once
// One line on a fresh model of a kind: what the edit shows afterwards, the message, the
// settings, the hints to the views and the modified flag.
#include "EntryHost.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

struct FieldValue
{
    FieldValue(const char* m, double n) : member(m), number(n) {}
    FieldValue(const char* m, std::string_view t) : member(m), text(t.data()) {} // a text member
    const char* member;
    double number = 0;
    const char* text = nullptr;
};

struct EntryCase
{
    const char* line;
    const char* edit; // nullptr: the line stays as typed
    std::vector<FieldValue> fields;
    std::vector<long> hints;
    bool modified;
    const char* message = nullptr;
    std::function<void(CRecordingHost&)> setup = {};
};

constexpr const char* kKept = nullptr;
constexpr const char* kCleared = "";
constexpr const char* kOutOfRange = "value out of range";
constexpr const char* kUnknown = "Data entry is unavailable for this name.";

// Values that the settings table does not list, since they are derived from others.
inline bool ExpectDerived(CModelCore& m, const FieldValue& v)
{
    const std::pair<std::string_view, double CModelSettings::*> numbers[] = {
        {"m_dChronon", &CModelSettings::m_dChronon},
        {"m_dXDelayTime", &CModelSettings::m_dXDelayTime},
        {"m_dYDelayTime", &CModelSettings::m_dYDelayTime},
        {"m_dZDelayTime", &CModelSettings::m_dZDelayTime}};
    for (const auto& [name, member] : numbers)
        if (name == v.member) {
            EXPECT_DOUBLE_EQ(m.*member, v.number) << v.member;
            return true;
        }
    if (std::string_view(v.member) != "m_strEquation")
        return false;
    EXPECT_EQ(m.m_strEquation, v.text);
    return true;
}

inline void ExpectField(CModelCore& m, const FieldValue& v)
{
    if (ExpectDerived(m, v))
        return;
    const SettingField* f = FindField(v.member);
    ASSERT_NE(f, nullptr) << v.member;
    switch (f->type) {
    case FieldType::Text:
        EXPECT_EQ(f->Text(m), v.text) << v.member;
        break;
    case FieldType::Double:
        EXPECT_DOUBLE_EQ(f->Double(m), v.number) << v.member;
        break;
    case FieldType::Color:
        EXPECT_EQ(f->Color(m), static_cast<COLORREF>(v.number)) << v.member;
        break;
    default:
        EXPECT_EQ(f->Int(m), v.number) << v.member;
        break;
    }
}

inline void RunEntryCases(SystemKind kind, std::span<const EntryCase> cases)
{
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.line);
        CRecordingHost host(kind);
        if (c.setup)
            c.setup(host);
        CDataEntryInterpreter interpreter(host, kind);
        const EntryOutcome out = interpreter.Enter(c.line);
        const std::string shown = out.edit == EntryOutcome::Edit::Keep      ? c.line
                                  : out.edit == EntryOutcome::Edit::Replace ? out.text
                                                                            : "";
        EXPECT_EQ(shown, c.edit ? c.edit : c.line);
        if (c.message)
            EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(host.messages.empty()) << host.messages.front();
        for (const FieldValue& v : c.fields)
            ExpectField(host.core, v);
        EXPECT_EQ(host.hints, c.hints);
        EXPECT_EQ(host.modified, c.modified);
    }
}
