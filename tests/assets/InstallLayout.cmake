# Installs the build into a scratch prefix and checks that the program, its
# maps and pictures, the desktop entry and the icon land where a desktop
# expects them. Run by CTest: cmake -DBUILD=<build> -DPREFIX=<scratch> -P InstallLayout.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
    bin/marchfell
    share/marchfell/maps/base.bmp
    share/marchfell/maps/twenty.bmp
    share/marchfell/maps/two.bmp
    share/marchfell/pictures/startmenu.bmp
    share/marchfell/pictures/author.jpg
    share/marchfell/pictures/marchfell.png
    share/applications/marchfell.desktop
    share/icons/hicolor/256x256/apps/marchfell.png)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
