#pragma once
// The memory this process may still take, for work that sizes itself to it (a photograph turned
// upright). Read from the kernel's files without allocating: memory may be short when it is
// asked.

// The bytes of memory this process may still take: most of what the machine has free, within
// any limit on its address space and its control groups'.
double MemoryRoom();

// What control groups' memory limits leave: the least over the process's group and those above
// it, of the unified hierarchy and of the memory controller's own; unbounded where none is set.
// A group uses what it holds less the page cache on its inactive list, which the kernel takes
// back before it refuses memory. The files are /proc/self/mountinfo and /proc/self/cgroup or
// stand-ins for them.
double ControlGroupRoom(const char* mountinfo, const char* cgroups);
