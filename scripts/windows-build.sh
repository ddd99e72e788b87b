#!/usr/bin/env bash
# Builds Tarvik for 64-bit Windows on Debian 12, from Debian's own packages and source packages.
#
# The libraries (Qt, ICU, SQLite, libsodium, pxlib, libpq) are cross-built once into a cache
# outside the repository and reused while their versions match; then the program and its tests
# are built into build-windows/ with the project's own CMake files, and the setup file is made.
# Run as root or with sudo rights (packages are installed with apt-get).
#
#   scripts/windows-build.sh            everything
#   scripts/windows-build.sh --libs     only the cached libraries
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

QT_VERSION=6.4.2
ICU_VERSION=72.1
SQLITE_VERSION=3.40.1
SODIUM_VERSION=1.0.18
PXLIB_VERSION=0.6.9
PQ_VERSION=15.18
versions="qt$QT_VERSION-icu$ICU_VERSION-sqlite$SQLITE_VERSION-sodium$SODIUM_VERSION-px$PXLIB_VERSION-pq$PQ_VERSION"
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarvik-windows/$versions
prefix=$cache/prefix
host=x86_64-w64-mingw32
jobs=${JOBS:-2}
mkdir -p "$cache/src" "$cache/build" "$prefix"
log() { printf '== %s\n' "$*" >&2; }
# run LOGNAME COMMAND...: the command's output goes to its log, whose end is shown on a failure.
run() {
  local name=$1
  shift
  if ! "$@" >>"$cache/build/$name.log" 2>&1; then
    tail -n 40 "$cache/build/$name.log" >&2
    log "failed: $* (the whole log: $cache/build/$name.log)"
    exit 1
  fi
}

sudo_if_needed() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# --- what the build needs: the Linux build's packages (Qt's host tools among them), and these ----
./scripts/deps.sh
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis
          autoconf automake libtool bison flex perl python3 icu-devtools xz-utils bzip2 intltool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  sudo_if_needed apt-get update -qq
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
# The POSIX thread model: Qt needs std::thread and friends.
cc=$(command -v $host-gcc-posix)
cxx=$(command -v $host-g++-posix)

# --- the sources, through a private list folder (the system's apt sources stay as they are) ------
fetch_sources() {
  local dl=$cache/src/download
  [ -f "$dl/.complete" ] && return
  mkdir -p "$dl" "$cache/apt/parts" "$cache/apt/lists/partial"
  local keyring
  keyring=$(grep -rhs '^Signed-By:' /etc/apt/sources.list.d/debian.sources | head -n1 | awk '{print $2}')
  keyring=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
  cat >"$cache/apt/parts/tarvik-src.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm trixie
Components: main
Signed-By: $keyring
EOF
  local apt=(apt-get -o APT::Sandbox::User=root -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$cache/apt/parts"
             -o "Dir::State::Lists=$cache/apt/lists" -o Debug::NoLocking=1)
  log "fetching the source packages"
  "${apt[@]}" -qq update
  (cd "$dl" &&
     for p in qt6-base/bookworm icu/bookworm sqlite3/bookworm libsodium/bookworm \
              postgresql-15/bookworm; do
       "${apt[@]}" -qq source --download-only "$p" >/dev/null
     done
     # The next release's pxlib: its upstream tarball is served, its Debian parts are not. apt
     # checks the tarball against the signed index before it keeps it.
     "${apt[@]}" -qq source --download-only pxlib/trixie >/dev/null 2>&1 || true
     test -s "pxlib_$PXLIB_VERSION.orig.tar.gz")
  touch "$dl/.complete"
}

unpack() { # unpack NAME TARBALL: the source tree, unpacked once
  local dir=$cache/src/$1
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir.tmp"
    tar -xf "$cache/src/download/$2" -C "$dir.tmp" --strip-components=1
    mv "$dir.tmp" "$dir"
  fi
  echo "$dir"
}

done_mark() { [ -f "$cache/done.$1" ]; }
mark_done() { touch "$cache/done.$1"; }

# --- ICU, its data cut to what the program uses ----------------------------------------------------
# Hungarian and root collation; the code pages of report files, person files and Paradox tables;
# the tables every ICU service opens; the time zones (Qt's time zones use ICU when it has it).
icu_keep='^(cnvalias\.icu|ibm-(5346|5347|5348|5349|5350|5354)_P100-199[78]\.cnv|ibm-(9447|9449)_P100-2002\.cnv|ibm-9448_X100-2005\.cnv|ibm-(437|850|852)_P100-1995\.cnv|coll/(hu|root|res_index)\.res|coll/ucadata\.icu|(root|hu|hu_HU|res_index|pool|likelySubtags|keyTypeData|icuver|icustd|zoneinfo64|timezoneTypes|metaZones|windowsZones|supplementalData)\.res|[a-z_0-9]+\.(nrm|icu))$'

