# Dialogs of our own (owned by the stations work): the confirmation.
# The message and error boxes and the one route for the Win32 window
# ceremony (classes, children, subclasses, centring, guarded dispatch).
add_library(window_base_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dialogs_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dpi_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_base_win.cpp
)
target_include_directories(window_base_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(window_base_win PUBLIC base_core user32 gdi32)

add_library(confirm_dialog_win STATIC ${CMAKE_CURRENT_LIST_DIR}/confirm_dialog_win.cpp)
target_include_directories(confirm_dialog_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(confirm_dialog_win PUBLIC window_base_win user32 gdi32)

if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  morvelle_test(confirm_dialog_win_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/confirm_dialog_win_test.cpp
    LIBS confirm_dialog_win)
endif()
