# Sourced by the packaging tests: a scratch directory removed at the end, and `fail MESSAGE`.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
