#!/usr/bin/env bash
# Writes the manual page mossfang(6) on standard output: the options as the game's own --help
# lists them, and the keys from the README's "How to play" table, so the page never falls
# behind either. Needs only bash and awk, as the install step runs it.
# Usage: make-manpage.sh EXECUTABLE README VERSION
set -euo pipefail
exe="$1"
readme="$2"
version="$3"

cat <<EOF
.TH MOSSFANG 6 "" "Mossfang $version" "Games"
.SH NAME
mossfang \- a 2.5D side-view action platformer with a ninja
.SH SYNOPSIS
.B mossfang
.RI [ OPTIONS ]
.SH DESCRIPTION
You steer a tiny ninja across a mossy forest floor at dusk: run, cling to walls, jump and
double-jump, punch ants, collect eggs, shiny things, sugar and candy corn, earn a double jump
and a sword, and leave each area through its doors until a hat leads you to the credits.
.PP
With no options
.B mossfang
opens its window on the menu and plays the game.
The other options serve tests, tools and level designers.
.SH OPTIONS
EOF

# CLI11 prints each option's usage in the first 30 columns and its description from column 31,
# or, when the usage is longer, the description on the next, indented line. The usage holds the
# names, a value name with its checks (":DECIMAL", ":{a,b}") and "Needs:" or "Excludes:" notes; the
# page keeps the names and the value name. "-" in option names is written \-, a minus sign, so that it
# can be searched for and copied.
"$exe" --help | awk '
  function flush(    usage, text, n, words, names, value, i, w, m, parts) {
    if (raw == "") return
    if (more != "") {
      usage = substr(raw, 3); text = more
    } else {
      usage = substr(raw, 3, 28); text = substr(raw, 31)
    }
    sub(/ +$/, "", usage)
    sub(/ (Needs|Excludes):.*/, "", usage)
    n = split(usage, words, " ")
    names = words[1]
    value = ""
    for (i = 2; i <= n; ++i) {
      w = words[i]
      sub(/:.*/, "", w)
      value = value (value == "" ? "" : " ") w
    }
    gsub(/-/, "\\-", names)
    gsub(/,/, ", ", names)
    m = split(text, parts, " ")
    text = ""
    for (i = 1; i <= m; ++i) {
      if (parts[i] ~ /^--/) gsub(/-/, "\\-", parts[i])
      text = text (i > 1 ? " " : "") parts[i]
    }
    print ".TP"
    if (value == "") print ".B " names
    else print ".BI \"" names " \" " value
    print text
    raw = ""; more = ""
  }
  /^  -/ { flush(); raw = $0; next }
  /^                              [^ ]/ && raw != "" {
    sub(/^ +/, "")
    more = more (more == "" ? "" : " ") $0
    next
  }
  { flush() }
  END { flush() }
'

cat <<'EOF'
.SH KEYS
EOF
# The README's table: "| key | action |" rows after the "## How to play" heading. A roff text
# line must not start with a dot or a quote.
awk '
  function roff(cell) {
    gsub(/^ +| +$/, "", cell)
    gsub(/`/, "", cell)
    return cell ~ /^[.\047]/ ? "\\&" cell : cell
  }
  /^## How to play/ { on = 1; next }
  on && /^## / { exit }
  on && /^\|/ {
    if ($0 ~ /^\|[- |]*$/ || $0 ~ /^\| key \|/) next
    split($0, cells, "|")
    print ".TP"
    print ".B " roff(cells[2])
    print roff(cells[3])
  }
' "$readme"

cat <<'EOF'
.PP
A gamepad drives the same actions: the left stick or the d-pad runs and climbs, button 0 jumps,
button 2 punches, button 3 switches the camera and button 7 goes back to the menu.
Keys can be rebound in
.IR keys.txt .
.SH FILES
.TP
.I $XDG_CONFIG_HOME/mossfang/keys.txt
Key bindings, one action a line, as in
.B jump = Up LShift
(by default under
.IR ~/.config ).
.TP
.I $XDG_CONFIG_HOME/mossfang/settings.txt
Settings such as the picture quality.
.TP
.I $XDG_DATA_HOME/mossfang/save.txt
The saved run and the best times (by default under
.IR ~/.local/share ).
.TP
.I /usr/share/mossfang/assets
The game's pictures, models, sounds, music and levels.
.SH EXIT STATUS
0 when all went well; 1 when a file it was asked to write could not be written, a level
checked with
.B \-\-check\-level
has problems, or a model shown with
.B \-\-view\-model
has nothing to draw; 2 for an unknown option or a bad value.
EOF
