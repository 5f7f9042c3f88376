# Shared set-up of scripts/run and scripts/test: install what is missing, then build.
# Sourced, not run.

NORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NORVANE_BUILD="${NORVANE_BUILD:-$NORVANE_ROOT/build}"

NORVANE_PACKAGES=(
    cmake g++ make pkg-config ccache
    qt6-base-dev qt6-multimedia-dev qt6-tools-dev
    libcurl4-openssl-dev libical-dev libsecret-1-dev libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick poppler-utils fonts-liberation2 qt6-translations-l10n
    python3-icalendar clang
    python3-fusepy libfuse2 fuse3 python3-pyfuse3
    radicale xandikos python3-caldav
    dpkg-dev fakeroot file lintian appstream desktop-file-utils librsvg2-bin groff-base man-db
    bash-completion strace
    dbus dbus-daemon at-spi2-core python3-pyatspi python3-gi python3-dbus
)

norvane_install_packages() {
    local missing=()
    local pkg
    for pkg in "${NORVANE_PACKAGES[@]}"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# A build directory configured with the compiler cache: a fresh checkout built again in the
# same place (a CI run after the last) compiles only what changed.
norvane_configure() {
    local build="$1"
    shift
    export CCACHE_BASEDIR="$NORVANE_ROOT"
    cmake -S "$NORVANE_ROOT" -B "$build" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
}

norvane_build() {
    norvane_configure "$NORVANE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$NORVANE_BUILD" -j "$(nproc)"
}
