#!/usr/bin/env bash
# Renders the installed 48x48 icon from lumicue.svg (rsvg-convert, Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert -w 48 -h 48 -o lumicue.png lumicue.svg
