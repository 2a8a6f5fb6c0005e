#!/bin/sh
# Demo installer: writes a small log file into the temporary folder (the
# medium itself may be read-only), naming its folder and the arguments it
# got one a line, and says where.
log="${TMPDIR:-/tmp}/${1:-quillmoor-install.log}"
{
  echo "Quillmoor demo installation"
  echo "started: $(date)"
  echo "folder: $(pwd)"
  for argument in "$@"; do echo "argument: [$argument]"; done
} > "$log"
echo "Wrote $log"
