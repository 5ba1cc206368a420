// Allocation without the C++ library's throwing operator new, which would pull its
// exception machinery into the exe. The program's own code raises no exceptions.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size)
{
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        std::abort();
    return memory;
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

// A pure virtual call or a termination is a programming error: end at once instead of
// linking the library's verbose handler and its demangler.
extern "C" void __cxa_pure_virtual() { std::abort(); }

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
