# Sourced by the scripts: installs the Debian packages named, when missing.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and testing the library needs (python3-jsonschema and
# libxml2-utils: the schema test and the render tests).
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libjsoncpp-dev libsimdjson-dev libgtest-dev libgmock-dev
                python3-jsonschema libxml2-utils)
