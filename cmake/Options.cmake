# Compiler and linker settings shared by every target of the project.
function(rerevure_apply_options target)
  target_compile_options(${target} INTERFACE -Wall -Wextra)
  if(WIN32)
    # Unicode everywhere inside; ANSI only where a platform record demands it.
    target_compile_definitions(${target} INTERFACE UNICODE _UNICODE NOMINMAX
                                                   WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
    # Static runtime: the program must need no DLL beyond Windows' own.
    target_link_options(${target} INTERFACE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# True on the 64-bit Windows build, the one that Wine can run here.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(REREVURE_RUNS_UNDER_WINE ON)
else()
  set(REREVURE_RUNS_UNDER_WINE OFF)
endif()

# A logic library of one folder: every .cpp there except the Win32 ones. The
# Win32 adapters have their own folder (platform/win32/); what remains is the
# wiring file shell/Win32Main.cpp, which only the program's target builds.
function(rerevure_logic_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/Win32[^/]*\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARGN} rerevure_options)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN} rerevure_options)
  endif()
endfunction()
