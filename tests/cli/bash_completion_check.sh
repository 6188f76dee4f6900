#!/usr/bin/env bash
# Checks the generated bash completion of qorvane-cli: what a Tab after
# each command line offers. Usage: bash_completion_check.sh COMPLETION_FILE
set -uo pipefail
source "$1"
failures=0
passes=0

# offers "WORDS TYPED SO FAR (last one being completed)" "expected offers"
offers()
{
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qorvane_cli
    local got="${COMPREPLY[*]}"
    if [ "$got" = "$2" ]; then
        passes=$((passes + 1))
    else
        echo "FAIL: '$1' offers '$got', expected '$2'"
        failures=$((failures + 1))
    fi
}

offers "qorvane-cli ren" "rename"
offers "qorvane-cli e" "eval ext extract-lines"
offers "qorvane-cli merge" "merge-keys"
offers "qorvane-cli rename --te" "--template"
offers "qorvane-cli rename --" "--chains --dry-run --help --list --no-journal --template --to-utf8"
offers "qorvane-cli search --no" "--no-sub"
offers "qorvane-cli attrs --" "--archive --dirs --dry-run --help --hidden --list --no-journal --readonly --system"
offers "qorvane-cli cut --keep " "piece rest"
offers "qorvane-cli cut --keep r" "rest"
offers "qorvane-cli delete-lines --e" "--empty"
offers "qorvane-cli rename x" ""
offers "qorvane-cli nosuch --" ""
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
