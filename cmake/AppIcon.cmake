# Application icon and the check that it made it into the program file.
#
#   rerevure_add_app_icon(<target>)
#       Generates the icon with tools/make_icon.py at build time.  For Windows
#       targets the generated .rc is added to <target>, giving the program
#       icon group 1 (load it with LoadImageW(hInstance, MAKEINTRESOURCEW(1),
#       IMAGE_ICON, ...)) and RT_ICON images 30001..30020.  On other platforms
#       only the .ico is produced, so the path below always exists after a
#       build.
#       Sets REREVURE_APP_ICON (path of the generated .ico) in the caller's
#       scope and the target property REREVURE_APP_ICON to the same path.
#       Call it in the directory that creates <target>: generated sources
#       must come from a custom command in the target's own directory.
#
#   rerevure_add_pe_icon_test(<target>)
#       Adds the ctest <target>_app_icon, which inspects the linked program
#       file on the build host (no Wine needed).  Only meaningful for Windows
#       targets; elsewhere it does nothing.

include_guard(GLOBAL)

# Inside the functions CMAKE_CURRENT_LIST_DIR names the caller's directory,
# so remember where the project's tools live while this file is included.
# A cache entry, because the include guard keeps this file from setting a
# plain variable again in the other directories that call the functions.
get_filename_component(_rerevure_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(_REREVURE_SOURCE_ROOT "${_rerevure_root}" CACHE INTERNAL "Source tree of the icon tools")

function(rerevure_add_app_icon target)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "rerevure_add_app_icon: ${target} is not a target")
  endif()

  set(generator "${_REREVURE_SOURCE_ROOT}/tools/make_icon.py")
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_app_icon")
  set(ico "${dir}/rerevure.ico")
  set(rc "${dir}/app_icon.rc")
  # The generator writes the raw resource payloads next to the .rc, named
  # after it; windres looks for them in the .rc's own directory.
  set(payloads "${dir}/app_icon_group.bin")
  foreach(n RANGE 1 20)
    string(REGEX REPLACE "^([0-9])$" "0\\1" n "${n}")
    list(APPEND payloads "${dir}/app_icon_${n}.bin")
  endforeach()

  add_custom_command(
    OUTPUT "${ico}" "${rc}" ${payloads}
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
    COMMAND "${Python3_EXECUTABLE}" "${generator}" "${ico}" --rc "${rc}"
    DEPENDS "${generator}"
    COMMENT "Drawing the application icon for ${target}"
    VERBATIM)

  if(WIN32)
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if(NOT "RC" IN_LIST languages)
      message(FATAL_ERROR "rerevure_add_app_icon: enable the RC language "
                          "(project(... LANGUAGES C CXX RC)) for ${target}")
    endif()
    # CMake does not scan windres inputs for the files an .rc pulls in.
    set_source_files_properties("${rc}" PROPERTIES
      GENERATED TRUE
      OBJECT_DEPENDS "${ico};${payloads}")
    target_sources(${target} PRIVATE "${rc}")
  else()
    add_custom_target(${target}_app_icon DEPENDS "${ico}")
    add_dependencies(${target} ${target}_app_icon)
  endif()

  set_property(TARGET ${target} PROPERTY REREVURE_APP_ICON "${ico}")
  set(REREVURE_APP_ICON "${ico}" PARENT_SCOPE)
endfunction()

function(rerevure_add_pe_icon_test target)
  if(NOT WIN32)
    return()
  endif()
  add_test(NAME ${target}_app_icon
    COMMAND "${Python3_EXECUTABLE}"
            "${_REREVURE_SOURCE_ROOT}/tests/pe/test_app_icon.py"
            "$<TARGET_FILE:${target}>")
endfunction()
