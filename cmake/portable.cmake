# Initial cache for the portable plug-in (tools/build-portable.sh, inside the Debian 11 root):
# only the plug-in, with the release's static libpng and zlib linked in and hidden, so it
# needs nothing but the C library, libm, libdl, libpthread, libgcc_s and libGL at run time.
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(TARVOSK_BUILD_SIMHOST OFF CACHE BOOL "")
set(TARVOSK_WERROR ON CACHE BOOL "")
# Position-independent static libpng and zlib, built from Debian 11's sources by
# tools/portable-pic-libs.sh (Debian's own libpng16.a cannot go into a shared object).
set(_pic /opt/tarvosk-pic)
set(PNG_PNG_INCLUDE_DIR ${_pic}/include CACHE PATH "")
set(PNG_LIBRARY_RELEASE ${_pic}/lib/libpng16.a CACHE FILEPATH "")
set(PNG_LIBRARY ${_pic}/lib/libpng16.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR ${_pic}/include CACHE PATH "")
set(ZLIB_LIBRARY_RELEASE ${_pic}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_LIBRARY ${_pic}/lib/libz.a CACHE FILEPATH "")
# libGL through the vendor-neutral dispatch library every distribution ships.
set(OpenGL_GL_PREFERENCE GLVND CACHE STRING "")
# Symbols of the static libraries stay inside the plug-in (the version script hides ours).
set(CMAKE_MODULE_LINKER_FLAGS "-Wl,--exclude-libs,ALL -Wl,--as-needed" CACHE STRING "")
