# Windows with Qt: the executables of the build start from their folders as the installed
# program does from its own, so Qt's DLLs, the platform and style plugins and the compiler's
# runtime DLLs are copied beside them when the build is configured. PELMORA_WINDOWS_DLLS and
# PELMORA_WINDOWS_PLUGINS name what the installed program needs (and nothing more).

# The compiler's runtime DLLs, wherever this mingw-w64 keeps them.
set(PELMORA_WINDOWS_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "The compiler's runtime DLL ${dll} was not found")
  endif()
  list(APPEND PELMORA_WINDOWS_RUNTIME_DLLS "${found}")
endforeach()

set(PELMORA_WINDOWS_DLLS
  ${PELMORA_WINDOWS_RUNTIME_DLLS}
  ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}/Qt6Core.dll
  ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}/Qt6Gui.dll
  ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}/Qt6Widgets.dll)
set(PELMORA_WINDOWS_PLUGINS
  platforms/qwindows.dll
  styles/qwindowsvistastyle.dll)

# Qt's Russian texts for its own dialogs (the buttons of the message boxes, the file dialogs):
# Debian's qt6-translations-l10n; the .qm file is the same on every system.
find_file(PELMORA_QTBASE_RU qtbase_ru.qm
  PATHS /usr/share/qt6/translations ${QT6_INSTALL_PREFIX}/translations
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

# Copies what the program needs into folder; the tests also get Qt Test and the offscreen
# platform.
function(pelmora_windows_runtime folder)
  cmake_parse_arguments(ARG "TESTS" "" "" ${ARGN})
  file(COPY ${PELMORA_WINDOWS_DLLS} DESTINATION ${folder})
  set(plugins ${PELMORA_WINDOWS_PLUGINS})
  if(ARG_TESTS)
    file(COPY ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}/Qt6Test.dll DESTINATION ${folder})
  endif()
  # The offscreen platform is for the tests and for runs without a display.
  list(APPEND plugins platforms/qoffscreen.dll)
  foreach(plugin ${plugins})
    get_filename_component(kind ${plugin} DIRECTORY)
    file(COPY ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${plugin} DESTINATION ${folder}/${kind})
  endforeach()
  if(PELMORA_QTBASE_RU)
    file(COPY ${PELMORA_QTBASE_RU} DESTINATION ${folder}/translations)
  endif()
endfunction()
