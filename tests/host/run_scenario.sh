#!/usr/bin/env bash
# Runs one zdtcad scenario and checks what it printed, its exit status and what it
# saved. A scenario NAME.zdt is an ordinary zdtcad script; lines starting with
# "#!" are comments to zdtcad and directions to this runner:
#   #! args: ...           zdtcad's arguments (default: --no-template @SCRIPT@)
#   #! stdin: FILE         feed FILE to zdtcad's standard input
#   #! exit: N             expected exit status (default 0)
#   #! stderr: TEXT        standard error must contain TEXT (may repeat)
#   #! stdout-has: TEXT    standard output must contain TEXT (may repeat)
#   #! entities: FILE N    FILE must exist and its ENTITIES section hold N entities
#   #! no-file: FILE       FILE must not exist after the run
#   #! file: FILE          FILE must exist after the run
#   #! before: COMMAND     a shell command that prepares the run (may repeat)
#   #! after: COMMAND      a shell command that checks the run and must succeed (may repeat)
#   #! file-has: FILE TEXT FILE must contain TEXT (may repeat)
#   #! png: FILE SIDE      FILE must be a PNG whose longer side is at least SIDE
#                          pixels and that is not blank white
#   #! env: NAME=VALUE     run zdtcad with this environment variable; an empty VALUE removes it (may repeat)
# In these, @SCRIPT@ is the scenario (a copy of it in @OUT@/script.zdt when its
# own lines name @OUT@, which they may), @OUT@ a fresh scratch folder, @DATA@ the
# test data folder, @BIN@ the folder of zdtcad, @HERE@ the folder of this runner
# and @PROBE@ the folder of the probe modules, which is also where zdtcad runs (so
# scripts can APPLOAD them by name).
# Standard output must equal NAME.expected when that file exists.
#
# usage: run_scenario.sh ZDTCAD SCENARIO.zdt OUTDIR PROBEDIR
set -u

zdtcad=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
scenario=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
mkdir -p "$3" && out=$(cd "$3" && pwd) || exit 1
probe=$(cd "$4" && pwd) || exit 1
here=$(cd "$(dirname "$0")" && pwd)
data=$here/data
bin=$(cd "$(dirname "$zdtcad")" && pwd)
expected=${scenario%.zdt}.expected

rm -rf "${out:?}"/* "$out"/.[!.]* 2>/dev/null

# A script whose lines name the scratch folder is played from a copy that names it.
script=$scenario
if grep -v '^#' "$scenario" | grep -qF '@OUT@'; then
    script=$out/script.zdt
    sed "s|@OUT@|$out|g" "$scenario" > "$script"
fi

fail=0
problem() { echo "FAIL: $*"; fail=1; }

subst() {
    local s=$1
    s=${s//@SCRIPT@/$script}
    s=${s//@OUT@/$out}
    s=${s//@DATA@/$data}
    s=${s//@BIN@/$bin}
    s=${s//@PROBE@/$probe}
    s=${s//@HERE@/$here}
    printf '%s' "$s"
}

# The directives, in file order.
directive() { sed -n "s/^#! $1: *//p" "$scenario"; }

args_line=$(directive args | head -n 1)
[ -n "$args_line" ] || args_line="--no-template @SCRIPT@"
read -r -a args <<< "$(subst "$args_line")"
stdin_file=$(directive stdin | head -n 1)
want_exit=$(directive exit | head -n 1)
want_exit=${want_exit:-0}

while IFS= read -r command; do
    bash -c "$(subst "$command")" > "$out/before.log" 2>&1 || { echo "FAIL: preparation failed: $command"; cat "$out/before.log"; exit 1; }
done < <(directive before)

env_args=()
while IFS= read -r pair; do
    pair=$(subst "$pair")
    if [ -z "${pair#*=}" ]; then env_args+=(-u "${pair%%=*}"); else env_args+=("$pair"); fi
done < <(directive env)

cd "$probe" || exit 1
if [ -n "$stdin_file" ]; then
    env "${env_args[@]}" "$zdtcad" "${args[@]}" < "$(subst "$stdin_file")" > "$out/stdout" 2> "$out/stderr"
else
    env "${env_args[@]}" "$zdtcad" "${args[@]}" < /dev/null > "$out/stdout" 2> "$out/stderr"
fi
status=$?

[ "$status" = "$want_exit" ] || problem "exit status $status, expected $want_exit"

if [ -f "$expected" ]; then
    if ! diff -u "$expected" "$out/stdout" > "$out/stdout.diff"; then
        problem "standard output differs from $(basename "$expected"):"
        cat "$out/stdout.diff"
    fi
fi

while IFS= read -r text; do
    grep -qF -- "$text" "$out/stderr" || problem "standard error lacks: $text"
done < <(directive stderr)

while IFS= read -r text; do
    text=$(subst "$text")
    grep -qF -- "$text" "$out/stdout" || problem "standard output lacks: $text"
done < <(directive stdout-has)

# Entities of a saved drawing: the group-0 records between ENTITIES and its ENDSEC.
count_entities() {
    awk '{ sub(/\r$/, ""); gsub(/^[ \t]+|[ \t]+$/, "") }
         NR % 2 == 1 { code = $0; next }
         { value = $0 }
         code == "2" && value == "ENTITIES" && prev == "SECTION" { inside = 1; prev = value; next }
         code == "0" && inside && value == "ENDSEC" { inside = 0 }
         code == "0" && inside { n++ }
         code == "0" { prev = value }
         END { print n + 0 }' "$1"
}

while read -r file count; do
    file=$(subst "$file")
    if [ ! -f "$file" ]; then
        problem "no saved drawing $file"
    else
        got=$(count_entities "$file")
        [ "$got" = "$count" ] || problem "$file holds $got entities, expected $count"
    fi
done < <(directive entities)

while IFS= read -r file; do
    file=$(subst "$file")
    [ -f "$file" ] || problem "$file was not written"
done < <(directive file)

while read -r file text; do
    file=$(subst "$file")
    grep -qF -- "$text" "$file" 2>/dev/null || problem "$file lacks: $text"
done < <(directive file-has)

while read -r file side; do
    file=$(subst "$file")
    if ! read -r width height inked < <("$probe/png_probe" "$file"); then
        problem "$file is not a readable PNG"
        continue
    fi
    longer=$(( width > height ? width : height ))
    [ "$longer" -ge "$side" ] || problem "$file is $width x $height, its longer side under $side"
    [ "$inked" -gt 0 ] || problem "$file is blank"
done < <(directive png)

while IFS= read -r file; do
    file=$(subst "$file")
    [ ! -e "$file" ] || problem "$file exists but should not"
    # Nor a temporary left beside it.
    dir=$(dirname "$file")
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir" 2>/dev/null | grep -F "$(basename "$file")")" ]; then
        problem "files left beside $file: $(ls -A "$dir")"
    fi
done < <(directive no-file)

while IFS= read -r command; do
    if ! bash -c "$(subst "$command")" > "$out/after.log" 2>&1; then
        problem "check failed: $command"
        cat "$out/after.log"
    fi
done < <(directive after)

if [ "$fail" != 0 ]; then
    echo "--- standard output ---"; cat "$out/stdout"
    echo "--- standard error ---"; cat "$out/stderr"
    exit 1
fi
exit 0
