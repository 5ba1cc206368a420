# The Windows program: Vantinst.exe, statically linked so that it needs only system DLLs,
# with a PE header that Windows 2000 accepts.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# How the program's code is compiled and linked, as one target that the program, its
# core library and the programs that must be linked like it (tests/pe) take on.
add_library(vantinst_program_options INTERFACE)
target_compile_definitions(vantinst_program_options INTERFACE
  _WIN32_WINNT=0x0500 WINVER=0x0500 WIN32_LEAN_AND_MEAN __USE_MINGW_ANSI_STDIO=0)
target_compile_options(vantinst_program_options INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -fno-exceptions -fno-asynchronous-unwind-tables
                              -ffunction-sections -fdata-sections>
  $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti -fno-threadsafe-statics>)
target_link_options(vantinst_program_options INTERFACE
  -static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,0,--major-os-version,5,--minor-os-version,0)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The shipped i686 exe, 1 KB smaller: mingw keeps a frame pointer in every function
  # by default, and keeps the stack 16-byte aligned for SSE code that this target
  # (pentiumpro, x87) never has; Windows itself promises 4 bytes. Without frame
  # pointers a crash's stack can no longer be walked along EBP; the exe is stripped,
  # so such a trace never had names anyway. The options also go to the link, where the
  # LTO code is made.
  set(_i686_code -fomit-frame-pointer -mpreferred-stack-boundary=2)
  target_compile_options(vantinst_program_options INTERFACE "$<$<COMPILE_LANGUAGE:C,CXX>:${_i686_code}>")
  target_link_options(vantinst_program_options INTERFACE ${_i686_code})
endif()

include(cmake/Resources.cmake)

# The program's logic and its Windows side, in one library that the program and the
# console checks under Wine (tests/wine) link.
add_library(vantinst_core STATIC
  ${VANTINST_CORE_SOURCES}
  platform/win32/DialogHost.cpp
  platform/win32/SystemLibraries.cpp)
target_include_directories(vantinst_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantinst_core PUBLIC vantinst_program_options user32 gdi32 advapi32 kernel32)

# Memory.cpp replaces the C++ library's operator new and friends: it is linked as an
# object, so that it is chosen before libstdc++ is searched.
add_executable(Vantinst WIN32
  platform/win32/Main.cpp
  platform/win32/Memory.cpp
  ${VANTINST_RC_SOURCES})
# The whole library: the application object registers itself from a static constructor,
# and nothing else refers to it. --gc-sections still drops what is unused.
target_link_libraries(Vantinst PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vantinst_core>")

# Link-time optimisation for the program and its library: 2.5 KB less, and the
# end-to-end tests run against the exe built this way.
set_target_properties(Vantinst vantinst_core PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The shipped i686 exe: ld's own layout with three tiny sections of the C runtime
  # merged into their neighbours (2 KB of padding; see tools/merge_sections.py).
  set(_script ${CMAKE_BINARY_DIR}/vantinst.ld)
  add_custom_command(OUTPUT ${_script}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/merge_sections.py ${CMAKE_LINKER} ${_script}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/merge_sections.py
    COMMENT "Making the linker script ${_script}"
    VERBATIM)
  add_custom_target(vantinst_linker_script DEPENDS ${_script})
  add_dependencies(Vantinst vantinst_linker_script)
  # No relocation section: Windows 2000 and XP always load an exe at its preferred
  # base, and only the address randomisation of later Windows reads it; there the
  # program ends at its Windows version check. 1.5 KB.
  target_link_options(Vantinst PRIVATE -Wl,-T,${_script} -Wl,--disable-dynamicbase
                                       -Wl,--disable-reloc-section)
  set_target_properties(Vantinst PROPERTIES LINK_DEPENDS ${_script})
endif()

# The SDK values the host build copies (platform/host/SdkValues.def), checked against
# the real headers. Only static_asserts, and not linked: the exe keeps its bytes, and
# a wrong value still stops the build before Vantinst is linked.
add_library(VantinstSdkValueCheck OBJECT platform/win32/SdkValueCheck.cpp)
target_link_libraries(VantinstSdkValueCheck PRIVATE vantinst_program_options)
target_include_directories(VantinstSdkValueCheck PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(Vantinst VantinstSdkValueCheck)

include(cmake/Ship.cmake)

enable_testing()
vantinst_resource_test(Vantinst)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The shipped i686 build: static checks of the exe against Windows 2000 and XP.
  add_subdirectory(tests/pe)
endif()
# Both builds run under Wine: the x86_64 twin under the host's wine64, the shipped i686
# exe under 32-bit Wine in the emulated i386 PC.
vantinst_version_fixtures(${CMAKE_BINARY_DIR}/fixtures/versions)
add_subdirectory(tests/wine)
