# Installs the build into a scratch prefix and checks that the program, its
# maps and pictures, the desktop entry and the icon land where a desktop
# expects them (on Windows: the one folder the zip unpacks to). Run by CTest: cmake -DBUILD=<build> -DPREFIX=<scratch> -P InstallLayout.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
if(WINDOWS)
  # The Windows build: one folder with the program and its data beside it.
  # Starting it is left to tools/windows/check.sh, which runs it in a fresh
  # Wine prefix where its registry key may be created.
  set(expected marchfell.exe maps/base.bmp maps/twenty.bmp maps/two.bmp
               pictures/startmenu.bmp pictures/author.jpg pictures/marchfell.png)
else()
  set(expected
      bin/marchfell
      share/marchfell/maps/base.bmp
      share/marchfell/maps/twenty.bmp
      share/marchfell/maps/two.bmp
      share/marchfell/pictures/startmenu.bmp
      share/marchfell/pictures/author.jpg
      share/marchfell/pictures/marchfell.png
      share/applications/marchfell.desktop
      share/mime/packages/marchfell.xml
      share/icons/hicolor/256x256/apps/marchfell.png)
endif()
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
if(WINDOWS)
  file(REMOVE_RECURSE "${PREFIX}")
  return()
endif()
# The installed program, started once on a fresh account, finds its bundled
# map: the first run stores the installed base map as the current map.
file(MAKE_DIRECTORY "${PREFIX}/home/config")
execute_process(COMMAND timeout 5 env QT_QPA_PLATFORM=offscreen HOME=${PREFIX}/home
                        XDG_CONFIG_HOME=${PREFIX}/home/config "${PREFIX}/bin/marchfell"
                RESULT_VARIABLE run OUTPUT_QUIET ERROR_QUIET)
set(conf "${PREFIX}/home/config/Tarvold/Marchfell.conf")
if(NOT EXISTS "${conf}")
  message(FATAL_ERROR "the installed program wrote no settings (exit ${run})")
endif()
file(READ "${conf}" settings)
string(FIND "${settings}" "CurrentPathToMap=${PREFIX}/share/marchfell/maps/base.bmp" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the installed program does not find its map:\n${settings}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
