#!/usr/bin/env bash
# Cross-builds libpng and zlib for the Windows plug-in from Debian's own source packages
# (Debian's patches applied), as static libraries, the way tools/portable-pic-libs.sh does for
# the portable Linux build. Debian ships no mingw-w64 libpng. The sources come through apt-get
# with a private source list, so the system's apt configuration is left alone.
#   tools/mingw-libs.sh PREFIX      installs PREFIX/{include,lib}; does nothing when present
set -euo pipefail
prefix=${1:?usage: tools/mingw-libs.sh PREFIX}
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/lib/libz.a" ] && exit 0
prefix=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/src"
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/sources.list"
apt=(apt-get -qq -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
     -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache")
[ "$(id -u)" -eq 0 ] && apt+=(-o APT::Sandbox::User=root)
"${apt[@]}" update
(cd "$work/src" && "${apt[@]}" source libpng1.6 zlib >/dev/null 2>&1)
rm -rf "$prefix/include" "$prefix/lib"
mkdir -p "$prefix/include" "$prefix/lib"
cflags="-O2"

cd "$work"/src/zlib-*/
for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
         inftrees trees uncompr zutil; do
  $cc $cflags -c "$f.c" -o "$f.o"
done
$ar rcs "$prefix/lib/libz.a" ./*.o
cp zlib.h zconf.h "$prefix/include/"

cd "$work"/src/libpng1.6-*/
cp scripts/pnglibconf.h.prebuilt pnglibconf.h
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
         pngwio pngwrite pngwtran pngwutil; do
  $cc $cflags -I"$prefix/include" -c "$f.c" -o "$f.o"
done
$ar rcs "$prefix/lib/libpng16.a" ./*.o
cp png.h pngconf.h pnglibconf.h "$prefix/include/"
echo "mingw-w64 libpng $(sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"/\1/p' png.h) and zlib in $prefix"
