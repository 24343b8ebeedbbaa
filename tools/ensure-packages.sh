# Sourced by ./test and ./demo: installs the Debian packages listed in
# tools/debian-packages.txt that are missing, with apt-get (as root, or
# through sudo when it is available).
skyloom_missing_packages() {
    grep -v '^#' "$1" | while read -r pkg; do
        [ -n "$pkg" ] || continue
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        case "$status" in
        *"install ok installed"*) ;;
        *) echo "$pkg" ;;
        esac
    done
}

skyloom_ensure_packages() {
    list="$1"
    command -v dpkg-query >/dev/null 2>&1 || {
        echo "Not a Debian system: make sure the packages in $list are installed." >&2
        return 0
    }
    missing=$(skyloom_missing_packages "$list" | tr '\n' ' ')
    [ -n "${missing% }" ] || return 0
    echo "Installing Debian packages: $missing"
    if [ "$(id -u)" -eq 0 ]; then
        run=""
    elif command -v sudo >/dev/null 2>&1; then
        run="sudo"
    else
        echo "Missing packages ($missing) and no way to install them: run as root or install sudo." >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    $run apt-get update -q && $run apt-get install -y -q --no-install-recommends $missing
}
