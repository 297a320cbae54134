#!/usr/bin/env bash
# On a Mac: builds libpng as a static universal (arm64 and x86_64) library with hidden symbols,
# for the universal plug-in (zlib is the system's, universal already).
#   tools/mac-libs.sh PREFIX       installs PREFIX/{include,lib}; does nothing when present
# Written for the macOS CI workflow; it has not been run on these Linux machines.
set -euo pipefail
prefix=${1:?usage: tools/mac-libs.sh PREFIX}
[ -f "$prefix/lib/libpng16.a" ] && exit 0
version=1.6.43
mkdir -p "$prefix/include" "$prefix/lib"
prefix=$(cd "$prefix" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
curl -fsSL "https://download.sourceforge.net/libpng/libpng-$version.tar.gz" | tar -xz -C "$work"
cd "$work/libpng-$version"
cp scripts/pnglibconf.h.prebuilt pnglibconf.h
# No NEON code: it lives in extra files, and decoding a few small textures does not need it.
cflags="-O2 -fPIC -fvisibility=hidden -arch arm64 -arch x86_64 -mmacosx-version-min=10.15 -DPNG_ARM_NEON_OPT=0"
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans \
         pngwio pngwrite pngwtran pngwutil; do
  clang $cflags -c "$f.c" -o "$f.o"
done
libtool -static -o "$prefix/lib/libpng16.a" ./*.o
cp png.h pngconf.h pnglibconf.h "$prefix/include/"
echo "universal libpng $version in $prefix"
