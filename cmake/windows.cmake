# The Windows plug-in (included when CMAKE_SYSTEM_NAME is Windows): static libpng and zlib
# from tools/mingw-libs.sh, and the import libraries of the host's two DLLs.
set(TARVOSK_MINGW_LIBS "" CACHE PATH "Prefix of the static libpng and zlib (tools/mingw-libs.sh)")
if(TARVOSK_MINGW_LIBS)
  set(PNG_PNG_INCLUDE_DIR ${TARVOSK_MINGW_LIBS}/include CACHE PATH "")
  set(PNG_LIBRARY_RELEASE ${TARVOSK_MINGW_LIBS}/lib/libpng16.a CACHE FILEPATH "")
  set(PNG_LIBRARY ${TARVOSK_MINGW_LIBS}/lib/libpng16.a CACHE FILEPATH "")
  set(ZLIB_INCLUDE_DIR ${TARVOSK_MINGW_LIBS}/include CACHE PATH "")
  set(ZLIB_LIBRARY_RELEASE ${TARVOSK_MINGW_LIBS}/lib/libz.a CACHE FILEPATH "")
  set(ZLIB_LIBRARY ${TARVOSK_MINGW_LIBS}/lib/libz.a CACHE FILEPATH "")
endif()

# X-Plane's XPLM_64.dll and XPWidgets_64.dll: the plug-in imports the host functions from
# them. Their import libraries are made here from our own lists of the functions we call, so
# the build needs nothing from the SDK's binaries.
if(NOT CMAKE_DLLTOOL)
  find_program(CMAKE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
endif()
foreach(_dll XPLM_64 XPWidgets_64)
  set(_def ${PROJECT_SOURCE_DIR}/src/xplm/windows/${_dll}.def)
  set(_lib ${PROJECT_BINARY_DIR}/host-import/lib${_dll}.a)
  add_custom_command(OUTPUT ${_lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/host-import
    COMMAND ${CMAKE_DLLTOOL} --input-def ${_def} --dllname ${_dll}.dll --output-lib ${_lib}
    DEPENDS ${_def} COMMENT "Import library for ${_dll}.dll")
  add_custom_target(tarvosk_import_${_dll} DEPENDS ${_lib})
  add_library(tarvosk_host_${_dll} STATIC IMPORTED GLOBAL)
  set_target_properties(tarvosk_host_${_dll} PROPERTIES IMPORTED_LOCATION ${_lib})
  add_dependencies(tarvosk_host_${_dll} tarvosk_import_${_dll})
endforeach()
