# The host build as a 32-bit Linux program (preset host32). The shipped exe is i686, so
# size_t, pointers and long are 32 bits wide there; the x86_64 host build cannot show a
# fault that depends on that, this one can.
#
# The kernel here does not run i386 programs itself: qemu-i386 runs them, both for
# gtest_discover_tests at build time and for ctest. LeakSanitizer stops the process's
# threads with ptrace, which qemu-user does not emulate (the exit of every ASan program
# hangs), so leaks are left to the x86_64 host-asan build; ASan's other checks and UBSan
# work under qemu. The sanitizers read their options from /proc/self/environ, which
# under qemu is qemu's own environment: qemu's -E would not reach them, env does.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

find_program(VANTINST_QEMU_I386 NAMES qemu-i386 qemu-i386-static
             DOC "runs the 32-bit test programs" REQUIRED)
find_program(VANTINST_ENV env REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${VANTINST_ENV};ASAN_OPTIONS=detect_leaks=0;${VANTINST_QEMU_I386}")
