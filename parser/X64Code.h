#pragma once
// Just enough of an x86-64 assembler for the native rates program: scalar SSE2 arithmetic on
// doubles at [register + displacement] or in a pool of constants behind the code, the moves,
// calls and jumps around it, and the executable block the code ends up in. Internal to the
// parser.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace x64 {

enum Gpr : int
{
    RAX = 0,
    RCX = 1,
    RDX = 2,
    RBX = 3,
    RSP = 4,
    RBP = 5,
    RSI = 6,
    RDI = 7,
    R12 = 12
};

// Scalar double operations: the second opcode byte after 0F, with prefix F2 (sd) or 66 (pd).
enum SseOp : std::uint8_t
{
    kMovLoad = 0x10,    // movsd xmm, m64
    kMovStore = 0x11,   // movsd m64, xmm; with 66 movupd m128, xmm
    kMovAligned = 0x28, // movapd xmm, xmm, 66
    kAnd = 0x54,        // andpd, 66
    kXor = 0x57,        // xorpd, 66
    kAdd = 0x58,
    kMul = 0x59,
    kSub = 0x5C,
    kDiv = 0x5E,
    kUcomi = 0x2E, // ucomisd, 66
};

// [base + disp], or pool entry disp when base < 0 (addressed relative to the code).
struct Mem
{
    int base = -1;
    std::int32_t disp = 0;
};

// Read and execute, never writable once made: shared by every copy of the program that owns it.
class CCodeBlock
{
public:
    // nullptr when the memory cannot be had or made executable.
    static std::shared_ptr<const CCodeBlock> Make(const std::vector<std::uint8_t>& code);
    ~CCodeBlock();
    CCodeBlock(const CCodeBlock&) = delete;
    CCodeBlock& operator=(const CCodeBlock&) = delete;
    const std::uint8_t* At(std::size_t offset) const { return m_pCode + offset; }

private:
    CCodeBlock(std::uint8_t* pCode, std::size_t nSize) : m_pCode(pCode), m_nSize(nSize) {}
    std::uint8_t* m_pCode;
    std::size_t m_nSize;
};

class CAssembler
{
public:
    struct Label
    {
        int pos = -1;             // where it is, once placed
        std::vector<int> patches; // rel32 fields that jump to it
    };

    std::size_t Size() const { return m_code.size(); }
    // Pads with int3 to a multiple of n, or by n bytes.
    void Align(int n);
    void Pad(int n);

    // xmm x = x op y (ops with prefix F2, or 66 for and, xor, ucomi)
    void Sse(int prefix, SseOp op, int x, int y);
    void Sse(int prefix, SseOp op, int x, const Mem& m);
    void Load(int x, const Mem& m) { Sse(0xF2, kMovLoad, x, m); }
    void Store(const Mem& m, int x) { Sse(0xF2, kMovStore, x, m); }

    void Push(int r);
    void Pop(int r);
    void MovRR(int dst, int src);    // 64-bit
    void Lea(int dst, const Mem& m); // 64-bit
    void MovImm32(int dst, std::uint32_t v);
    void AlignRsp16(); // and rsp, -16
    void LeaveFrame(); // rbx from [rbp - 8], then leave: the frame of push rbp, push rbx
    void CallAbsolute(const void* fn); // through rax
    void TestAlJnz(Label& target);     // jump when al != 0
    void ReturnStatus(bool bFailed);   // eax = bFailed, no ret
    void Ret() { Byte(0xC3); }
    void Place(Label& label);

    // A short forward jump: Jcc8 emits it, Here8 points it at the current position.
    int Jcc8(std::uint8_t cc); // cc: 0x75 jne, 0x7A jp, 0xEB jmp
    void Here8(int at);

    // A 16-byte pool entry, shared by equal ones.
    int Constant(std::uint64_t lo, std::uint64_t hi = 0);
    // The code with the pool behind it, every reference to the pool resolved.
    std::vector<std::uint8_t> Finish();

private:
    void Byte(int b) { m_code.push_back(static_cast<std::uint8_t>(b)); }
    void Dword(std::uint32_t v);
    void Rex(bool w, int reg, int base);
    void ModRm(int reg, const Mem& m);
    void Patch32(int at, std::int32_t v);

    std::vector<std::uint8_t> m_code;
    std::vector<std::array<std::uint64_t, 2>> m_pool;
    std::vector<std::pair<int, int>> m_poolRefs; // disp32 field, pool entry
};

} // namespace x64