build_icu() {
  done_mark icu && return
  log "ICU $ICU_VERSION"
  local src
  src=$(unpack icu "icu_$ICU_VERSION.orig.tar.gz")/source
  # A cross-build wants a host build beside it; Debian's icu-devtools are that build's tools.
  local hostdir=$cache/build/icu-host
  rm -rf "$hostdir" && mkdir -p "$hostdir/bin" "$hostdir/lib" "$hostdir/config"
  for t in icupkg pkgdata genrb genccode gencmn gencnval gencfu makeconv gendict gensprep \
           genbrk gennorm2 icuinfo; do
    ln -s "$(command -v $t || echo /usr/sbin/$t)" "$hostdir/bin/$t"
  done
  printf 'CROSS_ICU_VERSION=%s\nTOOLEXEEXT=\nTOOLBINDIR=$(cross_buildroot)/bin\nTOOLLIBDIR=$(cross_buildroot)/lib\nINVOKE=\nPKGDATA_INVOKE_OPTS=\n' \
    "$ICU_VERSION" >"$hostdir/config/icucross.mk"
  printf 'CROSS_ICU_VERSION=%s\nTOOLEXEEXT=\nTOOLBINDIR=$cross_buildroot/bin\nTOOLLIBDIR=$cross_buildroot/lib\nINVOKE=\n' \
    "$ICU_VERSION" >"$hostdir/config/icucross.inc"
  local b=$cache/build/icu
  rm -rf "$b" && mkdir -p "$b"
  cd "$b"
  run icu env CC="$cc" CXX="$cxx" CFLAGS=-O2 CXXFLAGS="-O2 -std=c++17" \
    "$src/configure" --host=$host --prefix="$prefix" --with-cross-build="$hostdir" \
    --enable-shared --disable-static --disable-extras --disable-tests --disable-samples \
    --disable-tools --disable-icuio --disable-layoutex --with-data-packaging=library
  run icu make -j"$jobs"
  run icu make install
  cd "$root"
  mark_done icu
}

build_icu_data() {
  local mark
  mark=icudata-$(printf %s "$icu_keep" | sha256sum | cut -c1-12)
  done_mark "$mark" && return
  log "ICU data"
  local src=$cache/src/icu/source b=$cache/build/icu
  local data=$src/data/in/icudt72l.dat full=$cache/build/icu-full/icudt72l.dat
  [ -f "$full" ] || { mkdir -p "${full%/*}" && cp "$data" "$full"; }
  icupkg -l "$full" | grep -v -E "$icu_keep" >"$cache/build/icu-remove.lst"
  icupkg -r "$cache/build/icu-remove.lst" "$full" "$data"
  rm -rf "$b/data/out" "$b/lib/icudt"*
  run icu make -C "$b/data"
  run icu make -C "$b/data" install
  mark_done "$mark"
}

# --- SQLite: one sqlite3.dll that the program and Qt's driver share --------------------------------
build_sqlite() {
  done_mark sqlite && return
  log "SQLite $SQLITE_VERSION"
  local src
  src=$(unpack sqlite3 "sqlite3_$SQLITE_VERSION.orig.tar.xz")
  local b=$cache/build/sqlite
  rm -rf "$b" && mkdir -p "$b"
  # The amalgamation, made with the host's tools, then compiled once for Windows.
  cd "$b"
  run sqlite "$src/configure" --disable-tcl
  run sqlite make sqlite3.c
  cd "$root"
  local flags=(-O2 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_JSON1
               -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_SECURE_DELETE -DSQLITE_MAX_SCHEMA_RETRY=25
               -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_THREADSAFE=1 "-DSQLITE_API=__declspec(dllexport)")
  mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include" "$prefix/lib/pkgconfig"
  run sqlite "$cc" "${flags[@]}" -shared -o "$prefix/bin/sqlite3.dll" "$b/sqlite3.c" \
    -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
  cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$prefix/include/"
  cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: SQLite
Description: SQL database engine
Version: $SQLITE_VERSION
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOF
  mark_done sqlite
}

# --- libpq, from PostgreSQL's own sources ---------------------------------------------------------
build_libpq() {
  done_mark libpq && return
  log "libpq $PQ_VERSION"
  local src
  src=$(unpack postgresql "postgresql-15_$PQ_VERSION.orig.tar.bz2")
  local b=$cache/build/postgresql
  rm -rf "$b" && mkdir -p "$b"
  cd "$b"
  run libpq env CC="$cc" CFLAGS=-O2 "$src/configure" --host=$host --prefix="$prefix" \
    --without-readline --without-zlib --without-icu --without-openssl
  for d in src/include src/common src/port src/interfaces/libpq; do run libpq make -C $d -j"$jobs"; done
  run libpq make -C src/interfaces/libpq install
  run libpq make -C src/include install
  cd "$root"
  mark_done libpq
}

# --- libsodium -------------------------------------------------------------------------------------
build_sodium() {
  done_mark sodium && return
  log "libsodium $SODIUM_VERSION"
  local src
  src=$(unpack libsodium "libsodium_$SODIUM_VERSION.orig.tar.gz")
  [ -x "$src/configure" ] || (cd "$src" && run sodium ./autogen.sh -s)
  local b=$cache/build/sodium
  rm -rf "$b" && mkdir -p "$b"
  cd "$b"
  run sodium env CC="$cc" CFLAGS=-O2 "$src/configure" --host=$host --prefix="$prefix" \
    --enable-shared --disable-static
  run sodium make -j"$jobs"
  run sodium make install
  cd "$root"
  mark_done sodium
}

