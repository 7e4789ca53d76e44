# The program's artwork: a small generator of ours, built for and run on the
# build machine, draws the button bitmaps and the program icon; the resource
# script built from artwork/artwork.rc.in carries them into the executable.
# The program draws the buttons itself at other DPIs, with the generator's
# drawing code (artwork_drawing, portable).
#
# Gives the library artwork_drawing (every build) and, in the Windows builds,
# MORVELLE_ARTWORK_RC (the generated .rc, for the executable's sources), the
# OBJECT library morvelle_artwork (the same script, compiled) and the library
# artwork_win (the bitmaps at a DPI).
include_guard(GLOBAL)

add_library(artwork_drawing STATIC ${CMAKE_CURRENT_LIST_DIR}/artwork/artwork_drawing.cpp)
target_include_directories(artwork_drawing PUBLIC ${PROJECT_SOURCE_DIR})
if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  morvelle_test(artwork_drawing_test
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/artwork/artwork_drawing_test.cpp
                LIBS artwork_drawing)
endif()

if(NOT WIN32)
  return()
endif()
if(NOT CMAKE_RC_COMPILER_LOADED)
  enable_language(RC)
endif()

# The host compiler, not the cross one.
find_program(MORVELLE_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)

set(_art_src
  ${CMAKE_CURRENT_LIST_DIR}/artwork/make_artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/artwork_drawing.cpp
)
set(_art_headers ${CMAKE_CURRENT_LIST_DIR}/artwork/artwork_drawing.h)
set(_art_dir ${CMAKE_CURRENT_BINARY_DIR}/artwork)
set(_art_tool ${_art_dir}/make_artwork)
set(_art_files
  ${_art_dir}/morvelle.ico
  ${_art_dir}/run_scheduler.bmp
  ${_art_dir}/run_history.bmp
  ${_art_dir}/run_recorder.bmp
  ${_art_dir}/remove_station.bmp
  ${_art_dir}/add_station.bmp
)
file(MAKE_DIRECTORY ${_art_dir})

add_custom_command(OUTPUT ${_art_tool}
  COMMAND ${MORVELLE_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -I${PROJECT_SOURCE_DIR}
          -o ${_art_tool} ${_art_src}
  DEPENDS ${_art_src} ${_art_headers}
  COMMENT "Building the artwork generator for the build machine"
  VERBATIM)
add_custom_command(OUTPUT ${_art_files}
  COMMAND ${_art_tool} ${_art_dir}
  DEPENDS ${_art_tool}
  COMMENT "Drawing the button pictures and the program icon"
  VERBATIM)
add_custom_target(morvelle_artwork_files DEPENDS ${_art_files})

set(MORVELLE_ARTWORK_DIR ${_art_dir})
set(MORVELLE_ARTWORK_IDS ${CMAKE_CURRENT_LIST_DIR}/artwork_ids.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/artwork/artwork.rc.in ${_art_dir}/artwork.rc @ONLY)
set(MORVELLE_ARTWORK_RC ${_art_dir}/artwork.rc)
set_source_files_properties(${MORVELLE_ARTWORK_RC} PROPERTIES
  OBJECT_DEPENDS "${_art_files};${MORVELLE_ARTWORK_IDS}")

add_library(morvelle_artwork OBJECT ${MORVELLE_ARTWORK_RC})
add_dependencies(morvelle_artwork morvelle_artwork_files)
target_include_directories(morvelle_artwork INTERFACE ${PROJECT_SOURCE_DIR})

add_library(artwork_win STATIC ${CMAKE_CURRENT_LIST_DIR}/artwork_win.cpp)
target_include_directories(artwork_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(artwork_win PRIVATE artwork_drawing gdi32 user32)

if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  morvelle_test(artwork_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/artwork_win_test.cpp
                LIBS artwork_win morvelle_artwork gdi32)
endif()
