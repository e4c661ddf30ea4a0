# Test helpers. GoogleTest is built from Debian's sources so the same version
# serves the Linux build and both Windows cross builds.
set(REREVURE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(REREVURE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH
    "Wine prefix the Windows tests run in (made by the tests themselves)")

function(rerevure_add_gtest_sources)
  if(TARGET gtest)
    return()
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${REREVURE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    if(WIN32)
      target_link_options(${lib} INTERFACE -static -static-libgcc -static-libstdc++)
    endif()
  endforeach()
endfunction()

# A GoogleTest program of logic tests against fakes. It is built by every
# preset and run on Linux and under wine64; the i686 build compiles it only.
function(rerevure_logic_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  rerevure_add_gtest_sources()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} rerevure_test_support gmock gtest_main)
  if(NOT WIN32)
    add_test(NAME ${name} COMMAND ${name})
  elseif(REREVURE_RUNS_UNDER_WINE)
    add_test(NAME ${name} COMMAND ${name})
    rerevure_wine_environment(${name})
  endif()
endfunction()

# A GoogleTest program that exercises the real Win32 adapters under wine64.
function(rerevure_wine_test name)
  cmake_parse_arguments(arg "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  rerevure_add_gtest_sources()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} rerevure_test_support gmock gtest_main)
  if(REREVURE_RUNS_UNDER_WINE)
    add_test(NAME ${name} COMMAND ${name})
    rerevure_wine_environment(${name})
    set_property(TEST ${name} APPEND PROPERTY LABELS wine)
    if(arg_GUI)
      set_property(TEST ${name} APPEND PROPERTY LABELS gui)
    endif()
  endif()
endfunction()

function(rerevure_wine_environment test)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    WINEPREFIX=${REREVURE_WINEPREFIX} WINELOADER=/usr/lib/wine/wine64 WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=)
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()
