# Debian's hardening flags for the optimised Linux builds (the package is made
# from one), as dpkg-buildflags gives them with all of hardening on: fortified
# C library calls, the stack protector, and a relocation table made read-only
# and bound at start (relro, bind-now). Optimisation and debugging stay the
# build type's; the sanitizer and fuzzing builds are left as they are.
option(MARCHFELL_HARDENING "Optimised Linux builds with the distribution's hardening flags" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(MARCHFELL_HARDENING AND DPKG_BUILDFLAGS AND UNIX AND NOT APPLE AND NOT MARCHFELL_SANITIZE AND NOT MARCHFELL_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-g[0-9]*|-O.*|-ffile-prefix-map=.*)$")
    if(kind STREQUAL LDFLAGS)
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
