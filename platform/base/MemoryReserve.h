#pragma once
#include <cstddef>

// A reserve of address space for telling the user that memory ran out: a message box needs
// memory of its own to show, and there may be none left. The program takes the reserve when it
// starts; every modal window (a message box, a dialog, a file dialog) gives it back while it
// shows and takes it again afterwards, when there is memory for it.

// Takes the reserve unless it is held; without memory for it the program goes on without, and
// the next box tries again. The first call is the program's wish for one: before it, the calls
// that give the reserve back and take it again do nothing.
void TakeMemoryReserve() noexcept;

// Gives the reserve back, if it is held.
void GiveBackMemoryReserve() noexcept;

// Whether the reserve is held now.
bool MemoryReserveHeld() noexcept;

// While it lives the reserve is given back, as a modal window shows. Guards nest (a box over a
// dialog): the last to go takes the reserve again, if the program wishes one.
class CReserveGivenBack
{
public:
    CReserveGivenBack() noexcept;
    ~CReserveGivenBack();
    CReserveGivenBack(const CReserveGivenBack&) = delete;
    CReserveGivenBack& operator=(const CReserveGivenBack&) = delete;
};

// Whether the address space still has room for so many bytes: mapped for a moment, never used.
bool AddressSpaceFree(std::size_t bytes) noexcept;
