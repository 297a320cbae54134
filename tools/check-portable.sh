#!/usr/bin/env bash
# The plug-in must load on glibc 2.31 (Debian 11, Ubuntu 20.04) and later, and need no shared
# library but the C library's own, libgcc_s and libGL. Prints what it found; fails on anything
# newer or other.
#   tools/check-portable.sh PATH/Tarvosk.xpl
set -euo pipefail
xpl=${1:?usage: tools/check-portable.sh PATH/Tarvosk.xpl}
max=${GLIBC_MAX:-2.31}
[ -f "$xpl" ] || { echo "check-portable: no file $xpl" >&2; exit 1; }
fail=0

versions=$(objdump -T "$xpl" | grep -o 'GLIBC_[0-9][0-9.]*' | sort -u -V || true)
newest=$(printf '%s\n' $versions | sort -V | tail -1)
echo "glibc symbol versions: $(echo $versions)"
for v in $versions; do
  n=${v#GLIBC_}
  if [ "$(printf '%s\n%s\n' "$n" "$max" | sort -V | tail -1)" != "$max" ]; then
    echo "FAIL: needs $v (newer than GLIBC_$max):"
    objdump -T "$xpl" | grep -F "($v)" | awk '{print "  " $NF}'
    fail=1
  fi
done
# Other versioned dependencies (the C++ runtime above all) must not appear either.
others=$(objdump -T "$xpl" | grep -o '(\(GLIBCXX\|CXXABI\|GCC\)_[0-9.]*)' | sort -u || true)
if [ -n "$others" ]; then
  echo "FAIL: needs a shared C++ runtime or libgcc version: $(echo $others)"
  fail=1
fi

# ld-linux is the dynamic loader itself (present in every process; it serves TLS lookups).
allowed='^(libc\.so\.6|libm\.so\.6|libdl\.so\.2|libpthread\.so\.0|libgcc_s\.so\.1|libGL\.so\.1|ld-linux-x86-64\.so\.2)$'
needed=$(readelf -d "$xpl" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "needed libraries: $(echo $needed)"
for lib in $needed; do
  if ! [[ $lib =~ $allowed ]]; then
    echo "FAIL: needs $lib"
    fail=1
  fi
done

if [ $fail -ne 0 ]; then
  echo "check-portable: $xpl would not load everywhere (newest glibc version: $newest)"
  exit 1
fi
echo "portable ok: $xpl needs at most ${newest:-no glibc version} and only the allowed libraries"
