# Release: version information in the program and the text library, the
# program's manifest, the operator's README and the ZIP package of one
# installation folder. Included from the top level after every target exists.
if(NOT WIN32)
  return()
endif()

set(_release_dir ${CMAKE_BINARY_DIR}/release)
if(PROJECT_VERSION_TWEAK STREQUAL "")
  set(MORVELLE_VERSION_TWEAK 0)
else()
  set(MORVELLE_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()

# morvelle_version_resource(target file filetype description [EXTRA rc-lines])
function(morvelle_version_resource target file filetype description)
  cmake_parse_arguments(V "" "EXTRA" "" ${ARGN})
  if(NOT TARGET ${target})
    message(STATUS "release: no target ${target} yet; no version resource for it")
    return()
  endif()
  set(MORVELLE_RC_FILE ${file})
  get_filename_component(MORVELLE_RC_INTERNAL ${file} NAME_WE)
  set(MORVELLE_RC_FILETYPE ${filetype})
  set(MORVELLE_RC_DESCRIPTION ${description})
  set(MORVELLE_RC_EXTRA "${V_EXTRA}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${_release_dir}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${_release_dir}/${target}_version.rc)
endfunction()

set(MORVELLE_MANIFEST_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${MORVELLE_VERSION_TWEAK})
# The x86-64 program, for new installations, runs with the operator's own
# rights and asks for nothing more; declaring so also turns off file
# virtualisation, so that a save into a folder the operator may not write
# fails visibly. The i686 program is the one for installations of the suite,
# whose programs are old enough to declare no execution level: under
# Program Files, Windows virtualises their writes into the user's
# VirtualStore. Declaring none, the controller sees the same list, settings
# and station folders as the suite does.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MORVELLE_MANIFEST_TRUST [=[
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
]=])
else()
  set(MORVELLE_MANIFEST_TRUST [=[
  <!-- No execution level: the suite's own programs declare none. -->
]=])
endif()
configure_file(${PROJECT_SOURCE_DIR}/app/morvelle.manifest ${_release_dir}/morvelle.manifest @ONLY)
# 1 = CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 = RT_MANIFEST.
morvelle_version_resource(morvelle morvelle.exe VFT_APP "TALVEX Morvelle station controller"
                          EXTRA "1 24 \"${_release_dir}/morvelle.manifest\"")
morvelle_version_resource(velnorix velnorix.dll VFT_DLL "TALVEX Morvelle message texts")
if(TARGET morvelle)
  # windres does not see that the resource script reads the manifest.
  set_source_files_properties(${_release_dir}/morvelle_version.rc PROPERTIES
                              OBJECT_DEPENDS ${_release_dir}/morvelle.manifest)
endif()

# The operator's README, with Windows line ends.
set(MORVELLE_PACKAGE_LIBRARY_FOLDER new-installation)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MORVELLE_PACKAGE_ARCH x86-64)
else()
  set(MORVELLE_PACKAGE_ARCH i686)
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${_release_dir}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${_release_dir}/README.txt DESTINATION .)

# One ZIP per architecture, named after it, holding one installation folder.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(_arch x86_64)
else()
  set(_arch i686)
endif()
# Packaging takes what the build made: the package check runs from CTest
# after the build, and must not start a build of everything from inside it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "TALVEX-Morvelle")
set(CPACK_PACKAGE_VENDOR "TALVEX")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TALVEX Morvelle station controller")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows-${_arch})
set(_package_name ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${_package_name})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")
configure_file(${PROJECT_SOURCE_DIR}/cmake/package_layout.cmake ${_release_dir}/package_layout.cmake @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS ${_release_dir}/package_layout.cmake)
# include(CPack) leaves CPACK_PACKAGE_FILE_NAME set to the source package's
# name, hence _package_name below.
include(CPack)

# The package's contents, architecture and imports; run from CTest without
# the emulator, in both Windows builds.
if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  if(NOT MORVELLE_OBJDUMP)
    find_program(MORVELLE_OBJDUMP ${MORVELLE_TRIPLET}-objdump REQUIRED)
  endif()
  find_program(MORVELLE_WINDRES ${MORVELLE_TRIPLET}-windres REQUIRED)
  if(_arch STREQUAL "x86_64")
    set(_pe_format pei-x86-64)
  else()
    set(_pe_format pei-i386)
  endif()
  add_test(NAME release_package
           COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/check_package.sh
                   ${CMAKE_BINARY_DIR} ${_package_name} ${_pe_format}
                   ${MORVELLE_OBJDUMP} ${MORVELLE_WINDRES} ${PROJECT_VERSION}
                   ${MORVELLE_PACKAGE_LIBRARY_FOLDER})
  set_tests_properties(release_package PROPERTIES TIMEOUT 600)
endif()
