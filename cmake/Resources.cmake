# The program's resources and the message catalogue.
#
#   VANTINST_RC_SOURCES         res/vantinst.rc, for the Windows executable
#   VANTINST_CATALOGUE_SOURCES  res/Catalogue.cpp, the catalogue texts as a C++ array
#                               (host build: the simulated LoadStringA; tests)
#
# Both are built from res/messages.def, so the string table and the array always hold
# the same texts. Include this file from the top-level CMakeLists.txt before the
# targets that use the variables.

get_filename_component(VANTINST_TOOLS_DIR "${CMAKE_CURRENT_LIST_DIR}/../tools" ABSOLUTE)
get_filename_component(VANTINST_RES_DIR "${CMAKE_CURRENT_LIST_DIR}/../res" ABSOLUTE)

set(VANTINST_RC_SOURCES "${VANTINST_RES_DIR}/vantinst.rc")
set(VANTINST_CATALOGUE_SOURCES "${VANTINST_RES_DIR}/Catalogue.cpp")

# Ninja records no dependencies for .rc files: name what vantinst.rc pulls in.
# (OEM.BMP is not among them: the program reads it from beside itself at run time.)
set_source_files_properties("${VANTINST_RES_DIR}/vantinst.rc" PROPERTIES
  OBJECT_DEPENDS "${VANTINST_RES_DIR}/messages.def;${VANTINST_RES_DIR}/resource.h;${VANTINST_RES_DIR}/vantinst.ico")

# vantinst_resource_test(<target>): a test that reads the resources compiled into the
# executable <target> and compares the dialog templates, the string table (against
# messages.def), the icon and the resource language with what the program relies on.
# Call it after the target is defined, in a build with enable_testing().
function(vantinst_resource_test target)
  find_package(Python3 COMPONENTS Interpreter)
  if(NOT Python3_Interpreter_FOUND)
    message(STATUS "Python 3 not found: resource test skipped")
    return()
  endif()
  add_test(NAME resources
    COMMAND "${Python3_EXECUTABLE}" "${VANTINST_TOOLS_DIR}/check_resources.py"
            "$<TARGET_FILE:${target}>" "${VANTINST_RES_DIR}/messages.def")
endfunction()
