#pragma once

// The memory mapping calls the tests use, over the Windows virtual memory calls: anonymous
// private pages only.
#include <cstddef>

#define PROT_NONE 0
#define PROT_READ 1
#define PROT_WRITE 2
#define MAP_PRIVATE 2
#define MAP_ANONYMOUS 0x20
#define MAP_FAILED (reinterpret_cast<void*>(-1))
#define _SC_PAGESIZE 30

void* mmap(void* address, std::size_t size, int protection, int flags, int fd, long offset);
int mprotect(void* address, std::size_t size, int protection);
int munmap(void* address, std::size_t size);
long sysconf(int name);
