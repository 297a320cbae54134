# Installation in the layout X-Plane 11 and 12 document for plug-ins, ready to be unzipped
# into Resources/plugins:
#   Tarvosk/<platform>/Tarvosk.xpl     lin_x64, win_x64 or mac_x64
#   Tarvosk/TVKdefault.obj, .png ...   the generated trucks, GroundServices/, Bitmaps/
# `make package` installs the portable plug-in of tools/build-portable.sh instead of this
# build's (TARVOSK_PACKAGE_PLUGIN) and zips the result.
set(TARVOSK_PACKAGE_PLUGIN "" CACHE FILEPATH
    "A Tarvosk.xpl built elsewhere to install instead of this build's (the portable build)")
set(TARVOSK_PACKAGE_WINDOWS_PLUGIN "" CACHE FILEPATH
    "The Windows Tarvosk.xpl (make windows) to install beside it, in win_x64/")
if(WIN32)
  set(TARVOSK_PLATFORM_FOLDER win_x64)
elseif(APPLE)
  set(TARVOSK_PLATFORM_FOLDER mac_x64)
else()
  set(TARVOSK_PLATFORM_FOLDER lin_x64)
endif()

if(TARVOSK_PACKAGE_PLUGIN)
  install(FILES ${TARVOSK_PACKAGE_PLUGIN} DESTINATION Tarvosk/${TARVOSK_PLATFORM_FOLDER}
          PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
else()
  install(TARGETS Tarvosk LIBRARY DESTINATION Tarvosk/${TARVOSK_PLATFORM_FOLDER})
endif()
if(TARVOSK_PACKAGE_WINDOWS_PLUGIN AND NOT WIN32)
  install(FILES ${TARVOSK_PACKAGE_WINDOWS_PLUGIN} DESTINATION Tarvosk/win_x64)
endif()
if(TARVOSK_BUILD_SIMHOST)
  install(DIRECTORY ${TARVOSK_CONTENT_DIR}/ DESTINATION Tarvosk)
endif()
