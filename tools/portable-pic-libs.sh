#!/bin/sh
# Runs inside the Debian 11 root (tools/portable-root.sh): builds libpng and zlib from Debian's
# own source packages of that release, Debian's patches applied, as position-independent
# static libraries with hidden symbols. Debian's libpng16.a is not position-independent, so it
# cannot go into a shared object such as the plug-in; these can.
#   installs /opt/tarvosk-pic/{include,lib}
set -eu
prefix=/opt/tarvosk-pic
src=/usr/src/tarvosk
rm -rf "$src" "$prefix"
mkdir -p "$src" "$prefix/include" "$prefix/lib"
cd "$src"
apt-get source -qq libpng1.6 zlib >/dev/null
cflags="-O2 -fPIC -fvisibility=hidden -D_LARGEFILE64_SOURCE=1"

cd "$src"/zlib-*/
for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
         inftrees trees uncompr zutil; do
  cc $cflags -c "$f.c" -o "$f.o"
done
ar rcs "$prefix/lib/libz.a" ./*.o
cp zlib.h zconf.h "$prefix/include/"

cd "$src"/libpng1.6-*/
cp scripts/pnglibconf.h.prebuilt pnglibconf.h
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
         pngwio pngwrite pngwtran pngwutil; do
  cc $cflags -I"$prefix/include" -c "$f.c" -o "$f.o"
done
ar rcs "$prefix/lib/libpng16.a" ./*.o
cp png.h pngconf.h pnglibconf.h "$prefix/include/"
echo "position-independent libpng $(sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"/\1/p' png.h) and zlib in $prefix"
