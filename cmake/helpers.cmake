set(MORVELLE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")

if(WIN32)
  # Static runtime: the installation folder needs no MinGW DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Small rather than fast: the program waits on the window system, not on
  # its own code. The linker drops the unreferenced data; code mostly stays,
  # since x86-64 keeps every function that has unwind data.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:$<$<CONFIG:Release>:-Os>;-ffunction-sections;-fdata-sections>")
  add_link_options(-Wl,--gc-sections)
  # Every function-local static is first reached on the window's thread (the
  # pool threads that watch the schedulers only post messages): the guards
  # for statics reached by many threads at once would bring the threads
  # library's condition variables into the program.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  set(MORVELLE_JPEG_LIB ${MORVELLE_DEPS_PREFIX}/lib/libjpeg.a)
  if(NOT EXISTS ${MORVELLE_JPEG_LIB})
    message(FATAL_ERROR "libjpeg-turbo for ${MORVELLE_TRIPLET} missing: run scripts/setup")
  endif()
  add_library(jpeg_ijg STATIC IMPORTED GLOBAL)
  set_target_properties(jpeg_ijg PROPERTIES IMPORTED_LOCATION ${MORVELLE_JPEG_LIB}
                        INTERFACE_INCLUDE_DIRECTORIES ${MORVELLE_DEPS_PREFIX}/include)
else()
  find_package(JPEG)
  if(JPEG_FOUND)
    add_library(jpeg_ijg INTERFACE IMPORTED GLOBAL)
    target_link_libraries(jpeg_ijg INTERFACE JPEG::JPEG)
  endif()
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
endif()

# morvelle_test(name SOURCES... [LIBS ...]): one test program, run as one
# process (under Wine through the emulator in the cross builds).
function(morvelle_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(WIN32)
    # Tests are console programs so that GoogleTest's report reaches CTest.
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  if(NOT MORVELLE_SKIP_TEST_RUN)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  endif()
endfunction()

if(WIN32 AND NOT MORVELLE_SKIP_TEST_RUN)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run;${CMAKE_BINARY_DIR}/wine/prefix)
endif()

# morvelle_fuzzer(name SOURCES... LIBS ...): a libFuzzer target, built only in
# the fuzz preset, with its seed corpus beside it in <dir>/corpus/<name>.
function(morvelle_fuzzer name)
  if(NOT MORVELLE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
