# Shared by run.sh, test.sh and bench.sh: installs the Debian packages the
# build needs when any of them is missing. The lists hold everything a minbase
# Debian 12 lacks (.ci/fresh-system.sh proves it): libxlsxwriter's pkg-config
# file links -lz but its package does not bring zlib's development files.
VALDRAN_PACKAGES="build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
qt6-svg-dev qt6-translations-l10n libqcustomplot-dev libqcustomplot2.1-qt6 libxlsxwriter-dev zlib1g-dev pkgconf"
# The programs that open what valdran writes, for the tests that read its
# files back (LibreOffice headless, wmf2svg, unrtf, pdfinfo/pdftotext, unzip),
# the X server with a window manager for the window-position tests, and CUPS
# for the tests that print to a printer queue of their own.
VALDRAN_TEST_PACKAGES="libreoffice-calc-nogui libreoffice-writer-nogui libreoffice-draw-nogui \
libwmf-bin unrtf poppler-utils unzip xvfb xauth openbox cups"

valdran_install_packages() {
    local missing=""
    for p in $VALDRAN_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing:$missing"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}
