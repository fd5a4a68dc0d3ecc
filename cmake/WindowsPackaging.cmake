# The installed program on Windows: one folder holding pelmora.exe, pelmora-history.exe, the Qt
# and runtime DLLs, the plugins, Qt's Russian translation and the user guide. The installer
# (NSIS) and the portable zip are made from it by the target windows_packages.
install(TARGETS pelmora pelmora-history RUNTIME DESTINATION .)
install(FILES ${PELMORA_WINDOWS_DLLS} ${PROJECT_SOURCE_DIR}/docs/guide.html DESTINATION .)
foreach(plugin ${PELMORA_WINDOWS_PLUGINS})
  get_filename_component(kind ${plugin} DIRECTORY)
  install(FILES ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${plugin} DESTINATION ${kind})
endforeach()
if(PELMORA_QTBASE_RU)
  install(FILES ${PELMORA_QTBASE_RU} DESTINATION translations)
else()
  message(WARNING "qtbase_ru.qm not found (Debian: qt6-translations-l10n): Qt's own dialogs "
                  "will speak English in the installed program")
endif()

# pelmora-2.4-setup.exe (NSIS, for the current user) and pelmora-2.4-portable.zip (the same files
# in a folder Pelmora with the portable marker beside the executable), in the build folder.
find_program(PELMORA_MAKENSIS makensis)
set(stage ${PROJECT_BINARY_DIR}/windows-stage)
set(setup ${PROJECT_BINARY_DIR}/pelmora-${PROJECT_VERSION}-setup.exe)
set(portable ${PROJECT_BINARY_DIR}/pelmora-${PROJECT_VERSION}-portable.zip)
if(PELMORA_MAKENSIS)
  add_custom_target(windows_packages
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage}/Pelmora
    COMMAND ${PELMORA_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}/Pelmora
            -DICON=${PROJECT_SOURCE_DIR}/data/icons/org.example.Pelmora.ico -DOUTFILE=${setup}
            ${PROJECT_SOURCE_DIR}/data/windows/pelmora.nsi
    COMMAND ${CMAKE_COMMAND} -E touch ${stage}/Pelmora/Pelmora.portable
    COMMAND ${CMAKE_COMMAND} -E rm -f ${portable}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
            ${CMAKE_COMMAND} -E tar cf ${portable} --format=zip Pelmora
    BYPRODUCTS ${setup} ${portable}
    DEPENDS pelmora pelmora-history
    COMMENT "The installer and the portable zip"
    VERBATIM)
else()
  message(STATUS "makensis not found (Debian: nsis): no Windows installer")
endif()
