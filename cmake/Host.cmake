# The host build: the program's logic against our simulated Windows, with GoogleTest.
option(VANTINST_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VANTINST_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

find_package(GTest REQUIRED)
enable_testing()

include(cmake/Resources.cmake)

add_library(vantinst_core STATIC ${VANTINST_CORE_SOURCES} ${VANTINST_CATALOGUE_SOURCES})
target_include_directories(vantinst_core PUBLIC ${CMAKE_SOURCE_DIR})

add_subdirectory(tests)
