# Dialogs of our own (owned by the stations work): the confirmation.
add_library(confirm_dialog_win STATIC ${CMAKE_CURRENT_LIST_DIR}/confirm_dialog_win.cpp)
target_include_directories(confirm_dialog_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(confirm_dialog_win PUBLIC user32 gdi32)

if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  morvelle_test(confirm_dialog_win_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/confirm_dialog_win_test.cpp
    LIBS confirm_dialog_win)
endif()
