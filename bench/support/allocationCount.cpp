#include "allocationCount.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_counting = false;
thread_local TallocationCount t_count;

// The memory behind operator new comes from the C allocator's own entry
// point, so that one new is not counted twice.
extern "C" void *__libc_malloc(std::size_t size);
extern "C" void *__libc_calloc(std::size_t count, std::size_t size);
extern "C" void *__libc_realloc(void *memory, std::size_t size);

void *allocate(std::size_t size)
{
    if (t_counting)
        ++t_count.news;
    if (void *memory = __libc_malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

} // namespace

TallocationCount CountAllocations(const std::function<void()> &step)
{
    t_count = {};
    t_counting = true;
    step();
    t_counting = false;
    return t_count;
}

void *operator new(std::size_t size)
{
    return allocate(size);
}
void *operator new[](std::size_t size)
{
    return allocate(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    if (t_counting)
        ++t_count.news;
    return __libc_malloc(size ? size : 1);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    if (t_counting)
        ++t_count.news;
    return __libc_malloc(size ? size : 1);
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept
{
    std::free(memory);
}

extern "C" {
void *malloc(std::size_t size)
{
    if (t_counting)
        ++t_count.mallocs;
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size)
{
    if (t_counting)
        ++t_count.mallocs;
    return __libc_calloc(count, size);
}

void *realloc(void *memory, std::size_t size)
{
    if (t_counting)
        ++t_count.mallocs;
    return __libc_realloc(memory, size);
}
}
