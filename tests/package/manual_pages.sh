#!/usr/bin/env bash
# The manual pages read without a warning, and they and the bash completion name exactly the
# commands and options that norvane-cli --help lists, so none of them drifts from the program.
#   manual_pages.sh NORVANE_CLI SOURCE_DIR
set -euo pipefail
cli=$1
source_dir=$2
man_dir=$source_dir/docs/man
page=$man_dir/norvane-cli.1
completion=$source_dir/data/completion/norvane-cli

if ! command -v groff >/dev/null; then
    echo "SKIP: groff is missing (apt-get install groff-base)"
    exit 77
fi

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

for manual in "$man_dir/norvane.1" "$page"; do
    warnings=$(LC_ALL=C.UTF-8 groff -ww -z -man -Tutf8 "$manual" 2>&1) || true
    [ -z "$warnings" ] || fail "groff warns on $manual:"$'\n'"$warnings"
done

help=$("$cli" --help)
# "  norvane-cli day DATE ..." names a command; "--help" and "--version" stand alone.
help_commands=$(sed -n 's/^  norvane-cli \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u)
help_options=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$help_commands" ] || fail "norvane-cli --help lists no command"

# The page documents a command as the tag line of a .TP or .TQ entry under COMMANDS.
page_commands=$(sed 's/\\-/-/g' "$page" |
    sed -n '/^\.SH COMMANDS/,/^\.SH /{/^\.T[PQ]/{n;s/^\(\.BI\? \|\\fB\)\([a-z][a-z-]*\).*/\2/p}}' |
    sort -u)
page_options=$(sed 's/\\-/-/g' "$page" |
    sed -n '/^\.SH OPTIONS/,/^\.SH /p' | grep -o -- '--[a-z][a-z-]*' | sort -u)
completion_words=$(sed -n '/local commands="/,/"/p' "$completion" | tr -d '"' |
    sed 's/local commands=//' | tr -s ' \n' '\n' | grep . | sort -u)

[ "$help_commands" = "$page_commands" ] ||
    fail "commands of --help and of norvane-cli(1) differ:"$'\n'"$(diff <(echo "$help_commands") <(echo "$page_commands"))"
[ "$help_options" = "$page_options" ] ||
    fail "options of --help and of norvane-cli(1) differ:"$'\n'"$(diff <(echo "$help_options") <(echo "$page_options"))"
expected_completion=$(printf '%s\n' $help_commands --help --version | sort -u)
[ "$expected_completion" = "$completion_words" ] ||
    fail "commands of --help and of the completion differ:"$'\n'"$(diff <(echo "$expected_completion") <(echo "$completion_words"))"

[ "$failed" -eq 0 ] && echo "manual pages and completion match norvane-cli --help"
exit "$failed"
