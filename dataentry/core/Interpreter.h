#pragma once
// The interpreter of the data-entry line: "name=value" sets a setting of the document's kind,
// "name=" asks for it. Every refusal is a message through the host and leaves the line for
// correction; an accepted entry empties the line, repairs what depends on the value and tells
// the views. No display of its own: the window feeds it lines and shows what it answers.
#include "dataentry/core/DataEntryHost.h"
#include "dataentry/core/EntryKeys.h"

#include <string>

// What the edit shows after a line.
struct EntryOutcome
{
    enum class Edit
    {
        Keep,    // the line as typed, all of it selected
        Replace, // text (a query's answer), all of it selected
        Clear    // accepted: the edit empty
    };
    Edit edit = Edit::Keep;
    std::string text;
};

// Update codes: the values that double as view hints are the hints of the same number.
namespace entrycode {
constexpr int kNone = 0, kRebuild = 1, kRestart = 2, kRunTime = 4, kTableSize = 7;
constexpr int kVFGrid = 12, kBAGrid = 13, kFOLimits = 33, kOSLimits = 34, kBALimits = 36,
              kVFLimits = 37;
constexpr long kHintModel = 1, kHintReset = -1;
} // namespace entrycode

extern const char* const kInvalidDataEntry;
extern const char* const kUnavailableName;
extern const char* const kValueOutOfRange;
extern const char* const kLineTooLong;

class CDataEntryInterpreter
{
public:
    CDataEntryInterpreter(IDataEntryHost& host, SystemKind kind) : m_host(host), m_kind(kind) {}

    // Enter on the line: a line of more than 132 characters is refused, and it needs an "="
    // after its first character.
    EntryOutcome Enter(const std::string& line);

    // Longest line that is read.
    static constexpr std::size_t kMaxLine = 132;

private:
    EntryOutcome Apply(const std::string& line);
    std::string Reply(const EntryKey& key);
    EntryOutcome Refuse(const char* message);
    EntryOutcome ApplyColour(COLORREF& clr, int code);
    // Reads, checks and stores the value; false after the refusal's message.
    bool Store(const EntryKey& key, const std::string& value, int& code);
    bool StoreNumber(const EntryKey& key, double v, int& code);
    bool StoreInteger(const EntryKey& key, long long v);
    bool StoreText(const EntryKey& key, const std::string& text, double v);
    bool StoreChoice(const EntryKey& key, int choice);
    bool ParseValue(const EntryKey& key, const std::string& text, double& v);
    void Succeed(int code);
    long HintFor(int code) const;

    IDataEntryHost& m_host;
    SystemKind m_kind;
};
