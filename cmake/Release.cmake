# What makes the program file a release: its version block and application
# manifest, and the packages a school hands out.
#
#   rerevure_add_release_resources(<target>)
#       Windows builds: links without a time stamp (the same source gives the
#       same program file), adds the version resource (product "Rerevure", the
#       project version, the organisation as company, OriginalFilename
#       Rerevure.exe) and the application manifest (common controls 6, system
#       DPI aware, asInvoker) to <target>, and the target <target>_installers
#       (part of the default build) that strips the program into
#       <build>/release/Rerevure.exe (signed there when the environment names
#       a certificate, see release/signing.py), likewise the DLL of the MSI's
#       custom actions (release/installer/InstallerActions.cpp) into
#       <build>/release/RerevureActions.dll, and, when makensis and wixl are
#       installed, builds the setup program and the two MSIs (x64 for 64-bit
#       Windows, x86 for 32-bit Windows) next to them with
#       release/make_installers.py. The i686 build makes the packages users
#       install; the x86_64 build makes ones with the amd64 program, which
#       only the tests install (under wine64).
#       Sets the target properties REREVURE_RELEASE_PROGRAM, REREVURE_SETUP,
#       REREVURE_MSI (the x64 package) and REREVURE_MSI_X86 to the paths of
#       the files (the last three empty when the tools are missing). Call it
#       in the directory that creates <target>, after
#       rerevure_add_app_icon(<target>) so that the setup program wears the
#       application icon too. Elsewhere than Windows it does nothing.

include_guard(GLOBAL)

# The organisation that hands the program out: the program file's company,
# the installers' publisher and the MSI's manufacturer. The one place to
# change when another school re-badges the program (its web address is in
# shell/ShellTexts.h).
set(REREVURE_ORGANISATION "Viriru School" CACHE STRING
    "Organisation named as company and publisher of the program and its packages")
set(REREVURE_FILE_DESCRIPTION "Rerevure network switcher")

get_filename_component(_REREVURE_RELEASE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Strips the file of target into output, and signs it there when the
# environment names a certificate (release/signing.py).
function(_rerevure_strip_and_sign target output templates)
  get_filename_component(out "${output}" DIRECTORY)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${out}"
    # strip stamps the PE header with the time it runs, unless
    # SOURCE_DATE_EPOCH names one: 0 keeps the file without a time stamp.
    COMMAND "${CMAKE_COMMAND}" -E env SOURCE_DATE_EPOCH=0
            "${CMAKE_STRIP}" --strip-all -o "${output}" "$<TARGET_FILE:${target}>"
    COMMAND "${Python3_EXECUTABLE}" "${templates}/signing.py" "${output}"
    DEPENDS ${target} "${templates}/signing.py"
    COMMENT "Stripping ${target} into ${output}"
    VERBATIM)
endfunction()

function(rerevure_add_release_resources target)
  if(NOT WIN32)
    return()
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "rerevure_add_release_resources: ${target} is not a target")
  endif()

  set(templates "${_REREVURE_RELEASE_ROOT}/release")
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_release")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(REREVURE_MANIFEST_ARCH amd64)
    set(package_arch amd64)
    set(package_suffix "-amd64")
  else()
    set(REREVURE_MANIFEST_ARCH x86)
    set(package_arch x86)
    set(package_suffix "")
  endif()
  set(REREVURE_VERSION_DOTS
      "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(REREVURE_VERSION_COMMAS
      "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(REREVURE_MANIFEST "${dir}/Rerevure.manifest")
  configure_file("${templates}/Rerevure.manifest.in" "${REREVURE_MANIFEST}" @ONLY)
  configure_file("${templates}/Rerevure.rc.in" "${dir}/release.rc" @ONLY)
  # windres reads the manifest through the .rc; CMake does not see that.
  set_source_files_properties("${dir}/release.rc" TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS "${REREVURE_MANIFEST}")
  target_sources(${target} PRIVATE "${dir}/release.rc")
  # A build is repeatable only without the link time in the PE header (the
  # header's checksum then follows from the content alone).
  target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)

  # The packages: a stripped copy of the program, then the installers.
  set(out "${CMAKE_BINARY_DIR}/release")
  set(program "${out}/Rerevure.exe")
  if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "rerevure_add_release_resources: no strip program for ${target}")
  endif()
  # Signed before the installers pack it; unsigned without a certificate.
  _rerevure_strip_and_sign(${target} "${program}" "${templates}")
  set(outputs "${program}")

  # The MSI's custom actions. Windows Installer looks their entry points up
  # by their plain names, which the i686 linker would decorate.
  set(actions_target ${target}_installer_actions)
  add_library(${actions_target} SHARED "${templates}/installer/InstallerActions.cpp")
  target_link_libraries(${actions_target} PRIVATE rerevure_options msi ole32 advapi32)
  target_link_options(${actions_target} PRIVATE -Wl,--kill-at -Wl,--no-insert-timestamp)
  set_target_properties(${actions_target} PROPERTIES PREFIX "" OUTPUT_NAME RerevureActions)
  set(actions "${out}/RerevureActions.dll")
  _rerevure_strip_and_sign(${actions_target} "${actions}" "${templates}")
  list(APPEND outputs "${actions}")

  find_program(REREVURE_MAKENSIS makensis)
  find_program(REREVURE_WIXL wixl)
  set(setup "")
  set(msi "")
  set(msi_x86 "")
  if(REREVURE_MAKENSIS AND REREVURE_WIXL)
    set(setup "${out}/Rerevure-${PROJECT_VERSION}${package_suffix}-setup.exe")
    set(msi "${out}/Rerevure-${PROJECT_VERSION}${package_suffix}-x64.msi")
    set(msi_x86 "${out}/Rerevure-${PROJECT_VERSION}${package_suffix}-x86.msi")
    set(installer "${templates}/installer")
    # The setup program wears the application icon when the target has one.
    get_target_property(icon ${target} REREVURE_APP_ICON)
    set(icon_args "")
    if(icon)
      set(icon_args --icon "${icon}")
    else()
      set(icon "")
    endif()
    add_custom_command(
      OUTPUT "${setup}" "${msi}" "${msi_x86}"
      COMMAND "${Python3_EXECUTABLE}" "${templates}/make_installers.py"
              --program "${program}" --arch ${package_arch}
              --version "${PROJECT_VERSION}" --organisation "${REREVURE_ORGANISATION}"
              --setup "${setup}" --msi "${msi}" --msi-x86 "${msi_x86}" --actions "${actions}"
              --makensis "${REREVURE_MAKENSIS}" --wixl "${REREVURE_WIXL}" ${icon_args}
      DEPENDS "${program}" "${actions}" ${icon} "${templates}/make_installers.py"
              "${templates}/signing.py" "${templates}/msi_summary.py" "${installer}/Rerevure.nsi"
              "${installer}/Rerevure.wxs" "${installer}/folder-rights.txt"
      COMMENT "Building the ${package_arch} setup program and the MSIs"
      VERBATIM)
    list(APPEND outputs "${setup}" "${msi}" "${msi_x86}")
  else()
    message(STATUS "makensis or wixl not found: ${target}_installers makes no installers "
                   "(scripts/install-deps.sh installs nsis and wixl)")
  endif()
  add_custom_target(${target}_installers ALL DEPENDS ${outputs})

  set_target_properties(${target} PROPERTIES
    REREVURE_RELEASE_PROGRAM "${program}"
    REREVURE_SETUP "${setup}"
    REREVURE_MSI "${msi}"
    REREVURE_MSI_X86 "${msi_x86}")
endfunction()
