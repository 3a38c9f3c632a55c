#!/usr/bin/env bash
# Builds Menuvera for Windows x64 with Debian's MinGW-w64 cross compiler and
# packs a zip and an NSIS setup program; with --test it also runs the test
# suite and a keyboard-only walk through the real window under Wine.
#
#   scripts/windows.sh [--test]
#
# Everything comes from Debian: the cross compiler, Wine and NSIS as packages
# (installed when missing), and ICU, libjpeg-turbo, Qt's base module, zlib
# and QuaZip as Debian source packages that are cross-built once into a cache
# folder, $MENUVERA_WINDOWS_CACHE or ~/.cache/menuvera-windows, keyed by
# version and options, so that later runs only build the program. The first run takes
# about half an hour on two cores, later ones minutes. The program builds in
# build-windows/ (or $MENUVERA_WINDOWS_DIR), where the zip and the setup
# program are left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MENUVERA_WINDOWS_DIR:-$root/build-windows}
cache=${MENUVERA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/menuvera-windows}
jobs=${MENUVERA_JOBS:-$(nproc)}
run_tests=0
for arg in "$@"; do
  case $arg in
    --test) run_tests=1 ;;
    *) echo "usage: scripts/windows.sh [--test]" >&2; exit 2 ;;
  esac
done
host=x86_64-w64-mingw32
log=$cache/logs
mkdir -p "$cache/src" "$log" "$out"

step() { echo "== $(date +%H:%M:%S) $*" >&2; }
# A cache folder's name ends in a digest of what its build depends on.
digest() { printf '%s\n' "$@" | sha256sum | cut -c1-10; }
source "$root/scripts/packages.sh"

# --- Debian packages -------------------------------------------------------
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 fonts-wine nsis cmake ninja-build ccache make dpkg-dev zip unzip
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n g++ icu-devtools
  xvfb xdotool imagemagick x11-utils ghostscript poppler-utils
  fonts-liberation fonts-dejavu-core locales perl python3)
install_missing "${packages[@]}"
# Wine takes the regional settings of its prefix from the Unix locale.
german_locale

# The source packages come from the archive the binary packages come from.
fetch_source() { # package[=version] directory-glob
  local found package=${1%%=*}
  found=$(compgen -G "$cache/src/$2" | head -n1 || true)
  if [ -z "$found" ]; then
    # grep reads it all: with -q, apt-cache would die of SIGPIPE under pipefail.
    if ! apt-cache showsrc "$package" 2>/dev/null | grep '^Package:' >/dev/null; then
      step "enabling deb-src for the archive in use"
      as_root sh -c 'for f in /etc/apt/sources.list.d/*.sources; do
          [ -f "$f" ] && grep -Eq "^Types:(.* )?deb( |\$)" "$f" || continue
          sed "s/^Types:.*/Types: deb-src/" "$f" >"${f%.sources}-menuvera-src.sources"
        done
        if [ -f /etc/apt/sources.list ]; then
          sed -n "s/^deb /deb-src /p" /etc/apt/sources.list >/etc/apt/sources.list.d/menuvera-src.list
        fi
        apt-get update -qq'
    fi
    step "getting the source of $1"
    (cd "$cache/src" && apt-get source -qq "$1" >"$log/source-$package.log" 2>&1)
    found=$(compgen -G "$cache/src/$2" | head -n1)
  fi
  echo "$found"
}
icu_src=$(fetch_source icu 'icu-72.*')
jpeg_src=$(fetch_source libjpeg-turbo 'libjpeg-turbo-2.*')
qt_src=$(fetch_source qt6-base 'qt6-base-6.4.2*')
# zlib of the version the Linux build links.
zlib_src=$(fetch_source "zlib=$(dpkg-query -W -f='${Version}' zlib1g)" 'zlib-1.*')
# Debian makes QuaZip for Qt 6 and for Qt 5 from two source packages with one
# and the same upstream tarball; the Qt 6 one's files are not always in the
# archive (a 404 here), so the tarball comes with the Qt 5 one's, checked
# before the build against the checksum that the Qt 6 one states. Only
# debian/ differs (the Qt 5 one's patch changes no more than the SOVERSION).
quazip_src=$(fetch_source libquazip1-qt5 'libquazip1-qt5-1.4*')

