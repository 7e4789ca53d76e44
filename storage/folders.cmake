# Station folders (owned by the stations work). Adds its sources to
# storage_win and its tests below.
if(WIN32)
  target_sources(storage_win PRIVATE station_folders_win.cpp)
endif()

if(MORVELLE_TESTS AND NOT MORVELLE_FUZZ)
  morvelle_test(station_names_test SOURCES station_names_test.cpp LIBS storage_core)
  if(WIN32)
    morvelle_test(station_folders_win_test SOURCES station_folders_win_test.cpp LIBS storage_win)
  endif()
endif()

morvelle_fuzzer(station_names_fuzz SOURCES station_names_fuzz.cpp LIBS storage_core)
