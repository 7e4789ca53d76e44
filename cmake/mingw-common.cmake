# Shared by the two MinGW-w64 toolchain files. The posix thread model is the
# one GoogleTest's std::thread use needs.
set(CMAKE_C_COMPILER ${MORVELLE_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVELLE_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVELLE_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MORVELLE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
get_filename_component(_morvelle_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(MORVELLE_DEPS_PREFIX ${_morvelle_root}/build/deps/${MORVELLE_TRIPLET} CACHE PATH "")
