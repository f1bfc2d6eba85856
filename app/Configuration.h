#pragma once
// The configuration file "KRVX500.CFG": the access level and the teacher password, read once at
// start (with the student log-on and the per-user folder) and written by the Configuration
// command. The record is a little-endian 32-bit level and a length-prefixed 8-bit text; bytes
// after it are never read.
#include <cstdint>
#include <string>

class CArchive;

extern const char* const kConfigFileName;
extern const char* const kConfigReadFailed;

// Loading fills g_nAccessLevel and g_strTeacherPassword; storing writes them.
void SerializeConfiguration(CArchive& ar);

// Reads the record of the file at path into the globals (a missing file is made, empty, and
// none is truncated); false, with nothing changed, when it cannot be opened or read whole.
bool LoadConfigurationFile(const char* path);

// Whether a log-on name holds a character that may not be part of a folder name here.
bool HasLogOnPunctuation(const std::string& name);

// dir + "/" + name + "/" (the log-on name spelt as a path), with the folder made (an existing
// folder, or a failure, is ignored).
std::string MakeUserFolder(const std::string& dir, const std::string& name);

// The start-up read of the file in the current directory and, at student level, the log-on.
// Returns -1 when the program goes on, otherwise the exit code: 1 when the file cannot be read
// (after its message and the About box), 0 when the log-on is cancelled.
int StartUpConfiguration();

// Stores the record over the start of the file, keeping the bytes past it; false, with the
// system's reason in strError and the old file as it was, when it cannot be read or written.
bool WriteConfigurationFile(const std::string& path, std::string& strError);

// The shell's start-up hook: StartUpConfiguration, ending the process when it says so.
void ReadConfigurationAndLogOn();
