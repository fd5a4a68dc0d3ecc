# One place for the compile settings every target of the program shares.
add_library(pelmora_config INTERFACE)
target_compile_features(pelmora_config INTERFACE cxx_std_20)
target_compile_options(pelmora_config INTERFACE
  -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor)
if(PELMORA_WERROR)
  target_compile_options(pelmora_config INTERFACE -Werror)
endif()
# Money is computed in 80-bit long double and rounded to float at fixed steps: never let the
# compiler reassociate or contract floating-point operations.
target_compile_options(pelmora_config INTERFACE -fno-fast-math -ffp-contract=off)
target_compile_definitions(pelmora_config INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

# Debian's hardening flags (_FORTIFY_SOURCE, stack protector, RELRO, BIND_NOW, PIE), as
# dpkg-buildflags gives them with hardening=+all, for every optimised Linux build; the same
# flags by hand where dpkg-buildflags is missing. The optimisation and debug levels stay the
# build type's.
option(PELMORA_HARDENING "Build with Debian's hardening flags" ON)
if(PELMORA_HARDENING AND NOT WIN32 AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  find_program(PELMORA_DPKG_BUILDFLAGS dpkg-buildflags)
  set(pelmora_hardening_compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                                -Werror=format-security)
  set(pelmora_hardening_link -Wl,-z,relro -Wl,-z,now)
  if(PELMORA_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${PELMORA_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE pelmora_flags OUTPUT_STRIP_TRAILING_WHITESPACE
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
      separate_arguments(pelmora_flags UNIX_COMMAND "${pelmora_flags}")
      list(FILTER pelmora_flags EXCLUDE REGEX "^-O|^-g$|^-ffile-prefix-map=|^-fdebug-prefix-map=")
      set(pelmora_flags_${kind} ${pelmora_flags})
    endforeach()
    set(pelmora_hardening_compile ${pelmora_flags_CPPFLAGS} ${pelmora_flags_CXXFLAGS})
    set(pelmora_hardening_link ${pelmora_flags_LDFLAGS})
  endif()
  target_compile_options(pelmora_config INTERFACE ${pelmora_hardening_compile})
  target_link_options(pelmora_config INTERFACE ${pelmora_hardening_link})
  message(STATUS "Hardening: ${pelmora_hardening_compile} ${pelmora_hardening_link}")
endif()
