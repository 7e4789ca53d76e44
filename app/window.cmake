# The program morvelle.exe and its window. Included from app/ in the
# Windows builds.

add_library(window_win STATIC
  application_win.cpp
  main_window_win.cpp
)
target_include_directories(window_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(window_win
  PUBLIC app_core controls_win window_base_win confirm_dialog_win storage_win
  PRIVATE gdi32 user32)

add_executable(morvelle WIN32 main_win.cpp ${PROJECT_SOURCE_DIR}/textlib/own_texts.rc)
target_link_libraries(morvelle PRIVATE
  window_win guard_win launcher_win message_texts_win storage_win onair_win morvelle_artwork)
install(TARGETS morvelle RUNTIME DESTINATION .)


if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  # The window in this process, with the controller over recording fakes.
  morvelle_test(main_window_win_test SOURCES main_window_win_test.cpp
                LIBS window_win morvelle_artwork jpeg_ijg gdi32 user32 oleacc oleaut32 ole32)
  set(MORVELLE_SCREENSHOTS ${CMAKE_BINARY_DIR}/screenshots)
  file(MAKE_DIRECTORY ${MORVELLE_SCREENSHOTS})
  target_compile_definitions(main_window_win_test PRIVATE
    MORVELLE_SCREENSHOT_DIR="${MORVELLE_SCREENSHOTS}")
endif()

if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  # The real program, started in a temporary installation folder.
  morvelle_test(morvelle_win_test SOURCES morvelle_win_test.cpp LIBS user32)
  add_dependencies(morvelle_win_test morvelle velnorix planted_library)
  target_compile_definitions(morvelle_win_test PRIVATE
    MORVELLE_EXE="$<TARGET_FILE:morvelle>" MORVELLE_TEXTS_DLL="$<TARGET_FILE:velnorix>"
    MORVELLE_PLANTED_DLL="$<TARGET_FILE:planted_library>")
endif()
