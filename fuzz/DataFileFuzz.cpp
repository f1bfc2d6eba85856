// The data-file reader of all four kinds: the first byte picks the kind and the answers to the
// questions, the rest is the file. An import either changes nothing or leaves a consistent set
// of imported columns: every column of the kind holds the imported rows, and no more than the
// most rows an import takes.
#include "model/files/DataImport.h"
#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/base/MessageHook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const bool quiet = [] {
        SetMessageBoxHook([](const std::string&, unsigned) { return msgbox::IDOK; });
        return true;
    }();
    (void)quiet;
    const auto kind = static_cast<SystemKind>(data[0] % kSystemKinds);
    const bool bEarlier = (data[0] / kSystemKinds) % 2 != 0;
    CModelCore m(kind);
    m.SetDefaults();
    m.m_bHaveImport = bEarlier ? 1 : 0;
    m.m_nImportRows = bEarlier ? 3 : 0;
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0'); // fmemopen wants a buffer of at least one byte
    std::FILE* f = fmemopen(text.data(), text.size() - 1 == 0 ? 1 : text.size() - 1, "rb");
    if (f == nullptr)
        return 0;
    CDataLineReader reader(f);
    const ImportOutcome outcome =
        ImportDataFile(m, reader, static_cast<long long>(size - 1), "/fuzz/in.d3d");
    std::fclose(f);
    if (outcome != ImportOutcome::Imported) {
        if (m.m_nImportRows != (bEarlier ? 3 : 0))
            std::abort(); // refused or declined: nothing changed
        return 0;
    }
    if (m.m_nImportRows < 1 || m.m_nImportRows > kImportMaxRows)
        std::abort();
    for (VarSlot s : VarsOf(kind).Columns())
        if (m.m_arrImport[s].size() != static_cast<std::size_t>(m.m_nImportRows))
            std::abort();
    return 0;
}
