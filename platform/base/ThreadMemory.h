#pragma once
// The memory that threads take: set once at start, before any thread starts, by the program and
// by its benchmarks, so that both run alike.
#include <cstddef>

// A thread's stack, where the system would give each 8 MiB of address space: a scan starts a
// thread a core, and the program's threads keep to small frames.
constexpr std::size_t kThreadStackBytes = 2u << 20;

// Every thread allocates from malloc's main arena (each arena of its own reserves 64 MiB of
// address space, a thread's first allocation making one), and threads that ask for no stack
// size get kThreadStackBytes. The sanitizers' larger frames keep the system's stacks.
void KeepThreadsSmall();