gcc_version=$($host-g++-posix -dumpversion)
cc="$host-gcc-posix"
cxx="$host-g++-posix"

# --- ICU: collation keys are made by ICU, identical to Linux ---------------
# Collation, normalization, the character properties and the converters are
# all that Qt and the program take from ICU; number and date formatting
# (Qt's ICU time zones are off below), transliteration, regular expressions
# and text breaking are left out, which is half of ICU's code.
icu_config=(UCONFIG_NO_FORMATTING=1 UCONFIG_NO_TRANSLITERATION=1
  UCONFIG_NO_REGULAR_EXPRESSIONS=1 UCONFIG_NO_BREAK_ITERATION=1)
icu_key="icu-$(basename "$icu_src" | sed 's/^icu-//')-gcc$gcc_version-$(digest "${icu_config[@]}")"
icu=$cache/$icu_key
if [ ! -f "$icu/.complete" ]; then
  step "cross-building ICU into $icu (log in $log)"
  rm -rf "$icu" "$cache/build/$icu_key"
  mkdir -p "$cache/build/$icu_key/host" "$cache/build/$icu_key/cross"
  # The cross build packs its data with two host tools, icupkg and pkgdata,
  # which it looks for in the build folder of a host ICU. Debian's
  # icu-devtools has them, made from this very source, so that folder needs
  # only the settings that ICU's configure and makefile write.
  tools_version=$(dpkg-query -W -f='${source:Upstream-Version}' icu-devtools)
  if [ "icu-$tools_version" != "$(basename "$icu_src")" ]; then
    echo "icu-devtools $tools_version does not match the source $(basename "$icu_src")" >&2
    exit 1
  fi
  (cd "$cache/build/$icu_key/host" &&
    "$icu_src/source/configure" --disable-tests --disable-samples --disable-extras &&
    make config/icucross.mk config/icucross.inc &&
    mkdir -p bin lib && ln -s $(dpkg -L icu-devtools | grep -E '/(icupkg|pkgdata)$') bin/) \
    >"$log/icu-host.log" 2>&1
  # Only the libraries: Qt and the program use neither ICU's tools nor its io.
  (cd "$cache/build/$icu_key/cross" &&
    CC=$cc CXX=$cxx CPPFLAGS="${icu_config[*]/#/-D}" CXXFLAGS="-O2 -std=c++17" \
      "$icu_src/source/configure" --host=$host \
      --with-cross-build="$cache/build/$icu_key/host" --prefix="$icu" \
      --disable-tests --disable-samples --disable-extras --disable-tools --disable-icuio \
      --disable-layoutex --with-data-packaging=library &&
    make -j"$jobs" && make install) >"$log/icu-cross.log" 2>&1
  # What uses these headers must see the parts that are left out.
  sed -i "1i $(printf '#define %s\\n' "${icu_config[@]/=/ }")" "$icu/include/unicode/uconfig.h"
  touch "$icu/.complete"
  rm -rf "$cache/build/$icu_key"
fi

# --- the CMake toolchain for the cross builds -----------------------------
toolchain=$cache/mingw64-gcc$gcc_version.cmake
cat >"$toolchain.new" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER $cc)
set(CMAKE_CXX_COMPILER $cxx)
set(CMAKE_RC_COMPILER $host-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/$host)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
cmp -s "$toolchain.new" "$toolchain" 2>/dev/null || mv "$toolchain.new" "$toolchain"
rm -f "$toolchain.new"

# --- libjpeg-turbo: the program reads and writes JPEG itself ---------------
jpeg_key="$(basename "$jpeg_src")-gcc$gcc_version"
jpeg=$cache/$jpeg_key
if [ ! -f "$jpeg/.complete" ]; then
  step "cross-building libjpeg-turbo into $jpeg"
  rm -rf "$jpeg" "$cache/build/$jpeg_key"
  # Static, so that no DLL of it is shipped; without SIMD, which needs nasm.
  cmake -S "$jpeg_src" -B "$cache/build/$jpeg_key" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$jpeg" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
    >"$log/jpeg.log" 2>&1
  cmake --build "$cache/build/$jpeg_key" -j"$jobs" >>"$log/jpeg.log" 2>&1
  cmake --install "$cache/build/$jpeg_key" >>"$log/jpeg.log" 2>&1
  touch "$jpeg/.complete"
  rm -rf "$cache/build/$jpeg_key"
