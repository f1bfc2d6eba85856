#include "parser/X64Code.h"

#include <cstring>

#if defined(__x86_64__) && defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define VELTRIX_X64_CODE 1
#endif

namespace x64 {

std::shared_ptr<const CCodeBlock> CCodeBlock::Make(const std::vector<std::uint8_t>& code)
{
#ifdef VELTRIX_X64_CODE
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t size = (code.size() + page - 1) / page * page;
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    std::memcpy(p, code.data(), code.size());
    if (mprotect(p, size, PROT_READ | PROT_EXEC) != 0) {
        munmap(p, size);
        return nullptr;
    }
    return std::shared_ptr<const CCodeBlock>(new CCodeBlock(static_cast<std::uint8_t*>(p), size));
#else
    (void)code;
    return nullptr;
#endif
}

CCodeBlock::~CCodeBlock()
{
#ifdef VELTRIX_X64_CODE
    munmap(m_pCode, m_nSize);
#endif
}

void CAssembler::Dword(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        Byte(static_cast<int>((v >> (8 * i)) & 0xFF));
}

void CAssembler::Patch32(int at, std::int32_t v)
{
    std::memcpy(&m_code[static_cast<std::size_t>(at)], &v, sizeof v);
}

void CAssembler::Pad(int n)
{
    for (int i = 0; i < n; ++i)
        Byte(0xCC);
}

void CAssembler::Align(int n)
{
    while (m_code.size() % static_cast<std::size_t>(n) != 0)
        Byte(0xCC);
}

// REX.W, REX.R for a high ModRM reg, REX.B for a high base; none when all are zero.
void CAssembler::Rex(bool w, int reg, int base)
{
    const int rex = (w ? 8 : 0) | (reg >= 8 ? 4 : 0) | (base >= 8 ? 1 : 0);
    if (rex != 0)
        Byte(0x40 | rex);
}

void CAssembler::ModRm(int reg, const Mem& m)
{
    if (m.base < 0) { // rip + disp32, resolved by Finish
        Byte(((reg & 7) << 3) | 5);
        m_poolRefs.emplace_back(static_cast<int>(m_code.size()), m.disp);
        Dword(0);
        return;
    }
    const bool bShort = m.disp >= -128 && m.disp <= 127;
    Byte((bShort ? 0x40 : 0x80) | ((reg & 7) << 3) | (m.base & 7));
    if ((m.base & 7) == RSP)
        Byte(0x24); // SIB: base only
    if (bShort)
        Byte(m.disp & 0xFF);
    else
        Dword(static_cast<std::uint32_t>(m.disp));
}

void CAssembler::Sse(int prefix, SseOp op, int x, int y)
{
    Byte(prefix);
    Rex(false, x, y);
    Byte(0x0F);
    Byte(op);
    Byte(0xC0 | ((x & 7) << 3) | (y & 7));
}

void CAssembler::Sse(int prefix, SseOp op, int x, const Mem& m)
{
    Byte(prefix);
    Rex(false, x, m.base < 0 ? 0 : m.base);
    Byte(0x0F);
    Byte(op);
    ModRm(x, m);
}

void CAssembler::Push(int r)
{
    Rex(false, 0, r);
    Byte(0x50 + (r & 7));
}

void CAssembler::Pop(int r)
{
    Rex(false, 0, r);
    Byte(0x58 + (r & 7));
}

void CAssembler::MovRR(int dst, int src)
{
    Rex(true, src, dst);
    Byte(0x89);
    Byte(0xC0 | ((src & 7) << 3) | (dst & 7));
}

void CAssembler::Lea(int dst, const Mem& m)
{
    Rex(true, dst, m.base < 0 ? 0 : m.base);
    Byte(0x8D);
    ModRm(dst, m);
}

void CAssembler::MovImm32(int dst, std::uint32_t v)
{
    Rex(false, 0, dst);
    Byte(0xB8 + (dst & 7));
    Dword(v);
}

void CAssembler::AlignRsp16()
{
    for (int b : {0x48, 0x83, 0xE4, 0xF0})
        Byte(b);
}

void CAssembler::LeaveFrame()
{
    for (int b : {0x48, 0x8B, 0x5D, 0xF8}) // mov rbx, [rbp - 8]
        Byte(b);
    Byte(0xC9); // leave
}

void CAssembler::CallAbsolute(const void* fn)
{
    Byte(0x48); // mov rax, imm64
    Byte(0xB8);
    std::uint64_t v = reinterpret_cast<std::uintptr_t>(fn);
    for (int i = 0; i < 8; ++i, v >>= 8)
        Byte(static_cast<int>(v & 0xFF));
    Byte(0xFF); // call rax
    Byte(0xD0);
}

void CAssembler::TestAlJnz(Label& target)
{
    Byte(0x84); // test al, al
    Byte(0xC0);
    Byte(0x0F); // jnz rel32
    Byte(0x85);
    target.patches.push_back(static_cast<int>(m_code.size()));
    Dword(0);
    if (target.pos >= 0)
        Place(target);
}

void CAssembler::ReturnStatus(bool bFailed)
{
    if (bFailed) {
        MovImm32(RAX, 1);
    } else {
        Byte(0x31); // xor eax, eax
        Byte(0xC0);
    }
}

void CAssembler::Place(Label& label)
{
    if (label.pos < 0)
        label.pos = static_cast<int>(m_code.size());
    for (int at : label.patches)
        Patch32(at, label.pos - (at + 4));
    label.patches.clear();
}

int CAssembler::Jcc8(std::uint8_t cc)
{
    Byte(cc);
    Byte(0);
    return static_cast<int>(m_code.size()) - 1;
}

void CAssembler::Here8(int at)
{
    const int rel = static_cast<int>(m_code.size()) - (at + 1);
    m_code[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(rel);
}

int CAssembler::Constant(std::uint64_t lo, std::uint64_t hi)
{
    for (std::size_t i = 0; i < m_pool.size(); ++i)
        if (m_pool[i][0] == lo && m_pool[i][1] == hi)
            return static_cast<int>(i);
    m_pool.push_back({lo, hi});
    return static_cast<int>(m_pool.size()) - 1;
}

std::vector<std::uint8_t> CAssembler::Finish()
{
    Align(16);
    const int pool = static_cast<int>(m_code.size());
    for (const auto& entry : m_pool)
        for (std::uint64_t v : entry)
            for (int i = 0; i < 8; ++i, v >>= 8)
                Byte(static_cast<int>(v & 0xFF));
    // Every pool reference is the last field of its instruction: rip is the field's end.
    for (const auto& [at, entry] : m_poolRefs)
        Patch32(at, pool + 16 * entry - (at + 4));
    return std::move(m_code);
}

} // namespace x64
