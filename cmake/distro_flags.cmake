# The distribution's build flags for the build a .deb is made from (-DSOLVARI_DISTRO_FLAGS=ON;
# scripts/test builds its package this way): what dpkg-buildflags gives a Debian package with
# every hardening feature (fortified string functions, stack protector, format checks, full
# RELRO and immediate binding). They come after CMake's own flags, so -O2 stands.
option(SOLVARI_DISTRO_FLAGS "Add the flags of dpkg-buildflags (hardening) as for a Debian package" OFF)
if(SOLVARI_DISTRO_FLAGS)
  find_program(SOLVARI_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # in the source folder, so that its file-prefix map makes the paths in the binaries relative
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${SOLVARI_DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
