# The Windows program: Vantinst.exe, statically linked so that it needs only system DLLs,
# with a PE header that Windows 2000 accepts.
enable_language(RC)

add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 WIN32_LEAN_AND_MEAN __USE_MINGW_ANSI_STDIO=0)
add_compile_options(-Wall -Wextra -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                    -ffunction-sections -fdata-sections -fno-threadsafe-statics)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s
                 -Wl,--major-subsystem-version,5,--minor-subsystem-version,0,--major-os-version,5,--minor-os-version,0)

include(cmake/Resources.cmake)

add_executable(Vantinst WIN32
  ${VANTINST_CORE_SOURCES}
  platform/win32/Main.cpp
  platform/win32/DialogHost.cpp
  platform/win32/SystemLibraries.cpp
  platform/win32/Memory.cpp
  ${VANTINST_RC_SOURCES})
target_include_directories(Vantinst PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(Vantinst PRIVATE user32 gdi32 advapi32 kernel32)

# The SDK values the host build copies (platform/host/SdkValues.def), checked against
# the real headers. Only static_asserts, and not linked: the exe keeps its bytes, and
# a wrong value still stops the build before Vantinst is linked.
add_library(VantinstSdkValueCheck OBJECT platform/win32/SdkValueCheck.cpp)
target_include_directories(VantinstSdkValueCheck PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(Vantinst VantinstSdkValueCheck)

include(cmake/Ship.cmake)

enable_testing()
vantinst_resource_test(Vantinst)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The shipped i686 build: static checks of the exe against Windows 2000 and XP.
  add_subdirectory(tests/pe)
endif()
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "AMD64")
  # The x86_64 build runs under Wine: the end-to-end tests and their fixtures.
  vantinst_version_fixtures(${CMAKE_BINARY_DIR}/fixtures/versions)
  add_subdirectory(tests/win)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/CMakeLists.txt)
    add_subdirectory(tests/wine)
  endif()
endif()
