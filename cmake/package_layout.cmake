# Run by CPack once the package's folder is staged, before it is zipped.
# The operator unpacks the package over an installation of the suite, whose
# velnorix.dll is the maker's and serves every program of the suite: ours
# goes into a subfolder, to be copied up only into an installation that has
# no library of its own.
file(GLOB_RECURSE _ours "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/velnorix.dll")
foreach(_dll IN LISTS _ours)
  get_filename_component(_dir "${_dll}" DIRECTORY)
  get_filename_component(_dir_name "${_dir}" NAME)
  if(_dir_name STREQUAL "@MORVELLE_PACKAGE_LIBRARY_FOLDER@")
    continue()
  endif()
  file(MAKE_DIRECTORY "${_dir}/@MORVELLE_PACKAGE_LIBRARY_FOLDER@")
  file(RENAME "${_dll}" "${_dir}/@MORVELLE_PACKAGE_LIBRARY_FOLDER@/velnorix.dll")
endforeach()
