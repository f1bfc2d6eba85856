// The model-file loader of all four kinds: the first byte picks the kind, the rest is the
// file. A load either fails with the archive's exception and leaves the record alone, or gives
// a record whose values are all in range and which stores and loads back to the same bytes.
#include "model/core/ModelFile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const auto kind = static_cast<SystemKind>(data[0] % kSystemKinds);
    CModelSettings s;
    SetModelDefaults(s, kind);
    CArchive in(std::vector<std::uint8_t>(data + 1, data + size));
    try {
        LoadModel(in, s, kind);
    } catch (const CArchiveException&) {
        return 0;
    }
    if (!CheckLoadedSettings(s, kind).empty())
        std::abort(); // a checked record must stay as it is
    CArchive once;
    StoreModel(once, s, kind);
    CModelSettings back;
    CArchive again(once.Buffer());
    LoadModel(again, back, kind);
    CArchive twice;
    StoreModel(twice, back, kind);
    if (once.Buffer() != twice.Buffer())
        std::abort();
    return 0;
}