fi

# --- zlib: QuaZip inflates with it --------------------------------------------
# Static, so that no DLL of it is shipped. Debian's source has no win32/
# folder (zlib's MinGW makefile), zlib's configure refuses MinGW and its CMake
# file renames the source's zconf.h: the library is its C files, compiled as
# that makefile does.
zlib_flags=(-O2 -Wall)
zlib_key="$(basename "$zlib_src")-gcc$gcc_version-$(digest "${zlib_flags[@]}")"
zlib=$cache/$zlib_key
if [ ! -f "$zlib/.complete" ]; then
  step "cross-building zlib into $zlib (log in $log/$zlib_key.log)"
  rm -rf "$zlib" "$cache/build/$zlib_key"
  mkdir -p "$zlib/include" "$zlib/lib" "$cache/build/$zlib_key"
  (cd "$cache/build/$zlib_key" && set -x &&
    for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
      inflate inftrees trees uncompr zutil; do
      $cc "${zlib_flags[@]}" -c "$zlib_src/$c.c" -o "$c.o" || exit 1
    done &&
    $host-ar rcs "$zlib/lib/libz.a" ./*.o &&
    cp "$zlib_src/zlib.h" "$zlib_src/zconf.h" "$zlib/include/") >"$log/$zlib_key.log" 2>&1
  touch "$zlib/.complete"
  rm -rf "$cache/build/$zlib_key"
fi

# --- Qt's base module -------------------------------------------------------
# Only what the program uses: no OpenGL (dynamic OpenGL off too: the Windows
# platform plugin of 6.4 does not build with it and without the OpenGL
# module), D-Bus, network or SQL. FreeType is
# bundled because the offscreen platform (the tests') is only built with it;
# ICU so that QCollator sorts as the program's own ICU keys do. The tablet
# headers are not in Debian's source; the Direct2D plugin is left out, while
# the feature itself stays, which PrintSupport's link needs. Left out too,
# as a fresh machine would compile them for nothing: the widgets, dialogs and
# formats that neither the program nor its tests use (the print dialog needs
# the date editor, which needs the calendar); the time zones, which would use
# the formatting left out of ICU above; the calendars beyond the Gregorian.
# (The input dialog stays: the Windows style includes its header unasked.)
qt_options=(-DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
  -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_androiddeployqt=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_freetype=ON -DFEATURE_fontconfig=OFF -DFEATURE_zstd=OFF
  -DFEATURE_icu=ON -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF
  -DFEATURE_gif=OFF -DFEATURE_ico=ON -DFEATURE_jpeg=ON
  -DFEATURE_timezone=OFF -DFEATURE_jalalicalendar=OFF -DFEATURE_hijricalendar=OFF
  -DFEATURE_islamiccivilcalendar=OFF -DFEATURE_sharedmemory=OFF -DFEATURE_systemsemaphore=OFF
  -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
  -DFEATURE_movie=OFF -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF -DFEATURE_undogroup=OFF
  -DFEATURE_systemtrayicon=OFF -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF
  -DFEATURE_graphicsview=OFF -DFEATURE_graphicseffect=OFF -DFEATURE_printpreviewwidget=OFF
  -DFEATURE_printpreviewdialog=OFF -DFEATURE_mdiarea=OFF -DFEATURE_colordialog=OFF
  -DFEATURE_fontdialog=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_wizard=OFF -DFEATURE_undoview=OFF
  -DFEATURE_columnview=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_dial=OFF
  -DFEATURE_keysequenceedit=OFF -DFEATURE_splashscreen=OFF -DFEATURE_toolbox=OFF
  -DFEATURE_syntaxhighlighter=OFF -DFEATURE_datawidgetmapper=OFF -DFEATURE_errormessage=OFF)
qt_version=$(basename "$qt_src" | sed 's/^qt6-base-//; s/+.*//')
qt_key="qt-$qt_version-$(digest "${qt_options[@]}" "$icu_key" "$gcc_version")"
qt=$cache/$qt_key
if [ ! -f "$qt/.complete" ]; then
  step "cross-building Qt $qt_version into $qt (log in $log/$qt_key.log)"
  rm -rf "$qt" "$cache/build/$qt_key"
  cmake -S "$qt_src" -B "$cache/build/$qt_key" -G Ninja "${qt_options[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$icu" \
    -DICU_ROOT="$icu" -DCMAKE_INSTALL_PREFIX="$qt" >"$log/$qt_key.log" 2>&1
  nice -n 10 cmake --build "$cache/build/$qt_key" -j"$jobs" >>"$log/$qt_key.log" 2>&1
  cmake --install "$cache/build/$qt_key" >>"$log/$qt_key.log" 2>&1
  touch "$qt/.complete"
  rm -rf "$cache/build/$qt_key"
fi

# --- QuaZip: the program reads workbooks, which are ZIP archives ------------
# Static and with zlib (no DLL, no bzip2, which workbooks do not use), against
# the Qt above; nothing fetched from the net, as QuaZip's CMake file would on
# Windows. Qt 6 builds of QuaZip need Core5Compat, a Qt module this build does
# not have: the patch gives QuaZip the little of it that it takes (its head
# says why).
quazip_patch=$root/resources/windows/quazip-without-core5compat.patch
quazip_options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQUAZIP_QT_MAJOR_VERSION=6
  -DQUAZIP_BZIP2=OFF -DQUAZIP_FETCH_LIBS=OFF -DQUAZIP_ENABLE_TESTS=OFF)
