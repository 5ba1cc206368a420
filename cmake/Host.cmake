# The host build: the program's logic against our simulated Windows, with GoogleTest.
option(VANTINST_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# How the program's logic, the simulator and the tests are compiled and linked, as one
# target that each of them links (GoogleTest keeps its own flags).
add_library(vantinst_host_options INTERFACE)
target_compile_options(vantinst_host_options INTERFACE -Wall -Wextra)
if(VANTINST_SANITIZE)
  target_compile_options(vantinst_host_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(vantinst_host_options INTERFACE -fsanitize=address,undefined)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # Debian's prebuilt libgtest is x86_64 only. The 32-bit build compiles GoogleTest from
  # the googletest source package into its own tree, with this build's flags.
  set(VANTINST_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources for the 32-bit host build (Debian package googletest)")
  if(NOT EXISTS "${VANTINST_GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "No GoogleTest sources in ${VANTINST_GTEST_SOURCE_DIR}: install the package googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory("${VANTINST_GTEST_SOURCE_DIR}" googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
enable_testing()

include(cmake/Resources.cmake)

add_library(vantinst_core STATIC ${VANTINST_CORE_SOURCES} ${VANTINST_CATALOGUE_SOURCES})
target_include_directories(vantinst_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantinst_core PUBLIC vantinst_host_options)

add_subdirectory(tests)
