#!/usr/bin/env bash
# Writes the bash completion of qorvane-cli from what the program itself
# prints: the subcommands from `qorvane-cli --help`, each subcommand's
# options from `qorvane-cli SUBCOMMAND --help` (lines "  --name ..."), and
# the fixed choices of an option whose value is written "a|b", every choice a
# lower-case word.
# Usage: make-bash-completion.sh QORVANE_CLI OUTPUT
set -euo pipefail
cli=$1
out=$2

# Subcommands: the indented first words of the overview's list.
subcommands=$("$cli" --help | awk '/^subcommands:/ { inList = 1; next }
                                   inList && /^  [a-z][a-z0-9-]*( |$)/ { print $1 }
                                   inList && /^$/ { inList = 0 }')
if [ -z "$subcommands" ]; then
    echo "make-bash-completion: '$cli --help' lists no subcommands" >&2
    exit 1
fi

{
    echo "# bash completion for qorvane-cli; generated from its --help output, do not edit."
    echo "_qorvane_cli()"
    echo "{"
    echo "    local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]} options=\"\""
    echo "    if [ \"\$COMP_CWORD\" -eq 1 ]; then"
    echo "        COMPREPLY=(\$(compgen -W \"$(echo $subcommands) --help\" -- \"\$cur\"))"
    echo "        return"
    echo "    fi"
    echo "    case \${COMP_WORDS[1]} in"
    for sub in $subcommands; do
        help=$("$cli" "$sub" --help)
        options=$(awk '/^  --[a-z]/ { print $1 }' <<<"$help" | sort -u | tr '\n' ' ')
        echo "    $sub)"
        echo "        options=\"${options% }\""
        echo "        case \$prev in"
        # "  --keep piece|rest   ..." offers piece and rest after --keep.
        awk '/^  --[a-z][a-z0-9-]* [^ ]*\|/ {
                 n = split($2, alternatives, "|"); words = ""
                 for (i = 1; i <= n; ++i) {
                     if (alternatives[i] !~ /^[a-z]+$/) { words = ""; break }
                     words = words " " alternatives[i]
                 }
                 if (words != "") printf "        %s) COMPREPLY=($(compgen -W \"%s\" -- \"$cur\")); return ;;\n", $1, substr(words, 2)
             }' <<<"$help"
        echo "        esac"
        echo "        ;;"
    done
    echo "    esac"
    echo "    if [[ \$cur == -* ]]; then"
    echo "        COMPREPLY=(\$(compgen -W \"\$options\" -- \"\$cur\"))"
    echo "        return"
    echo "    fi"
    echo "    COMPREPLY=() # option values and FILE arguments: file names"
    echo "}"
    echo "complete -o bashdefault -o default -F _qorvane_cli qorvane-cli"
} >"$out.tmp"
mv "$out.tmp" "$out"