quazip_version=$(basename "$quazip_src" | sed 's/^libquazip1-qt5-//')
quazip_key="quazip-$quazip_version-$(digest "${quazip_options[@]}" "$qt_key" "$zlib_key" \
  "$(sha256sum <"$quazip_patch")")"
quazip=$cache/$quazip_key
if [ ! -f "$quazip/.complete" ]; then
  step "cross-building QuaZip $quazip_version into $quazip (log in $log/$quazip_key.log)"
  quazip_sum=$(apt-cache showsrc libquazip1-qt6 | awk '/^Checksums-Sha256:/ { f = 1; next }
    /^[^ ]/ { f = 0 } f && $3 ~ /\.orig\.tar\./ { print $1; exit }')
  if [ "$(sha256sum "$cache"/src/libquazip1-qt5_*.orig.tar.* | cut -d' ' -f1)" != "$quazip_sum" ]; then
    echo "QuaZip's tarball in $cache/src is not the one of Debian's libquazip1-qt6" \
      "(apt-cache showsrc libquazip1-qt6)" >&2
    exit 1
  fi
  rm -rf "$quazip" "$cache/build/$quazip_key"
  mkdir -p "$cache/build/$quazip_key"
  cp -r "$quazip_src" "$cache/build/$quazip_key/src"
  patch -d "$cache/build/$quazip_key/src" -p1 <"$quazip_patch" >"$log/$quazip_key.log" 2>&1
  cmake -S "$cache/build/$quazip_key/src" -B "$cache/build/$quazip_key/build" -G Ninja \
    "${quazip_options[@]}" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$zlib" -DZLIB_ROOT="$zlib" -DCMAKE_INSTALL_PREFIX="$quazip" \
    >>"$log/$quazip_key.log" 2>&1
  nice -n 10 cmake --build "$cache/build/$quazip_key/build" -j"$jobs" >>"$log/$quazip_key.log" 2>&1
  cmake --install "$cache/build/$quazip_key/build" >>"$log/$quazip_key.log" 2>&1
  touch "$quazip/.complete"
  rm -rf "$cache/build/$quazip_key"
fi
[ "${MENUVERA_WINDOWS_DEPS_ONLY:-0}" = 1 ] && exit 0

# --- the program ---------------------------------------------------------------
runtime_dirs=("/usr/lib/gcc/$host/$gcc_version" "/usr/$host/lib")
translations=/usr/share/qt6/translations
configure_program() { # build-folder [cmake options...]
  local folder=$1
  shift
  mkdir -p "$folder"
  cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMENUVERA_WERROR=ON \
    -DMENUVERA_BENCHMARKS=OFF -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$icu;$jpeg;$zlib;$quazip" -DICU_ROOT="$icu" -DJPEG_ROOT="$jpeg" \
    -DZLIB_ROOT="$zlib" -DQuaZip-Qt6_DIR="$quazip/lib/cmake/QuaZip-Qt6-$quazip_version" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine "$@" >"$folder/configure.log" 2>&1 ||
    { cat "$folder/configure.log" >&2; exit 1; }
}
step "building the program in $out"
configure_program "$out"
nice -n 10 cmake --build "$out" -j"$jobs"
version=$(sed -n 's/^project(menuvera VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

# --- the package -------------------------------------------------------------------
# The DLLs a PE file imports, found among the libraries built here and the
# compiler's runtime; what is not found there is Windows' own.
library_dirs=("$qt/bin" "$icu/bin" "$icu/lib" "${runtime_dirs[@]}")
find_library() {
  local dir
  for dir in "${library_dirs[@]}"; do
    [ -f "$dir/$1" ] && { echo "$dir/$1"; return; }
  done
  return 0
}
copy_with_libraries() { # file target-folder dll-folder
  local file=$1 name dll
  cp "$file" "$2/"
  for name in $($host-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$3/$name" ] && continue
    dll=$(find_library "$name")
    [ -n "$dll" ] && copy_with_libraries "$dll" "$3" "$3"
  done
  return 0
}
name=Menuvera-$version-win64
stage=$out/package/$name
step "packing $name"
rm -rf "$out/package"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/plugins/imageformats" \
  "$stage/translations" "$stage/Lizenzen"
# Qt puts the programs of a Windows build into the top of the build folder.
$host-strip -o "$out/package/menuvera.exe" "$out/menuvera.exe"
copy_with_libraries "$out/package/menuvera.exe" "$stage" "$stage"
copy_with_libraries "$qt/plugins/platforms/qwindows.dll" "$stage/plugins/platforms" "$stage"
copy_with_libraries "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/plugins/styles" "$stage"
copy_with_libraries "$qt/plugins/imageformats/qjpeg.dll" "$stage/plugins/imageformats" "$stage"
cp "$translations/qtbase_de.qm" "$stage/translations/"
# Beside the program, as in the build: the sample catalogue, the national food
# table and the table's source and licence, which also stands in Lizenzen/.
cp "$root"/resources/sample/* "$stage/"
cp "$root"/resources/sample/*" – Quelle und Lizenz.txt" "$stage/Lizenzen/"
cp "$root/resources/windows/qt.conf" "$stage/"
# The licences of everything shipped, with the offer of Qt's and QuaZip's
# source.
qt_dsc=$(basename "$(ls "$cache"/src/qt6-base_*.dsc | head -n1)" .dsc)
quazip_dsc=$(basename "$(ls "$cache"/src/libquazip1-qt5_*.dsc | head -n1)" .dsc)
zlib_dsc=$(basename "$(ls "$cache"/src/zlib_*.dsc | head -n1)" .dsc)
sed "s/@QT_SOURCE@/$qt_dsc/; s/@QUAZIP_SOURCE@/$quazip_dsc/; s/@ZLIB_SOURCE@/$zlib_dsc/
  s/@VERSION@/$version/" \
  "$root/resources/windows/Quelltext.txt" >"$stage/Lizenzen/Quelltext.txt"
cp "$qt_src/LICENSES/LGPL-3.0-only.txt" "$qt_src/LICENSES/GPL-3.0-only.txt" "$stage/Lizenzen/"
cp "$qt_src/debian/copyright" "$stage/Lizenzen/Qt-copyright.txt"
cp "$icu_src/LICENSE" "$stage/Lizenzen/ICU-LICENSE.txt"
cp "$jpeg_src/LICENSE.md" "$stage/Lizenzen/libjpeg-turbo-LICENSE.md"
cp "$jpeg_src/README.ijg" "$stage/Lizenzen/libjpeg-README.ijg.txt"
# QuaZip's COPYING holds the LGPL 2.1 with its static linking exception;
# Debian's copyright file names MiniZip's authors and zlib licence in it.
cp "$quazip_src/COPYING" "$stage/Lizenzen/QuaZip-COPYING.txt"
cp "$quazip_src/debian/copyright" "$stage/Lizenzen/QuaZip-copyright.txt"
cp "$zlib_src/LICENSE" "$stage/Lizenzen/zlib-LICENSE.txt"
cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$stage/Lizenzen/GCC-Laufzeit-copyright.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/Lizenzen/MinGW-w64-copyright.txt" 2>/dev/null ||
  cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/Lizenzen/MinGW-w64-copyright.txt"
# Windows' editors expect CR LF.
for text in "$stage"/Lizenzen/*; do sed -i 's/\r*$/\r/' "$text"; done
# Not Info-ZIP's zip: it stores the names' UTF-8 without the flag that says
# so, and Windows would show "schlüssel" as "schl├╝ssel". Python's zipfile
# sets it for every name beyond ASCII. Packed beside the setup program, on
# the other core: each compressor uses one.
(cd "$out/package" && rm -f "$out/$name.zip" && /usr/bin/python3 -c '
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    for folder, folders, files in os.walk(sys.argv[2]):
        folders.sort()
        archive.write(folder)
        for file in sorted(files):
            archive.write(os.path.join(folder, file))
' "$out/$name.zip" "$name") &
zip_packer=$!

# The setup program installs the same files; its uninstaller removes exactly
# those, so that nothing the user put into the folder is lost.
(cd "$stage" &&
  find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|' &&
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') \
  >"$out/package/uninstall.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
  -DUNINSTALL_LIST="$out/package/uninstall.nsh" -DICON="$root/resources/icons/menuvera.ico" \
  -DOUTFILE="$out/Menuvera-$version-setup.exe" "$root/resources/windows/setup.nsi"
wait "$zip_packer"
step "left $out/$name.zip and $out/Menuvera-$version-setup.exe"
[ $run_tests = 1 ] || exit 0

# --- tests under Wine ------------------------------------------------------------
# Wine hands no QT_* variable of Linux to a Windows program, but WINEQT_* as
# QT_*. QtTest writes to the Windows debug channel unless told otherwise. The
# offscreen platform finds no fonts on Windows but those of QT_QPA_FONTDIR.
windows_path() { echo "Z:$1" | sed 's|/|\\|g'; }
fonts=$cache/fonts
if [ ! -d "$fonts" ]; then
  mkdir -p "$fonts.new"
  cp /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf "$fonts.new/"
  mv "$fonts.new" "$fonts"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1
export WINEQT_QPA_FONTDIR="$(windows_path "$fonts")"
WINEPATH=
for dir in "$qt/bin" "$icu/bin" "$icu/lib" "${runtime_dirs[@]}"; do
  WINEPATH="${WINEPATH:+$WINEPATH;}$(windows_path "$dir")"
done
export WINEPATH
# Regional settings as a German user has them.
new_prefix() { # folder
  rm -rf "$1"
  WINEPREFIX=$1 LC_ALL=de_DE.UTF-8 wineboot --init >/dev/null 2>&1
  WINEPREFIX=$1 LC_ALL=de_DE.UTF-8 wine reg add 'HKCU\Control Panel\International' \
    /v sDecimal /d , /f >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w
}
export WINEPREFIX=$out/wine-tests
[ -f "$WINEPREFIX/system.reg" ] || new_prefix "$WINEPREFIX"
export LC_ALL=de_DE.UTF-8
# Also cross-compiled Qt's own files live beside its DLLs; German texts of
# Qt's dialogs for the tests that read them.
mkdir -p "$qt/translations"
cp -n "$translations/qtbase_de.qm" "$qt/translations/" 2>/dev/null || true
status=0
step "tests under Wine, x87 extended"
(cd "$out" && ctest --output-on-failure --timeout 600 -j "$jobs") || status=1
soft=$out/soft
step "core tests under Wine, software extended"
configure_program "$soft" -DMENUVERA_SOFT_EXTENDED=ON
nice -n 10 cmake --build "$soft" -j"$jobs" --target menuvera_core_tests
(cd "$soft" && ctest --output-on-failure --timeout 600 -j "$jobs" -L core) || status=1
step "the keyboard road in a real window under Wine"
bash "$root/tests/windows/wine_road.sh" "$out/$name.zip" \
  "$out/Menuvera-$version-setup.exe" "$out/road" || status=1
exit $status
