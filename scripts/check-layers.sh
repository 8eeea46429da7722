#!/usr/bin/env bash
# Prints every include that points up a layer, or sideways where the layout does not allow it,
# and exits non-zero when there is any. The build runs it before compiling, CI before the build.
#
# Layers, bottom to top (a layer may include only itself and the layers it lists):
#   utils        src/utils/ (base)          -
#   wire         src/wire/                  utils
#   text         src/text/                  utils
#   templates    src/templates/             utils wire text
#   client       src/client/                utils wire
#   kernel       src/kernel/                utils wire text templates client
#   cmdhandlers  src/cmdhandlers/           ... kernel
#   orthd        src/orthd/                 ... cmdhandlers
#   ferrix       src/ferrix/                ... cmdhandlers
#   admin        src/admin/                 -
#   appserver    appserver/                 utils wire
set -euo pipefail
cd "$(dirname "$0")/.."

# One pass of awk over every quoted include of src/ and appserver/: the list of the tree's
# files comes first (to tell the project's headers from system ones), then the grep lines.
{
    find src appserver -type f \( -name '*.h' -o -name '*.cpp' \) -printf 'file %p\n'
    grep -rn --include='*.h' --include='*.cpp' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src appserver
} | awk '
function layer(path) {
    if (path ~ /^src\/wire\//) return "wire"
    if (path ~ /^src\/text\//) return "text"
    if (path ~ /^src\/client\//) return "client"
    if (path ~ /^src\/utils\//) return "utils"
    if (path ~ /^src\/templates\//) return "templates"
    if (path ~ /^src\/kernel\//) return "kernel"
    if (path ~ /^src\/cmdhandlers\//) return "cmdhandlers"
    if (path ~ /^src\/orthd\//) return "orthd"
    if (path ~ /^src\/ferrix\//) return "ferrix"
    if (path ~ /^src\/admin\//) return "admin"
    if (path ~ /^appserver\//) return "appserver"
    return "other"
}
BEGIN {
    # The layers each layer may include besides itself.
    allowed["utils"] = ""
    allowed["wire"] = "utils"
    allowed["text"] = "utils"
    allowed["templates"] = "utils wire text"
    allowed["client"] = "utils wire"
    allowed["kernel"] = "utils wire text templates client"
    allowed["cmdhandlers"] = "utils wire text templates client kernel"
    allowed["orthd"] = "utils wire text templates client kernel cmdhandlers"
    allowed["ferrix"] = "utils wire text templates client kernel cmdhandlers"
    allowed["admin"] = ""
    allowed["appserver"] = "utils wire"
}
$1 == "file" { exists[$2] = 1; next }
{
    split($0, parts, ":")
    file = parts[1]
    number = parts[2]
    target = $0
    sub(/^[^"]*"/, "", target)
    sub(/".*$/, "", target)
    from = layer(file)
    # appserver/ includes its own files relative to appserver/, everything else is relative to src/.
    if (from == "appserver" && (("appserver/" target) in exists)) next
    if (!(("src/" target) in exists)) next
    to = layer("src/" target)
    if (to == from || index(" " allowed[from] " ", " " to " ")) next
    print file ":" number ": " from " includes " to ": " target
    violations++
}
END {
    if (violations) {
        print "check-layers: " violations " include(s) against the layer order" > "/dev/stderr"
        exit 1
    }
}'
