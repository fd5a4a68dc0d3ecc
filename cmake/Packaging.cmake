# Installing the program on a Linux desktop, and its Debian package:
#   cmake --install build [--prefix DIR]     the files below, under DIR (default /usr/local)
#   (cd build && cpack -G DEB)               pelmora_<version>_<arch>.deb, installing into /usr
# The executable finds the user guide in ../share/doc/pelmora beside its bin folder.
include(GNUInstallDirs)

set(PELMORA_APP_ID "org.example.Pelmora")
set(pelmora_data ${PROJECT_SOURCE_DIR}/data)
set(pelmora_generated ${PROJECT_BINARY_DIR}/data)

# The program, and the connection history for scripts beside it.
install(TARGETS pelmora pelmora-history RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry, its icon at every size of the hicolor theme, the software centres' metadata.
install(FILES ${pelmora_data}/${PELMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pelmora_data}/icons/${PELMORA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(pelmora_size 16 22 24 32 48 64 128 256)
  install(FILES ${pelmora_data}/icons/${pelmora_size}/${PELMORA_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${pelmora_size}x${pelmora_size}/apps)
endforeach()
configure_file(${pelmora_data}/${PELMORA_APP_ID}.metainfo.xml.in
               ${pelmora_generated}/${PELMORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pelmora_generated}/${PELMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog, compressed as Debian wants them (no name, no time stamp in
# the gzip header, so the package is the same from build to build).
find_program(PELMORA_GZIP gzip REQUIRED)
configure_file(${pelmora_data}/changelog.in ${pelmora_generated}/changelog @ONLY)
configure_file(${pelmora_data}/copyright.in ${pelmora_generated}/copyright @ONLY)
set(pelmora_manuals ${pelmora_generated}/man/pelmora.1.gz
                    ${pelmora_generated}/man/pelmora-history.1.gz)
add_custom_command(
  OUTPUT ${pelmora_manuals} ${pelmora_generated}/doc/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pelmora_generated}/man ${pelmora_generated}/doc
  COMMAND ${CMAKE_COMMAND} -E copy ${pelmora_data}/pelmora.1 ${pelmora_data}/pelmora-history.1
          ${pelmora_generated}/man
  COMMAND ${CMAKE_COMMAND} -E copy ${pelmora_generated}/changelog
          ${pelmora_generated}/doc/changelog
  COMMAND ${PELMORA_GZIP} -9 -n -f ${pelmora_generated}/man/pelmora.1
          ${pelmora_generated}/man/pelmora-history.1 ${pelmora_generated}/doc/changelog
  DEPENDS ${pelmora_data}/pelmora.1 ${pelmora_data}/pelmora-history.1
          ${pelmora_generated}/changelog
  VERBATIM)
add_custom_target(pelmora_compressed_docs ALL
                  DEPENDS ${pelmora_manuals} ${pelmora_generated}/doc/changelog.gz)
install(FILES ${pelmora_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# lintian's notes on the package that are known to be wrong, each with its reason.
install(FILES ${pelmora_data}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME pelmora)

# The user guide of the information tab, the README, the copyright and the changelog.
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.html ${PROJECT_SOURCE_DIR}/README.md
              ${pelmora_generated}/copyright ${pelmora_generated}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. The libraries it needs come from the executable (dpkg-shlibdeps); the
# platform plugins are a dependency too, since without them Qt shows no window. The sound server
# module of libcanberra, the freedesktop sound theme (the default connect and disconnect sounds)
# and lp only make sounds and printing work, so they are recommended.
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelmora developers")
set(CPACK_PACKAGE_CONTACT "Pelmora developers <${PELMORA_MAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "meter of the time and cost of a dial-up connection")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PELMORA_WEB_PAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelmora developers <${PELMORA_MAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# qt6-translations-l10n: Qt's own dialog buttons and file dialogs in Russian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libcanberra-pulse, sound-theme-freedesktop, cups-client, qt6-translations-l10n")
# The extended description as Debian wants it: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Pelmora meters a dial-up (PPP) internet connection for people who pay for it
by the hour. It watches the connection twice a second, shows the running time
and cost in a tiny always-on-top window and a coloured tray icon, and settles
every connection into day, week, month and total statistics and an account
balance. All its texts are Russian.")
include(CPack)
