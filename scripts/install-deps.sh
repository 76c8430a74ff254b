#!/usr/bin/env bash
# Installs, with apt-get, whatever of the given package groups is missing.
#   install-deps.sh build|test|bench|run ...
set -euo pipefail

packages=()
for group in "$@"; do
  case "$group" in
    build) packages+=(cmake make g++ libgtest-dev libpng-dev) ;;
    # The fuzzer's compiler and its sanitizer runtime come as one version;
    # the collections (TrueType and CFF) and .otf files of the last line are
    # the differential test's.
    test)  packages+=(cmake make g++ libgtest-dev g++-mingw-w64-x86-64 wine64
                      python3-fonttools fonts-dejavu-core fonts-liberation
                      clang-14 libclang-rt-14-dev pkg-config libfreetype-dev libpng-dev
                      xvfb xdotool imagemagick fonts-wine
                      fonts-wqy-zenhei fonts-noto-cjk fonts-unifont) ;;
    # The benchmark's corpus: large cmaps and name tables besides DejaVu's.
    bench) packages+=(cmake make g++ pkg-config libfreetype-dev python3-fonttools
                      fonts-dejavu-core fonts-liberation fonts-noto-core fonts-croscore
                      fonts-freefont-ttf fonts-ipafont-gothic fonts-ipafont-mincho fonts-unifont
                      fonts-dejavu-extra fonts-droid-fallback) ;;
    run)   packages+=(cmake make g++ g++-mingw-w64-x86-64 wine64 fonts-wine python3-fonttools
                      fonts-dejavu-core fonts-liberation xvfb xdotool imagemagick) ;;
    *) echo "unknown package group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
