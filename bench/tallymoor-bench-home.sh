# tallymoor-bench-home.sh: sourced by the benches of Tallymoor's window with the bench's name. Makes
# DIR, a fresh folder under /tmp removed on exit, and has the program run offscreen with its home,
# settings and runtime folder in DIR/.home.
DIR=$(mktemp -d "/tmp/$1-XXXXXX")
trap 'rm -rf "$DIR"' EXIT
export QT_QPA_PLATFORM=offscreen HOME="$DIR/.home" XDG_CONFIG_HOME="$DIR/.home" XDG_DATA_HOME="$DIR/.home" \
       XDG_RUNTIME_DIR="$DIR/.home/run"
mkdir -p "$DIR/.home/run" && chmod 700 "$DIR/.home/run"
