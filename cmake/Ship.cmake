# What ships beside the program, and the driver-file fixtures of the tests.
#
#   vantinst_standin_driver(<out.sys> <file.rc> [<included file>...])
#       Builds a stand-in driver file: a resource-only image that carries the version
#       information of <file.rc>. Further arguments are files that <file.rc> includes
#       (Ninja does not track .rc includes).
#   vantinst_version_fixtures(<outdir>)
#       Builds the version-check fixtures of tests/fixtures/versions into <outdir>
#       (target version_fixtures).
#   Target dist (part of ALL)
#       Assembles ${CMAKE_BINARY_DIR}/dist: the program, OEM.BMP, both setup
#       information files and the three stand-in driver files; the 32-bit build also
#       packs them into ${CMAKE_BINARY_DIR}/Vantinst-win32.zip.
#
# Include this file after the executable target Vantinst is defined.

get_filename_component(VANTINST_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# The stand-ins are built with the build's own resource compiler and C compiler. A host
# build has neither for Windows, so there the MinGW-w64 cross tools are looked up.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(VANTINST_STANDIN_RC "${CMAKE_RC_COMPILER}")
  set(VANTINST_STANDIN_CC "${CMAKE_C_COMPILER}")
else()
  find_program(VANTINST_STANDIN_RC x86_64-w64-mingw32-windres)
  find_program(VANTINST_STANDIN_CC x86_64-w64-mingw32-gcc)
endif()

function(vantinst_standin_driver out rc)
  if(NOT VANTINST_STANDIN_RC OR NOT VANTINST_STANDIN_CC)
    message(FATAL_ERROR "No Windows resource compiler and C compiler for ${out}")
  endif()
  get_filename_component(out "${out}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  get_filename_component(rc "${rc}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(outdir "${out}" DIRECTORY)
  string(MAKE_C_IDENTIFIER "${out}" id)
  set(objdir "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/vantinst_standin")
  set(obj "${objdir}/${id}.o")
  # --entry=0: no code at all; the image exists only for its resources. No time stamp
  # and a fixed image base, so that the same source gives the same bytes anywhere.
  add_custom_command(OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${objdir}" "${outdir}"
    COMMAND "${VANTINST_STANDIN_RC}" -O coff -i "${rc}" -o "${obj}"
    COMMAND "${VANTINST_STANDIN_CC}" -shared -nostdlib -s -Wl,--entry=0
            -Wl,--no-insert-timestamp -Wl,--disable-auto-image-base -o "${out}" "${obj}"
    DEPENDS "${rc}" ${ARGN}
    COMMENT "Building stand-in ${out}"
    VERBATIM)
endfunction()

function(vantinst_version_fixtures outdir)
  get_filename_component(outdir "${outdir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  set(src "${VANTINST_SOURCE_ROOT}/tests/fixtures/versions")
  set(outputs)
  foreach(name ok159 v158 trailing leading v1590 v16 empty novalue noversion
               secondtranslation)
    vantinst_standin_driver("${outdir}/${name}.sys" "${src}/${name}.rc" "${src}/fixture.rci")
    list(APPEND outputs "${outdir}/${name}.sys")
  endforeach()

  # badsignature.sys: ok159.sys with the fixed version block's signature spoiled.
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  set(patch "${VANTINST_SOURCE_ROOT}/tools/patch_signature.py")
  add_custom_command(OUTPUT "${outdir}/badsignature.sys"
    COMMAND "${Python3_EXECUTABLE}" "${patch}" "${outdir}/ok159.sys" "${outdir}/badsignature.sys"
    DEPENDS "${outdir}/ok159.sys" "${patch}"
    COMMENT "Building fixture ${outdir}/badsignature.sys"
    VERBATIM)
  list(APPEND outputs "${outdir}/badsignature.sys")

  add_custom_target(version_fixtures ALL DEPENDS ${outputs})
endfunction()

# --- dist ---------------------------------------------------------------------------

if(TARGET Vantinst)
  set(VANTINST_DIST_DIR "${CMAKE_BINARY_DIR}/dist")

  get_target_property(_vantinst_name Vantinst OUTPUT_NAME)
  if(NOT _vantinst_name)
    set(_vantinst_name Vantinst)
  endif()
  set(_vantinst_exe "${_vantinst_name}${CMAKE_EXECUTABLE_SUFFIX}")

  add_custom_command(OUTPUT "${VANTINST_DIST_DIR}/${_vantinst_exe}"
    COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:Vantinst>"
            "${VANTINST_DIST_DIR}/${_vantinst_exe}"
    DEPENDS Vantinst
    VERBATIM)
  set(_vantinst_dist_names "${_vantinst_exe}")

  foreach(_file res/OEM.BMP ship/orvelxpparallel.inf ship/orvel2kparallel.inf)
    get_filename_component(_name "${_file}" NAME)
    add_custom_command(OUTPUT "${VANTINST_DIST_DIR}/${_name}"
      COMMAND "${CMAKE_COMMAND}" -E copy "${VANTINST_SOURCE_ROOT}/${_file}"
              "${VANTINST_DIST_DIR}/${_name}"
      DEPENDS "${VANTINST_SOURCE_ROOT}/${_file}"
      VERBATIM)
    list(APPEND _vantinst_dist_names "${_name}")
  endforeach()

  foreach(_driver orvelxpparallel orvel2kparallel orvel2kparport)
    vantinst_standin_driver("${VANTINST_DIST_DIR}/${_driver}.sys"
                            "${VANTINST_SOURCE_ROOT}/ship/drivers/${_driver}.rc")
    list(APPEND _vantinst_dist_names "${_driver}.sys")
  endforeach()

  set(_vantinst_dist_files)
  foreach(_name IN LISTS _vantinst_dist_names)
    list(APPEND _vantinst_dist_files "${VANTINST_DIST_DIR}/${_name}")
  endforeach()

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_vantinst_zip "${CMAKE_BINARY_DIR}/Vantinst-win32.zip")
    add_custom_command(OUTPUT "${_vantinst_zip}"
      COMMAND "${CMAKE_COMMAND}" -E rm -f "${_vantinst_zip}"
      COMMAND "${CMAKE_COMMAND}" -E tar cf "${_vantinst_zip}" --format=zip
              -- ${_vantinst_dist_names}
      WORKING_DIRECTORY "${VANTINST_DIST_DIR}"
      DEPENDS ${_vantinst_dist_files}
      COMMENT "Packing ${_vantinst_zip}"
      VERBATIM)
    list(APPEND _vantinst_dist_files "${_vantinst_zip}")
  endif()

  add_custom_target(dist ALL DEPENDS ${_vantinst_dist_files})
endif()
