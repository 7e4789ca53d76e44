# JPEG pictures: the portable decoder and the Win32 picture on top of it.
# Included from the app directory (natively too, for the decoder's tests).
include_guard(GLOBAL)

if(TARGET jpeg_ijg)
  add_library(jpeg_image STATIC ${CMAKE_CURRENT_LIST_DIR}/jpeg_image.cpp)
  target_link_libraries(jpeg_image PUBLIC storage_core PRIVATE jpeg_ijg)

  if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
    # The tests make their JPEGs with libjpeg's compressor.
    morvelle_test(jpeg_image_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_image_test.cpp
                  LIBS jpeg_image jpeg_ijg)
  endif()
  morvelle_fuzzer(jpeg_image_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_image_fuzz.cpp
                  LIBS jpeg_image)

  if(WIN32)
    add_library(picture_win STATIC ${CMAKE_CURRENT_LIST_DIR}/picture_win.cpp)
    target_link_libraries(picture_win PUBLIC jpeg_image storage_core PRIVATE gdi32)
    if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
      morvelle_test(picture_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/picture_win_test.cpp
                    LIBS picture_win jpeg_ijg gdi32)
    endif()
  endif()
else()
  message(WARNING "libjpeg not found: the picture code is not built")
endif()
