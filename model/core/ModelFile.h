#pragma once
// Model files (*.ns1, *.ds1, *.ds2, *.ds3): the record's stored fields, in a fixed order per
// kind, with no header. The table and the values derived from others are not stored.
#include "model/core/SettingsTable.h"
#include "platform/base/Archive.h"

#include <span>
#include <string>
#include <vector>

// Far past the size of any model file (about a kilobyte and its texts): a longer file is
// refused before it is read.
constexpr std::size_t kModelFileLimit = 1 << 20;

// The fields of a kind's file in file order.
std::span<const SettingField* const> FileLayout(SystemKind kind);

// Sets the view flags from the open views, then writes the kind's fields.
void StoreModel(CArchive& ar, CModelSettings& s, SystemKind kind);

// Reads the kind's fields into s. All or nothing: a short file throws CArchiveException and
// leaves s as it was. Values out of range are then replaced by the kind's defaults; the
// names of the replaced settings are returned (empty when the file was sound).
std::vector<std::string> LoadModel(CArchive& ar, CModelSettings& s, SystemKind kind);

// The message that lists replaced settings.
std::string ReplacedSettingsMessage(const std::vector<std::string>& names);

// Replaces values out of range by the kind's defaults; returns the names of those replaced.
std::vector<std::string> CheckLoadedSettings(CModelSettings& s, SystemKind kind);