# --- pxlib, without iconv (the program decodes names itself) ---------------------------------------
build_pxlib() {
  done_mark pxlib && return
  log "pxlib $PXLIB_VERSION"
  local src
  src=$(unpack pxlib "pxlib_$PXLIB_VERSION.orig.tar.gz")
  local b=$cache/build/pxlib
  rm -rf "$b" && mkdir -p "$b"
  cd "$b"
  run pxlib env CC="$cc" CFLAGS=-O2 "$src/configure" --host=$host --prefix="$prefix" \
    --enable-shared --disable-static --with-gsf=no --without-recode --disable-nls
  # Its configure points at the build machine's headers for GNU recode, which is not used.
  # and spells Windows' headers as MinGW does not (<Windows.h>).
  sed -i 's# -I/usr/include\b##g' src/Makefile
  mkdir -p "$b/shim"
  for h in Windows Winbase BaseTsd; do
    echo "#include <${h,,}.h>" >"$b/shim/$h.h"
  done
  run pxlib make -j"$jobs" -C src CPPFLAGS="-I$b/shim" LDFLAGS=-no-undefined
  run pxlib make -C src install
  run pxlib make -C include install
  run pxlib make install-pkgconfigDATA
  cd "$root"
  mark_done pxlib
}

# --- Qt: the modules the program uses, with ICU, the system SQLite and libpq -----------------------
build_qt() {
  done_mark qt && return
  log "Qt $QT_VERSION (long)"
  local src
  src=$(unpack qtbase "qt6-base_$QT_VERSION+dfsg.orig.tar.xz")
  local b=$cache/build/qtbase
  mkdir -p "$b"
  cd "$b"
  run qt cmake -G Ninja "$src" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-toolchain.cmake" \
    -DTARVIK_WINDOWS_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF \
    -DFEATURE_icu=ON -DICU_ROOT="$prefix" -DFEATURE_system_sqlite=ON \
    -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
    -DFEATURE_sql_psql=ON -DPostgreSQL_INCLUDE_DIR="$prefix/include" \
    -DPostgreSQL_LIBRARY_RELEASE="$prefix/lib/libpq.a" \
    -DFEATURE_sql_odbc=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_oci=OFF \
    -DFEATURE_sql_db2=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_sqlite=ON \
    -DFEATURE_tabletevent=OFF -DFEATURE_schannel=ON -DFEATURE_openssl=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_system_zlib=OFF -DFEATURE_zstd=OFF -DFEATURE_harfbuzz=ON \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_system_libb2=OFF
  run qt ninja -j"$jobs"
  run qt ninja install
  cd "$root"
  mark_done qt
}

# --- MinGW's own runtime, which the libraries load ---------------------------------------------------
copy_runtime() {
  local gcc
  gcc=$(dirname "$("$cxx" -print-libgcc-file-name)")
  cp -f "$gcc/libgcc_s_seh-1.dll" "$gcc/libstdc++-6.dll" \
    /usr/$host/lib/libwinpthread-1.dll "$prefix/bin/"
}

# --- the program and its tests ---------------------------------------------------------------------
build_program() {
  log "Tarvik and its tests, into build-windows/"
  local b=$root/build-windows
  # The icon's images come from the Linux build, which draws them.
  ./scripts/build.sh --target tarvik_desktop_files >/dev/null
  cmake -S "$root" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-toolchain.cmake" \
    -DTARVIK_WINDOWS_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_BUILD_TYPE=Release \
    -DTARVIK_TESTS=ON -DTARVIK_WERROR=ON -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
    -DTARVIK_ICON_DIR="$root/build/packaging/icons" >/dev/null
  cmake --build "$b" -j"$jobs"
  # Where scripts/windows-test.sh finds the libraries the programs load.
  echo "$prefix" >"$b/libraries.path"
}

# --- the setup file, and its copy under the name the update site serves -----------------------------
build_setup() {
  log "the setup file"
  local b=$root/build-windows
  (cd "$b" && cpack -G NSIS >"$b/cpack.log" 2>&1) || { tail -n 30 "$b/cpack.log" >&2; exit 1; }
  local version setup
  version=$(sed -n 's/^project(tarvik VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  setup=$b/tarvik-$version-setup.exe
  [ -f "$setup" ] || { log "cpack made no $setup"; exit 1; }
  # A program of version a.b.c.d-1 asks the update site for frissit_<a><b><c*10+d>_x64.exe;
  # sign it with scripts/sign-release.sh before publishing.
  IFS=. read -r v1 v2 v3 v4 <<<"$version"
  cp -f "$setup" "$b/frissit_${v1}${v2}$((v3 * 10 + v4))_x64.exe"
  log "made $setup"
}

main() {
  fetch_sources
  build_icu
  build_icu_data
  build_sqlite
  build_libpq
  build_sodium
  build_pxlib
  build_qt
  copy_runtime
  log "the libraries are in $prefix"
  [ "${1:-}" = --libs ] && return
  build_program
  build_setup
}

main "$@"
exit
