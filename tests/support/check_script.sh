# Sourced by the shell checks: a scratch folder in $work removed on exit,
# fail to note a failure and go on, finish to end with their count.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# finish MESSAGE: exit 1 after any failure, else print MESSAGE.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failure(s)"
        exit 1
    fi
    echo "$1"
}
